#include "sysproxy/proxy_guard.h"

#include <windows.h>

#include <optional>
#include <string>

#include "app/program_state.h"
#include "app/tray_menu_form.h"
#include "core/leftover_proxy.h"
#include "core/process_tree.h"
#include "engine/engine_control.h"
#include "platform/process_list.h"
#include "platform/unique_handle.h"
#include "platform/window_text.h"
#include "sysproxy/internet_settings.h"
#include "sysproxy/proxy_modes.h"

namespace vantaro {
namespace {

constexpr DWORD kCrashResetTimeMs = 5000;

// What the exit does: the engine goes, and the settings return to direct unless direct mode is checked (then
// this program has not changed them).
void ResetAsAtExit() {
    TerminateEngineAtExit();
    if (IsMenuItemChecked(MenuItem::直连模式)) return;
    ApplyProxyMode("", ProxyMode::Direct);
}

DWORD WINAPI CrashResetThread(LPVOID) {
    ResetAsAtExit();
    return 0;
}

// The crashed thread may have no stack left and may hold any lock: the reset runs on a fresh thread, and the
// crash goes on to its end after at most a few seconds whatever the reset does.
LONG WINAPI ResetOnCrash(EXCEPTION_POINTERS*) {
    static volatile LONG entered = 0;
    if (InterlockedExchange(&entered, 1) != 0) return EXCEPTION_CONTINUE_SEARCH;
    HANDLE thread = CreateThread(nullptr, 256 * 1024, CrashResetThread, nullptr, 0, nullptr);
    if (thread != nullptr) {
        WaitForSingleObject(thread, kCrashResetTimeMs);
        CloseHandle(thread);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

RegistryKey OpenInternetSettings() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kInternetSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        key = nullptr;
    }
    return RegistryKey(key);
}

std::optional<std::string> ReadString(HKEY key, const char* name) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size > 64 * 1024) return std::nullopt;
    std::string data(size, '\0');
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    data.resize(size);
    while (!data.empty() && data.back() == '\0') data.pop_back();
    return data;
}

std::optional<DWORD> ReadDword(HKEY key, const char* name) {
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof(data);
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS ||
        type != REG_DWORD) {
        return std::nullopt;
    }
    return data;
}

bool EngineProcessRunning() {
    for (const ProcessEntry& process : TakeProcessSnapshot()) {
        if (ExeNamesEqual(process.exeName, "vantaro-local.exe", 0)) return true;
    }
    return false;
}

bool SettingsLeftByThisProgram() {
    RegistryKey key = OpenInternetSettings();
    if (!key) return false;
    const std::optional<std::string> url = ReadString(key.Get(), "AutoConfigURL");
    if (url && IsOwnAutoConfigUrl(*url, Program().engineDirectory)) return true;
    const std::optional<DWORD> enabled = ReadDword(key.Get(), "ProxyEnable");
    const std::optional<std::string> server = ReadString(key.Get(), "ProxyServer");
    return enabled == 1u && server &&
           IsOwnProxyServer(*server, GetWindowTextString(Control(Ctl::编辑框_本地端口)));
}

}  // namespace

void InstallCrashReset() { SetUnhandledExceptionFilter(ResetOnCrash); }

void ResetForSessionEnd() { ResetAsAtExit(); }

// The settings still point at an engine that no longer runs (the program was killed): without this the user
// would have no Internet until the next stop or exit.
void RepairLeftoverProxySettings() {
    if (!SettingsLeftByThisProgram() || EngineProcessRunning()) return;
    ApplyProxyMode("", ProxyMode::Direct);
}

#ifdef VANTARO_TEST_BUILD
void CrashForTest() {
    volatile int* nowhere = nullptr;
    *nowhere = 1;
}
#endif

}  // namespace vantaro
