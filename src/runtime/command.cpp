#include "runtime/command.h"

namespace runtime {

namespace {
std::string& Slot() {
    static std::string command;
    return command;
}
}  // namespace

const std::string& Command() { return Slot(); }

void SetCommand(std::string command_line) { Slot() = std::move(command_line); }

}  // namespace runtime
