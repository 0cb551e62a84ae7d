// The combo box's dropped list: where it stands, how it scrolls, how the pointer picks an
// item in it, and how it is drawn.
#include <algorithm>
#include <cmath>

#include "forms/combo_box.h"
#include "forms/combo_drop_list.h"
#include "forms/draw3d.h"
#include "forms/form.h"
#include "forms/metrics.h"
#include "os/gdi.h"

namespace forms {

namespace {

constexpr int kBorder = 1;        // the list's black frame
constexpr int kItemPadding = 2;   // left of an item's text
constexpr int kScrollWidth = 16;  // the list's own scroll bar
constexpr int kMinThumb = 8;

}  // namespace

void DrawComboArrow(os::HDC dc, const os::Rect& r, bool up, bool enabled) {
    const int rows = std::max(2, std::min(4, (std::min(r.width(), r.height()) - 2) / 2));
    const int cx = r.left + r.width() / 2;
    const int top = r.top + (r.height() - rows) / 2;
    auto draw = [&](int d, os::COLORREF color) {
        for (int i = 0; i < rows; ++i) {
            const int half = up ? i : rows - 1 - i;
            FillSolid(dc, os::Rect{cx - half + d, top + i + d, cx + half + 1 + d, top + i + 1 + d},
                      color);
        }
    };
    if (!enabled) draw(1, ColorButtonHighlight);
    draw(0, enabled ? ColorButtonText : ColorButtonShadow);
}

// --- the list control ----------------------------------------------------------------------

ComboDropList::ComboDropList(Container& form, ComboBox& owner)
    : Control(form, owner.Name() + ".List"), owner_(owner) {}

void ComboDropList::HandleMouseDown(int button, int, int x, int y) {
    if (button == vbLeftButton) owner_.ListMouseDown(x, y);
}

void ComboDropList::HandleMouseMove(int buttons, int, int x, int y) {
    owner_.ListMouseMove(x, y, (buttons & vbLeftButton) != 0);
}

void ComboDropList::HandleMouseUp(int button, int, int x, int y) {
    if (button == vbLeftButton) owner_.ListMouseUp(x, y);
}

bool ComboBox::OwnsList(const Control* control) const {
    return control != nullptr && list_ && control == list_.get();
}

// --- dropping and closing ------------------------------------------------------------------

bool ComboBox::DroppedDown() { Touch(); return dropped_; }

void ComboBox::HandleFormPress(Control* target) {
    if (target != this && !OwnsList(target) && DroppedDown()) SetDroppedDown(false);
}

void ComboBox::SetDroppedDown(bool dropped) {
    Touch();
    if (dropped) Drop();
    else CloseUp();
    Invalidate();
}

void ComboBox::Drop() {
    if (dropped_ || !EffectivelyVisible() || !EffectivelyEnabled()) return;
    if (OnDropDown) OnDropDown();  // may still fill the list
    if (items_.empty() || !OwnerForm().IsLoaded()) return;
    dropped_ = true;
    if (!list_) list_ = std::make_unique<ComboDropList>(OwnerForm(), *this);
    hot_ = list_index_ >= 0 ? list_index_ : MatchingItem(true);
    PlaceList();
    KeepVisible(hot_);
}

void ComboBox::CloseUp() {
    if (!dropped_) return;
    dropped_ = false;
    hot_ = -1;
    list_hold_ = ListHold::None;
    list_rect_ = os::Rect{};
    shown_rows_ = 0;
    if (list_) list_->Move(0, 0, 0, 0);
    Invalidate();
}

int ComboBox::ItemHeight() {
    os::TextMetricsSimple tm;
    os::GetTextMetricsSimple(OwnerForm().hDC(), &tm);
    return std::max(8, tm.height > 0 ? tm.height : 13);
}

// Below the box when every row fits there, else above it when they fit there, else on the
// roomier side with as many rows as fit (at least one).
void ComboBox::PlaceList() {
    Form& form = OwnerForm();
    const os::Rect box = RectOnForm();
    const os::Rect client = form.ClientRectOnForm();
    const int item_h = ItemHeight();
    const int count = static_cast<int>(items_.size());
    int rows = std::min(count, list_rows_);
    const int room_below = client.bottom - box.bottom;
    const int room_above = box.top - client.top;
    const auto height_of = [&](int r) { return r * item_h + 2 * kBorder; };
    bool above = false;
    if (height_of(rows) > room_below) {
        if (height_of(rows) <= room_above) {
            above = true;
        } else {
            above = room_above > room_below;
            const int room = above ? room_above : room_below;
            rows = std::clamp((room - 2 * kBorder) / item_h, 1, rows);
        }
    }
    shown_rows_ = rows;
    const bool scroll = rows < count;

    const os::HDC measure = form.hDC();
    int widest = 0;
    for (const std::string& item : items_) {
        os::SIZE size{0, 0};
        os::GetTextExtentPoint32A(measure, item.c_str(), static_cast<int>(item.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    const int width = std::max(box.width(), widest + 2 * kItemPadding + 2 * kBorder +
                                                (scroll ? kScrollWidth : 0));
    int left = box.left;
    if (left + width > client.right) left = std::max(client.left, client.right - width);
    const int height = height_of(rows);
    const int top = above ? box.top - height : box.bottom;
    list_rect_ = os::Rect{left, top, left + width, top + height};
    top_index_ = std::clamp(top_index_, 0, std::max(0, count - rows));

    const float per_pixel = static_cast<float>(TwipsPerPixel) / form.TwipsPerUnit();
    list_->Move(left * per_pixel, top * per_pixel, width * per_pixel, height * per_pixel);
    list_->Redraw();
}

ComboBox::ListParts ComboBox::ListLayout() {
    Touch();
    ListParts p;
    if (!dropped_) return p;
    const int w = list_rect_.width(), h = list_rect_.height();
    const int count = static_cast<int>(items_.size());
    p.on_form = list_rect_;
    p.item_height = ItemHeight();
    p.rows = shown_rows_;
    p.top_index = top_index_;
    const bool scroll = shown_rows_ < count;
    const int scroll_left = w - kBorder - (scroll ? kScrollWidth : 0);
    p.items = os::Rect{kBorder, kBorder, scroll_left, h - kBorder};
    if (!scroll) return p;
    const int arrow = std::min(kScrollWidth, (h - 2 * kBorder) / 2);
    p.up_arrow = os::Rect{scroll_left, kBorder, w - kBorder, kBorder + arrow};
    p.down_arrow = os::Rect{scroll_left, h - kBorder - arrow, w - kBorder, h - kBorder};
    p.track = os::Rect{scroll_left, p.up_arrow.bottom, w - kBorder, p.down_arrow.top};
    const int track_h = p.track.height();
    if (track_h > 0) {
        const int range = count - shown_rows_;
        const int thumb_h = std::clamp(track_h * shown_rows_ / count, std::min(kMinThumb, track_h), track_h);
        const int thumb_top = p.track.top + (track_h - thumb_h) * top_index_ / range;
        p.thumb = os::Rect{scroll_left, thumb_top, w - kBorder, thumb_top + thumb_h};
    }
    return p;
}

// --- scrolling and the highlight -----------------------------------------------------------

void ComboBox::ScrollTo(int top) {
    const int count = static_cast<int>(items_.size());
    top = std::clamp(top, 0, std::max(0, count - shown_rows_));
    if (top == top_index_) return;
    top_index_ = top;
    if (list_) list_->Redraw();
}

void ComboBox::KeepVisible(int item) {
    if (item < 0 || !dropped_) return;
    if (item < top_index_) ScrollTo(item);
    else if (item >= top_index_ + shown_rows_) ScrollTo(item - shown_rows_ + 1);
}

void ComboBox::SetHot(int item) {
    if (item == hot_) return;
    hot_ = item;
    if (list_ && dropped_) list_->Redraw();
}

void ComboBox::BoxToList(int& x, int& y) {
    const os::Rect box = RectOnForm();
    x += box.left - list_rect_.left;
    y += box.top - list_rect_.top;
}

int ComboBox::ItemAtListPoint(int x, int y) {
    if (!dropped_) return -1;
    const ListParts p = ListLayout();
    if (!InsideRect(p.items, x, y) || p.item_height <= 0) return -1;
    const int row = (y - p.items.top) / p.item_height;
    if (row >= p.rows) return -1;
    const int item = top_index_ + row;
    return item < static_cast<int>(items_.size()) ? item : -1;
}

// --- the pointer in the list ---------------------------------------------------------------

void ComboBox::ListMouseDown(int x, int y) {
    const ListParts p = ListLayout();
    const int page = std::max(1, shown_rows_);
    list_hold_ = ListHold::None;
    if (InsideRect(p.items, x, y)) {
        list_hold_ = ListHold::Items;
        const int item = ItemAtListPoint(x, y);
        if (item >= 0) SetHot(item);
    } else if (InsideRect(p.up_arrow, x, y)) {
        list_hold_ = ListHold::UpArrow;
        ScrollTo(top_index_ - 1);
    } else if (InsideRect(p.down_arrow, x, y)) {
        list_hold_ = ListHold::DownArrow;
        ScrollTo(top_index_ + 1);
    } else if (InsideRect(p.thumb, x, y)) {
        list_hold_ = ListHold::Thumb;
        thumb_grab_ = y - p.thumb.top;
    } else if (InsideRect(p.track, x, y)) {
        ScrollTo(y < p.thumb.top ? top_index_ - page : top_index_ + page);
    }
}

void ComboBox::ListMouseMove(int x, int y, bool held) {
    if (!dropped_) return;
    if (held && list_hold_ == ListHold::Thumb) {
        const ListParts p = ListLayout();
        const int travel = p.track.height() - p.thumb.height();
        const int range = static_cast<int>(items_.size()) - shown_rows_;
        if (travel > 0 && range > 0) {
            const double at = static_cast<double>(y - thumb_grab_ - p.track.top) / travel;
            ScrollTo(static_cast<int>(std::lround(std::clamp(at, 0.0, 1.0) * range)));
        }
        return;
    }
    if (list_hold_ == ListHold::UpArrow || list_hold_ == ListHold::DownArrow) return;
    const int item = ItemAtListPoint(x, y);
    if (item >= 0) SetHot(item);
}

void ComboBox::ListMouseUp(int x, int y) {
    const ListHold hold = list_hold_;
    list_hold_ = ListHold::None;
    if (hold != ListHold::Items) return;
    const int item = ItemAtListPoint(x, y);
    if (item < 0) return;
    Choose(item);
    CloseUp();
}

// --- drawing the list ----------------------------------------------------------------------

void ComboBox::PaintList(os::HDC dc, int width, int height) {
    if (!dropped_) return;
    const os::Rect all{0, 0, width, height};
    FillSolid(dc, all, ColorWindow);
    FillSolid(dc, os::Rect{0, 0, width, kBorder}, ColorWindowText);
    FillSolid(dc, os::Rect{0, height - kBorder, width, height}, ColorWindowText);
    FillSolid(dc, os::Rect{0, 0, kBorder, height}, ColorWindowText);
    FillSolid(dc, os::Rect{width - kBorder, 0, width, height}, ColorWindowText);

    const ListParts p = ListLayout();
    const os::RECT clip{p.items.left, p.items.top, p.items.right, p.items.bottom};
    os::SetClipRect(dc, &clip);
    os::SetBkMode(dc, os::TRANSPARENT);
    for (int row = 0; row < p.rows; ++row) {
        const int item = top_index_ + row;
        if (item >= static_cast<int>(items_.size())) break;
        const int y = p.items.top + row * p.item_height;
        const bool hot = item == hot_;
        if (hot) FillSolid(dc, os::Rect{p.items.left, y, p.items.right, y + p.item_height}, ColorHighlight);
        os::SetTextColor(dc, hot ? ColorHighlightText : ColorWindowText);
        const std::string& text = items_[static_cast<std::size_t>(item)];
        os::TextOutA(dc, p.items.left + kItemPadding, y, text.c_str(), static_cast<int>(text.size()));
    }
    os::SetClipRect(dc, nullptr);
    if (p.track.empty() && p.up_arrow.empty()) return;

    // The list's scroll bar: arrow buttons, a dithered track and a raised thumb.
    const os::Rect arrows[2] = {p.up_arrow, p.down_arrow};
    for (int i = 0; i < 2; ++i) {
        if (arrows[i].empty()) continue;
        const bool pressed = list_hold_ == (i == 0 ? ListHold::UpArrow : ListHold::DownArrow);
        FillSolid(dc, arrows[i], ColorButtonFace);
        DrawRaisedEdge(dc, arrows[i], pressed);
        DrawComboArrow(dc, arrows[i], i == 0, true);
    }
    for (int y = p.track.top; y < p.track.bottom; ++y)
        for (int x = p.track.left; x < p.track.right; ++x)
            os::SetPixel(dc, x, y, ((x + y) & 1) ? ColorButtonHighlight : ColorButtonFace);
    if (!p.thumb.empty()) {
        FillSolid(dc, p.thumb, ColorButtonFace);
        DrawRaisedEdge(dc, p.thumb, false);
    }
}

}  // namespace forms
