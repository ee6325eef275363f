#pragma once
#include <windows.h>

#include <string>

namespace vantaro {

class TrayIcon;

// The program's one tray icon for MainWindow: created at process start, added and routed at startup, removed by
// the exit clean-up.
TrayIcon* ProgramTrayIcon();
void CreateTrayState();
void ReleaseTrayState();
void AddMainWindowTrayIcon();
// The window that workers' balloon and tip requests are posted to; set before any worker starts.
void SetTrayRequestWindow(HWND window);
void AttachTrayRoutine();
void TrayRoutine(UINT code);
void PopUpTrayMenu();

// Balloon icon kinds.
enum BalloonKind : DWORD { kBalloonNone = 0, kBalloonInformation = 1, kBalloonWarning = 2, kBalloonError = 3 };

// Safe from any thread: the record is only ever touched on the GUI thread, so a worker's request is handed over
// as a posted message and a balloon can never tear a tip or another balloon.
void ShowTrayBalloon(const std::string& title, const std::string& text, DWORD kind);
void SetTrayTip(const std::string& tip);

// The window messages of those requests, run on the GUI thread.
void HandleTrayBalloonRequest(LPARAM request);
void HandleTrayTipRequest(LPARAM request);

// The program's icon-file bytes, embedded as data beside the window icon.
std::string ProgramIconBytes();

}  // namespace vantaro
