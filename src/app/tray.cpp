#include "app/tray.h"

#include "app/exit_cleanup.h"

namespace vantaro {

void AddMainWindowTrayIcon() {}
void AttachTrayRoutine() {}
void RemoveMainWindowTrayIcon() {}

void CreateSubsystemState() {}
void ReleaseSubsystemState() { RemoveMainWindowTrayIcon(); }

}  // namespace vantaro
