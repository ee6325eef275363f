#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "platform/unique_handle.h"

namespace vantaro {

// Choices that only tests make: where config.ini lives and how the launch-origin step decides.
struct StartupOptions {
    std::string runDirectory;               // empty: the executable's directory
    std::optional<bool> startedFromShell;   // empty: ask the process list
    bool checkForUpdates = true;
};

// Program-wide state, created at process start and released by the exit clean-up.
struct ProgramState {
    StartupOptions options;
    std::string versionText;
    std::string buildNumber;
    std::vector<std::string> nodeArray;  // one node text per list row, in row order
    int editedRow = -1;                  // the row shown in the editor
    std::string runningServerIp;
    std::string runDirectory;            // no trailing backslash
    std::string engineDirectory;         // ends with a backslash, or empty
    KernelHandle instanceEvent;
    HWND mainWindow = nullptr;
    HWND controls[kControlCount] = {};
    MenuHandle trayMenu;                 // "托盘菜单": the popup with every tray item
    HFONT font = nullptr;
    bool requiringServerField = false;   // a "不能为空" message is up: ignore further focus losses
    bool destroying = false;
    bool started = false;                // the startup sequence got past the instance guard
};

ProgramState& Program();
void CreateProgramState(const StartupOptions& options);
// The exit clean-up: runs once, however the process ends.
void ReleaseProgramState();

HWND Control(Ctl id);
std::string ConfigFilePath();

}  // namespace vantaro
