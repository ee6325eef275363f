#include "sharing/qr_library.h"

#include <cstdlib>
#include <utility>
#include <vector>

#include "app/program_state.h"
#include "core/qr_report.h"
#include "platform/text_conversion.h"
#include "platform/message_box.h"
#include "platform/module_path.h"

namespace vantaro {
namespace {

constexpr char kLibraryName[] = "PsyQrDcd.dll";
constexpr int kMissingLibraryExitCode = 1;

using DecodeFunction = int(__stdcall*)(const char*);
using IndexFunction = int(__stdcall*)(int);
using ConcatenationFunction = int(__stdcall*)(int, int*, int*);
using DataFunction = const char*(__stdcall*)(int);
using PositionFunction = int(__stdcall*)(int, int*);
using FreeFunction = int(__stdcall*)();

const char* const kFunctionNames[] = {"DecodePictureFile",    "GetDecodeVersion",    "GetDecodeLevel",
                                      "GetConcatenationInfo", "GetDecodeDataString", "GetSymbolePosition",
                                      "FreeAllocateMemory"};

ProgramEnd& ProgramEndHook() {
    static ProgramEnd end;
    return end;
}

void EndProgram(const std::string& text) {
    ShowMessage(Program().mainWindow, text, "错误");
    if (ProgramEndHook()) return ProgramEndHook()(kMissingLibraryExitCode);
    std::exit(kMissingLibraryExitCode);  // the exit clean-up still removes the tray icon
}

template <typename T>
T As(FARPROC function) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(function));
}

}  // namespace

QrLibrary::QrLibrary(std::string path) : path_(std::move(path)) {}
QrLibrary::QrLibrary(std::string path, FunctionLookup lookup)
    : path_(std::move(path)), lookup_(std::move(lookup)) {}

FARPROC QrLibrary::Resolve(Function function) {
    if (failed_) return nullptr;
    if (functions_[function] != nullptr) return functions_[function];
    if (!module_ && !lookup_) {
        // The library's own dependencies are looked for beside it too, not in the current directory.
        module_.Reset(LoadLibraryExA(path_.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
        if (!module_ && !lookup_) {
            failed_ = true;
            EndProgram("找不到二维码解码库“" + std::string(kLibraryName) + "”：" + path_ +
                       "\r\n二维码扫描无法进行，程序将退出。");
            return nullptr;
        }
    }
    const char* name = kFunctionNames[function];
    functions_[function] = lookup_ ? lookup_(name) : GetProcAddress(module_.Get(), name);
    if (functions_[function] == nullptr) {
        failed_ = true;
        EndProgram("二维码解码库“" + std::string(kLibraryName) + "”中找不到函数“" + name + "”：" + path_ +
                   "\r\n二维码扫描无法进行，程序将退出。");
    }
    return functions_[function];
}

std::optional<int> QrLibrary::DecodePictureFile(const std::string& imagePath) {
    FARPROC function = Resolve(kDecode);
    if (!function) return std::nullopt;
    return As<DecodeFunction>(function)(imagePath.c_str());
}

std::optional<int> QrLibrary::GetDecodeVersion(int i) {
    FARPROC function = Resolve(kVersion);
    if (!function) return std::nullopt;
    return As<IndexFunction>(function)(i);
}

std::optional<int> QrLibrary::GetDecodeLevel(int i) {
    FARPROC function = Resolve(kLevel);
    if (!function) return std::nullopt;
    return As<IndexFunction>(function)(i);
}

std::optional<int> QrLibrary::GetConcatenationInfo(int i, int* position, int* parity) {
    FARPROC function = Resolve(kConcatenation);
    if (!function) return std::nullopt;
    return As<ConcatenationFunction>(function)(i, position, parity);
}

std::optional<std::string> QrLibrary::GetDecodeDataString(int i) {
    FARPROC function = Resolve(kData);
    if (!function) return std::nullopt;
    const char* data = As<DataFunction>(function)(i);
    return std::string(data != nullptr ? data : "");
}

std::optional<int> QrLibrary::GetSymbolePosition(int i, int points[8]) {
    FARPROC function = Resolve(kPosition);
    if (!function) return std::nullopt;
    return As<PositionFunction>(function)(i, points);
}

std::optional<int> QrLibrary::FreeAllocateMemory() {
    FARPROC function = Resolve(kFree);
    if (!function) return std::nullopt;
    return As<FreeFunction>(function)();
}

std::string QrLibraryPath() { return OwnExecutableDirectory() + "\\" + kLibraryName; }

QrLibrary& ProgramQrLibrary() {
    static QrLibrary library(QrLibraryPath());
    return library;
}


std::string DecodeQrImageFile(const std::string& path) { return DecodeQrImageFile(ProgramQrLibrary(), path); }

std::string DecodeQrImageFile(QrLibrary& library, const std::string& path) {
    const std::optional<int> count = library.DecodePictureFile(path);
    if (!count) return {};
    if (*count < 1) return QrFailureReport(*count);
    std::vector<QrSymbolReport> symbols;
    for (int i = 0; i < *count; ++i) {
        QrSymbolReport symbol{};
        const std::optional<int> version = library.GetDecodeVersion(i);
        const std::optional<int> level = library.GetDecodeLevel(i);
        const std::optional<int> total = library.GetConcatenationInfo(i, &symbol.position, &symbol.parity);
        const std::optional<std::string> data = library.GetDecodeDataString(i);
        const std::optional<int> placed = library.GetSymbolePosition(i, symbol.points);
        if (!version || !level || !total || !data || !placed) return {};
        symbol.version = *version;
        symbol.level = *level;
        symbol.total = *total;
        symbol.dataGbk = Utf8ToGbk(*data, "?");
        symbols.push_back(std::move(symbol));
    }
    const std::string report = QrSymbolsReport(symbols);
    library.FreeAllocateMemory();
    return report;
}

ProgramEnd SetProgramEndForTests(ProgramEnd end) { return std::exchange(ProgramEndHook(), std::move(end)); }

}  // namespace vantaro
