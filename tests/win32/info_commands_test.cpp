#include <windows.h>

#include "app/info_commands.h"
#include "app/sites.h"
#include "app_fixture.h"
#include "core/well_known_paths.h"
#include "platform/shell.h"

namespace vantaro::test {
namespace {

using InfoCommands = AppFixture;

TEST_F(InfoCommands, AboutShowsVersionSitesAndDisclaimer) {
    ASSERT_NE(StartProgram(), nullptr);
    SendMessageA(window_, WM_COMMAND, static_cast<WPARAM>(MenuItem::关于), 0);
    const auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "关于");
    EXPECT_EQ(messages[0].text,
              "当前版本：v1.0.1\r\n" + Sites::Name() + "：" + Sites::Main("") + " | 镜像：" + Sites::Mirror("") +
                  "\r\n本软件仅供学习和技术研究探讨使用，不得用于任何商业用途及违法用途。如果由于以上原因造成的版权、"
                  "法律纠纷 本人概不负责！");
}

TEST_F(InfoCommands, ConfigFolderIsShownOnlyWhenTheFileExists) {
    const std::string path = EngineConfigPath(LogonUserName());
    DeleteFileA(path.c_str());
    ASSERT_NE(StartProgram(), nullptr);
    Click(Ctl::按钮_打开配置文件所在目录);
    auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "配置文件不存在！");
    EXPECT_EQ(messages[0].title, "错误");

    CreateDirectoryA(("C:\\Users\\" + LogonUserName()).c_str(), nullptr);
    CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    Click(Ctl::按钮_打开配置文件所在目录);
    EXPECT_TRUE(TakeMessages().empty());
    // Explorer opens a window on the folder, captioned with the folder's name.
    HWND explorer = nullptr;
    for (int i = 0; i < 100 && !explorer; ++i, Sleep(50)) explorer = FindWindowA(nullptr, LogonUserName().c_str());
    EXPECT_NE(explorer, nullptr) << "an Explorer window is opened on the file";
    if (explorer) PostMessageA(explorer, WM_CLOSE, 0, 0);
    DeleteFileA(path.c_str());
}

}  // namespace
}  // namespace vantaro::test
