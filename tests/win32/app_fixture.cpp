#include "app_fixture.h"

#include <commctrl.h>
#include <shellapi.h>

#include <fstream>
#include <sstream>

#include "app/main_window.h"
#include "platform/list_view.h"
#include "platform/profile_file.h"
#include "platform/window_text.h"

namespace vantaro::test {

std::string MakeTempDirectory() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    static int counter = 0;
    for (;;) {
        std::string path = std::string(base) + "vantaro-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                           std::to_string(++counter);
        if (CreateDirectoryA(path.c_str(), nullptr)) return path;
    }
}

void RemoveDirectoryTree(const std::string& directory) {
    std::string from = directory + std::string(1, '\0');
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    SHFileOperationA(&operation);
}

void AppFixture::SetUp() {
    runDirectory_ = MakeTempDirectory();
    SetMessageRecorder([this](const MessageRecord& record) { messages_.push_back(record); });
}

void AppFixture::TearDown() {
    StopProgram();
    SetMessageRecorder({});
    RemoveDirectoryTree(runDirectory_);
}

HWND AppFixture::StartProgram(bool startedFromShell) {
    StartupOptions options;
    options.runDirectory = runDirectory_;
    options.startedFromShell = startedFromShell;
    options.checkForUpdates = false;
    CreateProgramState(options);
    window_ = CreateMainWindow(GetModuleHandleA(nullptr));
    PumpMessages();
    return window_;
}

void AppFixture::StopProgram() {
    if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
    window_ = nullptr;
    PumpMessages();
    ReleaseProgramState();
}

void AppFixture::WriteConfig(const std::string& bytes) const {
    std::ofstream(ConfigPath(), std::ios::binary) << bytes;
}

std::string AppFixture::ReadConfig() const {
    std::ifstream file(ConfigPath(), std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

bool AppFixture::ConfigExists() const { return GetFileAttributesA(ConfigPath().c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string AppFixture::Value(const std::string& section, const std::string& key) const {
    return ReadProfileValue(ConfigPath(), section, key, "<missing>");
}

std::string AppFixture::Text(Ctl id) const { return GetWindowTextString(Control(id)); }
void AppFixture::SetText(Ctl id, const std::string& text) const { SetWindowTextString(Control(id), text); }
bool AppFixture::Enabled(Ctl id) const { return IsWindowEnabled(Control(id)) != FALSE; }
bool AppFixture::Checked(Ctl id) const { return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void AppFixture::Click(Ctl id) const {
    HWND control = Control(id);
    if (GetWindowLongA(control, GWL_STYLE) & BS_AUTOCHECKBOX) {
        SendMessageA(control, BM_CLICK, 0, 0);  // toggles the box, then notifies
    } else {
        SendMessageA(window_, WM_COMMAND, MAKEWPARAM(static_cast<int>(id), BN_CLICKED),
                     reinterpret_cast<LPARAM>(control));
    }
    PumpMessages();
}

void AppFixture::LoseFocus(Ctl id) const {
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(static_cast<int>(id), EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(Control(id)));
    PumpMessages();
}

void AppFixture::ClickRow(int row) const {
    HWND list = Control(Ctl::超级列表框_服务器列表);
    // The list changes its selection on the press, then tells its parent of the click.
    ListSelectRow(list, row);
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = static_cast<UINT_PTR>(Ctl::超级列表框_服务器列表);
    click.hdr.code = NM_CLICK;
    click.iItem = row;
    SendMessageA(window_, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    PumpMessages();
}

int AppFixture::SelectedRow() const { return ListSelectedRow(Control(Ctl::超级列表框_服务器列表)); }
int AppFixture::RowCount() const { return ListRowCount(Control(Ctl::超级列表框_服务器列表)); }
std::string AppFixture::RowText(int row, int column) const {
    return ListRowText(Control(Ctl::超级列表框_服务器列表), row, column);
}

std::string AppFixture::StatusText(int part) const {
    char buffer[512] = {};
    SendMessageA(Control(Ctl::状态条1), SB_GETTEXTA, part, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

void AppFixture::PumpMessages() const {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (PreTranslateMainWindowMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::vector<MessageRecord> AppFixture::TakeMessages() { return std::exchange(messages_, {}); }

}  // namespace vantaro::test
