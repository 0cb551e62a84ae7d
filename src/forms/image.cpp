#include "forms/image.h"
#include "forms/resource_picture.h"

#include <algorithm>

#include "forms/form.h"
#include "forms/metrics.h"
#include "os/gdi.h"
#include "resources/embedded.h"

namespace forms {

Image::Image(Container& container, std::string name)
    : PointerControl(container, std::move(name)) {}

Image::~Image() = default;

void Image::Destroy() {
    picture_.reset();
    stretch_ = true;
    PointerControl::Destroy();
}

bool Image::LoadPicture(std::string_view resource_name) {
    Touch();
    SharedPicture decoded = ResourcePicture(resource_name);
    if (!decoded) return false;
    picture_ = std::move(decoded);
    Invalidate();
    FitToPicture();
    return true;
}

void Image::SetPicture(const os::Surface& picture) {
    Touch();
    picture_ = CopyPicture(picture);
    Invalidate();
    FitToPicture();
}

void Image::ClearPicture() {
    Touch();
    picture_.reset();
    Invalidate();
}

const os::Surface* Image::Picture() {
    Touch();
    return picture_.get();
}

bool Image::Stretch() { Touch(); return stretch_; }

void Image::SetStretch(bool on) {
    Touch();
    stretch_ = on;
    Invalidate();
    FitToPicture();
}

void Image::FitToPicture() {
    if (stretch_ || !picture_) return;
    const float per_unit = ContainerTwipsPerUnit();
    SetWidth(PixelsToTwips(picture_->width()) / per_unit);
    SetHeight(PixelsToTwips(picture_->height()) / per_unit);
}

void Image::Paint(os::HDC dc, int width, int height) {
    if (!picture_ || width <= 0 || height <= 0) return;
    if (stretch_) {
        os::StretchPaint(dc, 0, 0, width, height, *picture_, os::SRCCOPY);
    } else {
        os::StretchPaint(dc, 0, 0, picture_->width(), picture_->height(), *picture_, os::SRCCOPY);
    }
}

}  // namespace forms
