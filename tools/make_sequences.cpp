// Writes the sequence file: the scripted formation figures the saver plays now and then.
// Each figure is designed as legs (a direction flown for a number of ticks) per plane; the
// tool cuts the legs into the file's common steps, so every plane has a move pair in every
// step, and writes one record per figure. Usage: make_sequences <out.ini>
//
// Start points are thousandths of the screen, moves are in ticks (two pixels a tick at the
// default speed), so the figures are laid out around the middle of the screen and kept
// small enough for 1024 x 768; on larger screens they simply have more room around them.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "saver/sprite_layout.h"

namespace {

// Directions, as the saver numbers them (y grows downwards).
enum Dir { DL = 0, D = 1, DR = 2, R = 3, UR = 4, U = 5, UL = 6, L = 7 };
constexpr int kPixelsPerTick = 2;  // at the default speed
constexpr int kRefW = 1024, kRefH = 768;

struct Leg {
    int dir;
    int ticks;
};

struct Plane {
    int x = 0, y = 0;  // thousandths of the screen
    std::vector<Leg> legs;
};

struct Figure {
    std::string name;
    std::vector<Plane> planes;
};

int Mirror(int dir) {  // left and right swapped
    static constexpr int kMirror[8] = {DR, D, DL, L, UL, U, UR, R};
    return kMirror[dir];
}

std::vector<Leg> Mirrored(const std::vector<Leg>& legs) {
    std::vector<Leg> out;
    for (const Leg& l : legs) out.push_back({Mirror(l.dir), l.ticks});
    return out;
}

// The centre of the screen for a plane's cell, in thousandths of the reference screen.
constexpr int kMidX = 1000 * (kRefW - PlaneCellSize) / 2 / kRefW;  // 402
constexpr int kMidY = 1000 * (kRefH - PlaneCellSize) / 2 / kRefH;  // 369

// Where a plane must start, in thousandths, for its whole path (as flown on the reference
// screen) to be centred on the screen, shifted by (dx, dy) thousandths.
Plane Centred(const std::vector<Leg>& legs, int dx = 0, int dy = 0) {
    int x = 0, y = 0, minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (const Leg& l : legs) {
        x += DirectionUnitSteps[l.dir][0] * l.ticks * kPixelsPerTick;
        y += DirectionUnitSteps[l.dir][1] * l.ticks * kPixelsPerTick;
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    Plane p;
    p.x = kMidX - (minX + maxX) / 2 * 1000 / kRefW + dx;
    p.y = kMidY - (minY + maxY) / 2 * 1000 / kRefH + dy;
    p.legs = legs;
    return p;
}

Plane At(int x, int y, std::vector<Leg> legs) { return Plane{x, y, std::move(legs)}; }

int TotalTicks(const Plane& p) {
    int t = 0;
    for (const Leg& l : p.legs) t += l.ticks;
    return t;
}

// An eight-sided loop starting in `first`, turning clockwise (-1) or anticlockwise (+1).
std::vector<Leg> Loop(int first, int turn, int side) {
    std::vector<Leg> legs;
    for (int i = 0; i < 8; ++i) legs.push_back({((first + turn * i) % 8 + 8) % 8, side});
    return legs;
}

std::vector<Leg> Join(std::vector<Leg> a, const std::vector<Leg>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// --- the figures -------------------------------------------------------------------

Figure Cross() {
    // Four planes from the four sides meet in the middle, pass through and fly out in a
    // pinwheel.
    return {"Cross",
            {At(180, kMidY, {{R, 260}, {D, 300}}), At(640, kMidY, {{L, 260}, {U, 300}}),
             At(kMidX, 60, {{D, 260}, {L, 300}}), At(kMidX, 690, {{U, 260}, {R, 300}})}};
}

Figure Diamond() {
    // A diamond of four flies one loop and leaves to the right.
    const std::vector<Leg> path = Join(Loop(R, -1, 45), {{R, 320}});
    const std::vector<Leg> loop = Loop(R, -1, 45);
    const Plane centre = Centred(loop);
    Figure f{"Diamond", {}};
    const int offsets[4][2] = {{0, -170}, {-130, 0}, {130, 0}, {0, 170}};
    for (const auto& o : offsets) f.planes.push_back(At(centre.x + o[0], centre.y + o[1], path));
    return f;
}

Figure LoopAstern() {
    // Three planes in line astern, each turning where the leader turned.
    constexpr int kSide = 70, kGapTicks = 60;
    const Plane lead = Centred(Loop(R, -1, kSide));
    Figure f{"Loop", {}};
    for (int i = 0; i < 3; ++i) {
        std::vector<Leg> legs = Loop(R, -1, kSide);
        legs.front().ticks += i * kGapTicks;  // the followers reach each turn later
        legs.push_back({R, 300 + (2 - i) * kGapTicks});
        const int gap = i * kGapTicks * kPixelsPerTick * 1000 / kRefW;
        f.planes.push_back(At(lead.x - gap, lead.y, legs));
    }
    return f;
}

Figure LineAbreast() {
    // Five side by side come up from the bottom, bank right and back left together and
    // climb away; short enough that none comes round again on a low screen.
    Figure f{"Line abreast", {}};
    for (int i = 0; i < 5; ++i)
        f.planes.push_back(At(60 + 170 * i, 900, {{U, 180}, {UR, 80}, {U, 40}, {UL, 80}, {U, 140}}));
    return f;
}

Figure ScatterRejoin() {
    // A block of six flies right, bursts apart in six directions, comes back together and
    // flies on as one.
    static constexpr int kOut[6] = {UL, U, UR, DL, D, DR};
    Figure f{"Scatter and rejoin", {}};
    for (int i = 0; i < 6; ++i) {
        const int column = i % 3 - 1, row = i / 3 == 0 ? -1 : 1;
        const int out = kOut[i], back = (out + 4) % 8;
        f.planes.push_back(At(kMidX - 80 + 120 * column, kMidY + 95 * row,
                              {{R, 80}, {out, 100}, {back, 100}, {R, 320}}));
    }
    return f;
}

Figure Arrowhead() {
    // Ten planes: an arrowhead of nine with a tail, climbing through the screen with one
    // weave to the right and back.
    const std::vector<Leg> legs = {{U, 200}, {UR, 60}, {UL, 120}, {UR, 60}, {U, 120}};
    Figure f{"Arrowhead", {}};
    f.planes.push_back(At(kMidX, 1000, legs));
    for (int k = 1; k <= 4; ++k) {
        f.planes.push_back(At(kMidX - 95 * k, 1000 + 30 * k, legs));
        f.planes.push_back(At(kMidX + 95 * k, 1000 + 30 * k, legs));
    }
    f.planes.push_back(At(kMidX, 1130, legs));  // the tail, in front of the others
    return f;
}

Figure Spiral() {
    // Two planes wind inwards on one eight-sided spiral, half a turn apart, then part.
    std::vector<Leg> legs;
    int dir = R;
    for (int side = 90; side >= 20; side -= 6) {
        legs.push_back({dir, side});
        dir = (dir + 7) % 8;  // clockwise
    }
    std::vector<Leg> opposite;
    for (const Leg& l : legs) opposite.push_back({(l.dir + 4) % 8, l.ticks});
    legs.push_back({R, 250});
    opposite.push_back({L, 250});
    const Plane a = Centred(legs);
    const Plane b = Centred(opposite);
    return {"Spiral", {a, b}};
}

Figure BombBurst() {
    // Five climb together from the bottom, then burst apart like a firework.
    static constexpr int kBurst[5] = {L, UL, U, UR, R};
    Figure f{"Bomb burst", {}};
    const int place[5][2] = {{-190, 1080}, {-95, 1030}, {0, 980}, {95, 1030}, {190, 1080}};
    for (int i = 0; i < 5; ++i)
        f.planes.push_back(
            At(kMidX + place[i][0], place[i][1], {{U, 230}, {kBurst[i], 260}}));
    return f;
}

Figure MirrorEight() {
    // Two planes fly a figure of eight as mirror images, crossing in the middle.
    constexpr int kSide = 40;
    std::vector<Leg> eight = Join(Loop(UR, -1, kSide), Loop(U, +1, kSide));
    eight.push_back({UR, 200});
    const Plane a = Centred(eight);
    const Plane b = Centred(Mirrored(eight));
    return {"Mirror eight", {a, At(b.x, a.y, b.legs)}};
}

Figure Tailchase() {
    // Three planes chase one another round a wide loop, spread evenly along it.
    constexpr int kSide = 60;
    const std::vector<Leg> loop = Loop(R, -1, kSide);
    Figure f{"Tail chase", {}};
    const Plane lead = Centred(loop);
    // Each plane starts at a vertex of the loop, two and three legs further on.
    int x = 0, y = 0;
    std::vector<std::pair<int, int>> vertex{{0, 0}};
    for (const Leg& l : loop) {
        x += DirectionUnitSteps[l.dir][0] * l.ticks * kPixelsPerTick;
        y += DirectionUnitSteps[l.dir][1] * l.ticks * kPixelsPerTick;
        vertex.push_back({x, y});
    }
    for (int start : {0, 3, 6}) {
        std::vector<Leg> legs;
        for (int i = 0; i < 16; ++i) legs.push_back(loop[(start + i) % 8]);
        legs.push_back({loop[start].dir, 200});  // on round the loop, and away
        f.planes.push_back(At(lead.x + vertex[start].first * 1000 / kRefW,
                              lead.y + vertex[start].second * 1000 / kRefH, legs));
    }
    return f;
}

// --- writing ---------------------------------------------------------------------

// The legs of every plane cut at every plane's turns, so all planes share the steps.
std::vector<std::vector<Leg>> CommonSteps(const Figure& f) {
    const int total = TotalTicks(f.planes.front());
    std::set<int> cuts;
    for (const Plane& p : f.planes) {
        if (TotalTicks(p) != total) {
            std::fprintf(stderr, "make_sequences: %s: planes fly different totals\n",
                         f.name.c_str());
            std::exit(1);
        }
        int t = 0;
        for (const Leg& l : p.legs) cuts.insert(t += l.ticks);
    }
    std::vector<std::vector<Leg>> steps;  // [step][plane]
    int from = 0;
    for (int to : cuts) {
        std::vector<Leg> row;
        for (const Plane& p : f.planes) {
            int t = 0;
            for (const Leg& l : p.legs) {
                if (from < t + l.ticks) {
                    row.push_back({l.dir, to - from});
                    break;
                }
                t += l.ticks;
            }
        }
        steps.push_back(row);
        from = to;
    }
    return steps;
}

void WriteFigure(std::FILE* out, const Figure& f) {
    const auto steps = CommonSteps(f);
    if (f.planes.size() > 10 || steps.size() > 100) {
        std::fprintf(stderr, "make_sequences: %s: too many planes or steps\n", f.name.c_str());
        std::exit(1);
    }
    std::fprintf(out, "%d, %d, \"%s\"\r\n", static_cast<int>(f.planes.size()) - 1,
                 static_cast<int>(steps.size()) - 1, f.name.c_str());
    for (std::size_t i = 0; i < f.planes.size(); ++i)
        std::fprintf(out, "%s%d, %d", i ? ", " : "", f.planes[i].x, f.planes[i].y);
    std::fprintf(out, "\r\n");
    // A step lasts its count plus one ticks.
    for (const auto& row : steps) {
        for (std::size_t i = 0; i < row.size(); ++i)
            std::fprintf(out, "%s%d, %d", i ? ", " : "", row[i].dir, row[i].ticks - 1);
        std::fprintf(out, "\r\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sequences <out.ini>\n");
        return 2;
    }
    const std::vector<Figure> figures = {Cross(),     Diamond(),     LoopAstern(),
                                         LineAbreast(), ScatterRejoin(), Arrowhead(),
                                         Spiral(),    BombBurst(),   MirrorEight(),
                                         Tailchase()};
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    for (const Figure& f : figures) WriteFigure(out, f);
    return std::fclose(out) == 0 ? 0 : 1;
}
