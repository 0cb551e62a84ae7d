// The settings dialog: five bars and three check boxes that edit the settings record in
// memory. It copies Settings into its controls when it loads, back into Settings on Apply
// and OK, and OK writes every setting to the registry; Cancel, Esc and the close box close
// it without writing. The About button opens the About box with its opening effect; the
// Advanced button opens the advanced dialog modally over this one.
#pragma once

#include "forms/check_box.h"
#include "forms/forms.h"
#include "forms/image.h"
#include "forms/scroll_bar.h"

class SSconfig : public forms::Form {
public:
    SSconfig();

    // Controls on the window. The panel comes first: the controls inside it are created
    // in it.
    forms::PictureBox Picture1{*this, "Picture1"};
    forms::CommandButton OK{*this, "OK"};
    forms::CommandButton Cancel{*this, "Cancel"};
    forms::CommandButton Apply{*this, "Apply"};

    // Controls in Picture1. The picture is created first so that it lies beneath the bars
    // and headings that overlap its box.
    forms::Image F16Bck{Picture1, "F16Bck"};
    forms::Label Label4{Picture1, "Label4"};
    forms::Label Label3{Picture1, "Label3"};
    forms::Label Label2{Picture1, "Label2"};
    forms::Label Label1{Picture1, "Label1"};
    forms::Label Label5{Picture1, "Label5"};
    forms::VScrollBar CEventTime{Picture1, "CEventTime"};
    forms::VScrollBar CPlaneDistance{Picture1, "CPlaneDistance"};
    forms::VScrollBar CPlaneSpd{Picture1, "CPlaneSpd"};
    forms::VScrollBar CPlaneNum{Picture1, "CPlaneNum"};
    forms::VScrollBar CStep{Picture1, "CStep"};
    forms::Label CET{Picture1, "CET"};
    forms::Label CPD{Picture1, "CPD"};
    forms::Label CPS{Picture1, "CPS"};
    forms::Label CPN{Picture1, "CPN"};
    forms::Label CSTP{Picture1, "CSTP"};
    forms::CheckBox CEnaTh{Picture1, "CEnaTh"};
    forms::CheckBox CBkWavEna{Picture1, "CBkWavEna"};
    forms::CheckBox CThWavEna{Picture1, "CThWavEna"};
    forms::CommandButton Aboutshow{Picture1, "Aboutshow"};
    forms::CommandButton Default{Picture1, "Default"};
    forms::CommandButton AdvOpt{Picture1, "AdvOpt"};

    // Event handlers (public so that tests drive them as the framework does).
    // The About box centred on the screen, opened with its growing-ellipse effect; returns
    // when it has been closed.
    void Aboutshow_Click();
    // The advanced dialog loaded, centred on the screen and shown modally; returns when it
    // has been closed.
    void AdvOpt_Click();
    void Apply_Click();
    void Cancel_Click();
    void CBkWavEna_Click();
    void CEnaTh_Click();
    void CEventTime_Change();
    void CPlaneDistance_Change();
    void CPlaneNum_Change();
    void CPlaneSpd_Change();
    void CStep_Change();
    void CThWavEna_Click();
    void Default_Click();
    void OK_Click();
    // Settings into the controls, then Apply disabled.
    void Form_Load() override;

protected:
    void Design() override;

private:
    void DesignPanel();
    void DesignBars();
    void DesignCheckBoxes();
    // Apply enabled and the bar's value shown in its label.
    void BarChanged(forms::VScrollBar& bar, forms::Label& label);
    // Every value label written with its bar's value.
    void ShowBarValues();
};

// The dialog's one instance (created on first use, not loaded until touched).
SSconfig& SSconfigInstance();
