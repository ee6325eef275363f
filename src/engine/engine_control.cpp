#include "engine/engine_control.h"

#include <windows.h>

#include <commctrl.h>

#include "app/main_window.h"
#include "app/program_state.h"
#include "app/tray.h"
#include "app/tray_menu_form.h"
#include "core/decimal.h"
#include "core/status_texts.h"
#include "engine/console_runner.h"
#include "engine/engine_config_file.h"
#include "engine/process_lookup.h"
#include "platform/list_view.h"
#include "platform/message_box.h"
#include "platform/message_wait.h"
#include "platform/profile_file.h"
#include "platform/unique_handle.h"
#include "platform/window_text.h"
#include "sysproxy/proxy_modes.h"

namespace vantaro {
namespace {

const char kEngineName[] = "vantaro-local.exe";
// How long the engine is given to show up in the process list after its name was typed.
constexpr DWORD kEngineStartWait = 500;

// Set while a start runs: its waits let events through, and a second start request then must not start a
// second interpreter.
bool starting = false;

struct RequiredBox {
    Ctl box;
    const char* message;
};
const RequiredBox kRequiredBoxes[] = {
    {Ctl::编辑框_文件位置, "文件位置 不能为空！"},     {Ctl::编辑框_本地端口, "本地端口 不能为空！"},
    {Ctl::编辑框_服务器IP, "服务器IP 不能为空！"},     {Ctl::编辑框_服务器端口, "服务器端口 不能为空！"},
    {Ctl::编辑框_服务器密码, "服务器密码 不能为空！"},
};

std::string BoxText(Ctl id) { return GetWindowTextString(Control(id)); }

// The first empty box, told to the user; exact texts, nothing trimmed.
bool RequiredBoxesFilled() {
    for (const RequiredBox& required : kRequiredBoxes) {
        if (BoxText(required.box).empty()) {
            ShowMessage(Program().mainWindow, required.message, "错误");
            return false;
        }
    }
    return true;
}

void SetStatusBarPart(int part, const std::string& text) {
    SendMessageA(Control(Ctl::状态条1), SB_SETTEXTA, part, reinterpret_cast<LPARAM>(text.c_str()));
}

// Every control that shows whether the engine runs, in the order the user sees them change.
void ShowEngineState(bool running) {
    EnableWindow(Control(Ctl::按钮_启动), !running);
    EnableWindow(Control(Ctl::编辑框_本地端口), !running);
    SetMenuItemEnabled(MenuItem::启动代理, !running);
    SetMenuItemChecked(MenuItem::状态, running);
    EnableWindow(Control(Ctl::按钮_停止), running);
    SetMenuItemEnabled(MenuItem::停止代理, running);
    SetStatusBarPart(1, running ? "   状态：正在运行" : "   状态：未运行");
    SetMenuItemCaption(MenuItem::状态, running ? "状态：正在运行" : "状态：未运行");
}

void ReportState(bool running) {
    const std::string port = BoxText(Ctl::编辑框_本地端口);
    ShowTrayBalloon(running ? "vantaro 启动成功！" : "vantaro 停止成功！",
                    "SOCKS5 代理：" + LocalListenerAddress(port), kBalloonNone);
    SetTrayTip(TrayTipText(running, port));
}

void ApplyCheckedProxyMode() {
    if (IsMenuItemChecked(MenuItem::直连模式)) {
        SelectDirectMode();
    } else if (IsMenuItemChecked(MenuItem::PAC模式)) {
        SelectPacMode();
    } else if (IsMenuItemChecked(MenuItem::全局模式)) {
        SelectGlobalMode();
    }
}

// Ends the first engine in the process list, and first its parent when that is an interpreter this program
// started (an engine started elsewhere keeps its parent). False when no engine runs.
bool TerminateFirstEngine() {
    const DWORD engine = FindProcessIdByName(kEngineName);
    if (engine == 0) return false;
    const long long parent = FindParentProcessId(DecimalText(engine));
    if (parent != -1 && IsInterpreterStartedHere(static_cast<DWORD>(parent))) {
        TerminateProcessById(static_cast<DWORD>(parent));
    }
    TerminateProcessById(engine);
    return true;
}

}  // namespace

void StartEngine() {
    if (starting) return;
    starting = true;
    ScopeGuard done([] { starting = false; });
    if (!RequiredBoxesFilled()) return;
    if (!WriteEngineConfig()) {
        ShowMessage(Program().mainWindow, "写入配置文件失败！", "错误");
        return;
    }
    StartConsole();
    SendConsoleLine("echo off");
    SendConsoleLine(kEngineName);
    if (!WaitProcessingMessages(kEngineStartWait, {}, PreTranslateMainWindowMessage)) return;
    if (Program().destroying) return;  // the exit came during the wait and has done its own termination
    if (FindProcessIdByName(kEngineName) == 0) {
        ShowTrayBalloon("vantaro 启动失败！", "请检查配置、日志。", kBalloonError);
        return;
    }
    Program().runningServerIp = BoxText(Ctl::编辑框_服务器IP);
    ShowEngineState(true);
    ReportState(true);
    const int selected = ListSelectedRow(Control(Ctl::超级列表框_服务器列表));
    WriteProfileValue(ConfigFilePath(), "NodeList", "Select node", DecimalText(selected));
    ApplyCheckedProxyMode();
}

void StopEngine() {
    if (!TerminateFirstEngine())
        ShowMessage(Program().mainWindow, "vantaro 进程似乎不存在！", DefaultMessageTitle());
    Program().runningServerIp.clear();
    ApplyProxyMode("", ProxyMode::Direct);
    ShowEngineState(false);
    ReportState(false);
}

void TerminateEngineAtExit() { TerminateFirstEngine(); }

}  // namespace vantaro
