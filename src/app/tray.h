#pragma once

namespace vantaro {

// The program's tray icon for the main window: added and routed at startup, removed by the exit clean-up.
void AddMainWindowTrayIcon();
void AttachTrayRoutine();
void RemoveMainWindowTrayIcon();

}  // namespace vantaro
