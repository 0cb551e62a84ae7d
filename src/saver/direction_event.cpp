#include "saver/direction_event.h"

#include "runtime/conversions.h"
#include "runtime/random.h"
#include "saver/planes.h"
#include "saver/ss_module.h"

int TurnedDirection(double t, float leader_dir) {
    // (t + Dir + 8 - 1) mod 8, rounded to the nearest entry; reduced into 0 to 7 also for
    // a heading that is not one of the eight entries.
    return DirectionIndex(static_cast<float>(t + leader_dir + 8 - 1));
}

void TurnFormation(std::int16_t last_slot) {
    if (SeqActive != 0) return;
    const double t = runtime::IntegerPart(runtime::Rnd() * 3.0f);
    const int d = TurnedDirection(t, Planes[0].Dir);
    const int last = last_slot < PlaneSlots ? last_slot : PlaneSlots - 1;
    for (int i = 0; i <= last; ++i) {
        Planes[i].Dir = static_cast<float>(d);
        Planes[i].SrcX = SpriteOffset(Planes[i].Dir);
    }
}

void DirectionEvent() { TurnFormation(FormationLastSlot()); }
