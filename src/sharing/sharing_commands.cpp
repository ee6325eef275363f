#include "sharing/sharing_commands.h"

#include <windows.h>

#include "app/main_window.h"
#include "app/program_state.h"
#include "core/share_link.h"
#include "platform/clipboard.h"
#include "platform/message_box.h"
#include "platform/window_text.h"
#include "settings/node_editor.h"
#include "settings/settings_file.h"
#include "sharing/share_import.h"

namespace vantaro {
namespace {

std::string BoxText(Ctl box) { return GetWindowTextString(Control(box)); }
void SetBoxText(Ctl box, const std::string& text) { SetWindowTextString(Control(box), text); }

void ShowError(const std::string& text) { ShowMessage(Program().mainWindow, text, "错误"); }

// Lets the window handle what is pending while a long pasted text is decoded; a quit request is put back for
// the message loop.
void RunPendingMessages() {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (PreTranslateMainWindowMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace

void CopyShareLink() {
    const std::string ip = BoxText(Ctl::编辑框_服务器IP);
    const std::string port = BoxText(Ctl::编辑框_服务器端口);
    const std::string password = BoxText(Ctl::编辑框_服务器密码);
    if (ip.empty()) return ShowError("服务器IP 不能为空！");
    if (port.empty()) return ShowError("服务器端口 不能为空！");
    if (password.empty()) return ShowError("服务器密码 不能为空！");
    if (!WriteClipboardText(Program().mainWindow, MakeShareLink(ip, port, password))) {
        return ShowError("无法写入剪辑板，分享链接未复制！");
    }
    ShowMessage(Program().mainWindow, "vantaro账号分享链接已复制到剪辑板中！", "提示");
}

void ImportFromClipboard() {
    const std::optional<std::string> text = ReadClipboardText(Program().mainWindow);
    if (!text || text->empty()) return ShowError("剪辑板(剪切板)为空！");
    ImportShareLink(*text);
}

void ImportShareLink(const std::string& text) {
    if (text.empty()) return ShowError("导入分享链接 为空！");
    const std::optional<ShareLinkFields> link = FindFirstShareLink(text, RunPendingMessages);
    if (!link) return;
    // The window may have been closed for good while pending messages ran.
    if (Program().destroying || !IsWindow(Program().mainWindow)) return;
    NewNode();
    SetBoxText(Ctl::编辑框_服务器IP, link->ip);
    SetBoxText(Ctl::编辑框_服务器端口, link->port);
    SetBoxText(Ctl::编辑框_服务器密码, link->password);
    SaveSettings();
}

}  // namespace vantaro
