// A vertical scroll bar: an arrow button at each end, a dithered track between them and a
// raised square thumb whose place in the track shows Value.
//
// Min is the value at the top of the bar and Max the value at the bottom; either may be
// the larger (Min 9, Max 0 makes a bar whose largest value is at the top). Value always
// lies between them. Moving down goes towards Max, moving up towards Min:
//   - the down arrow moves SmallChange towards Max, the up arrow SmallChange towards Min
//     (held down, an arrow repeats after a short delay until released or the end is hit);
//   - a press in the track below the thumb moves LargeChange towards Max, above it towards
//     Min (repeating while held, never past the pointer);
//   - dragging the thumb runs OnScroll as the value under the thumb changes (Value follows
//     the thumb) and OnChange once at the release when the value differs from the one
//     before the drag;
//   - with the focus: Down/Right and Up/Left move SmallChange, Page Down/Page Up
//     LargeChange, End goes to Max and Home to Min.
// OnChange runs once per actual change of Value, from the user or (nested in the call)
// from SetValue. Changing Min or Max pulls Value into the new range (running OnChange if
// that moves it). The focused bar shows its thumb inverted.
#pragma once

#include <functional>
#include <string>

#include "forms/control.h"
#include "forms/metrics.h"
#include "os/message_loop.h"

namespace forms {

class VScrollBar : public Control {
public:
    VScrollBar(Container& container, std::string name);
    ~VScrollBar() override;

    int Min();
    void SetMin(int v);
    int Max();
    void SetMax(int v);
    int Value();
    // Clamped into the range between Min and Max.
    void SetValue(int v);
    // Steps of the arrows and keys (default 1) and of the track and Page keys (default 1);
    // a step below 1 is taken as 1.
    int SmallChange();
    void SetSmallChange(int v);
    void SetLargeChange(int v);

    std::function<void()> OnChange;
    std::function<void()> OnScroll;

    // The parts of the bar in its own pixels (for drawing and hit testing).
    struct Parts {
        os::Rect up_arrow, down_arrow, track, thumb;
    };
    Parts Layout();
    // Which arrow is held down (drawn pressed): -1 up, +1 down, 0 none.
    int HeldArrow() const { return held_arrow_pressed_ ? held_arrow_ : 0; }
    bool Dragging() const { return dragging_; }

    // Delays of an arrow or track press held down: the first repeat, then each next one.
    static constexpr int RepeatDelayMs = 350;
    static constexpr int RepeatIntervalMs = 50;

    bool TakesFocus() const override { return true; }
    void Paint(os::HDC dc, int width, int height) override;
    void HandleMouseDown(int button, int shift, int x, int y) override;
    void HandleMouseUp(int button, int shift, int x, int y) override;
    void HandleMouseMove(int buttons, int shift, int x, int y) override;
    void HandleKeyDown(int& key, int shift) override;
    void HandleFocus(bool gained) override;
    void Create() override;
    void Destroy() override;

private:
    enum class Hold { None, Arrow, Track, Thumb };

    int Low() const;
    int High() const;
    int Clamp(int v) const;
    // Moves Value `steps` toward Max (positive) or Min (negative) and runs OnChange.
    void StepBy(long long delta_toward_max);
    void Assign(int v);
    void Repeat();
    void StopRepeat();
    bool StepTrackOnce();
    int ValueAtThumbTop(int thumb_top);

    int min_ = 0, max_ = 32767, value_ = 0;
    int small_change_ = 1, large_change_ = 1;

    Hold hold_ = Hold::None;
    int held_arrow_ = 0;               // -1 up, +1 down
    bool held_arrow_pressed_ = false;  // the pointer is still over the held arrow
    int track_direction_ = 0;          // -1 above the thumb, +1 below
    int pointer_y_ = 0;
    bool dragging_ = false;
    int drag_offset_ = 0;   // pointer y minus thumb top at the press
    int drag_thumb_top_ = 0;  // where the dragged thumb is drawn
    int drag_start_value_ = 0;
    os::TimerId repeat_timer_ = 0;
};

}  // namespace forms
