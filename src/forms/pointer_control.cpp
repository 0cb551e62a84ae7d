#include "forms/pointer_control.h"

namespace forms {

void PointerControl::HandleClick() {
    if (OnClick) OnClick();
}

void PointerControl::HandleMouseDown(int button, int shift, int x, int y) {
    RaiseMouseEvent(OnMouseDown, ContainerTwipsPerUnit(), button, shift, x, y);
}

void PointerControl::HandleMouseUp(int button, int shift, int x, int y) {
    RaiseMouseEvent(OnMouseUp, ContainerTwipsPerUnit(), button, shift, x, y);
}

void PointerControl::HandleMouseMove(int buttons, int shift, int x, int y) {
    RaiseMouseEvent(OnMouseMove, ContainerTwipsPerUnit(), buttons, shift, x, y);
}

}  // namespace forms
