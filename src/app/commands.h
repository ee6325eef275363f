#pragma once
#include <windows.h>

namespace vantaro {

// WM_COMMAND and WM_NOTIFY of MainWindow, dispatched by tables to the named handlers.
void HandleCommand(WPARAM wParam, LPARAM lParam);
LRESULT HandleNotify(const NMHDR& header);

}  // namespace vantaro
