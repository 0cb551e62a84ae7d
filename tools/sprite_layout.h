// Layout of the aircraft sprite sheet: 3 rows of 8 cells of 200 x 200 on a 201 pitch.
#pragma once

namespace tools {

constexpr int kCell = 200;
constexpr int kPitch = 201;
constexpr int kColumns = 8;
constexpr int kRows = 3;  // frame 0, frame 1, mask
constexpr int kSheetWidth = kColumns * kPitch - 1;  // 1607
constexpr int kSheetHeight = kRows * kPitch - 1;    // 602
constexpr int kShadowOffset = 15;

// Unit heading of column c: down-left, down, down-right, right, up-right, up, up-left,
// left (y grows downwards).
constexpr int kHeadingX[kColumns] = {-1, 0, 1, 1, 1, 0, -1, -1};
constexpr int kHeadingY[kColumns] = {1, 1, 1, 0, -1, -1, -1, 0};

}  // namespace tools
