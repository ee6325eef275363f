#pragma once
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace vantaro {

// One notification-area icon for one window: the record the shell is given, and the subclassing that routes the
// icon's mouse messages, the shell's restart and the window's destruction to one routine.
class TrayIcon {
public:
    using Routine = void (*)(UINT code);
    static constexpr UINT kIconId = 1;
    static constexpr DWORD kRecordSize = 488;  // the record with the balloon fields and nothing later
    static constexpr UINT kShellRestarted = 1120;
    static constexpr UINT kWindowDestroyed = 1130;

    TrayIcon();
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    bool AddIcon(HWND window, const std::string& iconBytes, bool useIconBytes, const std::string& tip);
    bool RemoveIcon();
    bool SetTip(const std::string& text);
    bool ShowBalloon(const std::string& title, const std::string& text, DWORD kind);
    static HICON IconFromBytes(const std::string& iconBytes, int index, int* width, int* height);
    void AttachCallback(Routine routine, bool routineGiven);
    // After the shell restarted: the icon again, with its current tip and no old balloon.
    bool AddIconAgain();

    UINT ShellRestartMessage() const { return shellRestartMessage_; }
    const NOTIFYICONDATAA& Record() const { return record_; }
    HWND Window() const { return window_; }

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    UINT shellRestartMessage_ = 0;
    NOTIFYICONDATAA record_{};
    LONG_PTR previousProcedure_ = 0;
    HWND window_ = nullptr;
};

}  // namespace vantaro
