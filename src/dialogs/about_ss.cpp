#include "dialogs/about_ss.h"

#include <string>

#include "dialogs/design.h"
#include "dialogs/ss_config.h"
#include "runtime/conversions.h"
#include "os/gdi.h"
#include "os/window.h"

AboutSS& AboutSSInstance() { return forms::Instance<AboutSS>(); }

namespace {

constexpr float kSide = 5700;  // twips, 380 pixels

}  // namespace

AboutSS::AboutSS() : forms::Form("AboutSS") {
    // The two front labels drag the window as the background picture does, each in its
    // own coordinates.
    forms::PointerControl* const handles[] = {&Image1, &Label1, &Label3};
    for (forms::PointerControl* handle : handles) {
        handle->OnMouseDown = [this](int b, int s, float x, float y) {
            Image1_MouseDown(b, s, x, y);
        };
        handle->OnMouseMove = [this](int b, int s, float x, float y) {
            Image1_MouseMove(b, s, x, y);
        };
        handle->OnMouseUp = [this](int b, int s, float x, float y) { Image1_MouseUp(b, s, x, y); };
    }
    OK.OnClick = [this] { OK_Click(); };
}

// --- the stored definition -------------------------------------------------------------------

void AboutSS::Design() {
    SetBorderStyle(forms::BorderStyle::None);
    SetScaleMode(forms::ScaleMode::Twips);
    SetCaption("About ...");
    SetWidth(kSide);
    SetHeight(kSide);

    dialogs::Place(OK, {2280, 4800, 1125, 315}, "OK", "Created for Ryk Tavro", 0);

    DesignLabels();

    // Not stretched: the control takes the aircraft picture's own size when it gets it.
    F16Bck.Move(3120, 1680, 2205, 2025);
    F16Bck.SetStretch(false);
    F16Bck.SetToolTipText("Created for Ryk Tavro");
    F16Bck.SetEnabled(false);

    Image1.Move(0, 0, kSide, kSide);
    Image1.SetStretch(true);
    Image1.LoadPicture("about_background");
}

void AboutSS::DesignLabels() {
    struct Text {
        forms::Label& label;
        const char* caption;
        float left, top, width, height;
        os::COLORREF color;
        bool centred;
        int tab_index;
    };
    const Text texts[] = {
        {Version, "Version No.", 120, 1920, 2685, 330, os::RGB(255, 255, 192), true, 6},
        {Label5, "Special Thanks:\nMira Delano (Pictures)\nJonah Feld (Editing)", 720, 2160,
         1965, 810, os::RGB(255, 192, 128), false, 5},
        {Label3, "Written By Kolmi Ardev", 960, 1440, 3555, 570, os::RGB(255, 255, 255), true, 3},
        {Label1, "TAVRO Screen Saver", 1200, 600, 3420, 1155, os::RGB(0, 255, 255), true, 1},
        {Label2, "TAVRO Screen Saver", 1320, 600, 3165, 1200, os::RGB(192, 0, 0), true, 2},
        {Label4, "Written By Kolmi Ardev", 990, 1440, 3555, 570, os::RGB(128, 0, 128), true, 4},
    };
    for (const Text& t : texts) {
        t.label.Move(t.left, t.top, t.width, t.height);
        t.label.SetCaption(t.caption);
        t.label.SetForeColor(t.color);
        t.label.SetAlignment(t.centred ? forms::Alignment::Center : forms::Alignment::Left);
        t.label.SetTabIndex(t.tab_index);
        // The texts lie on the background picture without boxes of their own.
        t.label.SetBackStyle(forms::BackStyle::Transparent);
    }
    Label1.SetFont("MS Sans Serif", 13.5);
    Label2.SetFont("MS Sans Serif", 13.5);
    Version.SetEnabled(false);
    Label5.SetEnabled(false);
}

// --- load and close ----------------------------------------------------------------------------

void AboutSS::Form_Load() {
    // Only the circle inscribed in (12, 12)-(368, 368) stays visible and takes the pointer;
    // the window owns the region from now on.
    const os::HRGN region = os::CreateEllipticRgn(12, 12, 368, 368);
    os::SetWindowRgn(hWnd(), region, 1);

    const os::Surface* aircraft = SSconfigInstance().F16Bck.Picture();
    if (aircraft) F16Bck.SetPicture(*aircraft);

    using forms::App, runtime::NumberToTrimmedText;
    Version.SetCaption(Version.Caption() + runtime::NumberToText(App.Major()) + "." +
                       NumberToTrimmedText(App.Minor()) + "." +
                       NumberToTrimmedText(App.Revision()));
}

void AboutSS::Form_Unload(int& Cancel) {
    (void)Cancel;
    // A box opened again starts without a drag.
    Dragging_ = 0;
    DragStartX = DragStartY = 0;
}

void AboutSS::OK_Click() { Unload(); }

// --- dragging ----------------------------------------------------------------------------------

void AboutSS::Image1_MouseDown(int Button, int Shift, float X, float Y) {
    (void)Button, (void)Shift;
    DragStartX = runtime::RoundToInt16(X);
    DragStartY = runtime::RoundToInt16(Y);
    Dragging_ = -1;
}

// The pointer's offset is added to the window's position unconverted: the About box keeps
// the twips scale of the window's position, so the pressed point stays under the pointer.
void AboutSS::Image1_MouseMove(int Button, int Shift, float X, float Y) {
    (void)Button, (void)Shift;
    if (Dragging_ == 0) return;
    const float left = Left();
    const float top = Top();
    // Offset and position are summed in extended precision and rounded once.
    const auto new_left = static_cast<float>(static_cast<long double>(X) - DragStartX + left);
    const auto new_top = static_cast<float>(static_cast<long double>(Y) - DragStartY + top);
    Move(new_left, new_top, Width(), Height());
    // Moves that arrived meanwhile are handled here, each reading the position anew.
    forms::DoEvents();
}

void AboutSS::Image1_MouseUp(int Button, int Shift, float X, float Y) {
    (void)Button, (void)Shift, (void)X, (void)Y;
    Dragging_ = 0;
}
