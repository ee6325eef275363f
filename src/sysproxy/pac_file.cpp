#include "sysproxy/pac_file.h"

#include <windows.h>

#include <fstream>
#include <sstream>

#include "app/program_state.h"
#include "app/sites.h"
#include "app/tray.h"
#include "core/pac_text.h"
#include "core/utf8_stream.h"
#include "core/well_known_paths.h"
#include "platform/http_download.h"
#include "platform/message_box.h"
#include "platform/shell.h"
#include "platform/window_text.h"
#include "sysproxy/pac_server.h"

namespace vantaro {
namespace {

// A rule list is kilobytes; anything this large is not one.
constexpr size_t kRuleListMaxBytes = 4 * 1024 * 1024;

std::string RuleListUrl() { return Sites::Main("/Other/pac.txt"); }
std::string RuleListPath() { return Program().engineDirectory + "pac.txt"; }

void ShowUpdateFailed() {
    ShowTrayBalloon("PAC 更新失败！", "请尝试手动下载覆盖：" + RuleListUrl(), kBalloonError);
}

// The rule list: only a successful response counts, so an error page never replaces a good list.
std::optional<std::string> DownloadRuleList() {
    std::optional<DownloadResponse> response =
        DownloadDirectResponse(RuleListUrl(), DownloadLimits{kRuleListMaxBytes});
    if (!response || response->status < 200 || response->status > 299) return std::nullopt;
    return std::move(response->body);
}

// Written to a temporary file beside the list first, so a failed write leaves the old list whole.
bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) return false;
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            DeleteFileA(temporary.c_str());
            return false;
        }
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return {};
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

}  // namespace

void UpdatePacList() {
    if (GetWindowTextString(Control(Ctl::编辑框_文件位置)).empty()) {
        ShowMessage(Program().mainWindow, "文件位置 不能为空！", "错误");
        return;
    }
    const std::optional<std::string> body = DownloadRuleList();
    if (!body || LfToCrLf(CutAtFirstZero(*body)).empty()) {
        ShowUpdateFailed();
        return;
    }
    if (!WriteWholeFile(RuleListPath(), *body)) {
        ShowUpdateFailed();
        return;
    }
    ShowTrayBalloon("PAC 更新成功！", "如果当前正在运行，则需要重启 vantaro 才能使应用最新 PAC文件！",
                    kBalloonInformation);
}

std::string GeneratePacFile() {
    if (!FileExists(RuleListPath())) UpdatePacList();
    const std::string localPort = GetWindowTextString(Control(Ctl::编辑框_本地端口));
    const std::string pacText = FillPacTemplate(ReadWholeFile(RuleListPath()), localPort);
    std::ofstream(Program().engineDirectory + "pac", std::ios::binary | std::ios::trunc) << pacText;
    // Served over loopback HTTP; without a listener the file's own address is the fallback.
    const std::string url = ServePacText(pacText);
    return url.empty() ? "file://" + Program().engineDirectory + "pac" : url;
}

void EditPacList() {
    if (FileExists(RuleListPath())) {
        StartCommandLine(ExplorerSelectCommand(RuleListPath()));
        return;
    }
    ShowMessage(Program().mainWindow, "找不到PAC文件！请尝试使用 更新PAC文件 功能下载。", "错误");
}

}  // namespace vantaro
