#include "forms/label.h"

#include <vector>

#include "forms/draw3d.h"
#include "forms/focus_after.h"
#include "forms/form.h"
#include "forms/metrics.h"
#include "os/gdi.h"

namespace forms {

Label::Label(Container& container, std::string name)
    : PointerControl(container, std::move(name)),
      fore_color_(ColorButtonText),
      back_color_(ColorButtonFace) {}

void Label::Destroy() {
    caption_.clear();
    alignment_ = forms::Alignment::Left;
    fore_color_ = ColorButtonText;
    back_color_ = ColorButtonFace;
    back_style_ = forms::BackStyle::Opaque;
    font_name_.clear();
    font_size_ = 8;
    font_bold_ = false;
    PointerControl::Destroy();
}

const std::string& Label::Caption() { Touch(); return caption_; }

void Label::SetCaption(const std::string& caption) {
    Touch();
    if (caption_ == caption) return;
    caption_ = caption;
    Invalidate();
}

void Label::SetAlignment(forms::Alignment a) { Touch(); alignment_ = a; Invalidate(); }
void Label::SetForeColor(os::COLORREF color) { Touch(); fore_color_ = color; Invalidate(); }
os::COLORREF Label::BackColor() { Touch(); return back_color_; }
void Label::SetBackColor(os::COLORREF color) { Touch(); back_color_ = color; Invalidate(); }
void Label::SetBackStyle(forms::BackStyle style) { Touch(); back_style_ = style; Invalidate(); }

const std::string& Label::FontName() { Touch(); return font_name_; }
double Label::FontSize() { Touch(); return font_size_; }

void Label::SetFont(const std::string& face, double points, bool bold) {
    Touch();
    font_name_ = face;
    font_size_ = points;
    font_bold_ = bold;
    Invalidate();
}

char Label::AccessKey() { return os::AccessKeyOf(caption_); }

// A label's access key focuses the control that follows it in tab order.
void Label::OnAccessKey() { FocusAfter(*this); }

void Label::HandleDblClick() {
    if (OnDblClick) OnDblClick();
}

namespace {

// Splits a caption into lines that fit `width` pixels, breaking at blanks; a word wider
// than the line stands alone on its line.
std::vector<std::string> WrapLines(os::HDC dc, const std::string& text, int width) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find_first_of(" \n", pos);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(pos, end - pos);
        const std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && os::MeasureAccessText(dc, candidate).cx > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = candidate;
        }
        if (end < text.size() && text[end] == '\n') {
            lines.push_back(line);
            line.clear();
        }
        pos = end + 1;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace

void Label::Paint(os::HDC dc, int width, int height) {
    if (back_style_ == forms::BackStyle::Opaque) FillSolid(dc, os::Rect{0, 0, width, height}, back_color_);
    if (caption_.empty()) return;
    // A font of the label's own is selected only while its caption is drawn.
    const os::HGDIOBJ font =
        font_name_.empty()
            ? 0
            : os::CreateFontSimple(font_name_.c_str(), font_size_, font_bold_, false, false);
    const os::HGDIOBJ previous_font = font ? os::SelectObject(dc, font) : 0;
    PaintCaption(dc, width, height);
    if (font) {
        os::SelectObject(dc, previous_font);
        os::DeleteObject(font);
    }
}

void Label::PaintCaption(os::HDC dc, int width, int height) {
    os::TextMetricsSimple tm;
    os::GetTextMetricsSimple(dc, &tm);
    const int line_height = tm.height > 0 ? tm.height : 13;
    const bool disabled = !EffectivelyEnabled();
    int y = 0;
    for (const std::string& line : WrapLines(dc, caption_, width)) {
        if (y >= height) break;
        const int w = os::MeasureAccessText(dc, line).cx;
        int x = 0;
        if (alignment_ == forms::Alignment::Center) x = (width - w) / 2;
        if (alignment_ == forms::Alignment::Right) x = width - w;
        DrawCaption(dc, x, y, line, fore_color_, disabled);
        y += line_height;
    }
}

}  // namespace forms
