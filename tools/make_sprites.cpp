// Draws the aircraft sprite sheet: for each of the eight headings two colour frames (the
// exhaust flickers between dark and bright red) on black, and a mask with the aircraft's
// silhouette and its checkered shadow. Usage: make_sprites <out.bmp>
#include <cmath>
#include <cstdio>
#include <vector>

#include "canvas.h"
#include "image_io.h"
#include "jet.h"
#include "quantise.h"
#include "saver/sprite_layout.h"

using namespace tools;

namespace {

enum Reserved : std::uint8_t { kBlack = 0, kWhite = 1, kDarkRed = 2, kBrightRed = 3 };
const Palette kReserved = {{0, 0, 0}, {255, 255, 255}, {128, 0, 0}, {255, 0, 0}};

// Edge pixels covered less than this stay background, so the silhouette is crisp.
constexpr double kMinCoverage = 0.25;

// The shadow falls this many pixels down and right of the silhouette.
constexpr int kShadowOffset = 15;

struct Cell {
    std::vector<Rgb8> colour;  // valid where `body` is set
    std::vector<bool> body;    // drawn aircraft pixels (not the flame)
    std::vector<bool> flame;   // exhaust flame pixels not covered by the body
};

Cell DrawCell(int column) {
    // The aircraft sits up-left of the cell centre so that its shadow, 15 pixels down and
    // right, also stays inside the cell.
    constexpr double centre = PlaneCellSize / 2.0 - kShadowOffset / 2.0;
    static_assert(centre - kJetRadius >= 0 &&
                      centre + kJetRadius + kShadowOffset < PlaneCellSize,
                  "the aircraft and its shadow must fit the cell");
    const int* step = DirectionUnitSteps[column];
    Vec2 heading{double(step[0]), double(step[1])};
    heading = heading * (1.0 / Length(heading));
    JetPose pose{{centre, centre}, heading, 1.0};

    SuperCanvas canvas(PlaneCellSize, PlaneCellSize, 4);
    DrawJet(canvas, pose);
    Picture picture = canvas.Resolve();
    std::vector<bool> flame = HardMask(PlaneCellSize, PlaneCellSize, ExhaustFlame(pose));

    Cell cell;
    cell.colour.resize(PlaneCellSize * PlaneCellSize);
    cell.body.resize(PlaneCellSize * PlaneCellSize);
    cell.flame.resize(PlaneCellSize * PlaneCellSize);
    for (int i = 0; i < PlaneCellSize * PlaneCellSize; ++i) {
        cell.body[i] = picture.coverage[i] >= kMinCoverage;
        cell.flame[i] = flame[i] && !cell.body[i];
        const Rgba& c = picture.colour[i];
        cell.colour[i] = {ToByte(c.r), ToByte(c.g), ToByte(c.b)};
    }
    return cell;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <sprite_sheet.bmp>\n", argv[0]);
        return 2;
    }
    std::vector<Cell> cells;
    std::vector<Rgb8> samples;
    for (int c = 0; c < DirectionCount; ++c) {
        cells.push_back(DrawCell(c));
        for (int i = 0; i < PlaneCellSize * PlaneCellSize; ++i)
            if (cells.back().body[i]) samples.push_back(cells.back().colour[i]);
    }
    const Palette palette = BuildPalette(samples, kReserved);

    // Separator lines everywhere first; the cells are drawn over the rest.
    std::vector<std::uint8_t> sheet(static_cast<size_t>(SpriteSheetWidth) * SpriteSheetHeight,
                                    kDarkRed);
    auto put = [&sheet](int x, int y, std::uint8_t index) {
        sheet[static_cast<size_t>(y) * SpriteSheetWidth + x] = index;
    };
    for (int c = 0; c < DirectionCount; ++c) {
        const Cell& cell = cells[c];
        std::vector<bool> silhouette(PlaneCellSize * PlaneCellSize);
        for (int y = 0; y < PlaneCellSize; ++y) {
            for (int x = 0; x < PlaneCellSize; ++x) {
                const int i = y * PlaneCellSize + x;
                std::uint8_t image = kBlack;
                if (cell.body[i]) {
                    // The reserved colours stay exact: no aircraft pixel may turn black
                    // (it would punch a hole) or red (it would flicker with the exhaust).
                    image = Nearest(palette, cell.colour[i], kReserved.size());
                }
                silhouette[i] = cell.body[i] || cell.flame[i];
                put(c * SpritePitch + x, y, cell.flame[i] ? std::uint8_t(kDarkRed) : image);
                put(c * SpritePitch + x, SpritePitch + y,
                    cell.flame[i] ? std::uint8_t(kBrightRed) : image);
            }
        }
        for (int y = 0; y < PlaneCellSize; ++y) {
            for (int x = 0; x < PlaneCellSize; ++x) {
                const bool body = silhouette[y * PlaneCellSize + x];
                const int sx = x - kShadowOffset, sy = y - kShadowOffset;
                const bool shadow = sx >= 0 && sy >= 0 && silhouette[sy * PlaneCellSize + sx] &&
                                    (x + y) % 2 == 0;
                put(c * SpritePitch + x, 2 * SpritePitch + y, body || shadow ? kBlack : kWhite);
            }
        }
    }
    if (!WriteBmp8(argv[1], SpriteSheetWidth, SpriteSheetHeight, palette, sheet)) {
        std::fprintf(stderr, "make_sprites: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
