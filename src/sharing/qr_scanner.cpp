// The QR screen scanner: a frozen, washed-out screenshot over the whole primary screen, a selection dragged
// out in true colours, and on release its decoding, the report on the clipboard and the share-link import.
#include "sharing/qr_scanner.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/program_state.h"
#include "core/capture_picture.h"
#include "platform/bitmap.h"
#include "platform/clipboard.h"
#include "platform/message_box.h"
#include "platform/screen_capture.h"
#include "sharing/qr_library.h"
#include "sharing/share_import.h"
#include "sharing/sharing_commands.h"

namespace vantaro {
namespace {

// Lives for the program's run: the bitmaps of one scan are still there at the next.
struct ScannerState {
    BgrImage screenBitmap;  // the last screenshot, true colours
    BgrImage washedScreen;  // the same, washed out: the background picture
    BgrImage selection;     // the last selection with its red frame
    bool selecting = false;
    POINT press{};
    std::string report;
    std::string
        imageBeingDecoded;  // 2wm.bmp while it exists: removed by the exit clean-up if the program ends
};

// What one open capture window shows and does.
struct CaptureWindowState {
    HWND window = nullptr;
    RECT shownSelection{};  // where the selection picture is drawn; empty: none yet in this window
    bool decoding = false;
};

std::unique_ptr<ScannerState> scanner;
CaptureWindowState capture;

ScannerState& Scanner() {
    if (!scanner) scanner = std::make_unique<ScannerState>();
    return *scanner;
}

std::string TemporaryImagePath() { return Program().runDirectory + "\\2wm.bmp"; }

RECT SelectionRect(const ScannerState& state) {
    return RECT{state.press.x, state.press.y, state.press.x + state.selection.width,
                state.press.y + state.selection.height};
}

// Redraws only the union of what was shown and what is to be shown: a drag costs the selection's area, not
// the screen's.
void ShowSelection(HWND window, const RECT& next) {
    RECT changed{};
    UnionRect(&changed, &capture.shownSelection, &next);
    capture.shownSelection = next;
    if (IsRectEmpty(&changed)) return;
    InvalidateRect(window, &changed, FALSE);
    UpdateWindow(window);  // the frame follows the mouse at once, not when the queue next runs dry
}

void OnPaint(HWND window) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    const ScannerState& state = Scanner();
    DrawImage(dc, state.washedScreen, 0, 0, paint.rcPaint);
    if (!IsRectEmpty(&capture.shownSelection)) {
        DrawImage(dc, state.selection, capture.shownSelection.left, capture.shownSelection.top,
                  paint.rcPaint);
    }
    EndPaint(window, &paint);
}

void OnLeftButtonDown(HWND window, int x, int y) {
    ScannerState& state = Scanner();
    state.selecting = true;
    state.press = POINT{x, y};
    // A click without a drag selects nothing: the selection starts empty at the press point rather than
    // keeping a picture from an earlier scan, which a single click would otherwise import again.
    state.selection = CutSelection(state.screenBitmap, x, y, 0, 0);
    ShowSelection(window, RECT{});
    SetCapture(window);
}

void OnMouseMove(HWND window, int x, int y) {
    ScannerState& state = Scanner();
    if (!state.selecting) return;
    const SelectionSize size = SelectionSizeFor(state.press.x, state.press.y, x, y);
    const RECT current = SelectionRect(state);
    if (size.width == state.selection.width && size.height == state.selection.height &&
        EqualRect(&capture.shownSelection, &current) && !IsRectEmpty(&current)) {
        return;  // the same selection again: nothing to rebuild or redraw
    }
    state.selection = CutSelection(state.screenBitmap, state.press.x, state.press.y, size.width, size.height);
    ShowSelection(window, SelectionRect(state));
}

void PutReportOnClipboardAndImport(const std::string& report) {
    // An empty report holds no link; importing it would only show "clipboard empty".
    if (report.empty()) {
        WriteClipboardText(Program().mainWindow, report);
        return;
    }
    if (WriteClipboardText(Program().mainWindow, report)) {
        ImportFromClipboard();
    } else {
        ImportShareLink(report);  // never import what an earlier copy left on the clipboard
    }
}

void OnLeftButtonUp(HWND window) {
    ScannerState& state = Scanner();
    ReleaseCapture();
    state.selecting = false;
    const std::string path = TemporaryImagePath();
    if (!WriteBmpFile(path, state.selection)) return;  // stays open for another selection
    capture.decoding = true;
    state.imageBeingDecoded = path;
    ShowWindow(window, SW_HIDE);
    state.report = DecodeQrImageFile(path);
    DeleteFileA(path.c_str());
    state.imageBeingDecoded.clear();
    PutReportOnClipboardAndImport(state.report);
    DestroyWindow(window);
}

LRESULT CALLBACK CaptureWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool busy =
        capture.decoding && (message == WM_LBUTTONDOWN || message == WM_MOUSEMOVE ||
                             message == WM_LBUTTONUP || message == WM_KEYDOWN || message == WM_CLOSE);
    if (busy) return 0;  // input queued before the release waits for nothing: the scan is under way
    switch (message) {
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the screenshot covers everything
        case WM_LBUTTONDOWN:
            OnLeftButtonDown(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONUP:
            OnLeftButtonUp(window);
            return 0;
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            Scanner().selecting = false;
            // Destroyed inside a sent message, the loop's GetMessage would wait on: wake it to see it is
            // gone.
            PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool RegisterCaptureWindowClass(HINSTANCE instance) {
    static bool registered = false;
    if (registered) return true;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = CaptureWindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_CROSS);
    windowClass.lpszClassName = kCaptureWindowClass;
    registered = RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    return registered;
}

// The form's design size, centred; moved over the whole screen before it is first drawn.
HWND CreateCaptureWindow(HINSTANCE instance) {
    const int width = 380, height = 250;
    const ScreenSize screen = PrimaryScreenSize();
    return CreateWindowExA(0, kCaptureWindowClass, "", WS_POPUP, (screen.width - width) / 2,
                           (screen.height - height) / 2, width, height, nullptr, nullptr, instance, nullptr);
}

// Before the window is first shown, so that it is not in the picture.
bool FreezeScreen(HWND window) {
    std::optional<BgrImage> screenshot = CapturePrimaryScreen();
    if (!screenshot) return false;
    ScannerState& state = Scanner();
    state.screenBitmap = std::move(*screenshot);
    state.washedScreen = WashedOut(state.screenBitmap);
    SetWindowPos(window, nullptr, 0, 0, state.screenBitmap.width, state.screenBitmap.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

// Modal without an owner: every other enabled top-level window of the program is disabled until it is gone.
struct WindowsToDisable {
    HWND except;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowsToDisable*>(param);
    if (window != search->except && IsWindowEnabled(window)) search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> DisableOtherWindows(HWND except) {
    WindowsToDisable search{except, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.found) EnableWindow(window, FALSE);
    return search.found;
}

// Runs until the capture window is destroyed; a quit request is put back for the program's own loop.
void RunUntilDestroyed(HWND window) {
    MSG message{};
    while (IsWindow(window)) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            DestroyWindow(window);
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (PreTranslateMainWindowMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

void OpenQrScanner() {
    if (capture.window != nullptr && IsWindow(capture.window)) {
        SetForegroundWindow(capture.window);  // already open: opened again from the tray menu
        return;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterCaptureWindowClass(instance)) return;
    HWND window = CreateCaptureWindow(instance);
    if (window == nullptr) return;
    if (!FreezeScreen(window)) {
        DestroyWindow(window);
        ShowMessage(Program().mainWindow, "无法截取屏幕，二维码扫描无法进行。", "错误");
        return;
    }
    capture = CaptureWindowState{window, RECT{}, false};
    const std::vector<HWND> disabled = DisableOtherWindows(window);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(window);
    RunUntilDestroyed(window);
    for (HWND other : disabled) {
        if (IsWindow(other)) EnableWindow(other, TRUE);
    }
    capture = CaptureWindowState{};
}

void ReleaseScannerState() {
    if (capture.window != nullptr && IsWindow(capture.window)) DestroyWindow(capture.window);
    capture = CaptureWindowState{};
    // A missing library ends the program in the middle of decoding: the temporary file goes all the same.
    if (scanner && !scanner->imageBeingDecoded.empty()) DeleteFileA(scanner->imageBeingDecoded.c_str());
    scanner.reset();
}

}  // namespace vantaro
