#include "platform/wininet_notify.h"

#include <windows.h>
#include <wininet.h>

namespace vantaro {
namespace {

WinInetOptionObserver observer = nullptr;

void SendOption(DWORD option) {
    InternetSetOptionA(nullptr, option, nullptr, 0);
    if (observer) observer(option);
}

}  // namespace

void NotifyWinInetSettingsChanged() {
    SendOption(INTERNET_OPTION_SETTINGS_CHANGED);
    SendOption(INTERNET_OPTION_REFRESH);
}

WinInetOptionObserver SetWinInetOptionObserver(WinInetOptionObserver replacement) {
    const WinInetOptionObserver previous = observer;
    observer = replacement;
    return previous;
}

}  // namespace vantaro
