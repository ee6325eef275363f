#pragma once
#include <windows.h>

#include "app/program_state.h"

namespace vantaro {

// Registers the class and creates MainWindow hidden; its creation runs the startup sequence. Returns null when
// the creation was refused (a second instance).
HWND CreateMainWindow(HINSTANCE instance);
// Shows a hidden MainWindow; a visible one is neither activated nor restored.
void ShowMainWindow();
// Keyboard handling of MainWindow (Esc, Tab between controls); true when the message was used up.
bool PreTranslateMainWindowMessage(MSG& message);
// Runs the message loop until MainWindow is destroyed.
int RunMessageLoop();

constexpr char kMainWindowClass[] = "vantaroToolsMainWindow";

}  // namespace vantaro
