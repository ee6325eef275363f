#include <windows.h>

#include <algorithm>

#include "app/tray.h"
#include "app/tray_icon.h"
#include "app/tray_menu_form.h"
#include "app_fixture.h"
#include "core/well_known_paths.h"
#include "engine/console_runner.h"
#include "engine/engine_control.h"
#include "engine/process_lookup.h"
#include "engine_test_support.h"
#include "platform/shell.h"

namespace vantaro::test {
namespace {

// The program with config.ini pointing at a copy of the built stand-in engine in the run directory.
class EngineStartStop : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        engineDirectory_ = runDirectory_ + "\\engine";
        CreateDirectoryA(engineDirectory_.c_str(), nullptr);
        ASSERT_TRUE(
            CopyFileA(BuiltEngine().c_str(), (engineDirectory_ + "\\vantaro-local.exe").c_str(), FALSE))
            << BuiltEngine();
        port_ = std::to_string(FreeLoopbackPort());
    }
    void TearDown() override {
        StopProgram();  // the exit terminates the first engine
        // Any engine left from this test's run directory; engines of other programs are left alone.
        for (const ProcessEntry& entry : TakeProcessSnapshot()) {
            if (!ExeNamesEqual(entry.exeName, "vantaro-local.exe", 0)) continue;
            KernelHandle engine(OpenProcess(
                PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.id));
            char image[MAX_PATH] = {};
            DWORD size = MAX_PATH;
            if (!engine || !QueryFullProcessImageNameA(engine.Get(), 0, image, &size)) continue;
            if (_strnicmp(image, runDirectory_.c_str(), runDirectory_.size()) != 0) continue;
            TerminateProcess(engine.Get(), 1);
            WaitForSingleObject(engine.Get(), 5000);
        }
        SetEnvironmentVariableA("VANTARO_FLOOD_BYTES", nullptr);
        AppFixture::TearDown();
    }
    void WriteEngineSettings(const std::string& engine, const std::string& localPort,
                             const std::string& mode = "0") {
        WriteConfig("[BasisConfig]\r\nFile=" + engine + "\r\nLocal port=" + localPort +
                    "\r\nProxy Mode=" + mode +
                    "\r\n[NodeList]\r\nNum=2\r\nSelect node=0\r\n[Node]\r\nNode1=127.0.0.1 8388 secret\r\n"
                    "Node2=192.0.2.9 9000 \xC3\xDC\xC2\xEB\r\n");
    }
    HWND StartWithEngine(const std::string& localPort) {
        WriteEngineSettings(engineDirectory_ + "\\vantaro-local.exe", localPort);
        return StartProgram();
    }
    std::string LogText() const { return Text(Ctl::编辑框_日志); }
    bool LogShows(const std::string& text) const { return LogText().find(text) != std::string::npos; }
    std::string BalloonTitle() const { return ProgramTrayIcon()->Record().szInfoTitle; }
    std::string BalloonText() const { return ProgramTrayIcon()->Record().szInfo; }
    DWORD BalloonKind() const { return ProgramTrayIcon()->Record().dwInfoFlags; }
    std::string Tip() const { return ProgramTrayIcon()->Record().szTip; }

    // formCaption: nothing has switched the state yet, so the status item still has the form's caption.
    void ExpectState(bool running, bool formCaption = false) const {
        EXPECT_EQ(Enabled(Ctl::按钮_启动), !running);
        EXPECT_EQ(Enabled(Ctl::编辑框_本地端口), !running);
        EXPECT_EQ(IsMenuItemEnabled(MenuItem::启动代理), !running);
        EXPECT_EQ(IsMenuItemChecked(MenuItem::状态), running);
        EXPECT_EQ(Enabled(Ctl::按钮_停止), running);
        EXPECT_EQ(IsMenuItemEnabled(MenuItem::停止代理), running);
        EXPECT_FALSE(IsMenuItemEnabled(MenuItem::状态));
        EXPECT_EQ(StatusText(1), running ? "   状态：正在运行" : "   状态：未运行");
        EXPECT_EQ(MenuItemCaption(MenuItem::状态), formCaption ? "状态: 未运行"
                                                   : running   ? "状态：正在运行"
                                                               : "状态：未运行");
        if (formCaption) return;  // the tip too is still the one of the startup
        EXPECT_EQ(Tip(), std::string("vantaro Tools\r\n状态：[") + (running ? "正在运行" : "未运行") +
                             "]\r\nSOCKS5 127.0.0.1:" + Text(Ctl::编辑框_本地端口));
    }
    // Interpreters this test process started (the program runs in it).
    std::vector<ProcessEntry> Interpreters() const { return ChildrenNamed(GetCurrentProcessId(), "cmd.exe"); }

    std::string engineDirectory_;
    std::string port_;
};

