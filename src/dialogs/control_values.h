// How a stored setting becomes the value of the dialog control that shows it. The registry
// can hold any number, so a value that no control can show is pulled into the control's
// range rather than left to the control.
#pragma once

namespace dialogs {

// The signed 16-bit integer nearest to x (a tie going to the even neighbour), pulled into
// the bar's range from `a` to `b` (either may be the larger). Beyond the 16-bit range x
// saturates; NaN gives the end nearest to 0.
int BarValue(double x, int a, int b);

// A check box value for a stored truth value: its nearest whole number when that is 0 or
// 1; any other number shows ticked, as the saver treats every value but 0 as "on". The
// greyed state is never offered.
int CheckValue(double x);

}  // namespace dialogs
