#include "forms/captioned_control.h"

#include "os/gdi.h"

namespace forms {

const std::string& CaptionedControl::Caption() { Touch(); return caption_; }

void CaptionedControl::SetCaption(const std::string& caption) {
    Touch();
    caption_ = caption;
    Invalidate();
}

char CaptionedControl::AccessKey() { return os::AccessKeyOf(caption_); }

void CaptionedControl::Destroy() {
    caption_.clear();
    Control::Destroy();
}

}  // namespace forms
