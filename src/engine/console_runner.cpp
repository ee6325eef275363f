#include "engine/console_runner.h"

#include <memory>
#include <vector>

#include "app/app_messages.h"
#include "app/main_window.h"
#include "app/program_state.h"
#include "core/bounded_log.h"
#include "core/log_batch.h"
#include "core/text_limits.h"
#include "core/utf8_stream.h"
#include "platform/text_conversion.h"
#include "platform/job.h"
#include "platform/message_box.h"
#include "platform/message_wait.h"
#include "platform/pipes.h"
#include "platform/unique_handle.h"

namespace vantaro {
namespace {

constexpr DWORD kReadBufferSize = 260;
// The log box holds about a megabyte; past it the oldest lines go, down to three quarters of it.
constexpr size_t kLogCap = 1024 * 1024;
constexpr size_t kLogKeepAfterDrop = kLogCap / 4 * 3;
// The most the GUI thread puts into the box per message: a box that lays out wrapped lines is slow with large
// insertions, so a flood is shown in slices and the window answers between them.
constexpr size_t kSliceBytes = 8 * 1024;
// How long a typed line may wait for the interpreter to take the one before it.
constexpr DWORD kLineTakenWait = 2000;

struct Interpreter {
    KernelHandle process;
    DWORD id = 0;
};

// One per program: the input pipe of the latest start, the interpreters started so far that still run, the
// job that ends them with the program, and the log box's text.
struct ConsoleRunner {
    KernelHandle inputWrite;  // where SendConsoleLine types
    KernelHandle inputRead;   // the interpreter's end, kept only to see whether it has taken a line
    std::vector<Interpreter> interpreters;
    KernelHandle job;
    bool jobCreated = false;
    std::shared_ptr<LogBatchChannel> channel = std::make_shared<LogBatchChannel>(kLogCap);
    BoundedLog log{kLogCap, kLogKeepAfterDrop};
    std::string backlog;  // handed over, not yet in the box (GUI thread only)
    bool continuationPosted = false;
};

std::unique_ptr<ConsoleRunner> runner;

ConsoleRunner& Runner() {
    if (!runner) runner = std::make_unique<ConsoleRunner>();
    return *runner;
}

bool StillRuns(const Interpreter& interpreter) {
    return WaitForSingleObject(interpreter.process.Get(), 0) == WAIT_TIMEOUT;
}

// The handles of the previous start go; interpreters that still run are kept, so they can still be
// recognised.
void ReleasePreviousStart(ConsoleRunner& state) {
    state.inputWrite.Reset();
    state.inputRead.Reset();
    std::vector<Interpreter> running;
    for (Interpreter& interpreter : state.interpreters) {
        if (StillRuns(interpreter)) running.push_back(std::move(interpreter));
    }
    state.interpreters = std::move(running);
}

std::string InterpreterPath() {
    char directory[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return std::string(directory, length) + "\\cmd.exe";
}


struct ReaderContext {
    KernelHandle outputRead;
    HWND window = nullptr;
    std::shared_ptr<LogBatchChannel> channel;
};

void HandOver(ReaderContext& context, bool clearFirst, const std::string& text) {
    LogBatch* batch = context.channel->Offer(clearFirst, text);
    if (batch == nullptr) return;  // joined the batch already on its way
    if (!PostMessageA(context.window, kConsoleOutput, 0, reinterpret_cast<LPARAM>(batch))) {
        context.channel->Withdraw(batch);
    }
}

// One per start: clears the log box, then hands every read over, converted, until the pipe ends (when the
// interpreter and everything it started are gone). Touches no window itself.
DWORD WINAPI ConsoleReader(void* parameter) {
    std::unique_ptr<ReaderContext> context(static_cast<ReaderContext*>(parameter));
    HandOver(*context, true, {});
    Utf8Carry carry;
    char buffer[kReadBufferSize];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(context->outputRead.Get(), buffer, kReadBufferSize, &got, nullptr) || got == 0) break;
        const std::string whole = carry.Take(CutAtFirstZero(std::string_view(buffer, got)));
        if (whole.empty()) continue;
        HandOver(*context, false, CutAtFirstZero(Utf8ToGbk(LfToCrLf(whole))));
    }
    return 0;
}

void StartReader(KernelHandle outputRead, const std::shared_ptr<LogBatchChannel>& channel) {
    auto context = std::make_unique<ReaderContext>();
    context->outputRead = std::move(outputRead);
    context->window = Program().mainWindow;
    context->channel = channel;
    HANDLE thread = CreateThread(nullptr, 0, ConsoleReader, context.get(), 0, nullptr);
    if (thread == nullptr) return;
    context.release();
    CloseHandle(thread);  // the reader runs detached
}

STARTUPINFOA InterpreterStartup(HANDLE input, HANDLE output) {
    STARTUPINFOA startup{};
    GetStartupInfoA(&startup);
    startup.cb = sizeof(startup);
    startup.cbReserved2 = 0;  // our own C runtime's hand-over data is not the interpreter's
    startup.lpReserved2 = nullptr;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = output;
    return startup;
}

void ShowAtEndOfLogBox(HWND box) {
    const int end = GetWindowTextLengthA(box);  // at least the length in characters; the box stops at its end
    SendMessageA(box, EM_SETSEL, end, end);
    SendMessageA(box, EM_SCROLLCARET, 0, 0);
}

// The box's own length, in the units its positions use.
LRESULT LogBoxLength(HWND box) {
    const LRESULT lastLineStart =
        SendMessageA(box, EM_LINEINDEX, SendMessageA(box, EM_GETLINECOUNT, 0, 0) - 1, 0);
    return lastLineStart + SendMessageA(box, EM_LINELENGTH, lastLineStart, 0);
}

// Removes the first `bytes` bytes of `held` (what the box holds) from the box. A box counts its positions in
// characters, or in bytes where it keeps its text in the code page; its length tells which.
void DropFromLogBox(HWND box, const std::string& held, size_t bytes) {
    const int characters =
        MultiByteToWideChar(936, 0, held.data(), static_cast<int>(held.size()), nullptr, 0);
    WPARAM end = static_cast<WPARAM>(bytes);
    if (LogBoxLength(box) == characters && static_cast<size_t>(characters) != held.size()) {
        end = static_cast<WPARAM>(
            MultiByteToWideChar(936, 0, held.data(), static_cast<int>(bytes), nullptr, 0));
    }
    SendMessageA(box, EM_SETSEL, 0, static_cast<LPARAM>(end));
    SendMessageA(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
}

// One slice of the backlog into the box: the oldest lines dropped when the cap is reached, the slice at the
// end.
void AppendSlice(ConsoleRunner& state, HWND box) {
    const std::string slice = CutToBytes(state.backlog, kSliceBytes);
    state.backlog.erase(0, slice.size());
    const std::string held = state.log.Text();
    const size_t dropped = state.log.Append(slice);
    if (dropped >= held.size() && dropped > 0) {
        SetWindowTextA(box, state.log.Text().c_str());
        ShowAtEndOfLogBox(box);
        return;
    }
    if (dropped > 0) DropFromLogBox(box, held, dropped);
    ShowAtEndOfLogBox(box);
    SendMessageA(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(slice.c_str()));
}

}  // namespace

void StartConsole() {
    ProgramState& program = Program();
    if (program.engineDirectory.empty()) {
        ShowMessage(nullptr, "初始化目录不能为空！", "错误");
        return;
    }
    ConsoleRunner& state = Runner();
    ReleasePreviousStart(state);
    if (!state.jobCreated) {
        state.job = CreateKillOnCloseJob();
        state.jobCreated = true;
    }
    std::optional<PipeEnds> input = CreateInheritablePipe();
    std::optional<PipeEnds> output = CreateInheritablePipe();
    if (!input || !output) return;
    // Only the interpreter's ends are inherited: the program's own ends must not keep a later child's pipes
    // open.
    SetHandleInheritable(input->write.Get(), false);
    SetHandleInheritable(output->read.Get(), false);

    const std::string interpreterPath = InterpreterPath();
    if (interpreterPath.empty()) return;
    STARTUPINFOA startup = InterpreterStartup(input->read.Get(), output->write.Get());
    char commandLine[] = "cmd.exe";
    PROCESS_INFORMATION process{};
    // Suspended until it is in the job, so nothing it starts can escape the job.
    const BOOL created =
        CreateProcessA(interpreterPath.c_str(), commandLine, nullptr, nullptr, TRUE, CREATE_SUSPENDED,
                       nullptr, program.engineDirectory.c_str(), &startup, &process);
    // The program's copy of the interpreter's output end goes at once, so the reader sees the pipe end when
    // the interpreter and the engine are gone. The input end is kept, not inherited further, to watch typed
    // lines.
    output->write.Reset();
    SetHandleInheritable(input->read.Get(), false);
    if (!created) return;
    KernelHandle thread(process.hThread);
    Interpreter interpreter{KernelHandle(process.hProcess), process.dwProcessId};
    if (state.job) AssignProcessToJob(state.job.Get(), interpreter.process.Get());
    ResumeThread(thread.Get());
    state.interpreters.push_back(std::move(interpreter));
    state.inputWrite = std::move(input->write);
    state.inputRead = std::move(input->read);
    StartReader(std::move(output->read), state.channel);
}

void SendConsoleLine(const std::string& text) {
    if (!runner || !runner->inputWrite) return;
    // An interpreter reading a pipe may run only the first line of what one read delivers: let it take the
    // previous line before typing the next. Bounded, and the window keeps working meanwhile.
    HANDLE watched = runner->inputRead.Get();
    if (BytesWaitingInPipe(watched) != 0) {
        const bool goOn = WaitProcessingMessages(
            kLineTakenWait, [watched] { return BytesWaitingInPipe(watched) == 0; },
            PreTranslateMainWindowMessage);
        if (!goOn || !runner || !runner->inputWrite) return;
    }
    const std::string line = text + "\r\n";
    DWORD written = 0;
    WriteFile(runner->inputWrite.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

// A message with a batch adds it to the backlog; a message without one is the continuation of a long backlog.
void HandleConsoleOutput(LPARAM output) {
    if (!runner) return;
    ConsoleRunner& state = *runner;
    HWND box = Control(Ctl::编辑框_日志);
    if (output == 0) {
        state.continuationPosted = false;
    } else {
        std::unique_ptr<LogBatch> batch = state.channel->Claim(reinterpret_cast<LogBatch*>(output));
        if (!batch) return;
        if (batch->clearFirst) {
            state.backlog.clear();
            state.log.Clear();
            SetWindowTextA(box, "");
        }
        state.backlog += batch->text;
        // Output older than the newest cap's worth could never stay in the box; what the box holds is older
        // still, so it goes too and the box stays one unbroken tail of the output.
        if (state.backlog.size() > kLogCap) {
            state.backlog = KeepNewestLines(state.backlog, kLogCap);
            state.log.Clear();
            SetWindowTextA(box, "");
        }
    }
    if (state.backlog.empty()) return;
    AppendSlice(state, box);
    if (!state.backlog.empty() && !state.continuationPosted) {
        state.continuationPosted = PostMessageA(Program().mainWindow, kConsoleOutput, 0, 0) != FALSE;
    }
}

void ReleaseConsoleRunner() {
    // Closing the job ends the interpreters still in it and whatever they started.
    runner.reset();
}

bool IsInterpreterStartedHere(DWORD processId) {
    if (!runner || processId == 0) return false;
    for (const Interpreter& interpreter : runner->interpreters) {
        if (interpreter.id == processId && StillRuns(interpreter)) return true;
    }
    return false;
}

}  // namespace vantaro
