// Files as the program names them: the program's own folder, ordinary-file tests and the
// platform's path rules ("\" separates folders; a name that does not exist as written
// matches an entry that differs only in letter case).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace os {

// The folder holding the running executable (from /proc/self/exe), without a trailing
// slash; "." when it cannot be read.
std::string ProgramFolder();

// The process's current folder; "." when it cannot be read.
std::string CurrentFolder();

// name inside the program's folder ("\" separators converted).
std::string ProgramPath(const std::string& name);

// True when path names an existing ordinary file (symbolic links followed).
bool IsOrdinaryFile(const std::string& path);

// "\" becomes "/"; nothing else changes.
std::string ToHostSeparators(std::string name);

// Finds the ordinary file a program-side name refers to. A relative name is tried in each
// folder in order; an absolute name is tried as it stands. Each component of the path
// matches exactly when such an entry exists, otherwise the (alphabetically first) entry
// whose name differs only in ASCII letter case. nullopt when no folder holds the file.
std::optional<std::string> ResolveFileName(const std::string& name,
                                           const std::vector<std::string>& folders);

}  // namespace os
