// The event timer's tick: one random event (thunder, a scripted sequence or a turn of the
// formation) per tick, then the next value and the next interval.
#include <cstdint>

#include "runtime/conversions.h"
#include "runtime/random.h"
#include "os/gdi.h"
#include "platform/mod_api.h"
#include "saver/direction_event.h"
#include "saver/ss_form.h"
#include "saver/ss_module.h"
#include "settings/settings.h"

namespace {

enum class EventKind { None, Thunder1, Thunder2, Sequence, Direction };

// The first test that holds decides; the ranges are made of float comparisons exactly as
// the boundaries give them, so an out-of-order or equal pair simply leaves a range empty.
EventKind Classify(float v, const float (&p)[4]) {
    if (v >= p[0] && v <= p[1] - 1) return EventKind::Thunder1;
    if (v >= p[1] && v <= p[2] - 1) return EventKind::Thunder2;
    if (v >= p[2] && v <= p[3] - 1) return EventKind::Sequence;
    if (v >= p[3] && v <= 9) return EventKind::Direction;
    return EventKind::None;
}

// floor(u x k) for a fresh draw u.
float DrawChoice(float k) { return static_cast<float>(runtime::IntegerPart(runtime::Rnd() * k)); }

}  // namespace

void SSForm::PaintLightning(int row) {
    const os::Surface* picture = Lightning.Picture();
    if (picture == nullptr || row < 0 || row >= LightVariants) return;
    os::StretchPaint(hDC(), LightPos[row][LightPosX], LightPos[row][LightPosY],
                     LightPos[row][LightPosW], LightPos[row][LightPosH], *picture, os::SRCPAINT);
}

void SSForm::Eventer_Timer() {
    const float(&p)[4] = Settings.EventProbs;

    // With thunder off the two thunder ranges move up by P2, out of the thunder kinds.
    if (NextEvent < p[2] && Settings.EnaTh == 0) NextEvent = NextEvent + p[2];

    switch (Classify(NextEvent, p)) {
    case EventKind::Thunder1: {
        // A bright bolt: the picture ORed onto the window; the two inversions cancel.
        const int row = static_cast<int>(DrawChoice(5.0f));
        if (Settings.ThWavEna != 0) PlayWave(Settings.ThunderWav, 1);
        PaintLightning(row);
        os::InvertRect(hDC(), &ScreenRect);
        os::InvertRect(hDC(), &ScreenRect);
        NextEvent = DrawChoice(10.0f);
        break;
    }
    case EventKind::Thunder2: {
        // A dark bolt: painted on the inverted window, which is then inverted back.
        const int row = static_cast<int>(DrawChoice(5.0f));
        if (Settings.ThWavEna != 0) PlayWave(Settings.ThunderWav, 1);
        os::InvertRect(hDC(), &ScreenRect);
        PaintLightning(row);
        os::InvertRect(hDC(), &ScreenRect);
        NextEvent = DrawChoice(10.0f);
        break;
    }
    case EventKind::Sequence:
        if (SeqActive == 0 && RunMode == ModeSaver) StartSequence(Stage());
        // No draw: the next tick evaluates P1 (after the shift, when thunder is off).
        NextEvent = p[1];
        break;
    case EventKind::Direction:
        DirectionEvent();  // draws t only when no sequence runs
        NextEvent = DrawChoice(10.0f);
        break;
    case EventKind::None:
        NextEvent = DrawChoice(10.0f);
        break;
    }

    // u x 2000 + EventInt - 998 in single precision, the last draw of the tick.
    const float interval =
        runtime::Rnd() * 2000.0f + static_cast<float>(Settings.EventInt) - 998.0f;
    SetEventInterval(runtime::RoundToInt32(interval));
    // Yield: the message loop presents what the thunder drew on the window at once.
    forms::DoEvents();
}
