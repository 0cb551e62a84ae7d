// An image control: shows a picture, stretched to fill the control's box when Stretch is on
// (the default here), else at its own size from the top-left corner, the control then
// taking the picture's size whenever a picture is set or Stretch goes off. It has no background
// of its own: where no picture lies, the container shows through. Like every control it is
// clipped by its container (a panel cuts off what lies outside it, a negative Top
// included). Takes no focus; OnClick runs on a click.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "forms/pointer_control.h"
#include "forms/resource_picture.h"
#include "os/surface.h"

namespace forms {

class Image : public PointerControl {
public:
    Image(Container& container, std::string name);
    ~Image() override;

    // Loads a picture held inside the executable (resources::Find names); false when the
    // resource is missing or cannot be decoded (the previous picture is then kept).
    bool LoadPicture(std::string_view resource_name);
    // Takes a copy of a picture (e.g. another form's image).
    void SetPicture(const os::Surface& picture);
    // Removes the picture.
    void ClearPicture();
    // The picture, or nullptr (touching it loads the form).
    const os::Surface* Picture();

    bool Stretch();
    void SetStretch(bool on);

    void Paint(os::HDC dc, int width, int height) override;
    void Destroy() override;

private:
    // Without Stretch the control takes the picture's own size.
    void FitToPicture();

    SharedPicture picture_;
    bool stretch_ = true;
};

}  // namespace forms
