// The combo box's text field, its items, its keys and how the box itself is drawn; the
// dropped list is in combo_list.cpp.
#include "forms/combo_box.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "forms/combo_drop_list.h"
#include "forms/draw3d.h"
#include "forms/form.h"
#include "forms/metrics.h"
#include "forms/text_field.h"
#include "os/gdi.h"

namespace forms {

namespace {

using text_field::kEdge;
using text_field::kPadding;
constexpr int kButtonWidth = 16;  // the drop-down button, when the box is wide enough
constexpr int kMinTextRoom = 12;  // a narrow box gives its text at least this much
constexpr int kKeyF4 = 115;

bool StartsWithNoCase(const std::string& item, const std::string& prefix) {
    if (prefix.size() > item.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(item[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

}  // namespace

ComboBox::ComboBox(Container& container, std::string name) : Control(container, std::move(name)) {}

ComboBox::~ComboBox() = default;

void ComboBox::Destroy() {
    text_.clear();
    items_.clear();
    list_index_ = -1;
    list_rows_ = 8;
    caret_ = anchor_ = scroll_ = 0;
    dropped_ = button_pressed_ = button_held_ = selecting_ = false;
    hot_ = -1;
    top_index_ = shown_rows_ = 0;
    list_rect_ = os::Rect{};
    list_hold_ = ListHold::None;
    // The list control resets its own geometry (every control of the form is destroyed).
    Control::Destroy();
}

// --- text and selection --------------------------------------------------------------------

const std::string& ComboBox::Text() { Touch(); return text_; }

void ComboBox::SetText(const std::string& text) {
    Touch();
    Edit(text, static_cast<int>(text.size()));
    SelectAll();
}

int ComboBox::SelStart() { Touch(); return std::min(anchor_, caret_); }
int ComboBox::SelLength() { Touch(); return std::abs(caret_ - anchor_); }

void ComboBox::SetSelStart(int pos) {
    Touch();
    caret_ = anchor_ = std::clamp(pos, 0, static_cast<int>(text_.size()));
    Invalidate();
}

void ComboBox::SetSelLength(int length) {
    Touch();
    anchor_ = std::min(anchor_, caret_);
    caret_ = std::clamp(anchor_ + std::max(0, length), 0, static_cast<int>(text_.size()));
    Invalidate();
}

std::string ComboBox::SelText() {
    Touch();
    const int from = std::min(anchor_, caret_);
    return text_.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(std::abs(caret_ - anchor_)));
}

void ComboBox::SelectAll() {
    anchor_ = 0;
    caret_ = static_cast<int>(text_.size());
    Invalidate();
}

// The text becomes `text` with the caret at `caret` and no selection; ListIndex follows
// the text; OnChange runs when it differs.
void ComboBox::Edit(std::string text, int caret) {
    const bool changed = text != text_;
    text_ = std::move(text);
    caret_ = anchor_ = std::clamp(caret, 0, static_cast<int>(text_.size()));
    list_index_ = MatchingItem(false);
    if (dropped_) {
        const int match = MatchingItem(true);
        if (match >= 0) KeepVisible(match);
        SetHot(match);
    }
    Invalidate();
    if (changed && OnChange) OnChange();
}

void ComboBox::ReplaceSelection(const std::string& with) {
    const int from = std::min(anchor_, caret_);
    const int to = std::max(anchor_, caret_);
    std::string t = text_;
    t.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), with);
    Edit(std::move(t), from + static_cast<int>(with.size()));
}

// The first item equal to the text (prefix: beginning with it), ignoring case; -1 when
// none or, for a prefix, when the text is empty.
int ComboBox::MatchingItem(bool prefix) const {
    if (prefix && text_.empty()) return -1;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const std::string& item = items_[i];
        if (prefix ? StartsWithNoCase(item, text_)
                   : item.size() == text_.size() && StartsWithNoCase(item, text_))
            return static_cast<int>(i);
    }
    return -1;
}

// --- items ---------------------------------------------------------------------------------

void ComboBox::AddItem(const std::string& item, int index) {
    Touch();
    const int count = static_cast<int>(items_.size());
    if (index < -1 || index > count) return;
    const int at = index == -1 ? count : index;
    items_.insert(items_.begin() + at, item);
    if (list_index_ >= at) ++list_index_;
    if (list_index_ < 0) list_index_ = MatchingItem(false);
    if (dropped_) PlaceList();
}

void ComboBox::RemoveItem(int index) {
    Touch();
    if (index < 0 || index >= static_cast<int>(items_.size())) return;
    items_.erase(items_.begin() + index);
    if (list_index_ == index) list_index_ = -1;
    else if (list_index_ > index) --list_index_;
    if (items_.empty()) CloseUp();
    else if (dropped_) PlaceList();
}

int ComboBox::ListCount() { Touch(); return static_cast<int>(items_.size()); }

std::string ComboBox::List(int index) {
    Touch();
    if (index < 0 || index >= static_cast<int>(items_.size())) return {};
    return items_[static_cast<std::size_t>(index)];
}

int ComboBox::ListIndex() { Touch(); return list_index_; }

void ComboBox::SetListIndex(int index) {
    Touch();
    if (index == -1) {
        list_index_ = -1;
        return;
    }
    if (index < 0 || index >= static_cast<int>(items_.size())) return;
    Choose(index);
}

int ComboBox::ListRows() { Touch(); return list_rows_; }

void ComboBox::Choose(int index) {
    // A choice raises Click, not Change.
    text_ = items_[static_cast<std::size_t>(index)];
    list_index_ = index;
    SelectAll();
    if (dropped_) {
        KeepVisible(index);
        SetHot(index);
    }
    if (OnClick) OnClick();
}

// Up/Down and Page keys: the item `delta` rows away from the chosen (or highlighted) one,
// kept within the list.
void ComboBox::StepChoice(int delta) {
    if (items_.empty()) return;
    int from = dropped_ && hot_ >= 0 ? hot_ : list_index_;
    if (from < 0) from = MatchingItem(true);
    const int last = static_cast<int>(items_.size()) - 1;
    const int to = from < 0 ? (delta > 0 ? 0 : last) : std::clamp(from + delta, 0, last);
    if (to == list_index_ && text_ == items_[static_cast<std::size_t>(to)]) {
        SetHot(to);
        return;
    }
    Choose(to);
}

// --- Validate ------------------------------------------------------------------------------

void ComboBox::RunValidate(int& Cancel) {
    if (OnValidate) OnValidate(Cancel);
}

// --- keys ----------------------------------------------------------------------------------

void ComboBox::HandleKeyDown(int& key, int shift) {
    int s = shift;
    if (OnKeyDown) OnKeyDown(key, s);
    if (key == 0) return;
    const bool alt = (shift & vbAltMask) != 0;
    const bool extend = (shift & vbShiftMask) != 0;
    const int len = static_cast<int>(text_.size());
    if (key == kKeyF4 || (alt && (key == vbKeyDown || key == vbKeyUp))) {
        SetDroppedDown(!dropped_);
        return;
    }
    auto move_caret = [&](int to) {
        caret_ = std::clamp(to, 0, len);
        if (!extend) anchor_ = caret_;
        Invalidate();
    };
    switch (key) {
        case vbKeyDown: StepChoice(1); break;
        case vbKeyUp: StepChoice(-1); break;
        case vbKeyPageDown: StepChoice(std::max(1, (dropped_ ? shown_rows_ : list_rows_) - 1)); break;
        case vbKeyPageUp: StepChoice(-std::max(1, (dropped_ ? shown_rows_ : list_rows_) - 1)); break;
        case vbKeyLeft: move_caret(caret_ - 1); break;
        case vbKeyRight: move_caret(caret_ + 1); break;
        case vbKeyHome: move_caret(0); break;
        case vbKeyEnd: move_caret(len); break;
        case vbKeyBack:
            if (anchor_ != caret_) ReplaceSelection("");
            else if (caret_ > 0) {
                anchor_ = caret_ - 1;
                ReplaceSelection("");
            }
            break;
        case vbKeyDelete:
            if (anchor_ != caret_) ReplaceSelection("");
            else if (caret_ < len) {
                anchor_ = caret_ + 1;
                ReplaceSelection("");
            }
            break;
        case vbKeyReturn:
            if (dropped_) {
                if (hot_ >= 0 && (hot_ != list_index_ || text_ != items_[static_cast<std::size_t>(hot_)]))
                    Choose(hot_);
                CloseUp();
            }
            break;
        case vbKeyEscape:
            if (dropped_) CloseUp();
            break;
        default: break;
    }
}

// Every character reaches OnKeyPress first; printable ones then replace the selection.
void ComboBox::HandleKeyPress(int& key_ascii) {
    if (OnKeyPress) OnKeyPress(key_ascii);
    if (key_ascii < 32 || key_ascii > 255 || key_ascii == 127) return;
    if (!OwnerForm().IsLoaded()) return;  // the handler unloaded the form
    ReplaceSelection(std::string(1, static_cast<char>(key_ascii)));
}

void ComboBox::HandleFocus(bool gained) {
    if (gained) {
        SelectAll();
    } else {
        CloseUp();
        selecting_ = false;
    }
    Invalidate();
}

// --- mouse on the box ----------------------------------------------------------------------

ComboBox::Parts ComboBox::Layout() {
    const int w = PixelWidth(), h = PixelHeight();
    const int button_w = std::clamp(std::min(kButtonWidth, w - 2 * kEdge - kMinTextRoom), 0,
                                    std::max(0, w - 2 * kEdge));
    Parts p;
    p.button = os::Rect{w - kEdge - button_w, kEdge, w - kEdge, std::max(kEdge, h - kEdge)};
    p.edit = os::Rect{kEdge, kEdge, p.button.left, std::max(kEdge, h - kEdge)};
    return p;
}

// The character boundary nearest to x (box pixels).
int ComboBox::CaretAt(int x) {
    return text_field::NearestBoundary(OwnerForm().hDC(), text_, scroll_, x);
}

void ComboBox::HandleMouseDown(int button, int shift, int x, int y) {
    if (button != vbLeftButton) return;
    const Parts p = Layout();
    if (InsideRect(p.button, x, y)) {
        button_held_ = true;
        button_pressed_ = true;
        Invalidate();
        SetDroppedDown(!dropped_);
        return;
    }
    if (dropped_) CloseUp();
    caret_ = CaretAt(x);
    if ((shift & vbShiftMask) == 0) anchor_ = caret_;
    selecting_ = true;
    Invalidate();
}

void ComboBox::HandleMouseMove(int buttons, int, int x, int y) {
    if (button_held_) {
        const bool over = InsideRect(Layout().button, x, y);
        if (over != button_pressed_) {
            button_pressed_ = over;
            Invalidate();
        }
        if (dropped_) {
            BoxToList(x, y);
            ListMouseMove(x, y, (buttons & vbLeftButton) != 0);
        }
        return;
    }
    if (selecting_ && (buttons & vbLeftButton) != 0) {
        const int to = CaretAt(x);
        if (to != caret_) {
            caret_ = to;
            Invalidate();
        }
    }
}

void ComboBox::HandleMouseUp(int button, int, int x, int y) {
    if (button != vbLeftButton) return;
    selecting_ = false;
    if (!button_held_) return;
    button_held_ = false;
    button_pressed_ = false;
    Invalidate();
    // A press on the button dragged onto an item chooses it at the release.
    if (!dropped_) return;
    BoxToList(x, y);
    const int item = ItemAtListPoint(x, y);
    if (item >= 0) {
        Choose(item);
        CloseUp();
    }
}

// --- drawing the box -----------------------------------------------------------------------

void ComboBox::Paint(os::HDC dc, int width, int height) {
    const bool enabled = EffectivelyEnabled();
    const os::Rect all{0, 0, width, height};
    FillSolid(dc, all, enabled ? ColorWindow : ColorButtonFace);
    DrawSunkenEdge(dc, all);
    const Parts p = Layout();

    if (!p.button.empty()) {
        FillSolid(dc, p.button, ColorButtonFace);
        DrawRaisedEdge(dc, p.button, button_pressed_);
        os::Rect glyph = p.button;
        if (button_pressed_) glyph = os::Rect{glyph.left + 1, glyph.top + 1, glyph.right + 1, glyph.bottom + 1};
        DrawComboArrow(dc, glyph, false, enabled);
    }

    // Scroll so that the caret stays inside the field.
    const int inner = std::max(0, p.edit.width() - 2 * kPadding);
    auto extent = [&](int from, int to) {
        if (to <= from) return 0;
        os::SIZE size;
        os::GetTextExtentPoint32A(dc, text_.c_str() + from, to - from, &size);
        return static_cast<int>(size.cx);
    };
    scroll_ = std::min(scroll_, caret_);
    while (scroll_ < caret_ && extent(scroll_, caret_) > inner) ++scroll_;

    os::TextMetricsSimple tm;
    os::GetTextMetricsSimple(dc, &tm);
    const int text_height = tm.height > 0 ? tm.height : 13;
    const int y = std::max(kEdge, (height - text_height) / 2);
    const int x0 = p.edit.left + kPadding;
    const os::RECT clip{p.edit.left, p.edit.top, p.edit.right, p.edit.bottom};
    os::SetClipRect(dc, &clip);
    os::SetBkMode(dc, os::TRANSPARENT);
    const int n = static_cast<int>(text_.size());
    const bool focused = HasFocus();
    const int sel_from = focused ? std::max(scroll_, std::min(anchor_, caret_)) : 0;
    const int sel_to = focused ? std::max(sel_from, std::max(anchor_, caret_)) : 0;
    // Unselected text, then the selection as white on the highlight colour.
    os::SetTextColor(dc, enabled ? ColorWindowText : ColorGrayText);
    os::TextOutA(dc, x0, y, text_.c_str() + scroll_, n - scroll_);
    if (sel_to > sel_from) {
        const int sx = x0 + extent(scroll_, sel_from);
        FillSolid(dc, os::Rect{sx, y, sx + extent(sel_from, sel_to), y + text_height}, ColorHighlight);
        os::SetTextColor(dc, ColorHighlightText);
        os::TextOutA(dc, sx, y, text_.c_str() + sel_from, sel_to - sel_from);
    } else if (focused) {
        const int cx = x0 + extent(scroll_, caret_);
        FillSolid(dc, os::Rect{cx, y, cx + 1, y + text_height}, ColorWindowText);
    }
    os::SetClipRect(dc, nullptr);
}

}  // namespace forms
