#include "forms/text_box.h"

#include <algorithm>

#include "forms/draw3d.h"
#include "forms/form.h"
#include "forms/metrics.h"
#include "forms/text_field.h"
#include "os/gdi.h"

namespace forms {

using text_field::kEdge;
using text_field::kPadding;

TextBox::TextBox(Container& container, std::string name) : Control(container, std::move(name)) {}

void TextBox::Destroy() {
    text_.clear();
    password_char_ = 0;
    max_length_ = 0;
    caret_ = 0;
    scroll_ = 0;
    Control::Destroy();
}

const std::string& TextBox::Text() { Touch(); return text_; }

// From code the whole text is replaced (MaxLength limits typing only) and the caret goes
// to the start; Change runs when the text differs.
void TextBox::SetText(const std::string& text) {
    Touch();
    Change(text, 0);
}

void TextBox::SetPasswordChar(char c) { Touch(); password_char_ = c; Invalidate(); }
void TextBox::SetMaxLength(int n) { Touch(); max_length_ = std::max(0, n); }
int TextBox::SelStart() { Touch(); return caret_; }

void TextBox::SetSelStart(int pos) {
    Touch();
    caret_ = std::clamp(pos, 0, static_cast<int>(text_.size()));
    Invalidate();
}

std::string TextBox::DisplayText() {
    Touch();
    if (password_char_ != 0) return std::string(text_.size(), password_char_);
    return text_;
}

void TextBox::Change(std::string text, int caret) {
    const bool changed = text != text_;
    text_ = std::move(text);
    caret_ = std::clamp(caret, 0, static_cast<int>(text_.size()));
    Invalidate();
    if (changed && OnChange) OnChange();
}

void TextBox::HandleKeyDown(int& key, int shift) {
    int s = shift;
    if (OnKeyDown) OnKeyDown(key, s);
    const int len = static_cast<int>(text_.size());
    switch (key) {
        case vbKeyLeft: caret_ = std::max(0, caret_ - 1); break;
        case vbKeyRight: caret_ = std::min(len, caret_ + 1); break;
        case vbKeyHome: caret_ = 0; break;
        case vbKeyEnd: caret_ = len; break;
        case vbKeyBack:
            if (caret_ > 0) {
                std::string t = text_;
                t.erase(static_cast<std::size_t>(caret_ - 1), 1);
                Change(std::move(t), caret_ - 1);
            }
            return;
        case vbKeyDelete:
            if (caret_ < len) {
                std::string t = text_;
                t.erase(static_cast<std::size_t>(caret_), 1);
                Change(std::move(t), caret_);
            }
            return;
        default: return;
    }
    Invalidate();
}

void TextBox::HandleKeyPress(int& key_ascii) {
    if (OnKeyPress) OnKeyPress(key_ascii);
    if (key_ascii < 32 || key_ascii > 255 || key_ascii == 127) return;  // control characters
    if (max_length_ > 0 && static_cast<int>(text_.size()) >= max_length_) return;
    std::string t = text_;
    t.insert(t.begin() + caret_, static_cast<char>(key_ascii));
    Change(std::move(t), caret_ + 1);
}

// A click puts the caret at the nearest character boundary.
void TextBox::HandleMouseDown(int button, int, int x, int) {
    if (button != vbLeftButton) return;
    // Text is measured in the form's context: every context starts with the same font.
    caret_ = text_field::NearestBoundary(OwnerForm().hDC(), DisplayText(), scroll_, x);
    Invalidate();
}

void TextBox::HandleFocus(bool gained) {
    (void)gained;
    Invalidate();
}

void TextBox::Paint(os::HDC dc, int width, int height) {
    const bool enabled = EffectivelyEnabled();
    FillSolid(dc, os::Rect{0, 0, width, height}, enabled ? ColorWindow : ColorButtonFace);
    DrawSunkenEdge(dc, os::Rect{0, 0, width, height});

    const std::string shown = DisplayText();
    const int inner = std::max(0, width - 2 * (kEdge + kPadding));
    // Scroll so that the caret stays inside the field.
    scroll_ = std::min(scroll_, caret_);
    auto extent = [&](int from, int to) {
        os::SIZE size;
        os::GetTextExtentPoint32A(dc, shown.c_str() + from, to - from, &size);
        return static_cast<int>(size.cx);
    };
    while (scroll_ < caret_ && extent(scroll_, caret_) > inner) ++scroll_;

    os::TextMetricsSimple tm;
    os::GetTextMetricsSimple(dc, &tm);
    const int text_height = tm.height > 0 ? tm.height : 13;
    const int y = std::max(kEdge, (height - text_height) / 2);
    os::SetBkMode(dc, os::TRANSPARENT);
    os::SetTextColor(dc, enabled ? ColorWindowText : ColorGrayText);
    const os::RECT clip{kEdge, kEdge, width - kEdge, height - kEdge};
    os::SetClipRect(dc, &clip);
    os::TextOutA(dc, kEdge + kPadding, y, shown.c_str() + scroll_,
                 static_cast<int>(shown.size()) - scroll_);
    if (HasFocus()) {
        const int cx = kEdge + kPadding + extent(scroll_, caret_);
        FillSolid(dc, os::Rect{cx, y, cx + 1, y + text_height}, ColorWindowText);
    }
    os::SetClipRect(dc, nullptr);
}

}  // namespace forms
