#include "settings/settings_file.h"

#include "app/program_state.h"
#include "app/tray_menu_form.h"
#include "core/decimal.h"
#include "core/node_text.h"
#include "platform/list_view.h"
#include "platform/profile_file.h"
#include "platform/window_text.h"
#include "settings/node_editor.h"

namespace vantaro {
namespace {

const char kBasis[] = "BasisConfig";
const char kNodeList[] = "NodeList";
const char kNodeSection[] = "Node";

std::string Read(const char* section, const std::string& key, const std::string& defaultValue) {
    return ReadProfileValue(ConfigFilePath(), section, key, defaultValue);
}
void Write(const char* section, const std::string& key, const std::string& value) {
    WriteProfileValue(ConfigFilePath(), section, key, value);
}

HWND List() { return Control(Ctl::超级列表框_服务器列表); }

void CheckSavedProxyMode(const std::string& mode) {
    MenuItem item = MenuItem::直连模式;
    if (mode == "1") item = MenuItem::PAC模式;
    if (mode == "2") item = MenuItem::全局模式;
    SetMenuItemChecked(item, true);
}

std::string CheckedProxyMode() {
    if (IsMenuItemChecked(MenuItem::直连模式)) return "0";
    if (IsMenuItemChecked(MenuItem::PAC模式)) return "1";
    if (IsMenuItemChecked(MenuItem::全局模式)) return "2";
    return "0";
}

// Rows and array elements stay parallel: an empty key adds neither.
void LoadNodes(long long count) {
    ProgramState& program = Program();
    for (long long i = 1; i <= count; ++i) {
        const std::string node = Read(kNodeSection, "Node" + DecimalText(i), "");
        if (node.empty()) continue;
        const ServerNode fields = ParseNodeText(node);
        ListAppendRow(List(), fields.ip, fields.port);
        program.nodeArray.push_back(node);
    }
}

void SelectSavedNode() {
    ProgramState& program = Program();
    const long long saved = ParseLeadingInteger(Read(kNodeList, "Select node", "0"));
    const int rows = ListRowCount(List());
    ListSelectRow(List(), saved < rows ? static_cast<int>(saved) : 0);
    program.editedRow = ListSelectedRow(List());
    ShowSelectedNode();
}

}  // namespace

void LoadSettings() {
    ProgramState& program = Program();
    SetWindowTextString(Control(Ctl::编辑框_文件位置), Read(kBasis, "File", ""));
    SetWindowTextString(Control(Ctl::编辑框_本地端口), Read(kBasis, "Local port", "7448"));
    const bool runTicked = Read(kBasis, "Run", "false") != "false";
    SendMessageA(Control(Ctl::选择框_开机启动), BM_SETCHECK, runTicked ? BST_CHECKED : BST_UNCHECKED, 0);
    CheckSavedProxyMode(Read(kBasis, "Proxy Mode", "0"));
    program.runningServerIp.clear();
    const long long count = ParseLeadingInteger(Read(kNodeList, "Num", "0"));
    if (count <= 0) {
        NewNode();
        return;
    }
    LoadNodes(count);
    SelectSavedNode();
}

void SaveSettings() {
    ProgramState& program = Program();
    const int selected = ListSelectedRow(List());
    if (selected < 0) return;
    CommitNodeEdits(selected);
    Write(kNodeList, "Num", DecimalText(static_cast<long long>(program.nodeArray.size())));
    Write(kNodeList, "Select node", DecimalText(selected));
    if (ListRowCount(List()) > 0) {
        DeleteProfileSection(ConfigFilePath(), kNodeSection);
        for (size_t i = 0; i < program.nodeArray.size(); ++i) {
            Write(kNodeSection, "Node" + DecimalText(static_cast<long long>(i + 1)), program.nodeArray[i]);
        }
    }
    Write(kBasis, "File", GetWindowTextString(Control(Ctl::编辑框_文件位置)));
    Write(kBasis, "Local port", GetWindowTextString(Control(Ctl::编辑框_本地端口)));
    const bool runTicked = SendMessageA(Control(Ctl::选择框_开机启动), BM_GETCHECK, 0, 0) == BST_CHECKED;
    Write(kBasis, "Run", runTicked ? "true" : "false");
    Write(kBasis, "Proxy Mode", CheckedProxyMode());
}

void SaveLocalPort() { Write(kBasis, "Local port", GetWindowTextString(Control(Ctl::编辑框_本地端口))); }

void SaveEngineFile() { Write(kBasis, "File", GetWindowTextString(Control(Ctl::编辑框_文件位置))); }

}  // namespace vantaro
