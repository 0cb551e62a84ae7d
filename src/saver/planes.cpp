#include "saver/planes.h"

#include <cmath>

#include "runtime/conversions.h"
#include "runtime/random.h"
#include "os/gdi.h"
#include "os/sound.h"
#include "saver/sequences.h"
#include "saver/ss_module.h"
#include "settings/settings.h"

PlaneRecord Planes[PlaneSlots];
DirectionStep DirectionTable[DirectionCount];
FormationPlace FormationTable[FormationSlots];
std::int32_t BkWavFlags = 0;

namespace {

// The leader first, then a band three cells wide along the diagonal.
constexpr FormationPlace kFormation[FormationSlots] = {
    {0, 0}, {0, 1}, {1, 0}, {1, 1}, {1, 2}, {2, 1}, {2, 2}, {2, 3}, {3, 2}};

// One wrap correction along an axis, kept in 16 bits even for bounds no real screen has.
std::int16_t Wrap(std::int16_t v, std::int16_t max, std::int16_t span) {
    if (v > max) return runtime::RoundToInt16(static_cast<double>(v) - span);
    if (v < -200) return runtime::RoundToInt16(static_cast<double>(v) + span);
    return v;
}

}  // namespace

std::int16_t SpriteOffset(float value) {
    return runtime::RoundToInt16(value * PlaneCellSize + value);
}

int DirectionIndex(double dir) {
    if (!std::isfinite(dir)) return 0;
    // Reducing before rounding keeps huge values in range; 8 is even, so a tie rounds to
    // the same entry either way.
    const int k = runtime::RoundToInt32(std::fmod(dir, static_cast<double>(DirectionCount)));
    return ((k % DirectionCount) + DirectionCount) % DirectionCount;
}

void InitPlaneTables(float step) {
    BkWavFlags = os::SND_ASYNC | os::SND_LOOP | os::SND_NOSTOP;
    for (int i = 0; i < FormationSlots; ++i) FormationTable[i] = kFormation[i];
    for (int k = 0; k < DirectionCount; ++k) {
        DirectionTable[k].dx = DirectionUnitSteps[k][0] * step;
        DirectionTable[k].dy = DirectionUnitSteps[k][1] * step;
    }
    // Nearest with ties to even: exactly 0.5 gives frame 0.
    for (int i = 0; i < FormationSlots; ++i) {
        Planes[i].Frame = runtime::RoundToInt16(runtime::Rnd());
        Planes[i].MaskY = SpriteMaskRowY;
    }
    // Slot 9 is placed only by a ten-plane sequence; giving it the mask row too lets that
    // sequence draw its tenth plane cleanly. Its frame stays 0 (no extra draw).
    Planes[PlaneSlots - 1].MaskY = SpriteMaskRowY;
}

void PlaceFormationWith(double plane_dist, std::int16_t screen_w, std::int16_t screen_h) {
    // Side along X, side along Y (exactly 0.5 gives 1 here), common direction.
    const double a = runtime::IntegerPart(runtime::Rnd() + 0.5);
    const double b = runtime::IntegerPart(runtime::Rnd() + 0.5);
    const int d = DirectionIndex(runtime::IntegerPart(8.0 * runtime::Rnd()));

    const double s = plane_dist / 100 + 1;  // one spacing unit is 200 x s pixels
    const std::int16_t sideX = runtime::RoundToInt16(screen_w * a);
    const std::int16_t sideY = runtime::RoundToInt16(screen_h * b);
    const std::int16_t signY = runtime::RoundToInt16(2.0 * b - 1);

    for (int i = 0; i < FormationSlots; ++i) {
        PlaneRecord& plane = Planes[i];
        const FormationPlace place = FormationTable[i];
        plane.Dir = static_cast<float>(d);
        // Positions beyond 16 bits (only from absurd spacings) saturate at the range's end.
        plane.X = runtime::RoundToInt16(sideX - place.Column * s * 200);
        plane.Y = runtime::RoundToInt16(signY * (place.Row * s * 200 - 200) + sideY);
        plane.SrcX = SpriteOffset(plane.Dir);
        plane.SrcY = SpriteOffset(plane.Frame);
    }
}

void PlaceFormation() { PlaceFormationWith(Settings.PlaneDist, ScreenW, ScreenH); }

void InitPlanes() {
    InitPlaneTables(Settings.Step);
    PlaceFormation();
    SeqActive = 0;
    LoadSequences();
}

void MovePlaneRecord(PlaneRecord& plane, const WrapBounds& bounds) {
    const DirectionStep step = DirectionTable[DirectionIndex(plane.Dir)];
    // Single-precision sums, rounded into 16 bits; a sum beyond the range saturates.
    plane.X = runtime::RoundToInt16(plane.X + step.dx);
    plane.Y = runtime::RoundToInt16(plane.Y + step.dy);
    plane.Frame = 1 - plane.Frame;
    plane.SrcY = SpriteOffset(plane.Frame);
    plane.X = Wrap(plane.X, bounds.WrapMaxX, bounds.WrapSpanX);
    plane.Y = Wrap(plane.Y, bounds.WrapMaxY, bounds.WrapSpanY);
}

void MovePlaneSlot(int slot, const WrapBounds& bounds) {
    if (slot < 0 || slot >= PlaneSlots) return;
    MovePlaneRecord(Planes[slot], bounds);
}

std::int16_t FormationLastSlot() { return FormationLastSlotFor(Settings.PlaneNum); }

std::int16_t FormationLastSlotFor(float plane_num) {
    const std::int16_t n = runtime::RoundToInt16(plane_num);
    if (n < -1) return -1;
    if (n > PlaneSlots - 1) return PlaneSlots - 1;
    return n;
}

void DrawPlane(os::HDC target, os::HDC sprite, const PlaneRecord& plane) {
    os::BitBlt(target, plane.X, plane.Y, PlaneCellSize, PlaneCellSize, sprite, plane.SrcX,
               plane.MaskY, os::SRCAND);
    os::BitBlt(target, plane.X, plane.Y, PlaneCellSize, PlaneCellSize, sprite, plane.SrcX,
               plane.SrcY, os::SRCINVERT);
}
