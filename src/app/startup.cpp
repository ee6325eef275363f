#include "app/startup.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app/app_messages.h"
#include "app/main_window_form.h"
#include "app/program_state.h"
#include "app/tray.h"
#include "app/tray_menu_form.h"
#include "engine/engine_control.h"
#include "netcheck/network_checks.h"
#include "platform/message_box.h"
#include "platform/module_path.h"
#include "platform/process_list.h"
#include "platform/window_text.h"
#include "settings/engine_location.h"
#include "settings/settings_file.h"
#include "sysproxy/proxy_guard.h"
#include "sysproxy/proxy_modes.h"

namespace vantaro {
namespace {

// Creating the event and testing whether it already existed is one step, so two instances started at the same
// moment cannot both pass.
bool ClaimSingleInstance() {
    SetLastError(ERROR_SUCCESS);
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, kInstanceEventName);
    const DWORD error = GetLastError();
    if (event != nullptr && error == ERROR_ALREADY_EXISTS) {
        CloseHandle(event);
        return false;
    }
    // A name held by an object of another kind also means the name is taken.
    if (event == nullptr && error == ERROR_INVALID_HANDLE) return false;
    Program().instanceEvent.Reset(event);
    return true;
}

void ShowVersionTexts(HWND window) {
    ProgramState& program = Program();
    program.versionText = "1.0.1";
    program.buildNumber = "2";
    SetWindowTextString(window, "vantaro Tools    v" + program.versionText);
    const std::string part0 = " 当前版本：v" + program.versionText;
    SendMessageA(Control(Ctl::状态条1), SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(part0.c_str()));
}

bool LaunchedFromShell() {
    const std::optional<bool>& forced = Program().options.startedFromShell;
    if (forced) return *forced;
    return StartedFromShell(TakeProcessSnapshot, OwnExecutableFileName(), 0);
}

}  // namespace

bool RunWindowCreatedSequence(HWND window) {
    ProgramState& program = Program();
    program.mainWindow = window;
    program.trayMenu.Reset(CreateTrayMenu());
    CreateMainWindowControls(window);
    if (!ClaimSingleInstance()) {
        ShowMessage(window, "不能重复运行vantaro Tools！", "错误");
        return false;
    }
    program.started = true;
    SetTrayRequestWindow(window);
    ShowVersionTexts(window);
    if (program.options.checkForUpdates) StartUpdateCheck();
    LoadSettings();
    DeriveEngineDirectory();
    RepairLeftoverProxySettings();
    AddMainWindowTrayIcon();
    AttachTrayRoutine();
    DragAcceptFiles(window, TRUE);
    if (LaunchedFromShell()) {
        ShowWindow(window, SW_SHOW);
    } else {
        // First thing the message loop does: a message box of the start then runs in a loop of its own, not
        // inside the window's creation.
        PostMessageA(window, kStartEngineAtLaunch, 0, 0);
    }
    return true;
}

void RunDestroySequence() {
    // A refused second instance must not stop the engine of the instance that runs.
    if (!Program().started) return;
    Program().destroying = true;
    TerminateEngineAtExit();
    if (IsMenuItemChecked(MenuItem::直连模式)) return;
    ApplyProxyMode("", ProxyMode::Direct);
}

}  // namespace vantaro
