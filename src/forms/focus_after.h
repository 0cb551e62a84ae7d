// The access key of a control that cannot take the focus (a label, a frame): the focus
// goes on to the control after it in the tab order.
#pragma once

namespace forms {

class Control;

// Focuses the control of `control`'s form with the lowest TabIndex above `control`'s;
// nothing happens when there is none.
void FocusAfter(Control& control);

}  // namespace forms
