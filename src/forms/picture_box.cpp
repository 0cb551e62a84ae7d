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

// The image is made when something first draws, reads or shows it: a hidden box that is
// sized at once and used later (a back buffer, a picture for a rare event) costs nothing
// until then and is made once, at its final size.
void PictureBox::Create() {}

void PictureBox::Destroy() {
    if (dc_) os::DeleteSurfaceDC(dc_);
    dc_ = 0;
    image_.reset();
    picture_.reset();
    picture_name_.clear();
    pending_picture_.clear();
    back_color_ = ColorButtonFace;
    fore_color_ = ColorButtonText;
    scale_mode_ = forms::ScaleMode::Twips;
    Control::Destroy();
}

// The image is the client area, at least one pixel.
void PictureBox::EnsureImage() {
    const int w = std::max(1, PixelWidth());
    const int h = std::max(1, PixelHeight());
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
    if (image_) EnsureImage();
}

void PictureBox::SetHeight(float v) {
    LoadPendingPicture();
    Control::SetHeight(v);
    if (image_) EnsureImage();
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

void PictureBox::DrawPicture(const os::Surface& picture) {
    EnsureImage();
    os::StretchPaint(dc_, 0, 0, picture.width(), picture.height(), picture, os::SRCCOPY);
    Invalidate();
}

// The decoded picture is drawn and let go: only its name is kept, and Picture() decodes it
// again should anyone ask (a large sheet would otherwise be held twice, as the picture and
// as the image it was drawn into).
bool PictureBox::LoadPicture(std::string_view resource_name) {
    return LoadResource(resource_name, false);
}

bool PictureBox::LoadResource(std::string_view resource_name, bool keep) {
    Touch();
    pending_picture_.clear();
    SharedPicture decoded = ResourcePicture(resource_name);
    if (!decoded) return false;
    picture_name_ = resource_name;
    DrawPicture(*decoded);
    picture_ = keep ? std::move(decoded) : nullptr;
    return true;
}

void PictureBox::LoadPictureOnUse(std::string_view resource_name) {
    Touch();
    pending_picture_ = resource_name;
}

// Decodes and draws the picture LoadPictureOnUse named, before anything reads or changes
// the image, so the result is what loading it at once gives. `keep` holds on to the
// decoded picture (it is being asked for).
void PictureBox::LoadPendingPicture(bool keep) {
    if (pending_picture_.empty()) return;
    const std::string name = std::move(pending_picture_);
    pending_picture_.clear();
    LoadResource(name, keep);
}

const os::Surface* PictureBox::Picture() {
    LoadPendingPicture(true);
    if (!picture_ && !picture_name_.empty()) picture_ = ResourcePicture(picture_name_);
    return picture_.get();
}

void PictureBox::SetPicture(const os::Surface& picture) {
    Touch();
    pending_picture_.clear();
    picture_name_.clear();
    picture_ = CopyPicture(picture);
    DrawPicture(*picture_);
}

void PictureBox::SetBackColor(os::COLORREF color) {
    Touch();
    LoadPendingPicture();
    back_color_ = color;
    if (dc_) os::SetBkColor(dc_, color);
    Cls();
}

void PictureBox::SetForeColor(os::COLORREF color) {
    Touch();
    fore_color_ = color;
    if (dc_) os::SetTextColor(dc_, color);
}

void PictureBox::SetScaleMode(forms::ScaleMode mode) { Touch(); scale_mode_ = mode; }

// An image not made yet will start out as BackColor: nothing to clear.
void PictureBox::Cls() {
    Touch();
    LoadPendingPicture();
    if (image_) FillSolid(dc_, image_->bounds(), back_color_);
    Invalidate();
}

float PictureBox::TwipsPerUnit() {
    return scale_mode_ == forms::ScaleMode::Pixels ? static_cast<float>(TwipsPerPixel) : 1.0f;
}

os::Rect PictureBox::ClientRectOnForm() { return RectOnForm(); }

void PictureBox::Paint(os::HDC dc, int width, int height) {
    LoadPendingPicture();
    EnsureImage();
    // The image with the box's own surface as source.
    const os::HDC src = dc_;
    os::BitBlt(dc, 0, 0, std::min(image_->width(), width), std::min(image_->height(), height),
               src, 0, 0, os::SRCCOPY);
}

}  // namespace forms
