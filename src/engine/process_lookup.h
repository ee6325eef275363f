#pragma once
#include <windows.h>

#include <string>

namespace vantaro {

// The first process in the system's list whose file name equals name, letter case ignored; 0 when none does.
DWORD FindProcessIdByName(const std::string& name);
// The parent (creator) of the process whose id is written in idText; -1 when it is not listed or the list
// cannot be read.
long long FindParentProcessId(const std::string& idText);
// Ends the process with exit code 0; true when it was ended.
bool TerminateProcessById(DWORD id);

}  // namespace vantaro
