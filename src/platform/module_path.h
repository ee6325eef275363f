#pragma once
#include <string>

namespace vantaro {

// Full path of the running executable, in the ANSI code page.
std::string OwnExecutablePath();
// The directory of the executable, without a trailing backslash.
std::string OwnExecutableDirectory();
// Name and extension of the executable, no directory.
std::string OwnExecutableFileName();

}  // namespace vantaro
