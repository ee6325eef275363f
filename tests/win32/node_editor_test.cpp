#include <windows.h>

#include "app_fixture.h"

namespace vantaro::test {
namespace {

class NodeEditor : public AppFixture {
protected:
    void StartWithThreeNodes() {
        WriteConfig("[NodeList]\r\nNum=3\r\n[Node]\r\nNode1=a 1 pa\r\nNode2=b 2 pb\r\nNode3=c 3 pc\r\n");
        ASSERT_NE(StartProgram(), nullptr);
    }
    std::vector<std::string>& Nodes() { return Program().nodeArray; }
};

TEST_F(NodeEditor, EditsReachTheNodeWhenAnotherRowIsClicked) {
    StartWithThreeNodes();
    SetText(Ctl::编辑框_服务器IP, "edited");
    ClickRow(1);
    EXPECT_EQ(Nodes()[0], "edited 1 pa");
    EXPECT_EQ(RowText(0, 0), "edited");
    EXPECT_EQ(Text(Ctl::编辑框_服务器IP), "b");
    EXPECT_EQ(Program().editedRow, 1);
}

TEST_F(NodeEditor, ClickOnTheEmptyAreaKeepsTheEditedRow) {
    StartWithThreeNodes();
    ClickRow(2);
    ClickRow(-1);
    EXPECT_EQ(SelectedRow(), 2);
    EXPECT_EQ(Text(Ctl::编辑框_服务器IP), "c");
}

TEST_F(NodeEditor, NewNodeDropsUncommittedEdits) {
    StartWithThreeNodes();
    SetText(Ctl::编辑框_服务器IP, "lost");
    Click(Ctl::按钮_新建);
    EXPECT_EQ(Nodes()[0], "a 1 pa");
    ASSERT_EQ(RowCount(), 4);
    EXPECT_EQ(Nodes()[3], "127.0.0.1 2333 kzmr.tq");
    EXPECT_EQ(SelectedRow(), 3);
    EXPECT_EQ(Program().editedRow, 3);
    EXPECT_EQ(Text(Ctl::编辑框_服务器密码), "kzmr.tq");
}

TEST_F(NodeEditor, PasswordWithASpaceIsStoredWholeButShownCut) {
    StartWithThreeNodes();
    SetText(Ctl::编辑框_服务器密码, "two words");
    ClickRow(1);
    EXPECT_EQ(Nodes()[0], "a 1 two words");
    ClickRow(0);
    EXPECT_EQ(Text(Ctl::编辑框_服务器密码), "two");
}

TEST_F(NodeEditor, UnchangedNodeIsNotRewritten) {
    StartWithThreeNodes();
    Nodes()[0] = "a 1 pa extra";  // a fourth field the boxes do not show
    ClickRow(1);
    EXPECT_EQ(Nodes()[0], "a 1 pa extra");
}

TEST_F(NodeEditor, DeleteSelectsTheNeighbour) {
    struct Case {
        int deleted;
        int selectedAfter;
        const char* shownIp;
    };
    const Case cases[] = {{0, 0, "b"}, {2, 1, "b"}, {1, 0, "a"}};
    for (const Case& c : cases) {
        StartWithThreeNodes();
        ClickRow(c.deleted);
        Click(Ctl::按钮_删除);
        EXPECT_EQ(RowCount(), 2);
        EXPECT_EQ(SelectedRow(), c.selectedAfter) << "deleting row " << c.deleted;
        EXPECT_EQ(Text(Ctl::编辑框_服务器IP), c.shownIp) << "deleting row " << c.deleted;
        EXPECT_EQ(Nodes().size(), 2u);
        StopProgram();
    }
}

TEST_F(NodeEditor, DeletingTheLastRowEmptiesAndDisablesTheBoxes) {
    ASSERT_NE(StartProgram(), nullptr);
    Click(Ctl::按钮_删除);
    EXPECT_EQ(RowCount(), 0);
    for (Ctl box : {Ctl::编辑框_服务器IP, Ctl::编辑框_服务器端口, Ctl::编辑框_服务器密码}) {
        EXPECT_EQ(Text(box), "");
        EXPECT_FALSE(Enabled(box));
    }
    EXPECT_TRUE(Enabled(Ctl::按钮_删除));
    EXPECT_EQ(Program().editedRow, -1);
    EXPECT_TRUE(TakeMessages().empty());
    Click(Ctl::按钮_删除);
    const auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "当前没有选中节点！");
    EXPECT_EQ(messages[0].title, "错误");
    Click(Ctl::按钮_新建);
    EXPECT_TRUE(Enabled(Ctl::编辑框_服务器IP));
}

TEST_F(NodeEditor, EmptyServerBoxIsRefusedWhenLeft) {
    StartWithThreeNodes();
    ShowWindow(window_, SW_SHOW);
    struct Case {
        Ctl box;
        const char* message;
    };
    const Case cases[] = {{Ctl::编辑框_服务器IP, "服务器IP 不能为空！"},
                          {Ctl::编辑框_服务器端口, "服务器端口 不能为空！"},
                          {Ctl::编辑框_服务器密码, "服务器密码 不能为空！"}};
    for (const Case& c : cases) {
        SetText(c.box, "");
        ClickRow(-1);
        LoseFocus(c.box);
        const auto messages = TakeMessages();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, c.message);
        EXPECT_EQ(messages[0].title, "错误");
        EXPECT_EQ(GetFocus(), Control(c.box)) << "the focus goes back to the box";
        EXPECT_EQ(SelectedRow(), 0);
        EXPECT_EQ(Text(c.box), "") << "the empty text stays";
        SetText(c.box, "x");
    }
    LoseFocus(Ctl::编辑框_服务器IP);
    EXPECT_TRUE(TakeMessages().empty()) << "a non-empty box passes";
}

TEST_F(NodeEditor, PasswordToggleShowsAndMasks) {
    ASSERT_NE(StartProgram(), nullptr);
    HWND password = Control(Ctl::编辑框_服务器密码);
    Click(Ctl::选择框_密码明文);
    EXPECT_EQ(SendMessageA(password, EM_GETPASSWORDCHAR, 0, 0), 0);
    Click(Ctl::选择框_密码明文);
    EXPECT_EQ(SendMessageA(password, EM_GETPASSWORDCHAR, 0, 0), '*');
    EXPECT_EQ(Text(Ctl::编辑框_服务器密码), "kzmr.tq");
}

}  // namespace
}  // namespace vantaro::test
