#include <windows.h>

#include <string>
#include <thread>

#include "app_fixture.h"
#include "core/base64.h"
#include "core/share_link.h"
#include "platform/clipboard.h"
#include "sharing/share_import.h"

namespace vantaro::test {
namespace {

// Sets the clipboard as another program would; nullptr text: an empty clipboard.
void PutOnClipboard(const char* text) {
    // The system's clipboard manager may hold it for a moment after each change (it offers the text to X).
    bool opened = false;
    for (int attempt = 0; attempt < 100 && !(opened = OpenClipboard(nullptr) != FALSE); ++attempt) Sleep(10);
    ASSERT_TRUE(opened);
    EmptyClipboard();
    if (text != nullptr) {
        const size_t size = strlen(text) + 1;
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
        memcpy(GlobalLock(memory), text, size);
        GlobalUnlock(memory);
        SetClipboardData(CF_TEXT, memory);
    }
    CloseClipboard();
}

std::string ClipboardText() { return ReadClipboardText(nullptr).value_or("<no text>"); }

const char kOneNode[] = "[NodeList]\r\nNum=1\r\nSelect node=0\r\n[Node]\r\nNode1=a 1 pa\r\n";

class SharingShareLink : public AppFixture {
  protected:
    void Start() {
        WriteConfig(kOneNode);
        ASSERT_NE(StartProgram(), nullptr);
    }
    void SetBoxes(const std::string& ip, const std::string& port, const std::string& password) {
        SetText(Ctl::编辑框_服务器IP, ip);
        SetText(Ctl::编辑框_服务器端口, port);
        SetText(Ctl::编辑框_服务器密码, password);
    }
    void ExpectOneMessage(const std::string& text, const std::string& title) {
        const std::vector<MessageRecord> shown = TakeMessages();
        ASSERT_EQ(shown.size(), 1u) << (shown.empty() ? "" : shown[0].text);
        EXPECT_EQ(shown[0].text, text);
        EXPECT_EQ(shown[0].title, title);
        EXPECT_EQ(shown[0].owner, window_);
    }
};

struct RoundTrip {
    std::string ip, port, password;
};

TEST_F(SharingShareLink, CopyThenImportThroughTheClipboardAddsAndSavesTheNode) {
    const RoundTrip cases[] = {
        {"192.0.2.1", "8388", "secret"},
        {"2001:db8::1", "443", "密码Pass"},  // an IPv6 address keeps its colons; GBK password bytes travel
        {"example.org", "65535", "a>?~+/="},
    };
    Start();
    int rows = RowCount();
    for (const RoundTrip& c : cases) {
        SetBoxes(c.ip, c.port, c.password);
        Click(Ctl::按钮_生成分享链接);
        ExpectOneMessage("vantaro账号分享链接已复制到剪辑板中！", "提示");
        EXPECT_EQ(ClipboardText(), MakeShareLink(c.ip, c.port, c.password));

        SetBoxes("x", "1", "y");
        Click(Ctl::按钮_导入分享链接);
        EXPECT_TRUE(TakeMessages().empty());
        ASSERT_EQ(RowCount(), ++rows);
        EXPECT_EQ(SelectedRow(), rows - 1);
        EXPECT_EQ(Text(Ctl::编辑框_服务器IP), c.ip);
        EXPECT_EQ(Text(Ctl::编辑框_服务器端口), c.port);
        EXPECT_EQ(Text(Ctl::编辑框_服务器密码), c.password);
        EXPECT_EQ(Value("NodeList", "Num"), std::to_string(rows));
        EXPECT_EQ(Value("NodeList", "Select node"), std::to_string(rows - 1));
        EXPECT_EQ(Value("Node", "Node" + std::to_string(rows)), c.ip + " " + c.port + " " + c.password);
    }
    // The node the boxes were overwritten in before each import is untouched.
    EXPECT_EQ(Value("Node", "Node1"), "a 1 pa");
}

TEST_F(SharingShareLink, TrayItemsCopyAndImportLikeTheButtons) {
    Start();
    SetBoxes("192.0.2.7", "9000", "tray");
    SendMessageA(window_, WM_COMMAND, static_cast<WPARAM>(MenuItem::生成分享链接), 0);
    PumpMessages();
    ExpectOneMessage("vantaro账号分享链接已复制到剪辑板中！", "提示");
    EXPECT_EQ(ClipboardText(), "vantaro://MTkyLjAuMi43OjkwMDA6dHJheQ");
    SendMessageA(window_, WM_COMMAND, static_cast<WPARAM>(MenuItem::导入分享链接), 0);
    PumpMessages();
    EXPECT_EQ(RowCount(), 2);
    EXPECT_EQ(Value("Node", "Node2"), "192.0.2.7 9000 tray");
}

struct EmptyBoxCase {
    RoundTrip boxes;
    std::string message;
};

TEST_F(SharingShareLink, CopyReportsTheFirstEmptyBoxAndLeavesTheClipboard) {
    const EmptyBoxCase cases[] = {
        {{"", "", ""}, "服务器IP 不能为空！"},     {{"", "1", "p"}, "服务器IP 不能为空！"},
        {{"h", "", ""}, "服务器端口 不能为空！"},  {{"h", "", "p"}, "服务器端口 不能为空！"},
        {{"h", "1", ""}, "服务器密码 不能为空！"},
    };
    Start();
    for (const EmptyBoxCase& c : cases) {
        PutOnClipboard("old content");
        SetBoxes(c.boxes.ip, c.boxes.port, c.boxes.password);
        Click(Ctl::按钮_生成分享链接);
        ExpectOneMessage(c.message, "错误");
        EXPECT_EQ(ClipboardText(), "old content");
    }
}

TEST_F(SharingShareLink, ClipboardHeldByAnotherProgramIsReportedInsteadOfTheConfirmation) {
    Start();
    PutOnClipboard("old content");
    SetBoxes("192.0.2.1", "8388", "secret");
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        // A window of another thread owns the open clipboard until told to let go.
        HWND other = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        const BOOL held = OpenClipboard(other);
        SetEvent(opened);
        WaitForSingleObject(release, 10000);
        if (held) CloseClipboard();
        DestroyWindow(other);
    });
    WaitForSingleObject(opened, 10000);
    Click(Ctl::按钮_生成分享链接);
    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);
    ExpectOneMessage("无法写入剪辑板，分享链接未复制！", "错误");
    EXPECT_EQ(ClipboardText(), "old content");
}

