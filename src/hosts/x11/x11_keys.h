// Translation of X key symbols to the classic virtual key numbering the program expects.
#pragma once

namespace hosts::x11 {

// The virtual key of a key symbol (the unshifted symbol of the key); 0 when none fits.
unsigned VirtualKeyFromKeysym(unsigned long keysym);

// The shift bit (1 Shift, 2 Ctrl, 4 Alt) a modifier key itself stands for; 0 for others.
unsigned ShiftBitOfVirtualKey(unsigned vk);

// Shift bits (1 Shift, 2 Ctrl, 4 Alt) from an X modifier state.
unsigned ShiftBitsFromState(unsigned state);

// Held buttons (bit 0 left, bit 1 middle, bit 2 right) from an X modifier state.
unsigned ButtonBitsFromState(unsigned state);

}  // namespace hosts::x11