TEST_F(EngineStartStop, StartRunsTheEngineShowsItsLogAndSwitchesEveryControl) {
    ASSERT_NE(StartWithEngine(port_), nullptr);
    ExpectState(false, true);
    ClickRow(1);
    ClickRow(0);
    Click(Ctl::按钮_启动);
    EXPECT_TRUE(TakeMessages().empty());
    ExpectState(true);
    EXPECT_EQ(BalloonTitle(), "vantaro 启动成功！");
    EXPECT_EQ(BalloonText(), "SOCKS5 代理：127.0.0.1:" + port_);
    EXPECT_EQ(BalloonKind(), static_cast<DWORD>(kBalloonNone));
    EXPECT_EQ(Program().runningServerIp, "127.0.0.1");
    EXPECT_EQ(Value("NodeList", "Select node"), "0");
    EXPECT_EQ(ReadWholeFile(EngineConfigPath(LogonUserName())),
              "{\n\t\"listen\": \":" + port_ +
                  "\",\n\t\"remote\": \"127.0.0.1:8388\",\n\t\"password\": \"secret\"\n}");
    EXPECT_TRUE(LoopbackPortAccepts(std::stoi(port_)));
    // The engine's UTF-8 lines arrive converted to GBK; it ends them with CR LF, which the log shows as CR CR
    // LF.
    EXPECT_TRUE(WaitUntil([&] {
        return LogShows("本地监听：127.0.0.1:" + port_ + " (SOCKS5 + HTTP)\r\r\n");
    })) << LogText();
    EXPECT_TRUE(LogShows("vantaro-local 演示引擎 1.0 启动\r\r\n"));
    EXPECT_TRUE(LogShows("密码：******（仅显示，不使用）"));
    // Hosted by the interpreter this program started, by its system path, in the engine directory.
    const DWORD engine = FindProcessIdByName("vantaro-local.exe");
    ASSERT_NE(engine, 0u);
    const std::vector<ProcessEntry> interpreters = Interpreters();
    ASSERT_EQ(interpreters.size(), 1u);
    EXPECT_EQ(FindParentProcessId(std::to_string(engine)), static_cast<long long>(interpreters[0].id));
    EXPECT_TRUE(IsInterpreterStartedHere(interpreters[0].id));
}

TEST_F(EngineStartStop, StopEndsEngineAndInterpreterAndResetsTheState) {
    ASSERT_NE(StartWithEngine(port_), nullptr);
    ClickRow(1);  // the second node: its IP is what the running state remembers
    Click(Ctl::按钮_启动);
    ExpectState(true);
    EXPECT_EQ(Program().runningServerIp, "192.0.2.9");
    EXPECT_EQ(Value("NodeList", "Select node"), "1");
    const DWORD engine = FindProcessIdByName("vantaro-local.exe");
    ASSERT_NE(engine, 0u);
    const long long interpreter = FindParentProcessId(std::to_string(engine));
    KernelHandle engineProcess = OpenToWait(engine);
    KernelHandle interpreterProcess = OpenToWait(static_cast<DWORD>(interpreter));
    ASSERT_TRUE(engineProcess && interpreterProcess);
    Click(Ctl::按钮_停止);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(WaitForSingleObject(engineProcess.Get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(interpreterProcess.Get(), 5000), WAIT_OBJECT_0);
    ExpectState(false);
    EXPECT_EQ(Program().runningServerIp, "");
    EXPECT_EQ(BalloonTitle(), "vantaro 停止成功！");
    EXPECT_EQ(BalloonText(), "SOCKS5 代理：127.0.0.1:" + port_);
    EXPECT_EQ(BalloonKind(), static_cast<DWORD>(kBalloonNone));
    EXPECT_TRUE(WaitUntil([&] { return !LoopbackPortAccepts(std::stoi(port_)); }));
    EXPECT_TRUE(Interpreters().empty());
    // The log keeps its text until the next start clears it.
    EXPECT_TRUE(LogShows("本地监听："));
}

TEST_F(EngineStartStop, StopWithoutAnEngineSaysSoAndStillResets) {
    ASSERT_NE(StartWithEngine(port_), nullptr);
    Program().runningServerIp = "stale";
    SendMessageA(window_, WM_COMMAND, static_cast<WPARAM>(MenuItem::停止代理), 0);  // the tray item
    PumpMessages();
    const std::vector<MessageRecord> messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "vantaro 进程似乎不存在！");
    EXPECT_EQ(messages[0].title, "信息：");
    EXPECT_EQ(messages[0].owner, window_);
    ExpectState(false);
    EXPECT_EQ(Program().runningServerIp, "");
    EXPECT_EQ(BalloonTitle(), "vantaro 停止成功！");
}

