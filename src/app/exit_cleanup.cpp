#include "app/exit_cleanup.h"

#include "app/tray.h"
#include "engine/console_runner.h"
#include "sharing/sharing_commands.h"

namespace vantaro {

void CreateSubsystemState() { CreateTrayState(); }

void ReleaseSubsystemState() {
    ReleaseScannerState();
    ReleaseConsoleRunner();
    ReleaseTrayState();
}

}  // namespace vantaro
