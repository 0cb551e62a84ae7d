// The aircraft sprite sheet, as the sprite tool draws it and the saver reads it: one column
// per direction, rows frame 0, frame 1 and the mask, 200 x 200 cells on a 201-pixel pitch.
// Self-contained so the build-time tools can include it too.
#pragma once

inline constexpr int DirectionCount = 8;
inline constexpr int PlaneCellSize = 200;
inline constexpr int SpritePitch = 201;
inline constexpr int SpriteRows = 3;  // frame 0, frame 1, mask
inline constexpr int SpriteMaskRowY = 2 * SpritePitch;                  // 402
inline constexpr int SpriteSheetWidth = DirectionCount * SpritePitch - 1;  // 1607
inline constexpr int SpriteSheetHeight = SpriteRows * SpritePitch - 1;     // 602

// Unit heading of each direction (and sprite column): down-left, down, down-right, right,
// up-right, up, up-left, left (Y grows downwards). Each entry turns 45 degrees
// counter-clockwise from the one before.
inline constexpr int DirectionUnitSteps[DirectionCount][2] = {
    {-1, 1}, {0, 1}, {1, 1}, {1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}};
