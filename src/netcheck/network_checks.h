#pragma once
#include <windows.h>

namespace vantaro {

// Both run their network work on a worker thread of their own.
void StartUpdateCheck();
void StartLatencyTest(bool fromTray);
// A caption handed over from the update check's worker (kSetCaptionRequest), set on the GUI thread.
void HandleCaptionRequest(LPARAM caption);

}  // namespace vantaro
