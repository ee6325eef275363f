#include "sysproxy/proxy_modes.h"

#include "app/program_state.h"
#include "app/tray_menu_form.h"
#include "platform/profile_file.h"
#include "platform/window_text.h"
#include "platform/wininet_notify.h"
#include "sysproxy/internet_settings.h"
#include "sysproxy/pac_file.h"
#include "sysproxy/pac_server.h"

namespace vantaro {
namespace {
void CheckOnly(MenuItem chosen) {
    for (MenuItem item : {MenuItem::直连模式, MenuItem::PAC模式, MenuItem::全局模式}) {
        SetMenuItemChecked(item, item == chosen);
    }
}

// A disabled start button is the only sign that the engine runs.
bool EngineRunning() { return IsWindowEnabled(Control(Ctl::按钮_启动)) == FALSE; }

void SaveProxyMode(ProxyMode mode) {
    WriteProfileValue(ConfigFilePath(), "BasisConfig", "Proxy Mode", std::to_string(static_cast<int>(mode)));
}
}  // namespace

void SelectDirectMode() {
    CheckOnly(MenuItem::直连模式);
    if (EngineRunning()) ApplyProxyMode("", ProxyMode::Direct);
    SaveProxyMode(ProxyMode::Direct);
}

void SelectPacMode() {
    CheckOnly(MenuItem::PAC模式);
    if (EngineRunning()) ApplyProxyMode(GeneratePacFile(), ProxyMode::Pac);
    SaveProxyMode(ProxyMode::Pac);
}

void SelectGlobalMode() {
    CheckOnly(MenuItem::全局模式);
    if (EngineRunning()) {
        ApplyProxyMode("127.0.0.1:" + GetWindowTextString(Control(Ctl::编辑框_本地端口)), ProxyMode::Global);
    }
    SaveProxyMode(ProxyMode::Global);
}

void ApplyProxyMode(const std::string& text, ProxyMode mode) {
    switch (mode) {
        case ProxyMode::Direct:
            SetAutoConfigValues("");
            SetProxyServerValues("");
            break;
        case ProxyMode::Pac:
            SetProxyServerValues("");
            SetAutoConfigValues(text);
            break;
        case ProxyMode::Global:
            SetProxyServerValues(text);
            SetAutoConfigValues("");
            break;
    }
    if (mode != ProxyMode::Pac) WithdrawPacText();
    NotifyWinInetSettingsChanged();
}

}  // namespace vantaro
