// The message box: a fixed-border dialog built per call, sized to its text, centred on the
// screen and shown modally.
#include "forms/msgbox.h"

#include <algorithm>
#include <vector>

#include "forms/app.h"
#include "forms/command_button.h"
#include "forms/draw3d.h"
#include "forms/form.h"
#include "forms/metrics.h"
#include "forms/msgbox_icons.h"
#include "os/gdi.h"
#include "os/window.h"

namespace forms {

namespace {

constexpr int kMargin = 12;        // pixels around the contents
constexpr int kMaxTextWidth = 360;  // longer lines wrap at word boundaries
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kCaptionRoom = 60;   // room the caption bar keeps beside the title

struct TextLayout {
    std::vector<std::string> lines;
    int width = 0;
    int line_height = 0;
};

int TextWidth(os::HDC dc, const std::string& s) {
    os::SIZE size{0, 0};
    os::GetTextExtentPoint32A(dc, s.c_str(), static_cast<int>(s.size()), &size);
    return size.cx;
}

// Breaks the prompt at its line breaks ("\r\n", "\n" or "\r"), then each line at blanks
// so that no line is wider than kMaxTextWidth (a single longer word stays whole).
TextLayout LayOutText(const std::string& prompt) {
    os::Surface scratch(1, 1);
    const os::HDC dc = os::CreateSurfaceDC(&scratch);
    TextLayout layout;
    os::SIZE probe{0, 0};
    os::GetTextExtentPoint32A(dc, "Ag", 2, &probe);
    layout.line_height = std::max(1, static_cast<int>(probe.cy));

    std::vector<std::string> paragraphs(1);
    for (std::size_t i = 0; i < prompt.size(); ++i) {
        const char c = prompt[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < prompt.size() && prompt[i + 1] == '\n') ++i;
            paragraphs.emplace_back();
        } else {
            paragraphs.back() += c;
        }
    }
    for (const std::string& paragraph : paragraphs) {
        std::string line;
        std::size_t pos = 0;
        bool any = false;
        while (pos <= paragraph.size()) {
            std::size_t end = paragraph.find(' ', pos);
            if (end == std::string::npos) end = paragraph.size();
            const std::string word = paragraph.substr(pos, end - pos);
            const std::string candidate = any ? line + " " + word : word;
            if (any && TextWidth(dc, candidate) > kMaxTextWidth) {
                layout.lines.push_back(line);
                line = word;
            } else {
                line = candidate;
            }
            any = true;
            pos = end + 1;
        }
        layout.lines.push_back(line);
    }
    for (const std::string& line : layout.lines)
        layout.width = std::max(layout.width, TextWidth(dc, line));
    os::DeleteSurfaceDC(dc);
    return layout;
}

// The prompt's lines, left-aligned.
class MessageText : public Control {
public:
    MessageText(Container& container, TextLayout layout)
        : Control(container, "Prompt"), layout_(std::move(layout)) {}
    void Paint(os::HDC dc, int, int) override {
        os::SetBkMode(dc, os::TRANSPARENT);
        os::SetTextColor(dc, ColorButtonText);
        int y = 0;
        for (const std::string& line : layout_.lines) {
            os::TextOutA(dc, 0, y, line.c_str(), static_cast<int>(line.size()));
            y += layout_.line_height;
        }
    }

private:
    TextLayout layout_;
};

class MessageIcon : public Control {
public:
    MessageIcon(Container& container, int icon_style)
        : Control(container, "Icon"), icon_style_(icon_style) {}
    void Paint(os::HDC dc, int, int) override { DrawMessageIcon(dc, 0, 0, icon_style_); }

private:
    int icon_style_;
};

class MessageBoxForm : public Form {
public:
    MessageBoxForm(const std::string& prompt, int style, const std::string& caption)
        : Form("MsgBox"),
          prompt_(prompt),
          style_(style),
          layout_(LayOutText(prompt)),
          icon_style_(style & 0x70),
          caption_(caption),
          Icon(*this, icon_style_),
          Text(*this, layout_),
          OK(*this, "OK") {}

