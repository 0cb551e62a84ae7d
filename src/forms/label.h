// A label: a caption drawn in the form, wrapped at word boundaries to its width. A label
// takes no focus; an access key ("&x") in its caption moves the focus to the next control
// in tab order that takes it.
#pragma once

#include <functional>
#include <string>

#include "forms/control.h"
#include "forms/mouse_events.h"

namespace forms {

enum class Alignment { Left = 0, Right = 1, Center = 2 };
enum class BackStyle { Transparent = 0, Opaque = 1 };

class Label : public Control {
public:
    Label(Container& container, std::string name);

    const std::string& Caption();
    void SetCaption(const std::string& caption);
    forms::Alignment Alignment();
    void SetAlignment(forms::Alignment a);
    os::COLORREF ForeColor();
    void SetForeColor(os::COLORREF color);
    os::COLORREF BackColor();
    void SetBackColor(os::COLORREF color);
    forms::BackStyle BackStyle();
    void SetBackStyle(forms::BackStyle style);

    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    // Pointer pressed on the label, moved over it (or, while pressed, anywhere) and released.
    MouseHandler OnMouseDown;
    MouseHandler OnMouseMove;
    MouseHandler OnMouseUp;

    // The caption's font; an empty face means the form's default font.
    const std::string& FontName();
    double FontSize();
    bool FontBold();
    void SetFont(const std::string& face, double points, bool bold = false);

    char AccessKey() override;
    void OnAccessKey() override;
    void Paint(os::HDC dc, int width, int height) override;
    void HandleClick() override;
    void HandleDblClick() override;
    void HandleMouseDown(int button, int shift, int x, int y) override;
    void HandleMouseUp(int button, int shift, int x, int y) override;
    void HandleMouseMove(int buttons, int shift, int x, int y) override;
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
