#include "sysproxy/proxy_modes.h"

#include "app/tray_menu_form.h"

namespace vantaro {
namespace {
void CheckOnly(MenuItem chosen) {
    for (MenuItem item : {MenuItem::直连模式, MenuItem::PAC模式, MenuItem::全局模式}) {
        SetMenuItemChecked(item, item == chosen);
    }
}
}  // namespace

void SelectDirectMode() { CheckOnly(MenuItem::直连模式); }
void SelectPacMode() { CheckOnly(MenuItem::PAC模式); }
void SelectGlobalMode() { CheckOnly(MenuItem::全局模式); }
void ApplyProxyMode(const std::string&, ProxyMode) {}

}  // namespace vantaro
