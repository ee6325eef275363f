#include "app/main_window.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "app/app_messages.h"
#include "app/commands.h"
#include "app/main_window_form.h"
#include "app/startup.h"
#include "app/tray.h"
#include "engine/console_runner.h"
#include "engine/engine_control.h"
#include "netcheck/network_checks.h"
#include "sysproxy/proxy_guard.h"
#include "settings/engine_location.h"
#include "settings/node_editor.h"

namespace vantaro {
namespace {

constexpr int kIconResource = 1;

HFONT CreateMessageFont() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return nullptr;
    return CreateFontIndirectA(&metrics.lfMessageFont);
}

void CentreOnScreen(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT OnCreate(HWND window) {
    Program().font = CreateMessageFont();
    CentreOnScreen(window);  // before the creation sequence may show it
    return RunWindowCreatedSequence(window) ? 0 : -1;
}

// A close request (close button, Alt+F4, Esc) only hides the window; the engine and the tray icon go on.
LRESULT OnClose(HWND window) {
    ShowWindow(window, SW_HIDE);
    return 0;
}

LRESULT OnDestroy() {
    RunDestroySequence();
    PostQuitMessage(0);
    return 0;
}

// Labels and the group box are drawn on the tab page's own background.
LRESULT OnControlColour(HWND window, HDC dc, HWND control) {
    const ControlRow* row = FindControlRow(static_cast<Ctl>(GetDlgCtrlID(control)));
    const bool onPage = row != nullptr && (row->kind == ControlKind::Label || row->kind == ControlKind::GroupBox ||
                                           row->kind == ControlKind::CheckBox);
    if (!onPage) return DefWindowProcA(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(control));
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

LRESULT OnDropFiles(HDROP drop) {
    std::string dropped;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        char path[MAX_PATH * 4] = {};
        DragQueryFileA(drop, i, path, sizeof(path));
        dropped += path;
        if (count > 1) dropped += "\r\n";  // several files: every path followed by CR LF
    }
    DragFinish(drop);
    AcceptDroppedEngine(dropped);
    return 0;
}

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: return OnCreate(window);
        case WM_CLOSE: return OnClose(window);
        case WM_DESTROY: return OnDestroy();
        case WM_COMMAND: HandleCommand(wParam, lParam); return 0;
        case WM_NOTIFY: return HandleNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_CTLCOLORSTATIC: return OnControlColour(window, reinterpret_cast<HDC>(wParam),
                                                       reinterpret_cast<HWND>(lParam));
        case WM_DROPFILES: return OnDropFiles(reinterpret_cast<HDROP>(wParam));
        case kRefocusServerField: RefocusServerField(static_cast<ServerField>(wParam)); return 0;
        case kTrayBalloonRequest: HandleTrayBalloonRequest(lParam); return 0;
        case kTrayTipRequest: HandleTrayTipRequest(lParam); return 0;
        case kConsoleOutput: HandleConsoleOutput(lParam); return 0;
        case kStartEngineAtLaunch: StartEngine(); return 0;
        case kSetCaptionRequest: HandleCaptionRequest(lParam); return 0;
        case WM_QUERYENDSESSION: return TRUE;
        case WM_ENDSESSION: if (wParam) ResetForSessionEnd(); return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}


bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = MainWindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconResource));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(kIconResource), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

HWND CreateMainWindow(HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    if (!RegisterMainWindowClass(instance)) return nullptr;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_TOPMOST | WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
    const int width = ScaleForDpi(nullptr, kMainWindowWidth);
    const int height = ScaleForDpi(nullptr, kMainWindowHeight);
    HWND window = CreateWindowExA(exStyle, kMainWindowClass, "vantaro Tools", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  width, height, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return nullptr;
    return window;
}

void ShowMainWindow() {
    HWND window = Program().mainWindow;
    if (window != nullptr && !IsWindowVisible(window)) ShowWindow(window, SW_SHOW);
}

bool PreTranslateMainWindowMessage(MSG& message) {
    HWND mainWindow = Program().mainWindow;
    const bool inMainWindow =
        mainWindow != nullptr && (message.hwnd == mainWindow || IsChild(mainWindow, message.hwnd));
    if (!inMainWindow) return false;
    // Esc anywhere in the window is a close request, whichever control has the focus.
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
        PostMessageA(mainWindow, WM_CLOSE, 0, 0);
        return true;
    }
    return IsDialogMessageA(mainWindow, &message) != FALSE;
}

int RunMessageLoop() {
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (PreTranslateMainWindowMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

}  // namespace vantaro
