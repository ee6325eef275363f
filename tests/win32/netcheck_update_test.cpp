#include <windows.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "app/main_window.h"
#include "app/sites.h"
#include "core/version_file.h"
#include "netcheck/update_check.h"
#include "netcheck_test_support.h"
#include "platform/window_text.h"
#include "sysproxy_fixture.h"

namespace vantaro::test {
namespace {

constexpr unsigned short kMainPort = 18461;   // Sites::Main in the test build
constexpr unsigned short kProbePort = 18463;  // Sites::Probe in the test build
const char kOwnCaption[] = "vantaro Tools    v1.0.1";
// A file of the user's that happens to carry the temporary file's name.
const char kUsersVerIni[] = "[mine]\r\nkeep=these bytes\r\n";

std::string VersionFile(const std::string& version, const std::string& build) {
    return "[vantaro Tools]\r\n最新版本=" + version + "\r\n版本号=" + build + "\r\n";
}
std::string Response(const std::string& status, const std::string& body, bool withLength = true) {
    std::string head = "HTTP/1.0 " + status + "\r\nContent-Type: text/plain\r\n";
    if (withLength) head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    return head + "\r\n" + body;
}
std::string Ok(const std::string& body) { return Response("200 OK", body); }

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

std::set<std::string> DirectoryNames(const std::string& directory) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.insert(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// The probe's site and the maker's site on loopback, the system proxy off for the probe, and a Ver.ini of the
// user's in the run directory.
class NetcheckUpdate : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        for (const char* name : {"ProxyEnable", "ProxyServer", "AutoConfigURL"}) {
            saved_.emplace_back(name, QueryValue(kSettingsKey, name));
        }
        PutValue(kSettingsKey, "ProxyEnable", Dword(0));
        PutValue(kSettingsKey, "AutoConfigURL", std::nullopt);
        std::ofstream(VerIniPath(), std::ios::binary) << kUsersVerIni;
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) PutValue(kSettingsKey, name, value);
        AppFixture::TearDown();
    }
    std::string VerIniPath() const { return runDirectory_ + "\\Ver.ini"; }

    void StartProbeSite() {
        probe_ =
            std::make_unique<LoopbackHttpServer>(kProbePort, [](const std::string&) { return Ok("probe"); });
        ASSERT_TRUE(probe_->Listening());
    }
    void ServeVersionFile(const std::string& response) {
        main_.reset();
        main_ = std::make_unique<LoopbackHttpServer>(kMainPort,
                                                     [response](const std::string&) { return response; });
        ASSERT_TRUE(main_->Listening());
    }
    // Runs the GUI thread until the latest check's thread has ended and what it posted has been handled.
    void WaitForCheck() {
        HANDLE thread = LatestUpdateCheckThread();
        ASSERT_NE(thread, nullptr);
        for (;;) {
            const DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, 30000, QS_ALLINPUT);
            PumpMessages();
            if (woke == WAIT_OBJECT_0) break;
            ASSERT_NE(woke, static_cast<DWORD>(WAIT_TIMEOUT)) << "the update check did not end";
        }
        PumpMessages();
    }
    void ChooseCheckForUpdate() {
        SendMessageA(window_, WM_COMMAND, static_cast<WPARAM>(MenuItem::检查更新), 0);
        WaitForCheck();
    }
    std::string Caption() const { return GetWindowTextString(window_); }
    void ExpectSilent(const std::string& label) {
        EXPECT_STREQ(ProgramTrayIcon()->Record().szInfoTitle, "") << label;
        EXPECT_EQ(Caption(), kOwnCaption) << label;
        EXPECT_TRUE(TakeMessages().empty()) << label;
        EXPECT_EQ(FileBytes(VerIniPath()), kUsersVerIni) << label;
    }
    void ExpectAnnounced(const std::string& version) {
        const NOTIFYICONDATAA& record = ProgramTrayIcon()->Record();
        EXPECT_EQ(std::string(record.szInfoTitle), "vantaro Tools 发现新版本 v" + version + " ！");
        EXPECT_EQ(std::string(record.szInfo), "请前往更新：" + Sites::Main("/kvpe-12/"));
        EXPECT_EQ(record.dwInfoFlags, static_cast<DWORD>(kBalloonNone));
        EXPECT_EQ(Caption(), "vantaro Tools    v1.0.1    发现新版本：v" + version);
        EXPECT_TRUE(TakeMessages().empty());
    }

    std::unique_ptr<LoopbackHttpServer> probe_, main_;
    std::vector<std::pair<std::string, std::optional<StoredValue>>> saved_;
};

struct VersionCase {
    const char* label;
    std::string response;
};

