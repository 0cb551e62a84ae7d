// The planes: their records, the direction and formation tables, the formation's start
// and the move of one plane by one step with its wrap around the screen.
#pragma once

#include <cstdint>

#include "os/types.h"
#include "saver/light_layout.h"
#include "saver/sprite_layout.h"

// One plane. X, Y: top-left corner of its 200 x 200 cell on the drawing surface.
// Dir: direction 0 to 7 (the DirectionTable entry and the sprite column). Frame: animation
// frame 0 or 1. SrcX = 201 x Dir, SrcY = 201 x Frame, MaskY = 402: where its cells lie in
// the sprite sheet.
struct PlaneRecord {
    std::int16_t X = 0;
    std::int16_t Y = 0;
    float Dir = 0.0f;
    float Frame = 0.0f;
    std::int16_t SrcX = 0;
    std::int16_t SrcY = 0;
    std::int16_t MaskY = 0;
};

inline constexpr int PlaneSlots = 10;      // slots 0 to 9 (a sequence may use all ten)
inline constexpr int FormationSlots = 9;   // the formation uses slots 0 to 8

struct DirectionStep {
    float dx = 0.0f;
    float dy = 0.0f;
};

// A formation slot's distance from the leader in spacing units.
struct FormationPlace {
    std::int16_t Column = 0;
    std::int16_t Row = 0;
};

extern PlaneRecord Planes[PlaneSlots];
extern DirectionStep DirectionTable[DirectionCount];  // unit steps times Step
extern FormationPlace FormationTable[FormationSlots];
extern std::int32_t BkWavFlags;  // background sound: async + loop + no-stop

// Everything once per run, from the settings: tables, frames, masks, the first formation,
// no sequence running, the sequence file.
void InitPlanes();
// Steps 1 to 5 of the set-up with an explicit Step: BkWavFlags, both tables, a random
// Frame for slots 0 to 8 and MaskY 402 for all ten slots (one draw per formation slot).
void InitPlaneTables(float step);

// A new random corner and common direction for slots 0 to 8 (three draws), spaced by
// PlaneDist from the settings.
void PlaceFormation();
void PlaceFormationWith(double plane_dist, std::int16_t screen_w, std::int16_t screen_h);

// The DirectionTable entry for a direction: the nearest whole number (ties to even),
// reduced around the compass into 0 to 7; not-a-number gives 0.
int DirectionIndex(double dir);

// 201 x value (the sprite column of a direction or the row of a frame), in 16 bits.
std::int16_t SpriteOffset(float value);

// One step of one plane: moves it by its DirectionTable entry, flips its frame and wraps
// it within -200 .. WrapMax on each axis.
void MovePlaneRecord(PlaneRecord& plane, const WrapBounds& bounds);
// The same on slot `slot` of Planes; a slot outside 0 to 9 is ignored.
void MovePlaneSlot(int slot, const WrapBounds& bounds);

// The highest slot the formation moves and draws: PlaneNum rounded (ties to even) and
// kept within -1 (no plane) to 9 (the last slot).
std::int16_t FormationLastSlot();
std::int16_t FormationLastSlotFor(float plane_num);

// Draws a plane's cell at (X, Y): the mask with SRCAND, then the image with SRCINVERT.
void DrawPlane(os::HDC target, os::HDC sprite, const PlaneRecord& plane);
