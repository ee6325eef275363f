#pragma once
#include <string>

namespace vantaro {

// Whether the system says it has an Internet connection (InternetGetConnectedState).
bool SystemReportsConnection();

// Opens url through WinINet with the system's proxy configuration and a forced reload, and closes both
// handles at once: true when the site answered at all.
bool OpenUrlThroughSystemProxy(const std::string& url);

}  // namespace vantaro