TEST_F(NetcheckUpdate, EveryFileButANewerBuildWithOtherTextIsSilent) {
    // A valid announcing file followed by comment lines past the cap: only the cap keeps it silent.
    const std::string oversized = VersionFile("1.0.2", "3") + std::string(kVersionFileCap, ';');
    const VersionCase cases[] = {
        {"equal version text, higher build", Ok(VersionFile("1.0.1", "9"))},
        {"other text, same build", Ok(VersionFile("1.0.2", "2"))},
        {"other text, lower build", Ok(VersionFile("1.0.2", "1"))},
        {"404 error page", Response("404 Not Found", "<html><body><h1>404 Not Found</h1></body></html>")},
        {"empty body", Ok("")},
        {"missing section", Ok("[other]\r\n最新版本=1.0.2\r\n版本号=3\r\n")},
        {"missing build key", Ok("[vantaro Tools]\r\n最新版本=1.0.2\r\n")},
        {"non-numeric build", Ok(VersionFile("1.0.2", "three"))},
        {"oversized body with its length", Ok(oversized)},
        {"oversized body without a length", Response("200 OK", oversized, false)},
        {"connection closed at once", ""},
    };
    StartProbeSite();
    ASSERT_NE(StartProgram(), nullptr);
    ClearBalloon();
    const std::set<std::string> namesBefore = DirectoryNames(runDirectory_);
    for (const VersionCase& c : cases) {
        ServeVersionFile(c.response);
        ChooseCheckForUpdate();
        ASSERT_EQ(main_->Requests().size(), 1u) << c.label;
        const std::string requestLine = "GET /Ver.ini HTTP/1.0\r\n";
        EXPECT_EQ(main_->Requests()[0].compare(0, requestLine.size(), requestLine), 0)
            << main_->Requests()[0];
        ExpectSilent(c.label);
    }
    EXPECT_EQ(DirectoryNames(runDirectory_), namesBefore);
}

TEST_F(NetcheckUpdate, NewerBuildWithOtherTextIsAnnouncedInTheBalloonAndTheCaption) {
    StartProbeSite();
    ASSERT_NE(StartProgram(), nullptr);
    ClearBalloon();
    const std::set<std::string> namesBefore = DirectoryNames(runDirectory_);
    ServeVersionFile(Ok(VersionFile("1.0.2", "3")));
    ChooseCheckForUpdate();
    ExpectAnnounced("1.0.2");
    // Only the build number decides: an older-looking text with a higher build is announced too, and a second
    // check sets the caption again from the program's own version text.
    ClearBalloon();
    ServeVersionFile(
        Ok("\xEF\xBB\xBF"
           "[vantaro Tools]\n最新版本=0.9\n版本号=12abc\n"));
    ChooseCheckForUpdate();
    ExpectAnnounced("0.9");
    EXPECT_EQ(FileBytes(VerIniPath()), kUsersVerIni);
    EXPECT_EQ(DirectoryNames(runDirectory_), namesBefore);
}

TEST_F(NetcheckUpdate, StartupRunsTheCheckAndLeavesNoVersionFileBehind) {
    DeleteFileA(VerIniPath().c_str());
    StartProbeSite();
    ServeVersionFile(Ok(VersionFile("2.0", "5")));
    StartupOptions options;
    options.runDirectory = runDirectory_;
    options.startedFromShell = true;
    options.checkForUpdates = true;
    CreateProgramState(options);
    window_ = CreateMainWindow(GetModuleHandleA(nullptr));
    ASSERT_NE(window_, nullptr);
    WaitForCheck();
    ExpectAnnounced("2.0");
    EXPECT_EQ(GetFileAttributesA(VerIniPath().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(NetcheckUpdate, NoProbeSiteOrNoMakersSiteIsSilent) {
    ASSERT_NE(StartProgram(), nullptr);
    ClearBalloon();
    // Neither site answers: the probe fails and nothing is downloaded.
    ChooseCheckForUpdate();
    ExpectSilent("no server at all");
    // The probe answers but the maker's site does not.
    StartProbeSite();
    ChooseCheckForUpdate();
    EXPECT_EQ(probe_->Requests().size(), 1u);
    ExpectSilent("no maker's site");
    // The maker's site would announce, but the probe's site is down: no download is tried.
    probe_.reset();
    ServeVersionFile(Ok(VersionFile("1.0.2", "3")));
    ChooseCheckForUpdate();
    EXPECT_TRUE(main_->Requests().empty());
    ExpectSilent("probe's site down");
}

TEST_F(NetcheckUpdate, GuiThreadStaysResponsiveDuringChecks) {
    StartProbeSite();
    // The maker's site takes its time to answer.
    main_ = std::make_unique<LoopbackHttpServer>(kMainPort, [](const std::string&) {
        Sleep(1500);
        return Ok(VersionFile("1.0.2", "3"));
    });
    ASSERT_TRUE(main_->Listening());
    ASSERT_NE(StartProgram(), nullptr);
    GuiStallProbe probe;
    ChooseCheckForUpdate();
    probe.Stop("update check with a 1.5 s answer");
    ExpectAnnounced("1.0.2");
}

}  // namespace
}  // namespace vantaro::test
