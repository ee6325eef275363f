#include "app/tray.h"

#include <atomic>
#include <memory>

#include "app/app_messages.h"
#include "app/main_window.h"
#include "app/program_state.h"
#include "app/tray_icon.h"
#include "core/status_texts.h"
#include "platform/window_text.h"

namespace vantaro {
namespace {

std::unique_ptr<TrayIcon> trayIcon;
DWORD guiThread = 0;
// What workers may read: the window their requests go to, published once the icon is added. The icon object
// itself is only ever touched on the GUI thread.
std::atomic<HWND> requestWindow{nullptr};

struct BalloonRequest {
    std::string title;
    std::string text;
    DWORD kind;
};

bool OnGuiThread() { return GetCurrentThreadId() == guiThread; }

}  // namespace

TrayIcon* ProgramTrayIcon() { return trayIcon.get(); }

std::string ProgramIconBytes() {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), reinterpret_cast<LPCSTR>(RT_RCDATA));
    if (!resource) return {};
    HGLOBAL loaded = LoadResource(module, resource);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    return std::string(static_cast<const char*>(data), SizeofResource(module, resource));
}

void AddMainWindowTrayIcon() {
    const std::string port = GetWindowTextString(Control(Ctl::编辑框_本地端口));
    trayIcon->AddIcon(Program().mainWindow, ProgramIconBytes(), true, TrayTipText(false, port));
}

void SetTrayRequestWindow(HWND window) { requestWindow = window; }

void AttachTrayRoutine() { trayIcon->AttachCallback(TrayRoutine, true); }

void TrayRoutine(UINT code) {
    switch (code) {
        case WM_RBUTTONUP: PopUpTrayMenu(); break;
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK: ShowMainWindow(); break;
        // Without its icon a hidden program could not be reached at all: add it again.
        case TrayIcon::kShellRestarted: trayIcon->AddIconAgain(); break;
        default: break;
    }
}

void PopUpTrayMenu() {
    HWND window = Program().mainWindow;
    SetForegroundWindow(window);
    POINT cursor{};
    GetCursorPos(&cursor);
    // The menu object holds the states the commands last set; it is shown as it stands now.
    TrackPopupMenu(Program().trayMenu.Get(), TPM_RIGHTALIGN, cursor.x - 5, cursor.y - 5, 0, window, nullptr);
    PostMessageA(window, WM_NULL, 0, 0);
}

void ShowTrayBalloon(const std::string& title, const std::string& text, DWORD kind) {
    if (OnGuiThread()) {
        if (trayIcon) trayIcon->ShowBalloon(title, text, kind);
        return;
    }
    auto request = std::make_unique<BalloonRequest>(BalloonRequest{title, text, kind});
    if (PostMessageA(requestWindow, kTrayBalloonRequest, 0, reinterpret_cast<LPARAM>(request.get()))) {
        request.release();
    }
}

void SetTrayTip(const std::string& tip) {
    if (OnGuiThread()) {
        if (trayIcon) trayIcon->SetTip(tip);
        return;
    }
    auto request = std::make_unique<std::string>(tip);
    if (PostMessageA(requestWindow, kTrayTipRequest, 0, reinterpret_cast<LPARAM>(request.get()))) {
        request.release();
    }
}

void HandleTrayBalloonRequest(LPARAM request) {
    std::unique_ptr<BalloonRequest> balloon(reinterpret_cast<BalloonRequest*>(request));
    if (trayIcon) trayIcon->ShowBalloon(balloon->title, balloon->text, balloon->kind);
}

void HandleTrayTipRequest(LPARAM request) {
    std::unique_ptr<std::string> tip(reinterpret_cast<std::string*>(request));
    if (trayIcon) trayIcon->SetTip(*tip);
}

void CreateTrayState() {
    guiThread = GetCurrentThreadId();
    trayIcon = std::make_unique<TrayIcon>();
}

// Releasing the tray icon removes it from the notification area.
void ReleaseTrayState() {
    requestWindow = nullptr;
    trayIcon.reset();
}

}  // namespace vantaro
