#include "forms/app.h"

#include <memory>

#include "forms/form.h"
#include "forms/instance_lock.h"
#include "os/files.h"
#include "os/message_loop.h"

namespace forms {

std::string AppObject::Path() { return os::ProgramFolder(); }

bool AppObject::PrevInstance() {
    // Decided once, when this process first asks; the lock is then held until it ends.
    static std::unique_ptr<InstanceLock> lock;
    static bool previous = false;
    if (!lock) {
        lock = std::make_unique<InstanceLock>(InstanceLock::DefaultPath());
        previous = lock->Acquire();
    }
    return previous;
}

int DoEvents() {
    // Copy: a handler run below may load or unload forms.
    const std::vector<Form*> forms = Form::LoadedForms();
    for (Form* f : forms) f->Flush();
    os::PumpMessages();
    return static_cast<int>(Form::LoadedForms().size());
}

}  // namespace forms
