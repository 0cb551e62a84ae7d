// A control that shows a caption; "&x" in it marks the control's access key.
#pragma once

#include <string>

#include "forms/control.h"

namespace forms {

class CaptionedControl : public Control {
public:
    using Control::Control;

    const std::string& Caption();
    // Stores the caption and draws the control again.
    void SetCaption(const std::string& caption);

    char AccessKey() override;
    void Destroy() override;

protected:
    // The caption as it is drawn (reading it does not load the form).
    const std::string& CaptionText() const { return caption_; }

private:
    std::string caption_;
};

}  // namespace forms
