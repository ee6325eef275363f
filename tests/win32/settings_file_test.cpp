#include <windows.h>

#include "app/tray_menu_form.h"
#include "app_fixture.h"
#include "settings/settings_file.h"

namespace vantaro::test {
namespace {

using SettingsFile = AppFixture;

TEST_F(SettingsFile, FirstStartOnAnEmptyFolder) {
    ASSERT_FALSE(ConfigExists());
    ASSERT_NE(StartProgram(), nullptr);
    EXPECT_EQ(Text(Ctl::编辑框_本地端口), "7448");
    EXPECT_FALSE(Checked(Ctl::选择框_开机启动));
    EXPECT_TRUE(IsMenuItemChecked(MenuItem::直连模式));
    EXPECT_FALSE(IsMenuItemChecked(MenuItem::PAC模式));
    ASSERT_EQ(RowCount(), 1);
    EXPECT_EQ(SelectedRow(), 0);
    EXPECT_EQ(Text(Ctl::编辑框_服务器IP), "127.0.0.1");
    EXPECT_EQ(Text(Ctl::编辑框_服务器端口), "2333");
    EXPECT_EQ(Text(Ctl::编辑框_服务器密码), "kzmr.tq");
    // Setting the file box from the file writes it straight back; the default node waits for a save.
    EXPECT_EQ(ReadConfig(), "[BasisConfig]\r\nFile=\r\n");
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(SettingsFile, NodesLoadIntoParallelRowsSkippingEmptyKeys) {
    WriteConfig(
        "[NodeList]\r\nNum=5\r\nSelect node=1\r\n"
        "[Node]\r\nNode1=1.1.1.1 11 one\r\nNode2=\r\nNode3=3.3.3.3 33 three\r\nNode6=6.6.6.6 66 six\r\n");
    ASSERT_NE(StartProgram(), nullptr);
    ASSERT_EQ(RowCount(), 2) << "Node2 is empty, Node4 and Node5 are missing, Node6 is beyond Num";
    EXPECT_EQ(RowText(1, 0), "3.3.3.3");
    EXPECT_EQ(RowText(1, 1), "33");
    EXPECT_EQ(Program().nodeArray, (std::vector<std::string>{"1.1.1.1 11 one", "3.3.3.3 33 three"}));
    EXPECT_EQ(SelectedRow(), 1);
    EXPECT_EQ(Program().editedRow, 1);
    EXPECT_EQ(Text(Ctl::编辑框_服务器密码), "three");
}

TEST_F(SettingsFile, SavedSelectionOutOfRangeOrNegative) {
    struct Case {
        const char* selectNode;
        int selected;
    };
    const Case cases[] = {{"2", 0}, {"9", 0}, {"1", 1}, {"-1", -1}, {"x", 0}};
    for (const Case& c : cases) {
        WriteConfig(std::string("[NodeList]\r\nNum=2\r\nSelect node=") + c.selectNode +
                    "\r\n[Node]\r\nNode1=a 1 p1\r\nNode2=b 2 p2\r\n");
        ASSERT_NE(StartProgram(), nullptr);
        EXPECT_EQ(SelectedRow(), c.selected) << c.selectNode;
        EXPECT_EQ(Program().editedRow, c.selected) << c.selectNode;
        if (c.selected < 0) {
            EXPECT_EQ(Text(Ctl::编辑框_服务器IP), "");
            // With no edited row a click shows the row without committing anything.
            ClickRow(1);
            EXPECT_EQ(Text(Ctl::编辑框_服务器IP), "b");
            EXPECT_EQ(Program().editedRow, 1);
            EXPECT_EQ(Program().nodeArray[0], "a 1 p1");
        }
        StopProgram();
    }
}

TEST_F(SettingsFile, NumWithOnlyEmptyNodesLeavesAnEmptyList) {
    WriteConfig("[NodeList]\r\nNum=3\r\n[Node]\r\nNode1=\r\n");
    ASSERT_NE(StartProgram(), nullptr);
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(SelectedRow(), -1);
    EXPECT_EQ(Text(Ctl::编辑框_服务器IP), "");
    EXPECT_TRUE(Enabled(Ctl::编辑框_服务器IP));
}

TEST_F(SettingsFile, RunAndProxyModeValues) {
    struct Case {
        const char* run;
        bool ticked;
        const char* mode;
        MenuItem checked;
    };
    const Case cases[] = {{"false", false, "0", MenuItem::直连模式}, {"true", true, "1", MenuItem::PAC模式},
                          {"", true, "2", MenuItem::全局模式},        {"FALSE", true, "x", MenuItem::直连模式},
                          {"no", true, "", MenuItem::直连模式},       {"false", false, "12", MenuItem::直连模式}};
    for (const Case& c : cases) {
        WriteConfig(std::string("[BasisConfig]\r\nRun=") + c.run + "\r\nProxy Mode=" + c.mode + "\r\n");
        ASSERT_NE(StartProgram(), nullptr);
        EXPECT_EQ(Checked(Ctl::选择框_开机启动), c.ticked) << "Run=" << c.run;
        for (MenuItem item : {MenuItem::直连模式, MenuItem::PAC模式, MenuItem::全局模式}) {
            EXPECT_EQ(IsMenuItemChecked(item), item == c.checked) << "Proxy Mode=" << c.mode;
        }
        StopProgram();
    }
}

TEST_F(SettingsFile, SaveWritesEveryKeyInOrder) {
    WriteConfig("[BasisConfig]\r\nFile=C:\\e\\vantaro-local.exe\r\nLocal port=8200\r\nProxy Mode=1\r\n");
    ASSERT_NE(StartProgram(), nullptr);
    DeleteFileA(ConfigPath().c_str());
    SetText(Ctl::编辑框_服务器密码, "new pass");
    Click(Ctl::按钮_保存);
    // The profile functions append sections and keys in the order they are first written.
    EXPECT_EQ(ReadConfig(),
              "[NodeList]\r\nNum=1\r\nSelect node=0\r\n"
              "[Node]\r\nNode1=127.0.0.1 2333 new pass\r\n"
              "[BasisConfig]\r\nFile=C:\\e\\vantaro-local.exe\r\nLocal port=8200\r\nRun=false\r\nProxy Mode=1\r\n");
    EXPECT_TRUE(TakeMessages().empty()) << "saving confirms nothing";
}

TEST_F(SettingsFile, SaveRebuildsTheNodeSectionDensely) {
    WriteConfig("[NodeList]\r\nNum=4\r\n[Node]\r\nNode1=a 1 p\r\nNode3=c 3 p\r\nNode4=\r\nNode9=stale 9 p\r\n");
    ASSERT_NE(StartProgram(), nullptr);
    Click(Ctl::按钮_保存);
    EXPECT_EQ(Value("NodeList", "Num"), "2");
    EXPECT_EQ(Value("Node", "Node1"), "a 1 p");
    EXPECT_EQ(Value("Node", "Node2"), "c 3 p");
    EXPECT_EQ(Value("Node", "Node3"), "<missing>");
    EXPECT_EQ(Value("Node", "Node9"), "<missing>");
}

TEST_F(SettingsFile, SaveWithNoSelectedRowWritesNothing) {
    ASSERT_NE(StartProgram(), nullptr);
    Click(Ctl::按钮_删除);
    ASSERT_EQ(RowCount(), 0);
    const std::string before = ReadConfig();
    SetText(Ctl::编辑框_本地端口, "9999");
    SendMessageA(Control(Ctl::选择框_开机启动), BM_SETCHECK, BST_CHECKED, 0);
    Click(Ctl::按钮_保存);
    EXPECT_EQ(ReadConfig(), before);
}

TEST_F(SettingsFile, SingleValueWritersFollowTheirBoxes) {
    ASSERT_NE(StartProgram(), nullptr);
    SetText(Ctl::编辑框_文件位置, "D:\\引擎\\vantaro-local.exe");
    EXPECT_EQ(Value("BasisConfig", "File"), "D:\\引擎\\vantaro-local.exe") << "every change of the box is saved";
    SetText(Ctl::编辑框_本地端口, "");
    LoseFocus(Ctl::编辑框_本地端口);
    EXPECT_EQ(Value("BasisConfig", "Local port"), "") << "written whatever it holds";
    SetText(Ctl::编辑框_本地端口, "8100");
    LoseFocus(Ctl::编辑框_本地端口);
    EXPECT_EQ(Value("BasisConfig", "Local port"), "8100");
}

const char kGarbage[] = "\xFF\xFE[\0\x01=\r\r\n\n[NodeList\r\nNum=\x80\x80";

TEST_F(SettingsFile, HandWrittenBadContentLoadsSafely) {
    const std::string longValue(10000, 'x');
    struct Case {
        const char* what;
        std::string config;
        int rows;
    };
    const Case cases[] = {
        {"non-numeric Num", "[NodeList]\r\nNum=many\r\n[Node]\r\nNode1=a 1 p\r\n", 1},
        {"one and two fields", "[NodeList]\r\nNum=2\r\n[Node]\r\nNode1=lonely\r\nNode2=host 80\r\n", 2},
        {"10,000-byte value", "[NodeList]\r\nNum=1\r\n[Node]\r\nNode1=h 1 " + longValue + "\r\n", 1},
        {"GBK text", "[BasisConfig]\r\nFile=E:\\淺色\\vantaro-local.exe\r\n[NodeList]\r\nNum=1\r\n[Node]\r\n"
                     "Node1=服务器 8388 密码\r\n", 1},
        {"binary garbage", std::string(kGarbage, sizeof(kGarbage) - 1), 1},
    };
    for (const Case& c : cases) {
        WriteConfig(c.config);
        ASSERT_NE(StartProgram(), nullptr) << c.what;
        EXPECT_EQ(RowCount(), c.rows) << c.what;
        ClickRow(0);
        Click(Ctl::按钮_保存);
        StopProgram();
        if (std::string(c.what) == "GBK text") {
            EXPECT_EQ(Value("BasisConfig", "File"), "E:\\淺色\\vantaro-local.exe");
            EXPECT_EQ(Value("Node", "Node1"), "服务器 8388 密码");
        }
    }
}

TEST_F(SettingsFile, ShortNodesShowEmptyFieldsAndSaveAsShown) {
    WriteConfig("[NodeList]\r\nNum=1\r\n[Node]\r\nNode1=host 80\r\n");
    ASSERT_NE(StartProgram(), nullptr);
    EXPECT_EQ(Text(Ctl::编辑框_服务器IP), "host");
    EXPECT_EQ(Text(Ctl::编辑框_服务器端口), "80");
    EXPECT_EQ(Text(Ctl::编辑框_服务器密码), "");
    Click(Ctl::按钮_保存);
    // Written as shown: IP, port and an empty password (the profile functions drop the trailing blank).
    EXPECT_EQ(Value("Node", "Node1"), "host 80");
}

}  // namespace
}  // namespace vantaro::test
