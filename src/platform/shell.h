#pragma once
#include <string>

namespace vantaro {

// Opens a URL with the shell's "open" verb in a normal window (the default browser for web pages).
bool OpenWithShell(const std::string& url);
// Starts a command line as a new process with a normal window and does not wait for it.
bool StartCommandLine(const std::string& commandLine);
// The logon name of the calling thread's user.
std::string LogonUserName();
bool FileExists(const std::string& path);

}  // namespace vantaro
