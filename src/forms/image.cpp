#include "forms/image.h"

#include <algorithm>

#include "forms/form.h"
#include "os/gdi.h"
#include "resources/embedded.h"

namespace forms {

Image::Image(Container& container, std::string name) : Control(container, std::move(name)) {}

Image::~Image() = default;

void Image::Destroy() {
    picture_.reset();
    stretch_ = true;
    Control::Destroy();
}

bool Image::LoadPicture(std::string_view resource_name) {
    Touch();
    const resources::Blob blob = resources::Find(resource_name);
    if (blob.empty()) return false;
    std::unique_ptr<os::Surface> decoded = os::LoadPictureFromMemory(blob.data, blob.size);
    if (!decoded) return false;
    picture_ = std::move(decoded);
    Invalidate();
    return true;
}

void Image::SetPicture(const os::Surface& picture) {
    Touch();
    auto copy = std::make_unique<os::Surface>(picture.width(), picture.height());
    for (int y = 0; y < picture.height(); ++y)
        std::copy(picture.row(y), picture.row(y) + picture.width(), copy->row(y));
    copy->NoteWritten(copy->bounds());
    picture_ = std::move(copy);
    Invalidate();
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
}

void Image::HandleClick() {
    if (OnClick) OnClick();
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
