#include "settings/node_editor.h"

#include <windows.h>
#include <commctrl.h>

#include "app/app_messages.h"
#include "app/program_state.h"
#include "core/node_text.h"
#include "platform/list_view.h"
#include "platform/message_box.h"
#include "platform/window_text.h"

namespace vantaro {
namespace {

HWND List() { return Control(Ctl::超级列表框_服务器列表); }

std::string BoxText(Ctl box) { return GetWindowTextString(Control(box)); }
void SetBoxText(Ctl box, const std::string& text) { SetWindowTextString(Control(box), text); }

void ShowNodeInBoxes(const ServerNode& node) {
    SetBoxText(Ctl::编辑框_服务器IP, node.ip);
    SetBoxText(Ctl::编辑框_服务器端口, node.port);
    SetBoxText(Ctl::编辑框_服务器密码, node.password);
}

void EnableServerBoxes(bool enabled) {
    for (Ctl box : {Ctl::编辑框_服务器IP, Ctl::编辑框_服务器端口, Ctl::编辑框_服务器密码}) {
        EnableWindow(Control(box), enabled ? TRUE : FALSE);
    }
}

bool IsValidRow(int row) { return row >= 0 && row < static_cast<int>(Program().nodeArray.size()); }

Ctl BoxOf(ServerField field) {
    switch (field) {
        case ServerField::Ip: return Ctl::编辑框_服务器IP;
        case ServerField::Port: return Ctl::编辑框_服务器端口;
        case ServerField::Password: return Ctl::编辑框_服务器密码;
    }
    return Ctl::编辑框_服务器IP;
}

const char* EmptyFieldMessage(ServerField field) {
    switch (field) {
        case ServerField::Ip: return "服务器IP 不能为空！";
        case ServerField::Port: return "服务器端口 不能为空！";
        case ServerField::Password: return "服务器密码 不能为空！";
    }
    return "";
}

}  // namespace

void CommitNodeEdits(int row) {
    ProgramState& program = Program();
    if (!IsValidRow(row)) return;
    const std::string ip = BoxText(Ctl::编辑框_服务器IP);
    const std::string port = BoxText(Ctl::编辑框_服务器端口);
    program.nodeArray[static_cast<size_t>(row)] = MakeNodeText(ip, port, BoxText(Ctl::编辑框_服务器密码));
    ListSetRowTexts(List(), row, ip, port);
}

void ShowSelectedNode() {
    ProgramState& program = Program();
    const int selected = ListSelectedRow(List());
    if (selected < 0) {
        if (ListRowCount(List()) > 0) ListSelectRow(List(), program.editedRow);
        return;
    }
    // With no edited row (a negative saved selection) there is nothing to compare or commit.
    if (selected != program.editedRow && IsValidRow(program.editedRow)) {
        const ServerNode stored = ParseNodeText(program.nodeArray[static_cast<size_t>(program.editedRow)]);
        if (BoxText(Ctl::编辑框_服务器IP) != stored.ip) CommitNodeEdits(program.editedRow);
        if (BoxText(Ctl::编辑框_服务器端口) != stored.port) CommitNodeEdits(program.editedRow);
        if (BoxText(Ctl::编辑框_服务器密码) != stored.password) CommitNodeEdits(program.editedRow);
        ListSelectRow(List(), selected);
    }
    if (IsValidRow(selected)) ShowNodeInBoxes(ParseNodeText(program.nodeArray[static_cast<size_t>(selected)]));
    program.editedRow = ListSelectedRow(List());
}

void NewNode() {
    ProgramState& program = Program();
    ShowNodeInBoxes(ServerNode{"127.0.0.1", "2333", "kzmr.tq"});
    const std::string ip = BoxText(Ctl::编辑框_服务器IP);
    const std::string port = BoxText(Ctl::编辑框_服务器端口);
    const int row = ListAppendRow(List(), ip, port);
    program.nodeArray.push_back(MakeNodeText(ip, port, BoxText(Ctl::编辑框_服务器密码)));
    ListSelectRow(List(), row);
    program.editedRow = row;
    ShowSelectedNode();
    EnableServerBoxes(true);
}

void DeleteNode() {
    ProgramState& program = Program();
    const int row = ListSelectedRow(List());
    if (row < 0) {
        ShowMessage(program.mainWindow, "当前没有选中节点！", "错误");
        return;
    }
    if (IsValidRow(row)) program.nodeArray.erase(program.nodeArray.begin() + row);
    ListDeleteRow(List(), row);
    if (row > 0) {
        ListSelectRow(List(), row - 1);
    } else {
        ListSelectRow(List(), ListRowCount(List()) > 0 ? 0 : -1);
    }
    if (ListSelectedRow(List()) < 0) {
        ShowNodeInBoxes(ServerNode{});
        EnableServerBoxes(false);
    }
    program.editedRow = ListSelectedRow(List());
    ShowSelectedNode();
}

void UpdateDeleteButton() {
    EnableWindow(Control(Ctl::按钮_删除), ListRowCount(List()) > 0 ? TRUE : FALSE);
}

void ShowPasswordToggle() {
    const bool plain = SendMessageA(Control(Ctl::选择框_密码明文), BM_GETCHECK, 0, 0) == BST_CHECKED;
    HWND box = Control(Ctl::编辑框_服务器密码);
    SendMessageA(box, EM_SETPASSWORDCHAR, plain ? 0 : '*', 0);
    InvalidateRect(box, nullptr, TRUE);
}

void RequireServerField(ServerField field) {
    ProgramState& program = Program();
    // A message already up, a hidden window or one on its way out has nobody to tell; and the box that takes the
    // focus from the message box must not raise a second one.
    if (program.requiringServerField || program.destroying || !IsWindowVisible(program.mainWindow)) return;
    if (!BoxText(BoxOf(field)).empty()) return;
    program.requiringServerField = true;
    ShowMessage(program.mainWindow, EmptyFieldMessage(field), "错误");
    ListSelectRow(List(), program.editedRow);
    PostMessageA(program.mainWindow, kRefocusServerField, static_cast<WPARAM>(field), 0);
}

void RefocusServerField(ServerField field) {
    // The box that loses the focus now is not checked: the user did not leave it.
    SetFocus(Control(BoxOf(field)));
    Program().requiringServerField = false;
}

}  // namespace vantaro
