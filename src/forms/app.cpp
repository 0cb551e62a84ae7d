#include "forms/app.h"

#include <memory>

#include "forms/form.h"
#include "os/files.h"
#include "os/message_loop.h"

namespace forms {

std::string AppObject::Path() { return os::ProgramFolder(); }

bool AppObject::PrevInstance() {
    // Decided once, when this process first asks; the lock is then held until it ends.
    if (!lock_) {
        lock_ = std::make_unique<InstanceLock>(InstanceLock::DefaultPath());
        previous_ = lock_->Acquire();
    }
    return previous_;
}

void AppObject::Reset() {
    title_ = kDefaultTitle;
    lock_.reset();
    previous_ = false;
}

int DoEvents() {
    // Copy: a handler run below may load or unload forms.
    const std::vector<Form*> forms = Form::LoadedForms();
    for (Form* f : forms) f->Flush();
    os::PumpMessages();
    return static_cast<int>(Form::LoadedForms().size());
}

}  // namespace forms
