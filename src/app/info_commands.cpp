#include "app/info_commands.h"

#include "app/program_state.h"
#include "app/sites.h"
#include "core/well_known_paths.h"
#include "platform/message_box.h"
#include "platform/shell.h"

namespace vantaro {
namespace {
const char kHelpPath[] = "/kvpe-12/";
const char kDonationPath[] = "/dashang/";

// Main site first, then the mirror, whatever became of the first.
void OpenOnBothSites(const std::string& path) {
    OpenWithShell(Sites::Main(path));
    OpenWithShell(Sites::Mirror(path));
}
}  // namespace

void ShowAbout() {
    const std::string text = "当前版本：v" + Program().versionText + "\r\n" + Sites::Name() + "：" + Sites::Main("") +
                             " | 镜像：" + Sites::Mirror("") + "\r\n" +
                             "本软件仅供学习和技术研究探讨使用，不得用于任何商业用途及违法用途。"
                             "如果由于以上原因造成的版权、法律纠纷 本人概不负责！";
    ShowMessage(Program().mainWindow, text, "关于");
}

void OpenHelpPage() { OpenOnBothSites(kHelpPath); }

void OpenDonationPage() { OpenOnBothSites(kDonationPath); }

void OpenConfigFolder() {
    const std::string path = EngineConfigPath(LogonUserName());
    if (!FileExists(path)) {
        ShowMessage(Program().mainWindow, "配置文件不存在！", "错误");
        return;
    }
    StartCommandLine(ExplorerSelectCommand(path));
}

}  // namespace vantaro
