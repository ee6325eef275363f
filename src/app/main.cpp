#include <windows.h>

#include <cstdlib>

#include "app/main_window.h"
#include "app/program_state.h"
#include "sysproxy/proxy_guard.h"

using namespace vantaro;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    CreateProgramState(StartupOptions{});
    // The exit clean-up runs once however the process ends: after the loop, or from exit() anywhere.
    std::atexit(ReleaseProgramState);
    InstallCrashReset();
    if (CreateMainWindow(instance) == nullptr) return 0;  // a refused second instance also ends with 0
    RunMessageLoop();
    return 0;
}
