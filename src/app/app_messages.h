#pragma once
#include <windows.h>

namespace vantaro {

// The program's own window messages, declared once. Messages that carry an owned object pass it as an lParam
// created with new; the GUI thread's handler takes ownership.
enum AppMessage : UINT {
    kRefocusServerField = WM_APP + 1,  // wParam: the control id whose box gets the focus back
    kTrayBalloonRequest,               // lParam: TrayBalloonRequest*
    kTrayTipRequest,                   // lParam: std::string* tip
    kSetCaptionRequest,                // lParam: std::string* caption
    kConsoleOutput,                    // lParam: ConsoleOutput*
    kStartEngineAtLaunch,              // launched not from the shell: start the engine
};

// The notification area's callback message for the tray icon.
constexpr UINT kTrayCallbackMessage = 11685;

}  // namespace vantaro
