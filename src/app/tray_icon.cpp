#include "app/tray_icon.h"

#include <cstring>

#include "app/app_messages.h"
#include "core/text_limits.h"

namespace vantaro {
namespace {

const char kPropProcedure[] = "WinProc";
const char kPropCallback[] = "CallbackMessage";
const char kPropRestart[] = "TaskbarCreatedMessage";
const char kPropRoutine[] = "Exec Event";

template <size_t N>
void CopyCut(char (&field)[N], const std::string& text) {
    const std::string cut = CutToBytes(text, N - 1);
    std::memcpy(field, cut.c_str(), cut.size() + 1);
}

uint32_t ReadLittleEndian(const std::string& bytes, size_t at, size_t size) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

}  // namespace

TrayIcon::TrayIcon() : shellRestartMessage_(RegisterWindowMessageA("TaskbarCreated")) {}

TrayIcon::~TrayIcon() {
    RemoveIcon();
    if (record_.hIcon) DestroyIcon(record_.hIcon);
}

bool TrayIcon::AddIcon(HWND window, const std::string& iconBytes, bool useIconBytes, const std::string& tip) {
    if (IsWindow(window) != TRUE) return false;
    window_ = window;
    HICON icon = nullptr;
    if (useIconBytes) {
        int width = 0, height = 0;
        icon = IconFromBytes(iconBytes, 0, &width, &height);
    } else {
        icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
    }
    record_.cbSize = kRecordSize;
    record_.hWnd = window;
    record_.uID = kIconId;
    record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
    record_.uCallbackMessage = kTrayCallbackMessage;
    record_.hIcon = icon;
    record_.uTimeout = 10000;
    CopyCut(record_.szTip, tip);  // a longer tip is cut like SetTip cuts it
    return Shell_NotifyIconA(NIM_ADD, &record_) != FALSE;
}

bool TrayIcon::RemoveIcon() {
    if (previousProcedure_ != 0 && IsWindow(window_)) SetWindowLongPtrA(window_, GWLP_WNDPROC, previousProcedure_);
    window_ = nullptr;
    previousProcedure_ = 0;
    record_.szInfo[0] = '\0';
    record_.szInfoTitle[0] = '\0';
    if (record_.cbSize == 0) return false;  // never added: there is no icon to name
    return Shell_NotifyIconA(NIM_DELETE, &record_) != FALSE;
}

bool TrayIcon::SetTip(const std::string& text) {
    CopyCut(record_.szTip, text);
    return Shell_NotifyIconA(NIM_MODIFY, &record_) != FALSE;
}

bool TrayIcon::ShowBalloon(const std::string& title, const std::string& text, DWORD kind) {
    record_.dwInfoFlags = kind;
    CopyCut(record_.szInfoTitle, title);
    CopyCut(record_.szInfo, text);
    return Shell_NotifyIconA(NIM_MODIFY, &record_) != FALSE;
}

bool TrayIcon::AddIconAgain() {
    if (record_.cbSize == 0) return false;
    record_.szInfo[0] = '\0';
    record_.szInfoTitle[0] = '\0';
    return Shell_NotifyIconA(NIM_ADD, &record_) != FALSE;
}

// Reads the index-th image of icon-file bytes; malformed bytes or an index beyond the directory give no icon.
HICON TrayIcon::IconFromBytes(const std::string& iconBytes, int index, int* width, int* height) {
    if (index < 0) return nullptr;
    const size_t count = iconBytes.size() >= 6 ? ReadLittleEndian(iconBytes, 4, 2) : 0;
    const size_t entry = 6 + 16 * static_cast<size_t>(index);
    if (static_cast<size_t>(index) >= count || entry + 16 > iconBytes.size()) return nullptr;
    if (width) *width = static_cast<unsigned char>(iconBytes[entry]);
    if (height) *height = static_cast<unsigned char>(iconBytes[entry + 1]);
    const size_t size = ReadLittleEndian(iconBytes, entry + 8, 4);
    const size_t offset = ReadLittleEndian(iconBytes, entry + 12, 4);
    if (offset > iconBytes.size() || size > iconBytes.size() - offset || size == 0) return nullptr;
    auto* image = reinterpret_cast<PBYTE>(const_cast<char*>(iconBytes.data() + offset));
    return CreateIconFromResource(image, static_cast<DWORD>(size), TRUE, 0x00030000);
}

void TrayIcon::AttachCallback(Routine routine, bool routineGiven) {
    if (IsWindow(window_) != TRUE) return;
    previousProcedure_ = SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProcedure));
    SetPropA(window_, kPropProcedure, reinterpret_cast<HANDLE>(previousProcedure_));
    SetPropA(window_, kPropCallback, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(kTrayCallbackMessage)));
    SetPropA(window_, kPropRestart, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(shellRestartMessage_)));
    if (routineGiven) SetPropA(window_, kPropRoutine, reinterpret_cast<HANDLE>(routine));
}

// Keeps no state of its own: everything it needs is in the window's properties.
LRESULT CALLBACK TrayIcon::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, kPropProcedure));
    const auto callback = static_cast<UINT>(reinterpret_cast<UINT_PTR>(GetPropA(window, kPropCallback)));
    const auto restart = static_cast<UINT>(reinterpret_cast<UINT_PTR>(GetPropA(window, kPropRestart)));
    const auto routine = reinterpret_cast<Routine>(GetPropA(window, kPropRoutine));
    if (message == callback && callback != 0 && routine) {
        routine(static_cast<UINT>(lParam));
        return 0;
    }
    if (message == restart && restart != 0 && routine) {
        routine(kShellRestarted);
        return 0;
    }
    if (message == WM_DESTROY && routine) routine(kWindowDestroyed);
    return previous ? CallWindowProcA(previous, window, message, wParam, lParam)
                    : DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace vantaro
