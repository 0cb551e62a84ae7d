// The direction event: the whole formation turns 45 degrees either way or keeps its
// heading, each with a chance of one third.
#pragma once

#include <cstdint>

// The direction after a turn t (0: the entry before plane 0's heading, 1: the same,
// 2: the entry after it), always 0 to 7.
int TurnedDirection(double t, float leader_dir);

// Unless a sequence runs: draws t from the random source and gives slots 0 to last_slot
// (clamped to the array) the turned direction and its sprite column. Positions, frames
// and masks stay. While a sequence runs nothing is drawn and nothing changes.
void TurnFormation(std::int16_t last_slot);

// The event as the event tick performs it, for slots 0 to FormationLastSlot().
void DirectionEvent();