TEST_F(EngineStartStop, AnEngineThatDiesAtOnceFailsTheStartAndLeavesItsMessageInTheLog) {
    ASSERT_NE(StartWithEngine("99999"), nullptr);  // the stand-in refuses the port and exits
    Click(Ctl::按钮_启动);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(BalloonTitle(), "vantaro 启动失败！");
    EXPECT_EQ(BalloonText(), "请检查配置、日志。");
    EXPECT_EQ(BalloonKind(), static_cast<DWORD>(kBalloonError));
    ExpectState(false, true);  // nothing else changes
    EXPECT_EQ(Program().runningServerIp, "");
    EXPECT_EQ(Value("NodeList", "Select node"), "0");  // as config.ini had it: not saved by a failed start
    EXPECT_TRUE(WaitUntil([&] { return LogShows("有误"); })) << LogText();
    EXPECT_TRUE(LogShows("vantaro-local："));
}

TEST_F(EngineStartStop, EmptyBoxesAreRefusedInOrderAndNothingStarts) {
    ASSERT_NE(StartWithEngine(port_), nullptr);
    const std::string configPath = EngineConfigPath(LogonUserName());
    struct Case {
        Ctl box;
        std::string message;
    };
    const Case cases[] = {
        {Ctl::编辑框_文件位置, "文件位置 不能为空！"},     {Ctl::编辑框_本地端口, "本地端口 不能为空！"},
        {Ctl::编辑框_服务器IP, "服务器IP 不能为空！"},     {Ctl::编辑框_服务器端口, "服务器端口 不能为空！"},
        {Ctl::编辑框_服务器密码, "服务器密码 不能为空！"},
    };
    for (const Case& c : cases) {
        const std::string kept = Text(c.box);
        // Every box after this one is emptied too: the first empty one in the order is the one reported.
        std::vector<std::pair<Ctl, std::string>> later;
        bool after = false;
        for (const Case& other : cases) {
            if (after) later.emplace_back(other.box, Text(other.box));
            if (other.box == c.box) after = true;
        }
        SetText(c.box, "");
        for (auto& [box, text] : later) SetText(box, "");
        DeleteFileA(configPath.c_str());
        Click(Ctl::按钮_启动);
        const std::vector<MessageRecord> messages = TakeMessages();
        ASSERT_EQ(messages.size(), 1u) << c.message;
        EXPECT_EQ(messages[0].text, c.message);
        EXPECT_EQ(messages[0].title, "错误");
        EXPECT_EQ(messages[0].owner, window_);
        EXPECT_EQ(GetFileAttributesA(configPath.c_str()), INVALID_FILE_ATTRIBUTES) << c.message;
        EXPECT_TRUE(Interpreters().empty());
        ExpectState(false, true);
        SetText(c.box, kept);
        for (auto& [box, text] : later) SetText(box, text);
    }
    SetText(Ctl::编辑框_服务器密码, " ");  // a blank is not empty: compared exactly, never trimmed
    Click(Ctl::按钮_启动);
    EXPECT_TRUE(TakeMessages().empty());
    ExpectState(true);
}

TEST_F(EngineStartStop, AnEngineDirectoryWithoutBackslashIsReportedAndTheStartFails) {
    WriteEngineSettings("vantaro-local.exe", port_);
    ASSERT_NE(StartProgram(), nullptr);
    Click(Ctl::按钮_启动);
    const std::vector<MessageRecord> messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "初始化目录不能为空！");
    EXPECT_EQ(messages[0].title, "错误");
    EXPECT_EQ(messages[0].owner, nullptr);
    EXPECT_TRUE(Interpreters().empty());
    EXPECT_EQ(BalloonTitle(), "vantaro 启动失败！");
    ExpectState(false, true);
}

