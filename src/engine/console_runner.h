#pragma once
#include <windows.h>

#include <string>

namespace vantaro {

// The hidden interpreter that hosts the engine, and the reader that shows its output in the log box.
void StartConsole();
void SendConsoleLine(const std::string& text);
// Output handed over from a reader thread (kConsoleOutput), appended to the log box on the GUI thread.
void HandleConsoleOutput(LPARAM output);
// The exit clean-up: every handle of the last start.
void ReleaseConsoleRunner();

// True when the process is an interpreter that StartConsole started and that still runs: only such a parent
// of the engine is ever terminated.
bool IsInterpreterStartedHere(DWORD processId);

}  // namespace vantaro
