#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "app_fixture.h"

namespace vantaro::test {
namespace {

using EngineLocation = AppFixture;

// A drop as the shell delivers it: a DROPFILES block with zero-terminated ANSI paths and a final zero.
void DropFiles(HWND window, const std::vector<std::string>& paths) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths) size += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char* cursor = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
    for (const std::string& path : paths) {
        std::memcpy(cursor, path.c_str(), path.size() + 1);
        cursor += path.size() + 1;
    }
    GlobalUnlock(memory);
    SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

TEST_F(EngineLocation, DroppedFileWithAnotherNameIsRefusedQuotingIt) {
    WriteConfig("[BasisConfig]\r\nFile=C:\\old\\vantaro-local.exe\r\n");
    ASSERT_NE(StartProgram(), nullptr);
    struct Case {
        std::vector<std::string> files;
        std::string quotedName;
    };
    const Case cases[] = {
        {{"C:\\e\\Vantaro-Local.exe"}, "Vantaro-Local.exe"},
        {{"C:\\e\\vantaro-local.exe.lnk"}, "vantaro-local.exe.lnk"},
        {{"C:\\a\\vantaro-local.exe", "C:\\b\\x.exe"}, "x.exe\r\n"},
    };
    for (const Case& c : cases) {
        DropFiles(window_, c.files);
        const auto messages = TakeMessages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, "拖放文件只支持文件名：vantaro-local.exe ，当前拖放的文件名为：" + c.quotedName +
                                        "，请确保是 vantaro命令行版客户端，如果是 请重命名！");
        EXPECT_EQ(messages[0].title, "错误");
        EXPECT_EQ(Text(Ctl::编辑框_文件位置), "C:\\old\\vantaro-local.exe");
        EXPECT_EQ(Value("BasisConfig", "File"), "C:\\old\\vantaro-local.exe");
        EXPECT_EQ(Program().engineDirectory, "C:\\old\\");
    }
}

TEST_F(EngineLocation, AcceptedDropIsSavedAtOnceWithItsWholeDirectory) {
    ASSERT_NE(StartProgram(), nullptr);
    const std::string path = "D:\\淺色\\引擎\\vantaro-local.exe";  // 淺 ends in the byte 0x5C
    DropFiles(window_, {path});
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(Text(Ctl::编辑框_文件位置), path);
    EXPECT_EQ(Value("BasisConfig", "File"), path);
    EXPECT_EQ(Program().engineDirectory, "D:\\淺色\\引擎\\");
}

// Drives the open-file dialog from a second thread, as the user would: a name typed in, then OK or Cancel.
void AnswerOpenDialog(HWND owner, const std::string& fileName, std::atomic<bool>& sawFilter) {
    for (int i = 0; i < 200; ++i) {
        HWND dialog = FindWindowA("#32770", nullptr);
        if (dialog && GetWindow(dialog, GW_OWNER) == owner && IsWindowVisible(dialog)) {
            char filter[256] = {};
            GetDlgItemTextA(dialog, 0x470, filter, sizeof(filter));  // the file-type box
            sawFilter = std::strstr(filter, "vantaro-local.exe") != nullptr;
            if (fileName.empty()) {
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            } else {
                SetDlgItemTextA(dialog, 0x47C, fileName.c_str());
                PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            }
            return;
        }
        Sleep(50);
    }
}

TEST_F(EngineLocation, BrowseTakesTheChosenFileAndCancelChangesNothing) {
    ASSERT_NE(StartProgram(), nullptr);
    const std::string chosen = runDirectory_ + "\\any-name.exe";
    WriteConfig(ReadConfig());
    CloseHandle(CreateFileA(chosen.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    std::atomic<bool> sawFilter{false};
    std::thread user(AnswerOpenDialog, window_, chosen, std::ref(sawFilter));
    Click(Ctl::按钮_浏览);
    user.join();
    EXPECT_TRUE(sawFilter);
    EXPECT_EQ(Text(Ctl::编辑框_文件位置), chosen);
    EXPECT_EQ(Value("BasisConfig", "File"), chosen);
    EXPECT_EQ(Program().engineDirectory, runDirectory_ + "\\");

    std::thread cancel(AnswerOpenDialog, window_, std::string(), std::ref(sawFilter));
    Click(Ctl::按钮_浏览);
    cancel.join();
    EXPECT_EQ(Text(Ctl::编辑框_文件位置), chosen);
}

}  // namespace
}  // namespace vantaro::test
