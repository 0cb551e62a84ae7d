#include "saver/ss_form.h"

#include <cmath>

#include "runtime/conversions.h"
#include "os/gdi.h"
#include "os/sound.h"
#include "platform/mod_api.h"
#include "saver/check_password.h"
#include "saver/planes.h"
#include "saver/ss_module.h"
#include "settings/settings.h"

SSForm& SSFormInstance() { return forms::Instance<SSForm>(); }

SSForm::SSForm() : forms::Form("SSForm") {
    Movement.OnTimer = [this] { Movement_Timer(); };
    Eventer.OnTimer = [this] { Eventer_Timer(); };
}

void SSForm::Design() {
    SetBorderStyle(forms::BorderStyle::None);
    SetScaleMode(forms::ScaleMode::Pixels);
    SetBackColor(os::RGB(0, 0, 0));

    // The lightning picture at its own size: 638 by 389 pixels, decoded at the first bolt.
    Lightning.SetVisible(false);
    Lightning.Move(0, 0, 638, 389);
    Lightning.LoadPictureOnUse("lightning");

    Eventer.SetInterval(0);
    Movement.SetInterval(0);

    // Snapshot and back buffer: sized by the set-up; text in the window-text colour on the
    // window colour.
    WinDisp.SetVisible(false);
    WinDisp.SetBackColor(os::RGB(255, 255, 255));
    WinDisp.SetForeColor(os::RGB(0, 0, 0));
    WinDispDC.SetVisible(false);

    // The sprite sheet (1607 by 602) in a box a little larger than the picture.
    Sprite.SetVisible(false);
    Sprite.Move(0, 0, 1611, 606);
    Sprite.LoadPicture("sprite_sheet");
}

void SSForm::Form_Load() {
    if (RunMode == ModePreview) {
        SetCaption("Preview");
        return;
    }
    SetCaption("Screen saver");
    os::ShowCursor(0);
    EnableSystemKeys(0);
}

void SSForm::Form_Unload(int& Cancel) {
    (void)Cancel;
    Movement.SetTimerEnabled(false);
    Eventer.SetTimerEnabled(false);
    os::ShowCursor(1);
    EnableSystemKeys(-1);
    PlayWave("", os::SND_NODEFAULT);
}

void SSForm::Init_light() {
    const LightLayout layout =
        ComputeLightLayout(ScreenW, ScreenH, RunMode, Lightning.Width(), Lightning.Height());
    WrapMaxX = layout.Wrap.WrapMaxX;
    WrapMaxY = layout.Wrap.WrapMaxY;
    WrapSpanX = layout.Wrap.WrapSpanX;
    WrapSpanY = layout.Wrap.WrapSpanY;
    LightW = layout.LightW;
    LightH = layout.LightH;
    LightX0 = layout.LightX0;
    LightY0 = layout.LightY0;
    for (int r = 0; r < LightVariants; ++r)
        for (int c = 0; c < 4; ++c) LightPos[r][c] = layout.LightPos[r][c];
}

WrapBounds SSForm::Bounds() const {
    WrapBounds b;
    b.WrapMaxX = WrapMaxX;
    b.WrapMaxY = WrapMaxY;
    b.WrapSpanX = WrapSpanX;
    b.WrapSpanY = WrapSpanY;
    return b;
}

void SSForm::MovePlane(std::int16_t slot) { MovePlaneSlot(slot, Bounds()); }

SequenceStage SSForm::Stage() {
    SequenceStage stage;
    stage.backBuffer = WinDispDC.hDC();
    stage.sprite = Sprite.hDC();
    stage.bounds = Bounds();
    stage.setEventInterval = [this](std::int32_t ms) { SetEventInterval(ms); };
    return stage;
}

void SSForm::SetEventInterval(std::int32_t ms) {
    if (Settings.EventInt <= 0) ms = 0;  // the event timer never started: it stays idle
    else if (ms < 1) ms = 1;             // EventInt 1 to 998 can give 0 or below
    Eventer.SetInterval(ms);
}

void SSForm::Movement_Timer() {
    if (Settings.BkWavEna != 0) PlayWave(Settings.BKWav, BkWavFlags);

    const os::HDC back = WinDispDC.hDC();
    os::BitBlt(back, 0, 0, ScreenW, ScreenH, WinDisp.hDC(), 0, 0, os::SRCCOPY);

    if (SeqActive != 0) {
        StepSequence(Stage());
    } else {
        const std::int16_t n = FormationLastSlot();
        const os::HDC sprite = Sprite.hDC();
        for (std::int16_t i = 0; i <= n; ++i) {
            MovePlane(i);
            DrawPlane(back, sprite, Planes[i]);
        }
    }

    os::BitBlt(hDC(), 0, 0, ScreenW, ScreenH, back, 0, 0, os::SRCCOPY);
    forms::DoEvents();
}

void SSForm::Form_Click() {
    if (RunMode != ModeSaver) return;
    if (CheckPassword(hWnd()) != 0) Unload();
}

void SSForm::Form_DblClick() { Form_Click(); }

void SSForm::Form_KeyDown(int& KeyCode, int& Shift) {
    (void)KeyCode, (void)Shift;
    Form_Click();
}

void SSForm::Form_MouseMove(int Button, int Shift, float X, float Y) {
    (void)Button, (void)Shift;
    if (LastX == 0 && LastY == 0) {
        LastX = X;
        LastY = Y;
    }
    if (RunMode == ModeSaver) {
        if (std::abs(X - LastX) > 5 || std::abs(Y - LastY) > 5) {
            if (CheckPassword(hWnd()) != 0) Unload();
            LastX = X;
            LastY = Y;
        }
    } else if (RunMode == ModePassword) {
        LastX = X;
        LastY = Y;
    }
}
