#include "netcheck/update_check.h"

#include <memory>

#include "app/app_messages.h"
#include "app/program_state.h"
#include "app/sites.h"
#include "app/tray.h"
#include "core/version_file.h"
#include "netcheck/network_checks.h"
#include "platform/connectivity_probe.h"
#include "platform/http_download.h"
#include "platform/unique_handle.h"
#include "platform/window_text.h"

namespace vantaro {
namespace {

// The latest check's thread; an earlier handle is closed when a new check starts (the thread runs on
// regardless).
KernelHandle latestUpdateThread;

DWORD WINAPI UpdateThread(LPVOID parameter) {
    std::unique_ptr<UpdateCheckSnapshot> snapshot(static_cast<UpdateCheckSnapshot*>(parameter));
    CheckForUpdate(*snapshot);
    return 0;
}

bool Connected() { return SystemReportsConnection() && OpenUrlThroughSystemProxy(Sites::Probe("/")); }

void HandCaptionToGuiThread(HWND window, const std::string& caption) {
    auto request = std::make_unique<std::string>(caption);
    if (PostMessageA(window, kSetCaptionRequest, 0, reinterpret_cast<LPARAM>(request.get())))
        request.release();
}

}  // namespace

// The version file is read from memory: no file is written to the run directory, so a user's own "Ver.ini"
// there is never replaced or deleted.
void CheckForUpdate(const UpdateCheckSnapshot& snapshot) {
    if (!Connected()) return;
    const std::string body =
        DownloadDirect(Sites::Main("/Ver.ini"), DownloadLimits{kVersionFileCap}).value_or("");
    const std::optional<UpdateAnnouncement> update =
        CheckVersionFile(body, snapshot.versionText, snapshot.buildNumber);
    if (!update) return;
    ShowTrayBalloon(UpdateBalloonTitle(update->latestVersion), UpdateBalloonText(Sites::Main("/kvpe-12/")),
                    kBalloonNone);
    HandCaptionToGuiThread(snapshot.mainWindow, UpdatedCaption(snapshot.versionText, update->latestVersion));
}

void StartUpdateCheck() {
    const ProgramState& program = Program();
    auto snapshot = std::make_unique<UpdateCheckSnapshot>(
        UpdateCheckSnapshot{program.versionText, program.buildNumber, program.mainWindow});
    HANDLE thread = CreateThread(nullptr, 0, UpdateThread, snapshot.get(), 0, nullptr);
    if (thread == nullptr) return;
    snapshot.release();
    latestUpdateThread.Reset(thread);
}

HANDLE LatestUpdateCheckThread() { return latestUpdateThread.Get(); }

void HandleCaptionRequest(LPARAM caption) {
    std::unique_ptr<std::string> text(reinterpret_cast<std::string*>(caption));
    if (Program().mainWindow != nullptr) SetWindowTextString(Program().mainWindow, *text);
}

}  // namespace vantaro
