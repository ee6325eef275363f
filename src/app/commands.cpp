#include "app/commands.h"

#include <windows.h>
#include <commctrl.h>

#include "app/control_ids.h"
#include "app/info_commands.h"
#include "app/main_window.h"
#include "app/main_window_form.h"
#include "engine/engine_control.h"
#include "netcheck/network_checks.h"
#include "settings/engine_location.h"
#include "settings/node_editor.h"
#include "settings/run_at_startup.h"
#include "settings/settings_file.h"
#include "sharing/sharing_commands.h"
#include "sysproxy/pac_file.h"
#include "sysproxy/proxy_guard.h"
#include "sysproxy/proxy_modes.h"

namespace vantaro {
namespace {

struct ControlEvent {
    Ctl control;
    UINT code;
    void (*handler)();
};

const ControlEvent kControlEvents[] = {
    {Ctl::按钮_新建, BN_CLICKED, NewNode},
    {Ctl::按钮_删除, BN_CLICKED, DeleteNode},
    {Ctl::编辑框_服务器IP, EN_KILLFOCUS, [] { RequireServerField(ServerField::Ip); }},
    {Ctl::编辑框_服务器端口, EN_KILLFOCUS, [] { RequireServerField(ServerField::Port); }},
    {Ctl::编辑框_服务器密码, EN_KILLFOCUS, [] { RequireServerField(ServerField::Password); }},
    {Ctl::选择框_密码明文, BN_CLICKED, ShowPasswordToggle},
    {Ctl::按钮_生成分享链接, BN_CLICKED, CopyShareLink},
    {Ctl::按钮_导入分享链接, BN_CLICKED, ImportFromClipboard},
    {Ctl::按钮_二维码扫描, BN_CLICKED, OpenQrScanner},
    {Ctl::按钮_检测延迟, BN_CLICKED, [] { StartLatencyTest(false); }},
    {Ctl::编辑框_文件位置, EN_CHANGE, SaveEngineFile},
    {Ctl::按钮_浏览, BN_CLICKED, BrowseEngine},
    {Ctl::编辑框_本地端口, EN_KILLFOCUS, SaveLocalPort},
    {Ctl::按钮_打开配置文件所在目录, BN_CLICKED, OpenConfigFolder},
    {Ctl::按钮_保存, BN_CLICKED, SaveSettings},
    {Ctl::选择框_开机启动, BN_CLICKED, ToggleRunAtStartup},
    {Ctl::按钮_启动, BN_CLICKED, StartEngine},
    {Ctl::按钮_停止, BN_CLICKED, StopEngine},
};

struct MenuCommand {
    MenuItem item;
    void (*handler)();
};

const MenuCommand kMenuCommands[] = {
    {MenuItem::直连模式, SelectDirectMode},
    {MenuItem::PAC模式, SelectPacMode},
    {MenuItem::全局模式, SelectGlobalMode},
    {MenuItem::启动代理, StartEngine},
    {MenuItem::停止代理, StopEngine},
    {MenuItem::编辑服务器, ShowMainWindow},
    {MenuItem::更新PAC文件, UpdatePacList},
    {MenuItem::编辑PAC文件, EditPacList},
    {MenuItem::生成分享链接, CopyShareLink},
    {MenuItem::导入分享链接, ImportFromClipboard},
    {MenuItem::二维码扫描, OpenQrScanner},
    {MenuItem::检测延迟, [] { StartLatencyTest(true); }},
    {MenuItem::检查更新, StartUpdateCheck},
    {MenuItem::使用方法, OpenHelpPage},
    {MenuItem::关于, ShowAbout},
    {MenuItem::捐赠, OpenDonationPage},
    {MenuItem::退出, [] { DestroyWindow(Program().mainWindow); }},
#ifdef VANTARO_TEST_BUILD
    {static_cast<MenuItem>(kTestCrashCommand), CrashForTest},  // test builds only: what a crash leaves behind
#endif
};

}  // namespace

void HandleCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (lParam == 0) {  // a menu item
        for (const MenuCommand& command : kMenuCommands) {
            if (static_cast<int>(command.item) == id) return command.handler();
        }
        return;
    }
    for (const ControlEvent& event : kControlEvents) {
        if (static_cast<int>(event.control) == id && event.code == code) return event.handler();
    }
}

LRESULT HandleNotify(const NMHDR& header) {
    const auto control = static_cast<Ctl>(header.idFrom);
    if (control == Ctl::超级列表框_服务器列表) {
        if (header.code == NM_CLICK) {
            ShowSelectedNode();
        } else if (header.code == LVN_ITEMCHANGED) {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            const bool becameCurrent = (change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_FOCUSED) &&
                                       !(change.uOldState & LVIS_FOCUSED);
            if (becameCurrent) UpdateDeleteButton();
        }
    } else if (control == Ctl::选择夹1 && header.code == TCN_SELCHANGE) {
        ShowTabPage(static_cast<int>(SendMessageA(header.hwndFrom, TCM_GETCURSEL, 0, 0)));
    }
    return 0;
}

}  // namespace vantaro
