#include <windows.h>
#include <shellapi.h>

#include <thread>

#include "app/tray.h"
#include "app/tray_icon.h"
#include "app_fixture.h"

namespace vantaro::test {
namespace {

class TrayIconTest : public AppFixture {
protected:
    const NOTIFYICONDATAA& Record() { return ProgramTrayIcon()->Record(); }
    // The shell answers a modify only for an icon it holds.
    bool ShellHoldsIcon(NOTIFYICONDATAA record) {
        record.szInfo[0] = '\0';
        return Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE;
    }
    void SendTrayEvent(UINT mouseMessage) {
        SendMessageA(window_, 11685, TrayIcon::kIconId, mouseMessage);
        PumpMessages();
    }
};

TEST_F(TrayIconTest, StartupAddsTheIconWithTheStoppedTip) {
    ASSERT_NE(StartProgram(), nullptr);
    const NOTIFYICONDATAA& record = Record();
    EXPECT_EQ(record.cbSize, 488u);
    EXPECT_EQ(record.hWnd, window_);
    EXPECT_EQ(record.uID, 1u);
    EXPECT_EQ(record.uFlags, 0x17u);
    EXPECT_EQ(record.uCallbackMessage, 11685u);
    EXPECT_EQ(record.uTimeout, 10000u);
    EXPECT_NE(record.hIcon, nullptr);
    EXPECT_STREQ(record.szTip, "vantaro Tools\r\n状态：[未运行]\r\nSOCKS5 127.0.0.1:7448");
    EXPECT_STREQ(record.szInfo, "");
    EXPECT_TRUE(ShellHoldsIcon(record));
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(GetPropA(window_, "CallbackMessage")), 11685u);
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(GetPropA(window_, "TaskbarCreatedMessage")),
              RegisterWindowMessageA("TaskbarCreated"));
    EXPECT_NE(GetPropA(window_, "WinProc"), nullptr);
    EXPECT_NE(GetPropA(window_, "Exec Event"), nullptr);
}

TEST_F(TrayIconTest, TipAndBalloonTextsAreCutToTheirFields) {
    ASSERT_NE(StartProgram(), nullptr);
    TrayIcon& icon = *ProgramTrayIcon();
    icon.SetTip(std::string(127, 't'));
    EXPECT_EQ(std::string(Record().szTip), std::string(127, 't'));
    icon.SetTip(std::string(128, 'u'));
    EXPECT_EQ(std::string(Record().szTip), std::string(127, 'u'));
    icon.ShowBalloon(std::string(63, 'a'), std::string(255, 'b'), 1);
    EXPECT_EQ(std::string(Record().szInfoTitle), std::string(63, 'a'));
    EXPECT_EQ(std::string(Record().szInfo), std::string(255, 'b'));
    icon.ShowBalloon(std::string(64, 'c'), std::string(256, 'd'), 3);
    EXPECT_EQ(std::string(Record().szInfoTitle), std::string(63, 'c'));
    EXPECT_EQ(std::string(Record().szInfo), std::string(255, 'd'));
    EXPECT_EQ(Record().dwInfoFlags, 3u);
    // A double-byte character that would straddle the limit is left out whole.
    icon.SetTip(std::string(126, 'x') + "状");
    EXPECT_EQ(std::string(Record().szTip), std::string(126, 'x'));
}

TEST_F(TrayIconTest, ATipAfterABalloonSendsTheBalloonAgain) {
    ASSERT_NE(StartProgram(), nullptr);
    ProgramTrayIcon()->ShowBalloon("标题", "内容", 1);
    ProgramTrayIcon()->SetTip("new tip");
    EXPECT_STREQ(Record().szTip, "new tip");
    EXPECT_STREQ(Record().szInfoTitle, "标题");
    EXPECT_STREQ(Record().szInfo, "内容");
    EXPECT_EQ(Record().uFlags & NIF_INFO, static_cast<UINT>(NIF_INFO));
}

