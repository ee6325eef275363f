#include "app/main_window_form.h"

#include <windows.h>
#include <commctrl.h>

#include <iterator>

#include "app/program_state.h"

namespace vantaro {
namespace {

using K = ControlKind;
using C = Container;

const ControlRow kForm[] = {
    // control                         form name                   kind           caption          container  position            enabled
    {Ctl::选择夹1, "选择夹1", K::Tab, "", C::Window, 4, 4, 548, 296, true},
    {Ctl::超级列表框_服务器列表, "超级列表框_服务器列表", K::ListView, "", C::Page1, 12, 28, 172, 232, true},
    {Ctl::按钮_新建, "按钮_新建", K::Button, "新建", C::Page1, 12, 260, 88, 28, true},
    {Ctl::按钮_删除, "按钮_删除", K::Button, "删除", C::Page1, 100, 260, 84, 28, true},
    {Ctl::分组框1, "分组框1", K::GroupBox, "服务器信息", C::Page1, 196, 32, 340, 156, true},
    {Ctl::透明标签2, "透明标签2", K::Label, "服务器 IP：", C::Group, 24, 24, 80, 24, true},
    {Ctl::编辑框_服务器IP, "编辑框_服务器IP", K::Edit, "", C::Group, 112, 24, 192, 24, true},
    {Ctl::透明标签3, "透明标签3", K::Label, "服务器 端口：", C::Group, 24, 56, 80, 24, true},
    {Ctl::编辑框_服务器端口, "编辑框_服务器端口", K::DigitsEdit, "", C::Group, 112, 56, 192, 24, true},
    {Ctl::透明标签4, "透明标签4", K::Label, "服务器 密码：", C::Group, 24, 88, 80, 24, true},
    {Ctl::编辑框_服务器密码, "编辑框_服务器密码", K::PasswordEdit, "", C::Group, 112, 88, 192, 24, true},
    {Ctl::选择框_密码明文, "选择框_密码明文", K::CheckBox, "", C::Group, 312, 88, 16, 24, true},
    {Ctl::按钮_生成分享链接, "按钮_生成分享链接", K::Button, "生成分享链接", C::Group, 24, 120, 80, 24, true},
    {Ctl::按钮_导入分享链接, "按钮_导入分享链接", K::Button, "导入分享链接", C::Group, 104, 120, 80, 24, true},
    {Ctl::按钮_二维码扫描, "按钮_二维码扫描", K::Button, "二维码扫描", C::Group, 184, 120, 72, 24, true},
    {Ctl::按钮_检测延迟, "按钮_检测延迟", K::Button, "检测延迟", C::Group, 256, 120, 68, 24, true},
    {Ctl::透明标签1, "透明标签1", K::Label, "文件位置：", C::Page1, 200, 200, 60, 24, true},
    {Ctl::编辑框_文件位置, "编辑框_文件位置", K::ReadOnlyEdit, "", C::Page1, 260, 200, 238, 24, true},
    {Ctl::按钮_浏览, "按钮_浏览", K::Button, "浏览", C::Page1, 498, 200, 36, 24, true},
    {Ctl::透明标签5, "透明标签5", K::Label, "本地端口：", C::Page1, 200, 232, 60, 24, true},
    {Ctl::编辑框_本地端口, "编辑框_本地端口", K::DigitsEdit, "8100", C::Page1, 260, 232, 80, 24, true},
    {Ctl::按钮_打开配置文件所在目录, "按钮_打开配置文件所在目录", K::Button, "打开配置文件所在目录", C::Page1, 358, 232, 176, 24, true},
    {Ctl::按钮_保存, "按钮_保存", K::Button, "保存配置", C::Page1, 200, 260, 70, 28, true},
    {Ctl::选择框_开机启动, "选择框_开机启动", K::CheckBox, "开机启动", C::Page1, 280, 264, 76, 24, true},
    {Ctl::按钮_启动, "按钮_启动", K::Button, "启动", C::Page1, 358, 260, 88, 28, true},
    {Ctl::按钮_停止, "按钮_停止", K::Button, "停止", C::Page1, 446, 260, 88, 28, false},
    {Ctl::编辑框_日志, "编辑框_日志", K::LogBox, "", C::Page2, 0, 20, 548, 272, true},
    {Ctl::状态条1, "状态条1", K::StatusBar, "", C::Window, 0, 0, 0, 0, true},
};

// Page coordinates are those of the tab control itself (its strip included); the group's children are placed
// relative to the group box.
POINT ContainerOrigin(Container container) {
    const ControlRow* tab = FindControlRow(Ctl::选择夹1);
    const ControlRow* group = FindControlRow(Ctl::分组框1);
    switch (container) {
        case C::Window: return {0, 0};
        case C::Page1:
        case C::Page2: return {tab->x, tab->y};
        case C::Group: return {tab->x + group->x, tab->y + group->y};
    }
    return {0, 0};
}

struct WindowClassAndStyle {
    const char* className;
    DWORD style;
    DWORD exStyle;
};

WindowClassAndStyle ClassAndStyleOf(ControlKind kind) {
    const DWORD child = WS_CHILD | WS_VISIBLE;
    switch (kind) {
        case K::Tab: return {WC_TABCONTROLA, child | WS_CLIPSIBLINGS | WS_TABSTOP, 0};
        case K::ListView:
            return {WC_LISTVIEWA, child | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                    WS_EX_CLIENTEDGE};
        case K::Button: return {"BUTTON", child | WS_TABSTOP | BS_PUSHBUTTON, 0};
        case K::GroupBox: return {"BUTTON", child | WS_CLIPSIBLINGS | BS_GROUPBOX, 0};
        case K::Label: return {"STATIC", child | SS_LEFT | SS_CENTERIMAGE, 0};
        case K::Edit:
        case K::DigitsEdit: return {"EDIT", child | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case K::PasswordEdit: return {"EDIT", child | WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, WS_EX_CLIENTEDGE};
        case K::ReadOnlyEdit:
            return {"EDIT", child | WS_TABSTOP | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE};
        case K::CheckBox: return {"BUTTON", child | WS_TABSTOP | BS_AUTOCHECKBOX, 0};
        case K::LogBox:
            return {"EDIT", WS_CHILD | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | ES_NOHIDESEL,
                    WS_EX_CLIENTEDGE};
        case K::StatusBar: return {STATUSCLASSNAMEA, child, 0};
    }
    return {"STATIC", child, 0};
}

// Typed characters other than digits and "-" are dropped; control characters (backspace, Ctrl+V, ...) pass,
// and pasted text is not filtered.
LRESULT CALLBACK DigitsEditProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_CHAR) {
        const auto ch = static_cast<unsigned>(wParam);
        const bool allowed = ch < 0x20 || (ch >= '0' && ch <= '9') || ch == '-';
        if (!allowed) return 0;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

// A group box paints only its frame and caption; the page background behind its inside is filled here, since
// the tab beneath it leaves that area to its siblings.
LRESULT CALLBACK GroupBoxProcedure(HWND group, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_ERASEBKGND) {
        RECT client{};
        GetClientRect(group, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_WINDOW));
        return 1;
    }
    return DefSubclassProc(group, message, wParam, lParam);
}

void AddListColumns(HWND list) {
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    struct Column { const char* caption; int width; };
    const Column columns[] = {{"IP", 100}, {"端口", 50}};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<char*>(columns[i].caption);
        column.cx = ScaleForDpi(list, columns[i].width);
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

void AddTabPages(HWND tab) {
    const char* pages[] = {" 编辑服务器及配置 ", " 日志 "};
    for (int i = 0; i < 2; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(pages[i]);
        SendMessageA(tab, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
}

void SetUpStatusBar(HWND statusBar) {
    int rightEdges[3];
    int edge = 0;
    const int widths[3] = {115, 125, 400};
    for (int i = 0; i < 3; ++i) rightEdges[i] = (edge += ScaleForDpi(statusBar, widths[i]));
    SendMessageA(statusBar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(rightEdges));
    const char* texts[3] = {" 当前版本：v1.0.0", "   状态：未运行", "   提醒：修改服务器信息后，请记得点击[保存配置]。"};
    for (int i = 0; i < 3; ++i) SendMessageA(statusBar, SB_SETTEXTA, i, reinterpret_cast<LPARAM>(texts[i]));
}

void ConfigureControl(const ControlRow& row, HWND control) {
    switch (row.kind) {
        case K::Tab: AddTabPages(control); break;
        case K::ListView: AddListColumns(control); break;
        case K::DigitsEdit: SetWindowSubclass(control, DigitsEditProcedure, 1, 0); break;
        case K::GroupBox: SetWindowSubclass(control, GroupBoxProcedure, 1, 0); break;
        case K::PasswordEdit: SendMessageA(control, EM_SETPASSWORDCHAR, '*', 0); break;
        case K::LogBox: SendMessageA(control, EM_SETLIMITTEXT, 0, 0); break;
        case K::StatusBar: SetUpStatusBar(control); break;
        default: break;
    }
    if (!row.enabled) EnableWindow(control, FALSE);
}

}  // namespace

int ScaleForDpi(HWND window, int pixels96) {
    HDC dc = GetDC(window);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 96;
    if (dc) ReleaseDC(window, dc);
    return MulDiv(pixels96, dpi > 0 ? dpi : 96, 96);
}

const ControlRow* FindControlRow(Ctl id) {
    for (const ControlRow& row : kForm) {
        if (row.id == id) return &row;
    }
    return nullptr;
}

void CreateMainWindowControls(HWND window) {
    ProgramState& program = Program();
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    for (const ControlRow& row : kForm) {
        const POINT origin = ContainerOrigin(row.container);
        const WindowClassAndStyle cs = ClassAndStyleOf(row.kind);
        HWND control = CreateWindowExA(cs.exStyle, cs.className, row.caption, cs.style,
                                       ScaleForDpi(window, origin.x + row.x), ScaleForDpi(window, origin.y + row.y),
                                       ScaleForDpi(window, row.width), ScaleForDpi(window, row.height), window,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance, nullptr);
        program.controls[static_cast<int>(row.id) - kFirstControl] = control;
        if (program.font) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(program.font), FALSE);
        ConfigureControl(row, control);
    }
    // The tab and the group box lie beneath the controls placed on them.
    SetWindowPos(Control(Ctl::分组框1), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(Control(Ctl::选择夹1), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowTabPage(0);
}

void ShowTabPage(int page) {
    for (const ControlRow& row : kForm) {
        if (row.container == C::Window) continue;
        const bool onPage = (row.container == C::Page2) == (page == 1);
        ShowWindow(Control(row.id), onPage ? SW_SHOW : SW_HIDE);
    }
    SendMessageA(Control(Ctl::选择夹1), TCM_SETCURSEL, page, 0);
}

}  // namespace vantaro
