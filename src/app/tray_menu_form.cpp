#include "app/tray_menu_form.h"

#include <vector>

#include "app/program_state.h"

namespace vantaro {
namespace {

enum class RowKind { Item, Submenu, Separator };

struct MenuRow {
    int level;
    RowKind kind;
    const char* caption;
    MenuItem item;
    bool enabled;
};

constexpr MenuItem kNoItem = static_cast<MenuItem>(0);

const MenuRow kTrayMenu[] = {
    {1, RowKind::Item, "状态: 未运行", MenuItem::状态, false},
    {1, RowKind::Submenu, "代理模式", kNoItem, true},
    {2, RowKind::Item, "直连模式", MenuItem::直连模式, true},
    {2, RowKind::Item, "PAC模式", MenuItem::PAC模式, true},
    {2, RowKind::Item, "全局模式", MenuItem::全局模式, false},
    {1, RowKind::Item, "启动代理", MenuItem::启动代理, true},
    {1, RowKind::Item, "停止代理", MenuItem::停止代理, false},
    {1, RowKind::Submenu, "配置...", kNoItem, true},
    {2, RowKind::Item, "编辑服务器...", MenuItem::编辑服务器, true},
    {2, RowKind::Separator, "", kNoItem, true},
    {2, RowKind::Item, "更新PAC文件", MenuItem::更新PAC文件, true},
    {2, RowKind::Item, "编辑PAC文件", MenuItem::编辑PAC文件, true},
    {2, RowKind::Separator, "", kNoItem, true},
    {2, RowKind::Item, "生成分享链接", MenuItem::生成分享链接, true},
    {2, RowKind::Item, "导入分享链接", MenuItem::导入分享链接, true},
    {2, RowKind::Separator, "", kNoItem, true},
    {2, RowKind::Item, "二维码扫描...", MenuItem::二维码扫描, true},
    {1, RowKind::Item, "检测延迟", MenuItem::检测延迟, true},
    {1, RowKind::Separator, "", kNoItem, true},
    {1, RowKind::Submenu, "帮助", kNoItem, true},
    {2, RowKind::Item, "检查更新", MenuItem::检查更新, true},
    {2, RowKind::Item, "使用方法", MenuItem::使用方法, true},
    {2, RowKind::Separator, "", kNoItem, true},
    {2, RowKind::Item, "关于...", MenuItem::关于, true},
    {2, RowKind::Item, "捐赠...", MenuItem::捐赠, true},
    {1, RowKind::Item, "退出", MenuItem::退出, true},
};

HMENU TrayMenu() { return Program().trayMenu.Get(); }

}  // namespace

HMENU CreateTrayMenu() {
    HMENU root = CreatePopupMenu();
    HMENU currentSubmenu = nullptr;
    for (const MenuRow& row : kTrayMenu) {
        HMENU parent = row.level == 1 ? root : currentSubmenu;
        const UINT state = row.enabled ? MF_ENABLED : MF_GRAYED;
        switch (row.kind) {
            case RowKind::Submenu:
                currentSubmenu = CreatePopupMenu();
                AppendMenuA(parent, MF_POPUP | state, reinterpret_cast<UINT_PTR>(currentSubmenu), row.caption);
                break;
            case RowKind::Separator: AppendMenuA(parent, MF_SEPARATOR, 0, nullptr); break;
            case RowKind::Item:
                AppendMenuA(parent, MF_STRING | state, static_cast<UINT_PTR>(row.item), row.caption);
                break;
        }
    }
    return root;
}

bool IsMenuItemChecked(MenuItem item) {
    return (GetMenuState(TrayMenu(), static_cast<UINT>(item), MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void SetMenuItemChecked(MenuItem item, bool checked) {
    CheckMenuItem(TrayMenu(), static_cast<UINT>(item), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool IsMenuItemEnabled(MenuItem item) {
    return (GetMenuState(TrayMenu(), static_cast<UINT>(item), MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

void SetMenuItemEnabled(MenuItem item, bool enabled) {
    EnableMenuItem(TrayMenu(), static_cast<UINT>(item), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

std::string MenuItemCaption(MenuItem item) {
    char buffer[256] = {};
    const int length = GetMenuStringA(TrayMenu(), static_cast<UINT>(item), buffer, sizeof(buffer), MF_BYCOMMAND);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

void SetMenuItemCaption(MenuItem item, const std::string& caption) {
    // Only the text changes: the item keeps its check mark and its enabled state.
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<char*>(caption.c_str());
    SetMenuItemInfoA(TrayMenu(), static_cast<UINT>(item), FALSE, &info);
}

}  // namespace vantaro
