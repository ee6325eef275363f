// The baseline for the program benchmarks: the least a tray program is, built like vantaro Tools (i686, static,
// size-optimised, stripped). One window shown, one tray icon (uID 1), one message loop; WM_CLOSE ends it.
#include <windows.h>
#include <shellapi.h>

namespace {

const UINT kTrayCallback = WM_APP + 1;
const char kClassName[] = "vantaroBenchMinimalWindow";

NOTIFYICONDATAA g_icon;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            Shell_NotifyIconA(NIM_DELETE, &g_icon);
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) return 1;
    HWND window = CreateWindowExA(0, kClassName, "minimal window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  400, 300, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;

    g_icon.cbSize = NOTIFYICONDATAA_V2_SIZE;  // the record size vantaro Tools uses
    g_icon.hWnd = window;
    g_icon.uID = 1;
    g_icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    g_icon.uCallbackMessage = kTrayCallback;
    g_icon.hIcon = windowClass.hIcon;
    lstrcpynA(g_icon.szTip, "minimal window", sizeof(g_icon.szTip));
    Shell_NotifyIconA(NIM_ADD, &g_icon);
    ShowWindow(window, SW_SHOW);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