TEST_F(EngineStartStop, ASecondStartDuringTheWaitIsIgnored) {
    ASSERT_NE(StartWithEngine(port_), nullptr);
    // Queued before the click: it arrives while the start waits for the engine and lets messages run.
    PostMessageA(window_, WM_COMMAND, static_cast<WPARAM>(MenuItem::启动代理), 0);
    PostMessageA(window_, WM_COMMAND, MAKEWPARAM(static_cast<int>(Ctl::按钮_启动), BN_CLICKED),
                 reinterpret_cast<LPARAM>(Control(Ctl::按钮_启动)));
    Click(Ctl::按钮_启动);
    ExpectState(true);
    EXPECT_EQ(Interpreters().size(), 1u);
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(EngineStartStop, EveryStartClearsTheLogAndAnOutsideEngineKeepsItsParent) {
    ASSERT_NE(StartWithEngine(port_), nullptr);
    Click(Ctl::按钮_启动);
    ASSERT_TRUE(WaitUntil([&] { return LogShows("本地监听："); }));
    Click(Ctl::按钮_停止);
    SetText(Ctl::编辑框_本地端口, "99999");
    Click(Ctl::按钮_启动);
    EXPECT_EQ(BalloonTitle(), "vantaro 启动失败！");
    ASSERT_TRUE(WaitUntil([&] { return LogShows("有误"); }));
    EXPECT_FALSE(LogShows("本地监听：")) << "the second start's reader clears the box first";

    // An engine this program did not start: stop ends it but not the process that started it (which here goes
    // on pinging after its engine).
    Child outside = StartChild(
        "cmd.exe /c \"\"" + engineDirectory_ + "\\vantaro-local.exe\" & ping -n 30 127.0.0.1 >nul\"",
        engineDirectory_.c_str());
    ScopeGuard endOutside([&] {
        for (const ProcessEntry& ping : ChildrenNamed(outside.id, "ping.exe")) {
            KernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, ping.id));
            if (process) TerminateProcess(process.Get(), 1);
        }
        TerminateProcess(outside.process.Get(), 1);
    });
    SetText(Ctl::编辑框_本地端口, port_);
    ASSERT_TRUE(outside.process);
    ASSERT_TRUE(WaitUntil([&] { return FindProcessIdByName("vantaro-local.exe") != 0; }));
    const DWORD engine = FindProcessIdByName("vantaro-local.exe");
    EXPECT_EQ(FindParentProcessId(std::to_string(engine)), static_cast<long long>(outside.id));
    KernelHandle engineProcess = OpenToWait(engine);
    Click(Ctl::按钮_停止);
    EXPECT_EQ(WaitForSingleObject(engineProcess.Get(), 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(WaitUntil([&] { return !ChildrenNamed(outside.id, "ping.exe").empty(); }));
    EXPECT_EQ(WaitForSingleObject(outside.process.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(EngineStartStop, ExitEndsTheEngineAndTheJobEndsWhatIsLeft) {
    ASSERT_NE(StartWithEngine(port_), nullptr);
    Click(Ctl::按钮_启动);
    const DWORD engine = FindProcessIdByName("vantaro-local.exe");
    ASSERT_NE(engine, 0u);
    KernelHandle engineProcess = OpenToWait(engine);
    KernelHandle interpreter = OpenToWait(static_cast<DWORD>(FindParentProcessId(std::to_string(engine))));
    StopProgram();  // the tray item 退出: destroy, then the exit clean-up
    EXPECT_EQ(WaitForSingleObject(engineProcess.Get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(interpreter.Get(), 5000), WAIT_OBJECT_0);

    // A failed start leaves its interpreter running; releasing the runner (the program's end) takes it along.
    ASSERT_NE(StartWithEngine("99999"), nullptr);
    Click(Ctl::按钮_启动);
    const std::vector<ProcessEntry> left = Interpreters();
    ASSERT_EQ(left.size(), 1u);
    KernelHandle leftInterpreter = OpenToWait(left[0].id);
    ReleaseConsoleRunner();
    EXPECT_EQ(WaitForSingleObject(leftInterpreter.Get(), 5000), WAIT_OBJECT_0);
}

TEST_F(EngineStartStop, AFloodOfOutputStaysBoundedWholeAndInOrder) {
    const std::string flood = engineDirectory_ + "\\flood";
    CreateDirectoryA(flood.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(BuiltFloodEngine().c_str(), (flood + "\\vantaro-local.exe").c_str(), FALSE))
        << BuiltFloodEngine();
    SetEnvironmentVariableA("VANTARO_FLOOD_BYTES", "3000000");
    WriteEngineSettings(flood + "\\vantaro-local.exe", port_);
    ASSERT_NE(StartProgram(), nullptr);
    Click(Ctl::按钮_启动);
    ExpectState(true);
    ASSERT_TRUE(WaitUntil([&] { return LogShows("flood done"); }, 120000));
    const std::string log = LogText();
    EXPECT_LE(log.size(), 1024u * 1024u);
    EXPECT_GE(log.size(), 512u * 1024u);
    // Characters split between reads come out whole: no replacement character anywhere.
    EXPECT_EQ(log.find('?'), std::string::npos);
    EXPECT_EQ(log.compare(log.size() - 2, 2, "\r\n"), 0);
    EXPECT_EQ(log.compare(0, 8, "日志洪水"), 0) << "the box starts with a whole line";
    // Lines are consecutive from the first one kept to the last.
    size_t at = 0;
    long long previous = -1;
    int checked = 0;
    while ((at = log.find("第 ", at)) != std::string::npos) {
        const long long number = std::atoll(log.c_str() + at + 3);
        if (previous >= 0) {
            ASSERT_EQ(number, previous + 1) << "at byte " << at;
        }
        previous = number;
        at += 3;
        ++checked;
    }
    EXPECT_GT(checked, 10000);
}

}  // namespace
}  // namespace vantaro::test
