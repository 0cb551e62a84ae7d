// The program's command line as the framework hands it over: the arguments that follow the
// program's name.
#pragma once

#include <string>

namespace runtime {

const std::string& Command();
void SetCommand(std::string command_line);

}  // namespace runtime
