// The About box: a borderless window cut to a circle that shows the product title, the
// author, the version and two credits over a background picture, with the settings
// dialog's aircraft picture on it. It has no title bar: the background picture and the two
// front labels drag it. OK (which holds the focus, so Enter and Space press it) closes it.
#pragma once

#include <cstdint>

#include "forms/forms.h"

class AboutSS : public forms::Form {
public:
    AboutSS();

    // Controls, created from the bottom of the z-order to the top.
    forms::Image Image1{*this, "Image1"};
    forms::Label Label4{*this, "Label4"};
    forms::Label Label2{*this, "Label2"};
    forms::Image F16Bck{*this, "F16Bck"};
    forms::Label Label1{*this, "Label1"};
    forms::Label Label3{*this, "Label3"};
    forms::Label Label5{*this, "Label5"};
    forms::Label Version{*this, "Version"};
    forms::CommandButton OK{*this, "OK"};

    // Event handlers (public so that tests drive them as the framework does). X and Y are
    // in the pressed control's container's scale: twips, like the window's position. The
    // picture and the labels Label1 and Label3 share the drag handlers.
    void Image1_MouseDown(int Button, int Shift, float X, float Y);
    void Image1_MouseMove(int Button, int Shift, float X, float Y);
    void Image1_MouseUp(int Button, int Shift, float X, float Y);
    void Form_Load() override;
    void OK_Click();

    // The drag state: -1 while a drag is in progress.
    std::int16_t Dragging() const { return Dragging_; }

protected:
    void Design() override;
    void Form_Unload(int& Cancel) override;

private:
    void DesignLabels();

    // Where (in the pressed control's coordinates) the current drag began.
    std::int16_t DragStartX = 0;
    std::int16_t DragStartY = 0;
    std::int16_t Dragging_ = 0;
};

// The About box's one instance (created on first use, not loaded until touched).
AboutSS& AboutSSInstance();