TEST_F(SharingShareLink, EmptyClipboardAndEmptyTextGiveTheirMessages) {
    Start();
    const std::string before = ReadConfig();
    PutOnClipboard(nullptr);
    Click(Ctl::按钮_导入分享链接);
    ExpectOneMessage("剪辑板(剪切板)为空！", "错误");
    PutOnClipboard("");
    Click(Ctl::按钮_导入分享链接);
    ExpectOneMessage("剪辑板(剪切板)为空！", "错误");
    ImportShareLink("");
    ExpectOneMessage("导入分享链接 为空！", "错误");
    EXPECT_EQ(RowCount(), 1);
    EXPECT_EQ(ReadConfig(), before);
}

TEST_F(SharingShareLink, UnusableLinesChangeNothingAndSayNothing) {
    const std::string hostile[] = {
        // CR LF in the password would write "[Evil]" into config.ini.
        "vantaro://" + Base64Encode("192.0.2.1:8388:pw\r\n[Evil]\r\nk=v"),
        "vantaro://" + Base64Encode("192.0.2.1\r\nNum=99:8388:pw"),
        "vantaro://" + Base64Encode("192.0.2.1:83\n88:pw"),
        "vantaro://" + Base64Encode("192.0.2.1:8388:two words"),
        "vantaro://" + Base64Encode("192.0.2.1:8388:"),
        "vantaro://",
        "VANTARO://MTkyLjAuMi4xOjgzODg6c2VjcmV0",
        "just some text",
    };
    Start();
    const std::string before = ReadConfig();
    for (const std::string& text : hostile) {
        PutOnClipboard(text.c_str());
        Click(Ctl::按钮_导入分享链接);
        EXPECT_TRUE(TakeMessages().empty()) << text;
        EXPECT_EQ(RowCount(), 1) << text;
        EXPECT_EQ(Program().nodeArray.size(), 1u) << text;
        EXPECT_EQ(ReadConfig(), before) << text;
    }
}

TEST_F(SharingShareLink, OnlyTheFirstUsableLineOfSeveralIsImported) {
    Start();
    const std::string text =
        "hello\r\n"
        "vantaro://" +
        Base64Encode("h:1:bad\r\npw") +
        "\r\n"
        "\r\n"
        "vantaro://MTkyLjAuMi4xOjgzODg6c2VjcmV0\r\n"
        "vantaro://" +
        Base64Encode("second:2:ignored") + "\r\n";
    ImportShareLink(text);
    EXPECT_TRUE(TakeMessages().empty());
    ASSERT_EQ(RowCount(), 2);
    EXPECT_EQ(Value("Node", "Node2"), "192.0.2.1 8388 secret");
    EXPECT_EQ(Value("NodeList", "Num"), "2");
    // The same link again is a second, identical node.
    ImportShareLink("vantaro://MTkyLjAuMi4xOjgzODg6c2VjcmV0");
    ASSERT_EQ(RowCount(), 3);
    EXPECT_EQ(Value("Node", "Node3"), "192.0.2.1 8388 secret");
}

int rowsSeenByTimer = -1;
void CALLBACK NoteRowsOnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    rowsSeenByTimer = static_cast<int>(Program().nodeArray.size());
}

TEST_F(SharingShareLink, PendingMessagesRunWhileALongLinkIsDecoded) {
    Start();
    // A posted message is handled during the decoding, before the import has added its node.
    rowsSeenByTimer = -1;
    SetTimer(nullptr, 0, 0, NoteRowsOnTimer);
    Sleep(20);  // the timer is due before the import starts
    const std::string password(60000, 'p');
    ImportShareLink(MakeShareLink("192.0.2.1", "8388", password));
    EXPECT_EQ(rowsSeenByTimer, 1);
    EXPECT_EQ(RowCount(), 2);
}

}  // namespace
}  // namespace vantaro::test
