// The App object (the program's folder, title, version, previous-instance flag) and the
// message-pump call DoEvents.
#pragma once

#include <memory>
#include <string>

#include "forms/instance_lock.h"
#include "tavro_version.h"

namespace forms {

class AppObject {
public:
    // The folder holding the executable, without a trailing separator.
    std::string Path();
    const std::string& Title() { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }
    int Major() const { return kVersionMajor; }
    int Minor() const { return kVersionMinor; }
    int Revision() const { return kVersionRevision; }
    // True when another instance of this program was already running when this one
    // started. The first call (or ClaimInstance) takes this process's instance lock, which
    // is held until the process ends.
    bool PrevInstance();
    // Takes the instance lock now; call it early in start-up so that instances started
    // later see this one.
    void ClaimInstance() { (void)PrevInstance(); }
    // Back to the state of a process that has just started: the default title, the
    // instance lock released and the previous-instance question not yet asked.
    void Reset();

private:
    static constexpr const char* kDefaultTitle = "Tavro Screen Saver";
    std::string title_ = kDefaultTitle;
    std::unique_ptr<InstanceLock> lock_;  // held from the first question on
    bool previous_ = false;
};

inline AppObject App;

// Draws what the loaded forms have pending, then dispatches every pending event and due
// timer without waiting. Returns the number of loaded forms.
int DoEvents();

}  // namespace forms
