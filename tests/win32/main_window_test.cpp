#include <windows.h>
#include <commctrl.h>

#include "app/main_window.h"
#include "app/main_window_form.h"
#include "app/tray_menu_form.h"
#include "app_fixture.h"

namespace vantaro::test {
namespace {

using MainWindow = AppFixture;

TEST(Wine, AnsiCodePageIsGbk) { EXPECT_EQ(GetACP(), 936u); }

TEST_F(MainWindow, StartsWithTheVersionInCaptionAndStatusBar) {
    ASSERT_NE(StartProgram(), nullptr);
    EXPECT_EQ(Text(Ctl::选择夹1), "");
    char caption[256] = {};
    GetWindowTextA(window_, caption, sizeof(caption));
    EXPECT_STREQ(caption, "vantaro Tools    v1.0.1");
    EXPECT_EQ(StatusText(0), " 当前版本：v1.0.1");
    EXPECT_EQ(StatusText(1), "   状态：未运行");
    EXPECT_EQ(StatusText(2), "   提醒：修改服务器信息后，请记得点击[保存配置]。");
    EXPECT_EQ(Program().versionText, "1.0.1");
    EXPECT_EQ(Program().buildNumber, "2");
}

TEST_F(MainWindow, FormControlsHaveTheirCaptionsStatesAndPlaces) {
    ASSERT_NE(StartProgram(), nullptr);
    EXPECT_EQ(Text(Ctl::按钮_打开配置文件所在目录), "打开配置文件所在目录");
    EXPECT_EQ(Text(Ctl::选择框_开机启动), "开机启动");
    EXPECT_EQ(Text(Ctl::透明标签2), "服务器 IP：");
    EXPECT_FALSE(Enabled(Ctl::按钮_停止));
    EXPECT_TRUE(Enabled(Ctl::按钮_启动));
    EXPECT_TRUE(GetWindowLongA(Control(Ctl::编辑框_文件位置), GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(GetWindowLongA(Control(Ctl::编辑框_服务器密码), GWL_STYLE) & ES_PASSWORD);
    EXPECT_EQ(SendMessageA(Control(Ctl::编辑框_服务器密码), EM_GETPASSWORDCHAR, 0, 0), '*');
    // Positions: the tab at 4,4; page controls relative to the tab; the group's children relative to the group.
    struct Place {
        Ctl id;
        int x, y, width, height;
    };
    const Place places[] = {{Ctl::选择夹1, 4, 4, 548, 296},
                            {Ctl::超级列表框_服务器列表, 16, 32, 172, 232},
                            {Ctl::编辑框_服务器IP, 4 + 196 + 112, 4 + 32 + 24, 192, 24},
                            {Ctl::按钮_停止, 4 + 446, 4 + 260, 88, 28},
                            {Ctl::编辑框_日志, 4, 24, 548, 272}};
    for (const Place& place : places) {
        RECT rect{};
        GetWindowRect(Control(place.id), &rect);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
        const ControlRow* row = FindControlRow(place.id);
        EXPECT_EQ(rect.left, ScaleForDpi(window_, place.x)) << row->formName;
        EXPECT_EQ(rect.top, ScaleForDpi(window_, place.y)) << row->formName;
        EXPECT_EQ(rect.right - rect.left, ScaleForDpi(window_, place.width)) << row->formName;
        EXPECT_EQ(rect.bottom - rect.top, ScaleForDpi(window_, place.height)) << row->formName;
    }
    RECT outer{};
    GetWindowRect(window_, &outer);
    EXPECT_EQ(outer.right - outer.left, ScaleForDpi(window_, 564));
    EXPECT_EQ(outer.bottom - outer.top, ScaleForDpi(window_, 350));
    const LONG style = GetWindowLongA(window_, GWL_STYLE);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(MainWindow, TabPagesShowTheirOwnControls) {
    ASSERT_NE(StartProgram(), nullptr);
    EXPECT_TRUE(IsWindowVisible(Control(Ctl::按钮_启动)));
    EXPECT_FALSE(IsWindowVisible(Control(Ctl::编辑框_日志)));
    ShowTabPage(1);
    EXPECT_FALSE(IsWindowVisible(Control(Ctl::按钮_启动)));
    EXPECT_TRUE(IsWindowVisible(Control(Ctl::编辑框_日志)));
}

TEST_F(MainWindow, TrayMenuStartsWithTheFormStates) {
    ASSERT_NE(StartProgram(), nullptr);
    EXPECT_EQ(MenuItemCaption(MenuItem::状态), "状态: 未运行");
    EXPECT_FALSE(IsMenuItemEnabled(MenuItem::状态));
    EXPECT_FALSE(IsMenuItemEnabled(MenuItem::全局模式));
    EXPECT_FALSE(IsMenuItemEnabled(MenuItem::停止代理));
    EXPECT_TRUE(IsMenuItemEnabled(MenuItem::启动代理));
    EXPECT_TRUE(IsMenuItemChecked(MenuItem::直连模式));
    SetMenuItemChecked(MenuItem::状态, true);
    SetMenuItemCaption(MenuItem::状态, "状态：正在运行");
    EXPECT_TRUE(IsMenuItemChecked(MenuItem::状态)) << "a new caption keeps the check mark";
    EXPECT_FALSE(IsMenuItemEnabled(MenuItem::状态)) << "and the greyed state";
}

TEST_F(MainWindow, SecondInstanceIsRefusedWithItsMessage) {
    ASSERT_NE(StartProgram(), nullptr);
    TakeMessages();
    ProgramState first = std::move(Program());
    CreateProgramState(StartupOptions{runDirectory_, true, false});
    EXPECT_EQ(CreateMainWindow(GetModuleHandleA(nullptr)), nullptr);
    const auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "不能重复运行vantaro Tools！");
    EXPECT_EQ(messages[0].title, "错误");
    Program() = std::move(first);
}

TEST_F(MainWindow, CloseRequestsOnlyHideTheWindow) {
    ASSERT_NE(StartProgram(), nullptr);
    struct Request {
        const char* what;
        void (*send)(HWND window);
    };
    const Request requests[] = {
        {"close button", [](HWND w) { SendMessageA(w, WM_CLOSE, 0, 0); }},
        {"Alt+F4", [](HWND w) { SendMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        {"Esc in a box", [](HWND) { PostMessageA(Control(Ctl::编辑框_服务器IP), WM_KEYDOWN, VK_ESCAPE, 0); }},
    };
    for (const Request& request : requests) {
        ShowMainWindow();
        ASSERT_TRUE(IsWindowVisible(window_));
        request.send(window_);
        PumpMessages();
        EXPECT_TRUE(IsWindow(window_)) << request.what;
        EXPECT_FALSE(IsWindowVisible(window_)) << request.what;
    }
}

TEST_F(MainWindow, LaunchOriginDecidesWhetherTheWindowIsShown) {
    ASSERT_NE(StartProgram(false), nullptr);
    EXPECT_FALSE(IsWindowVisible(window_));
    ShowMainWindow();
    EXPECT_TRUE(IsWindowVisible(window_));
    RECT before{};
    GetWindowRect(window_, &before);
    ShowMainWindow();
    RECT after{};
    GetWindowRect(window_, &after);
    EXPECT_TRUE(EqualRect(&before, &after)) << "a visible window is left as it is";
}

TEST_F(MainWindow, ExitItemDestroysTheWindow) {
    ASSERT_NE(StartProgram(), nullptr);
    SendMessageA(window_, WM_COMMAND, static_cast<WPARAM>(MenuItem::退出), 0);
    EXPECT_FALSE(IsWindow(window_));
    MSG quit{};
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    window_ = nullptr;
}

TEST_F(MainWindow, PortBoxesTakeOnlyDigitsAndMinusWhenTyped) {
    ASSERT_NE(StartProgram(), nullptr);
    for (Ctl box : {Ctl::编辑框_服务器端口, Ctl::编辑框_本地端口}) {
        SetText(box, "");
        for (char ch : std::string("8a-1 x.")) SendMessageA(Control(box), WM_CHAR, static_cast<unsigned char>(ch), 0);
        EXPECT_EQ(Text(box), "8-1");
        SendMessageA(Control(box), WM_CHAR, VK_BACK, 0);
        EXPECT_EQ(Text(box), "8-") << "control characters pass";
    }
    SetText(Ctl::编辑框_服务器IP, "");
    for (char ch : std::string("host.example")) SendMessageA(Control(Ctl::编辑框_服务器IP), WM_CHAR, ch, 0);
    EXPECT_EQ(Text(Ctl::编辑框_服务器IP), "host.example");
}

}  // namespace
}  // namespace vantaro::test
