#include "forms/focus_after.h"

#include "forms/control.h"
#include "forms/form.h"

namespace forms {

void FocusAfter(Control& control) {
    const int index = control.TabIndex();
    Control* best = nullptr;
    for (Control* c : control.OwnerForm().TabOrder())
        if (c->TabIndex() > index && (!best || c->TabIndex() < best->TabIndex())) best = c;
    if (best) best->SetFocus();
}

}  // namespace forms
