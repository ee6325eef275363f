#pragma once
#include <windows.h>

#include <string>

namespace vantaro {

// What the check compares against and where it reports, taken on the GUI thread when the check is started.
struct UpdateCheckSnapshot {
    std::string versionText;
    std::string buildNumber;
    HWND mainWindow;
};

// The worker thread's routine: connectivity probe, download of the version file into memory, comparison, and
// the announcement (a balloon, and the caption handed to the GUI thread). Silent in every other case.
void CheckForUpdate(const UpdateCheckSnapshot& snapshot);

// The thread of the latest check, for tests that wait for it to end (null before the first check).
HANDLE LatestUpdateCheckThread();

// The largest version file accepted; a real one is a few dozen bytes.
constexpr size_t kVersionFileCap = 64 * 1024;

}  // namespace vantaro