TEST_F(TrayIconTest, BalloonsFromWorkerThreadsReachTheRecordOnTheGuiThread) {
    ASSERT_NE(StartProgram(), nullptr);
    std::thread worker([] {
        for (int i = 0; i < 50; ++i) ShowTrayBalloon("worker", "balloon " + std::to_string(i), 1);
        SetTrayTip("tip from a worker");
    });
    worker.join();
    EXPECT_STREQ(Record().szInfo, "") << "nothing is written from the worker itself";
    PumpMessages();
    EXPECT_STREQ(Record().szInfo, "balloon 49");
    EXPECT_STREQ(Record().szTip, "tip from a worker");
}

TEST_F(TrayIconTest, IconFromBytes) {
    int width = 0, height = 0;
    HICON icon = TrayIcon::IconFromBytes(ProgramIconBytes(), 0, &width, &height);
    EXPECT_EQ(ProgramIconBytes().size(), 1150u);
    EXPECT_NE(icon, nullptr);
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);
    if (icon) DestroyIcon(icon);
    std::string truncated = ProgramIconBytes().substr(0, 100);
    EXPECT_EQ(TrayIcon::IconFromBytes(truncated, 0, &width, &height), nullptr);
    EXPECT_EQ(TrayIcon::IconFromBytes(ProgramIconBytes(), 1, &width, &height), nullptr);
    EXPECT_EQ(TrayIcon::IconFromBytes("", 0, &width, &height), nullptr);
}

TEST_F(TrayIconTest, LeftClicksShowAHiddenWindowAndLeaveAVisibleOneAlone) {
    ASSERT_NE(StartProgram(false), nullptr);
    for (UINT click : {WM_LBUTTONUP, WM_LBUTTONDBLCLK}) {
        ShowWindow(window_, SW_HIDE);
        SendTrayEvent(click);
        EXPECT_TRUE(IsWindowVisible(window_)) << click;
    }
    SetWindowPos(window_, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendTrayEvent(WM_LBUTTONUP);
    RECT rect{};
    GetWindowRect(window_, &rect);
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
    SendTrayEvent(WM_MOUSEMOVE);
}

bool menuWasOpen = false;
void CALLBACK CloseMenuTimer(HWND window, UINT, UINT_PTR id, DWORD) {
    menuWasOpen = FindWindowA("#32768", nullptr) != nullptr;
    KillTimer(window, id);
    EndMenu();
}

TEST_F(TrayIconTest, RightClickPopsUpTheMenu) {
    ASSERT_NE(StartProgram(), nullptr);
    menuWasOpen = false;
    SetTimer(window_, 77, 300, CloseMenuTimer);
    SendTrayEvent(WM_RBUTTONUP);
    EXPECT_TRUE(menuWasOpen);
    EXPECT_EQ(FindWindowA("#32768", nullptr) != nullptr && IsWindowVisible(FindWindowA("#32768", nullptr)), false);
}

TEST_F(TrayIconTest, IconComesBackAfterTheShellRestarts) {
    ASSERT_NE(StartProgram(), nullptr);
    ProgramTrayIcon()->ShowBalloon("old", "balloon", 1);
    NOTIFYICONDATAA record = Record();
    Shell_NotifyIconA(NIM_DELETE, &record);  // what a restarted shell has forgotten
    ASSERT_FALSE(ShellHoldsIcon(record));
    SendMessageA(window_, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(ShellHoldsIcon(Record()));
    EXPECT_STREQ(Record().szTip, record.szTip);
    EXPECT_STREQ(Record().szInfo, "") << "an old balloon is not shown again";
}

TEST_F(TrayIconTest, IconIsRemovedWhenTheProgramEnds) {
    ASSERT_NE(StartProgram(), nullptr);
    const NOTIFYICONDATAA record = Record();
    ASSERT_TRUE(ShellHoldsIcon(record));
    StopProgram();
    EXPECT_FALSE(ShellHoldsIcon(record));
}

}  // namespace
}  // namespace vantaro::test
