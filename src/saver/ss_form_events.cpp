// The event timer's tick: one random event (thunder, a scripted sequence or a turn of the
// formation) per tick, then the next value and the next interval.
#include "forms/conversions.h"
#include "forms/random.h"
#include "os/gdi.h"
#include "platform/mod_api.h"
#include "saver/direction_event.h"
#include "saver/ss_form.h"
#include "saver/ss_module.h"
#include "settings/settings.h"

namespace {

enum class EventKindValue { None, Thunder1, Thunder2, Sequence, Direction };

EventKindValue Classify(float v, const float (&p)[4]) {
    if (v >= p[0] && v <= p[1] - 1) return EventKindValue::Thunder1;
    if (v >= p[1] && v <= p[2] - 1) return EventKindValue::Thunder2;
    if (v >= p[2] && v <= p[3] - 1) return EventKindValue::Sequence;
    if (v >= p[3] && v <= 9) return EventKindValue::Direction;
    return EventKindValue::None;
}

float DrawValue() { return static_cast<float>(forms::IntegerPart(forms::Rnd() * 10.0f)); }

}  // namespace

void SSForm::PaintLightning(int row) {
    const os::Surface* picture = Lightning.Picture();
    if (picture == nullptr) return;
    os::StretchPaint(hDC(), LightPos[row][LightPosX], LightPos[row][LightPosY],
                     LightPos[row][LightPosW], LightPos[row][LightPosH], *picture, os::SRCPAINT);
}

void SSForm::Eventer_Timer() {
    const float(&p)[4] = Settings.EventProbs;

    if (NextEvent < p[2] && Settings.EnaTh == 0) NextEvent = NextEvent + p[2];

    switch (Classify(NextEvent, p)) {
    case EventKindValue::Thunder1: {
        const int r = static_cast<int>(forms::IntegerPart(forms::Rnd() * 5.0f));
        if (Settings.ThWavEna != 0) PlayWave(Settings.ThunderWav, 1);
        PaintLightning(r);
        os::InvertRect(hDC(), &ScreenRect);
        os::InvertRect(hDC(), &ScreenRect);
        NextEvent = DrawValue();
        break;
    }
    case EventKindValue::Thunder2: {
        const int r = static_cast<int>(forms::IntegerPart(forms::Rnd() * 5.0f));
        if (Settings.ThWavEna != 0) PlayWave(Settings.ThunderWav, 1);
        os::InvertRect(hDC(), &ScreenRect);
        PaintLightning(r);
        os::InvertRect(hDC(), &ScreenRect);
        NextEvent = DrawValue();
        break;
    }
    case EventKindValue::Sequence:
        if (SeqActive == 0 && RunMode == ModeSaver) StartSequence(Stage());
        NextEvent = p[1];
        break;
    case EventKindValue::Direction:
        DirectionEvent();
        NextEvent = DrawValue();
        break;
    case EventKindValue::None:
        NextEvent = DrawValue();
        break;
    }

    const double interval =
        static_cast<double>(forms::Rnd()) * 2000.0 + Settings.EventInt - 998;
    SetEventInterval(forms::RoundToInt32(interval));
    forms::DoEvents();
}
