// The saver's one window: full-screen on the saver road, a child of the host's preview
// window on the preview road. It holds the lightning picture, the sprite sheet, the
// desktop snapshot and the back buffer as hidden picture boxes, and the frame and event
// timers.
#pragma once

#include <cstdint>

#include "forms/forms.h"
#include "saver/light_layout.h"
#include "saver/sequences.h"

class SSForm : public forms::Form {
public:
    SSForm();

    // Controls, in the order of the window's interface.
    forms::PictureBox Lightning{*this, "Lightning"};
    forms::Timer Eventer{*this, "Eventer"};
    forms::PictureBox WinDisp{*this, "WinDisp"};
    forms::PictureBox Sprite{*this, "Sprite"};
    forms::Timer Movement{*this, "Movement"};
    forms::PictureBox WinDispDC{*this, "WinDispDC"};

    // Written by Init_light.
    std::int16_t LightW = 0, LightH = 0;
    std::int16_t LightX0 = 0, LightY0 = 0;
    std::int16_t LightPos[LightVariants][4] = {};
    std::int16_t WrapMaxX = 0, WrapMaxY = 0, WrapSpanX = 0, WrapSpanY = 0;

    // The draw value the next event tick evaluates.
    float NextEvent = 0;
    // The remembered pointer position of Form_MouseMove.
    float LastX = 0, LastY = 0;

    // The wrap bounds and the lightning placement from the screen size as it stands now.
    void Init_light();
    // Moves plane `slot` one step, flips its frame and wraps it at the wrap bounds.
    void MovePlane(std::int16_t slot);

    // Timer handlers.
    void Movement_Timer();
    void Eventer_Timer();

    // Input handlers (public so the framework's events and tests can reach them alike).
    void Form_Click() override;
    void Form_DblClick() override;
    void Form_KeyDown(int& KeyCode, int& Shift) override;
    void Form_MouseMove(int Button, int Shift, float X, float Y) override;
    // A close request from outside is input like a key: it passes the exit gate first.
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;

protected:
    void Design() override;
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

private:
    WrapBounds Bounds() const;
    SequenceStage Stage();
    void PaintLightning(int row);
    // Sets the event timer's interval: below 1 ms it is raised to 1 ms, and with a stored
    // EventInt of 0 or below the timer stays idle.
    void SetEventInterval(std::int32_t ms);
};

SSForm& SSFormInstance();
