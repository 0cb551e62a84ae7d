// A picture box: a persistent image of its own size with a device context, optionally
// shown on the form (and a panel that holds other controls). Hidden picture boxes serve as
// off-screen drawing surfaces: what is drawn into hDC stays until drawn over.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "forms/control.h"
#include "forms/resource_picture.h"
#include "os/surface.h"

namespace forms {

class PictureBox : public Control, public Container {
public:
    PictureBox(Container& container, std::string name);
    ~PictureBox() override;

    // Sizes in the container's scale units; the image follows, keeping what still fits and
    // filling new area with BackColor.
    void SetWidth(float v) override;
    void SetHeight(float v) override;

    // The image's device context (valid while the form is loaded).
    os::HDC hDC();
    // The image itself.
    os::Surface& Image();
    // Loads a picture held inside the executable (resources::Find names) and draws it at
    // the image's top-left corner; false when the resource is missing or cannot be read.
    bool LoadPicture(std::string_view resource_name);
    // Like LoadPicture, but the picture is decoded only when something first uses the box
    // (its picture, image, context, size or colours); until then it costs nothing.
    void LoadPictureOnUse(std::string_view resource_name);
    // The picture last loaded (for borrowing, e.g. by another form), or nullptr.
    const os::Surface* Picture();
    // Takes a copy of another surface as the picture and draws it.
    void SetPicture(const os::Surface& picture);

    void SetBackColor(os::COLORREF color);  // fills the image
    void SetForeColor(os::COLORREF color);  // the text colour of hDC
    void SetScaleMode(forms::ScaleMode mode);
    // Clears the image to BackColor.
    void Cls();

    // Container
    Form& OwnerForm() override { return Control::OwnerForm(); }
    float TwipsPerUnit() override;
    os::Rect ClientRectOnForm() override;
    Container* AsContainer() override { return this; }

    void Paint(os::HDC dc, int width, int height) override;
    void Create() override;
    void Destroy() override;

private:
    void EnsureImage();
    void DrawPicture(const os::Surface& picture);
    bool LoadResource(std::string_view resource_name, bool keep);
    void LoadPendingPicture(bool keep = false);

    std::unique_ptr<os::Surface> image_;
    os::HDC dc_ = 0;
    SharedPicture picture_;        // SetPicture's copy, or a loaded picture once asked for
    std::string picture_name_;     // the resource LoadPicture drew last
    std::string pending_picture_;  // LoadPictureOnUse's resource, not decoded yet
    os::COLORREF back_color_;
    os::COLORREF fore_color_;
    forms::ScaleMode scale_mode_;
};

}  // namespace forms