    std::string prompt_;
    int style_;
    TextLayout layout_;
    int icon_style_;
    std::string caption_;
    MessageIcon Icon;
    MessageText Text;
    CommandButton OK;

protected:
    void Design() override {
        SetScaleMode(forms::ScaleMode::Pixels);
        SetCaption(caption_);
        const bool has_icon = icon_style_ == vbCritical || icon_style_ == vbExclamation ||
                              icon_style_ == vbInformation;
        const int icon = has_icon ? MessageIconSize : 0;
        const int text_left = kMargin + (has_icon ? icon + kMargin : 0);
        const int text_height = static_cast<int>(layout_.lines.size()) * layout_.line_height;
        // A short text stands level with the middle of the icon.
        const int text_top = kMargin + std::max(0, (icon - text_height) / 2);
        const int content_bottom = std::max(kMargin + icon, text_top + text_height);
        const int title_width = LayOutText(caption_).width + kCaptionRoom;
        const int width = std::max({text_left + layout_.width + kMargin,
                                    kButtonWidth + 2 * kMargin, title_width});
        const int button_top = content_bottom + kMargin;
        const int height = button_top + kButtonHeight + kMargin;
        SetScaleWidth(static_cast<float>(width));
        SetScaleHeight(static_cast<float>(height));

        Icon.Move(static_cast<float>(kMargin), static_cast<float>(kMargin),
                  static_cast<float>(icon), static_cast<float>(icon));
        Icon.SetVisible(has_icon);
        Text.Move(static_cast<float>(text_left), static_cast<float>(text_top),
                  static_cast<float>(std::max(1, layout_.width)), static_cast<float>(text_height));
        OK.Move(static_cast<float>((width - kButtonWidth) / 2), static_cast<float>(button_top),
                static_cast<float>(kButtonWidth), static_cast<float>(kButtonHeight));
        OK.SetCaption("OK");
        OK.SetDefault(true);
        OK.SetCancel(true);
        OK.OnClick = [this] { Unload(); };

        // Centred on the screen.
        os::RECT screen{};
        os::GetWindowRect(os::GetDesktopWindow(), &screen);
        const float screen_w = PixelsToTwips(screen.right - screen.left);
        const float screen_h = PixelsToTwips(screen.bottom - screen.top);
        SetLeft(std::max(0.0f, (screen_w - Width()) / 2));
        SetTop(std::max(0.0f, (screen_h - Height()) / 2));
    }
};

std::vector<MessageBoxForm*>& OpenBoxes() {
    static std::vector<MessageBoxForm*> boxes;
    return boxes;
}

}  // namespace

int MsgBox(const std::string& prompt, int style, const std::string& title) {
    MessageBoxForm box(prompt, style, title.empty() ? App.Title() : title);
    box.Load();
    OpenBoxes().push_back(&box);
    // Above every window of ours, the saver's included.
    if (box.hWnd() != 0)
        os::SetWindowPos(box.hWnd(), os::HWND_TOPMOST, 0, 0, 0, 0,
                         os::SWP_NOMOVE | os::SWP_NOSIZE);
    box.OK.SetFocus();
    box.Show(true);
    auto& open = OpenBoxes();
    open.erase(std::remove(open.begin(), open.end(), &box), open.end());
    if (box.IsLoaded()) box.Unload();
    return vbOK;
}

bool MessageBoxOpen(OpenMessageBox* out) {
    const auto& open = OpenBoxes();
    if (open.empty()) return false;
    if (out) {
        MessageBoxForm* box = open.back();
        out->caption = box->caption_;
        out->prompt = box->prompt_;
        out->style = box->style_;
        out->hwnd = box->IsLoaded() ? box->hWnd() : 0;
    }
    return true;
}

}  // namespace forms
