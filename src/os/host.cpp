#include "os/host.h"

#include <stdexcept>

namespace os {

namespace {
std::unique_ptr<Host>& Slot() {
    static std::unique_ptr<Host> host;
    return host;
}
}  // namespace

Host& CurrentHost() {
    if (!Slot()) throw std::logic_error("no host installed");
    return *Slot();
}

void InstallHost(std::unique_ptr<Host> host) { Slot() = std::move(host); }

bool HasHost() { return static_cast<bool>(Slot()); }

}  // namespace os
