// Form lifecycle (load on first use, unload, show) and the form's properties.
#include "forms/form.h"

#include <algorithm>

#include "forms/metrics.h"
#include "forms/tool_tip.h"
#include "os/gdi.h"
#include "os/message_loop.h"

namespace forms {

namespace {

std::vector<Form*>& LoadedList() {
    static std::vector<Form*> forms;
    return forms;
}

void CollectControls(Container& c, std::vector<Control*>* out) {
    for (Control* child : c.Children()) {
        out->push_back(child);
        if (Container* inner = child->AsContainer()) CollectControls(*inner, out);
    }
}

}  // namespace

const std::vector<Form*>& Form::LoadedForms() { return LoadedList(); }

Form::Form(std::string name) : name_(std::move(name)) { ResetProperties(); }

Form::~Form() {
    if (state_ != State::Unloaded) TearDown();
}

void Form::ResetProperties() {
    left_ = top_ = 0;
    width_ = 4800;
    height_ = 3600;
    scale_mode_ = forms::ScaleMode::Twips;
    border_style_ = forms::BorderStyle::FixedSingle;
    caption_ = name_;
    back_color_ = ColorButtonFace;
    visible_ = false;
    auto_redraw_ = false;
    key_preview_ = false;
    icon_.clear();
}

std::vector<Control*> Form::AllControls() {
    std::vector<Control*> all;
    CollectControls(*this, &all);
    return all;
}

// --- lifecycle ---------------------------------------------------------------------------

void Form::EnsureLoaded() {
    if (state_ == State::Unloaded) Load();
}

void Form::Load() {
    if (state_ != State::Unloaded) return;
    state_ = State::Loading;
    const std::uint64_t generation = ++load_generation_;
    LoadedList().push_back(this);
    Design();

    os::WindowParams params;
    params.kind = border_style_ == forms::BorderStyle::None ? os::WindowKind::Popup
                                                            : os::WindowKind::Dialog;
    params.x = TwipsToPixels(left_);
    params.y = TwipsToPixels(top_);
    params.width = ClientPixelWidth();
    params.height = ClientPixelHeight();
    params.title = caption_;
    hwnd_ = os::CreateHostedWindow(params, this);
    if (hwnd_ != 0 && !icon_.empty()) os::SetHostedWindowIcon(hwnd_, icon_);
    window_dc_ = hwnd_ != 0 ? os::GetDC(hwnd_) : 0;
    scratch_ = std::make_unique<os::Surface>(1, 1);
    scratch_dc_ = os::CreateSurfaceDC(scratch_.get());
    if (auto_redraw_) ResizeImage();
    for (Control* c : AllControls()) c->Create();
    dirty_ = os::Rect{0, 0, ClientPixelWidth(), ClientPixelHeight()};
    state_ = State::Loaded;

    Form_Load();
    if (!StillLoaded(generation)) return;
    if (visible_ && hwnd_ != 0) os::ShowHostedWindow(hwnd_, true);
    Flush();
}

bool Form::Unload() { return UnloadFor(vbFormCode); }

bool Form::UnloadFor(int unload_mode) {
    if (state_ != State::Loaded) return state_ == State::Unloaded;
    const std::uint64_t generation = load_generation_;
    // A window that is already gone cannot stay: the handlers run, their Cancel is ignored.
    const bool may_cancel = unload_mode != vbAppWindows;
    int cancel = 0;
    Form_QueryUnload(cancel, unload_mode);
    if (!StillLoaded(generation)) return true;
    if (cancel != 0 && may_cancel) return false;
    cancel = 0;
    Form_Unload(cancel);
    if (!StillLoaded(generation)) return true;
    if (cancel != 0 && may_cancel) return false;
    TearDown();
    return true;
}

void Form::TearDown() {
    ToolTipFormGone(*this);
    state_ = State::Unloaded;
    auto& loaded = LoadedList();
    loaded.erase(std::remove(loaded.begin(), loaded.end(), this), loaded.end());
    for (Control* c : AllControls()) c->Destroy();
    active_control_ = default_button_ = cancel_button_ = validating_ = nullptr;
    pointer_ = Pointer{};
    if (scratch_dc_) os::DeleteSurfaceDC(scratch_dc_);
    scratch_dc_ = 0;
    scratch_.reset();
    if (image_dc_) os::DeleteSurfaceDC(image_dc_);
    image_dc_ = 0;
    image_.reset();
    if (window_dc_) os::ReleaseDC(hwnd_, window_dc_);
    window_dc_ = 0;
    if (hwnd_ != 0) {
        os::SetHostedWindowEvents(hwnd_, nullptr);
        os::DestroyHostedWindow(hwnd_);
    }
    hwnd_ = 0;
    modal_ = false;
    dirty_ = os::Rect{};
    ResetProperties();
}

void Form::Show(bool modal) {
    EnsureLoaded();
    if (state_ != State::Loaded) return;
    const std::uint64_t generation = load_generation_;
    SetVisible(true);
    if (!StillLoaded(generation)) return;
    if (!active_control_) FocusNext(false);
    if (hwnd_ != 0) os::FocusHostedWindow(hwnd_);
    Flush();
    if (!modal || modal_) return;

    modal_ = true;
    const os::HWND hwnd = hwnd_;
    os::PushModalWindow(hwnd);
    os::RunMessageLoop([this, generation] { return !StillLoaded(generation) || !visible_; });
    os::PopModalWindow(hwnd);
    if (StillLoaded(generation)) modal_ = false;
}

void Form::Hide() { SetVisible(false); }

// --- geometry ----------------------------------------------------------------------------

int Form::ClientPixelWidth() const {
    int w = TwipsToPixels(width_);
    if (border_style_ != forms::BorderStyle::None) w -= DialogFrameWidthPixels;
    return std::max(1, w);
}

int Form::ClientPixelHeight() const {
    int h = TwipsToPixels(height_);
    if (border_style_ != forms::BorderStyle::None) h -= DialogFrameHeightPixels;
    return std::max(1, h);
}

void Form::ApplyGeometry() {
    if (hwnd_ == 0) return;
    const os::Surface* s = os::WindowSurface(hwnd_);
    const bool resized =
        !s || s->width() != ClientPixelWidth() || s->height() != ClientPixelHeight();
    os::MoveHostedWindow(hwnd_, TwipsToPixels(left_), TwipsToPixels(top_), ClientPixelWidth(),
                         ClientPixelHeight());
    if (!resized) return;
    if (image_) ResizeImage();
    InvalidateRect(os::Rect{0, 0, ClientPixelWidth(), ClientPixelHeight()});
}

float Form::Left() { EnsureLoaded(); return left_; }
float Form::Top() { EnsureLoaded(); return top_; }
float Form::Width() { EnsureLoaded(); return width_; }
float Form::Height() { EnsureLoaded(); return height_; }

void Form::SetLeft(float twips) { EnsureLoaded(); left_ = twips; ApplyGeometry(); }
void Form::SetTop(float twips) { EnsureLoaded(); top_ = twips; ApplyGeometry(); }
void Form::SetWidth(float twips) { EnsureLoaded(); width_ = std::max(0.0f, twips); ApplyGeometry(); }
void Form::SetHeight(float twips) { EnsureLoaded(); height_ = std::max(0.0f, twips); ApplyGeometry(); }

void Form::Move(float left, float top, float width, float height) {
    EnsureLoaded();
    left_ = left;
    top_ = top;
    width_ = std::max(0.0f, width);
    height_ = std::max(0.0f, height);
    ApplyGeometry();
}

float Form::TwipsPerUnit() {
    return scale_mode_ == forms::ScaleMode::Pixels ? static_cast<float>(TwipsPerPixel) : 1.0f;
}

os::Rect Form::ClientRectOnForm() { return os::Rect{0, 0, ClientPixelWidth(), ClientPixelHeight()}; }

float Form::ScaleWidth() {
    EnsureLoaded();
    return PixelsToTwips(ClientPixelWidth()) / TwipsPerUnit();
}

float Form::ScaleHeight() {
    EnsureLoaded();
    return PixelsToTwips(ClientPixelHeight()) / TwipsPerUnit();
}

void Form::SetScaleWidth(float units) {
    EnsureLoaded();
    const int frame = border_style_ == forms::BorderStyle::None ? 0 : DialogFrameWidthPixels;
    width_ = PixelsToTwips(TwipsToPixels(units * TwipsPerUnit()) + frame);
    ApplyGeometry();
}

void Form::SetScaleHeight(float units) {
    EnsureLoaded();
    const int frame = border_style_ == forms::BorderStyle::None ? 0 : DialogFrameHeightPixels;
    height_ = PixelsToTwips(TwipsToPixels(units * TwipsPerUnit()) + frame);
    ApplyGeometry();
}

// --- other properties --------------------------------------------------------------------

void Form::SetScaleMode(forms::ScaleMode mode) { EnsureLoaded(); scale_mode_ = mode; }
forms::BorderStyle Form::BorderStyle() { EnsureLoaded(); return border_style_; }

void Form::SetBorderStyle(forms::BorderStyle style) {
    EnsureLoaded();
    // The window's kind is fixed when it is created; only Design() can choose it.
    if (state_ == State::Loading) border_style_ = style;
}

const std::string& Form::Caption() { EnsureLoaded(); return caption_; }

void Form::SetCaption(const std::string& caption) {
    EnsureLoaded();
    caption_ = caption;
    if (hwnd_ != 0) os::SetWindowTextA(hwnd_, caption_.c_str());
}

os::COLORREF Form::BackColor() { EnsureLoaded(); return back_color_; }

void Form::SetBackColor(os::COLORREF color) {
    EnsureLoaded();
    back_color_ = color;
    // A new back colour clears the drawing, as Cls does.
    if (hwnd_ != 0) Cls();
}

bool Form::Visible() { EnsureLoaded(); return visible_; }

void Form::SetVisible(bool visible) {
    EnsureLoaded();
    if (visible_ == visible) return;
    visible_ = visible;
    if (!visible) ToolTipFormGone(*this);
    if (hwnd_ == 0 || state_ != State::Loaded) return;
    if (visible) Flush();
    os::ShowHostedWindow(hwnd_, visible);
}

void Form::SetAutoRedraw(bool on) {
    EnsureLoaded();
    auto_redraw_ = on;
    if (on && hwnd_ != 0 && !image_) ResizeImage();
}

void Form::SetKeyPreview(bool on) { EnsureLoaded(); key_preview_ = on; }

const std::vector<os::IconImage>& Form::Icon() { EnsureLoaded(); return icon_; }

void Form::SetIcon(const std::vector<os::IconImage>& images) {
    EnsureLoaded();
    icon_ = images;
    if (hwnd_ != 0) os::SetHostedWindowIcon(hwnd_, icon_);
}

os::HWND Form::hWnd() { EnsureLoaded(); return hwnd_; }

os::HDC Form::hDC() {
    EnsureLoaded();
    return auto_redraw_ && image_dc_ ? image_dc_ : window_dc_;
}

// The persistent image has the client area's size; what still fits is kept and new area is
// BackColor.
void Form::ResizeImage() {
    const int w = ClientPixelWidth(), h = ClientPixelHeight();
    const std::uint32_t fill = os::PixelFromColorref(back_color_);
    if (!image_) {
        image_ = std::make_unique<os::Surface>(w, h, fill);
        image_dc_ = os::CreateSurfaceDC(image_.get());
    } else if (image_->width() != w || image_->height() != h) {
        image_->Resize(w, h, fill);
    }
    image_->NoteWritten(image_->bounds());
}

}  // namespace forms
