#include "forms/picture_box.h"
#include "forms/resource_picture.h"

#include <algorithm>

#include "forms/draw3d.h"
#include "forms/form.h"
#include "forms/metrics.h"
#include "os/gdi.h"
#include "resources/embedded.h"

namespace forms {

PictureBox::PictureBox(Container& container, std::string name)
    : Control(container, std::move(name)),
      back_color_(ColorButtonFace),
      fore_color_(ColorButtonText),
      scale_mode_(forms::ScaleMode::Twips) {}

PictureBox::~PictureBox() {
    if (dc_) os::DeleteSurfaceDC(dc_);
}

void PictureBox::Create() { EnsureImage(); }

void PictureBox::Destroy() {
    if (dc_) os::DeleteSurfaceDC(dc_);
    dc_ = 0;
    image_.reset();
    picture_.reset();
    pending_picture_.clear();
    back_color_ = ColorButtonFace;
    fore_color_ = ColorButtonText;
    auto_redraw_ = true;
    has_border_ = false;
    scale_mode_ = forms::ScaleMode::Twips;
    Control::Destroy();
}

// The image is the client area: the box less its border, at least one pixel.
void PictureBox::EnsureImage() {
    const int w = std::max(1, PixelWidth() - 2 * BorderPixels());
    const int h = std::max(1, PixelHeight() - 2 * BorderPixels());
    const std::uint32_t fill = os::PixelFromColorref(back_color_);
    if (!image_) {
        image_ = std::make_unique<os::Surface>(w, h, fill);
        dc_ = os::CreateSurfaceDC(image_.get());
        os::SetTextColor(dc_, fore_color_);
        os::SetBkColor(dc_, back_color_);
    } else if (image_->width() != w || image_->height() != h) {
        image_->Resize(w, h, fill);
        image_->NoteWritten(image_->bounds());
    }
}

void PictureBox::SetWidth(float v) {
    LoadPendingPicture();
    Control::SetWidth(v);
    if (OwnerForm().IsLoaded()) EnsureImage();
}

void PictureBox::SetHeight(float v) {
    LoadPendingPicture();
    Control::SetHeight(v);
    if (OwnerForm().IsLoaded()) EnsureImage();
}

os::HDC PictureBox::hDC() {
    Touch();
    LoadPendingPicture();
    EnsureImage();
    return dc_;
}

os::Surface& PictureBox::Image() {
    Touch();
    LoadPendingPicture();
    EnsureImage();
    return *image_;
}

void PictureBox::DrawPicture() {
    if (!picture_) return;
    EnsureImage();
    os::StretchPaint(dc_, 0, 0, picture_->width(), picture_->height(), *picture_, os::SRCCOPY);
    Invalidate();
}

bool PictureBox::LoadPicture(std::string_view resource_name) {
    Touch();
    pending_picture_.clear();
    SharedPicture decoded = ResourcePicture(resource_name);
    if (!decoded) return false;
    picture_ = std::move(decoded);
    DrawPicture();
    return true;
}

void PictureBox::LoadPictureOnUse(std::string_view resource_name) {
    Touch();
    pending_picture_ = resource_name;
}

// Decodes and draws the picture LoadPictureOnUse named, before anything reads or changes
// the image, so the result is what loading it at once gives.
void PictureBox::LoadPendingPicture() {
    if (pending_picture_.empty()) return;
    const std::string name = std::move(pending_picture_);
    pending_picture_.clear();
    LoadPicture(name);
}

const os::Surface* PictureBox::Picture() {
    LoadPendingPicture();
    return picture_.get();
}

void PictureBox::SetPicture(const os::Surface& picture) {
    Touch();
    pending_picture_.clear();
    picture_ = CopyPicture(picture);
    DrawPicture();
}

os::COLORREF PictureBox::BackColor() { Touch(); return back_color_; }

void PictureBox::SetBackColor(os::COLORREF color) {
    Touch();
    LoadPendingPicture();
    back_color_ = color;
    if (dc_) os::SetBkColor(dc_, color);
    Cls();
}

os::COLORREF PictureBox::ForeColor() { Touch(); return fore_color_; }

void PictureBox::SetForeColor(os::COLORREF color) {
    Touch();
    fore_color_ = color;
    if (dc_) os::SetTextColor(dc_, color);
}

bool PictureBox::AutoRedraw() { Touch(); return auto_redraw_; }
void PictureBox::SetAutoRedraw(bool on) { Touch(); auto_redraw_ = on; }
bool PictureBox::HasBorder() { Touch(); return has_border_; }

void PictureBox::SetHasBorder(bool on) {
    Touch();
    LoadPendingPicture();
    has_border_ = on;
    if (OwnerForm().IsLoaded()) EnsureImage();
    Invalidate();
}

forms::ScaleMode PictureBox::ScaleMode() { Touch(); return scale_mode_; }
void PictureBox::SetScaleMode(forms::ScaleMode mode) { Touch(); scale_mode_ = mode; }

void PictureBox::Cls() {
    Touch();
    LoadPendingPicture();
    EnsureImage();
    FillSolid(dc_, image_->bounds(), back_color_);
    Invalidate();
}

float PictureBox::TwipsPerUnit() {
    return scale_mode_ == forms::ScaleMode::Pixels ? static_cast<float>(TwipsPerPixel) : 1.0f;
}

os::Rect PictureBox::ClientRectOnForm() {
    const os::Rect r = RectOnForm();
    const int b = BorderPixels();
    return os::Rect{r.left + b, r.top + b, std::max(r.left + b, r.right - b),
                    std::max(r.top + b, r.bottom - b)};
}

void PictureBox::Paint(os::HDC dc, int width, int height) {
    LoadPendingPicture();
    const int b = BorderPixels();
    if (b > 0) DrawSunkenEdge(dc, os::Rect{0, 0, width, height});
    if (!image_) return;
    // The image with the box's own surface as source.
    const os::HDC src = dc_;
    os::BitBlt(dc, b, b, std::min(image_->width(), width - 2 * b),
               std::min(image_->height(), height - 2 * b), src, 0, 0, os::SRCCOPY);
}

}  // namespace forms
