// A label: a caption drawn in the form, wrapped at word boundaries to its width. A label
// takes no focus; an access key ("&x") in its caption moves the focus to the next control
// in tab order that takes it.
#pragma once

#include <functional>
#include <string>

#include "forms/pointer_control.h"

namespace forms {

enum class Alignment { Left = 0, Right = 1, Center = 2 };
enum class BackStyle { Transparent = 0, Opaque = 1 };

class Label : public PointerControl {
public:
    Label(Container& container, std::string name);

    const std::string& Caption();
    void SetCaption(const std::string& caption);
    void SetAlignment(forms::Alignment a);
    void SetForeColor(os::COLORREF color);
    os::COLORREF BackColor();
    void SetBackColor(os::COLORREF color);
    void SetBackStyle(forms::BackStyle style);

    std::function<void()> OnDblClick;

    // The caption's font; an empty face means the form's default font.
    const std::string& FontName();
    double FontSize();
    void SetFont(const std::string& face, double points, bool bold = false);

    char AccessKey() override;
    void OnAccessKey() override;
    void Paint(os::HDC dc, int width, int height) override;
    void HandleDblClick() override;
    void Destroy() override;

private:
    void PaintCaption(os::HDC dc, int width, int height);

    std::string caption_;
    forms::Alignment alignment_ = forms::Alignment::Left;
    os::COLORREF fore_color_;
    os::COLORREF back_color_;
    forms::BackStyle back_style_ = forms::BackStyle::Opaque;
    std::string font_name_;
    double font_size_ = 8;
    bool font_bold_ = false;
};

}  // namespace forms
