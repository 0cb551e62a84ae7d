// A combo box: an editable text field with a drop-down list of items.
//
// The look: a sunken white field with the text and, at its right end, a raised button with
// a down arrow. The list drops below the box (above it when only that side has room for
// every row it shows) on top of every other control of the form, showing up to ListRows
// rows; a list longer than that gets a scroll bar of its own, and a list that is wider than
// the box is widened to show its items whole.
//
// Input:
//   - typing replaces the selected text or inserts at the caret; Backspace, Delete, Home,
//     End, Left and Right edit and move the caret (with Shift they extend the selection);
//     taking the focus, and any change of Text from code or from the list, selects the whole
//     text so that the next character replaces it;
//   - a press on the button drops the list or closes it; F4, Alt+Down and Alt+Up do the
//     same from the keyboard;
//   - a click on an item (or a press on the button dragged onto an item and released)
//     chooses it and closes the list; the pointer over the list highlights the row under it;
//   - Up and Down (Page Up and Page Down by a list page) choose the previous or next item,
//     with the list dropped or closed; Enter closes a dropped list, choosing the highlighted
//     item; Esc closes it without choosing; a dropped list also closes when the box loses
//     the focus or a press lands anywhere else in the form.
// Events: OnChange whenever Text changes by typing or from code (choosing an item does not
// raise it); OnClick whenever an item is chosen, from the list, the arrow keys or
// ListIndex set from code; OnKeyDown and OnKeyPress before the box acts on a key (setting
// the key to 0 swallows it); OnDropDown when the list drops; OnValidate before the focus
// leaves the box (see forms/validation.h).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/control.h"
#include "forms/validation.h"

namespace forms {

class ComboDropList;

class ComboBox : public Control, public Validating {
public:
    ComboBox(Container& container, std::string name);
    ~ComboBox() override;

    const std::string& Text();
    void SetText(const std::string& text);

    // The list. AddItem appends, or inserts before `index` (0 .. ListCount); an index out of
    // that range is ignored, as is RemoveItem's.
    void AddItem(const std::string& item, int index = -1);
    void RemoveItem(int index);
    int ListCount();
    // Item `index`, or the empty text outside 0 .. ListCount - 1.
    std::string List(int index);
    // The chosen item: -1 when Text is no item of the list. Setting an item's index chooses
    // it (Text becomes the item, OnClick runs); -1 clears the choice and keeps Text; any
    // other value is ignored.
    int ListIndex();
    void SetListIndex(int index);
    // Rows the dropped list shows at most (1 or more, 8 by default).
    int ListRows();
    bool DroppedDown();
    void SetDroppedDown(bool dropped);

    // The selection in the text: SelStart characters from the start, SelLength long.
    int SelStart();
    void SetSelStart(int pos);
    int SelLength();
    void SetSelLength(int length);
    std::string SelText();

    std::function<void()> OnChange;
    std::function<void()> OnClick;
    std::function<void()> OnDropDown;
    std::function<void(int& KeyCode, int& Shift)> OnKeyDown;
    std::function<void(int& KeyAscii)> OnKeyPress;
    std::function<void(int& Cancel)> OnValidate;

    // --- geometry, for drawing and hit testing (pixels) ---------------------------------------
    // The text field and the drop-down button in the box's own pixels.
    struct Parts {
        os::Rect edit, button;
    };
    Parts Layout();
    // The dropped list: where it stands in the form's client pixels, and its parts in its
    // own pixels. Empty rectangles while the list is closed.
    struct ListParts {
        os::Rect on_form;
        os::Rect items;  // the rows
        os::Rect up_arrow, down_arrow, track, thumb;  // empty when every item shows
        int item_height = 0;
        int rows = 0;       // rows shown
        int top_index = 0;  // the item in the first row
    };
    ListParts ListLayout();
    // The highlighted row's item (-1 when none).
    int HotItem() const { return hot_; }
    bool ButtonPressed() const { return button_pressed_; }
    // Whether `control` is this box's dropped-list control.
    bool OwnsList(const Control* control) const;

    // Validating
    bool HasValidateHandler() const override { return static_cast<bool>(OnValidate); }
    void RunValidate(int& Cancel) override;
    Validating* AsValidating() override { return this; }

    bool KeepsEnterAndEsc() override { return DroppedDown(); }
    void HandleFormPress(Control* target) override;

    bool TakesFocus() const override { return true; }
    void Paint(os::HDC dc, int width, int height) override;
    void HandleMouseDown(int button, int shift, int x, int y) override;
    void HandleMouseUp(int button, int shift, int x, int y) override;
    void HandleMouseMove(int buttons, int shift, int x, int y) override;
    void HandleKeyDown(int& key, int shift) override;
    void HandleKeyPress(int& key_ascii) override;
    void HandleFocus(bool gained) override;
    void Destroy() override;

private:
    friend class ComboDropList;

    // --- the text (combo_box.cpp) ---
    void Edit(std::string text, int caret);
    void ReplaceSelection(const std::string& with);
    void SelectAll();
    int CaretAt(int x);
    int MatchingItem(bool prefix) const;
    // Text becomes item `index`, selected whole; ListIndex follows; OnClick runs.
    void Choose(int index);
    void StepChoice(int delta);

    // --- the list (combo_list.cpp) ---
    void Drop();
    void CloseUp();
    void PlaceList();
    int ItemHeight();
    void ScrollTo(int top);
    void KeepVisible(int item);
    int ItemAtListPoint(int x, int y);
    void ListMouseDown(int x, int y);
    void ListMouseMove(int x, int y, bool held);
    void ListMouseUp(int x, int y);
    void PaintList(os::HDC dc, int width, int height);
    // A point in the box's pixels as a point in the list's.
    void BoxToList(int& x, int& y);
    void SetHot(int item);

    std::string text_;
    std::vector<std::string> items_;
    int list_index_ = -1;
    int list_rows_ = 8;
    int caret_ = 0;
    int anchor_ = 0;  // the selection runs between anchor_ and caret_
    int scroll_ = 0;  // first character shown

    bool dropped_ = false;
    bool button_pressed_ = false;  // drawn pressed: the press on it is held over it
    bool button_held_ = false;     // a press that began on the button is held
    bool selecting_ = false;       // a press that began in the text is held
    int hot_ = -1;
    int top_index_ = 0;
    int shown_rows_ = 0;
    os::Rect list_rect_;  // form pixels, empty while closed
    enum class ListHold { None, Items, UpArrow, DownArrow, Thumb } list_hold_ = ListHold::None;
    int thumb_grab_ = 0;  // pointer y minus thumb top at the press on the thumb
    std::unique_ptr<ComboDropList> list_;
};

}  // namespace forms
