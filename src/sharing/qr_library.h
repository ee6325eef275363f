#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/unique_handle.h"

namespace vantaro {

// The QR decoding library PsyQrDcd.dll, loaded by full path at the first call of one of its functions, each
// function looked up by name at its own first call. A library or function that cannot be found is told in an
// error box and ends the program; the calls then return nothing.
class QrLibrary {
  public:
    explicit QrLibrary(std::string path);
    // Tests only: functions come from lookup (nullptr: missing) instead of a loaded library.
    using FunctionLookup = std::function<FARPROC(const char* name)>;
    QrLibrary(std::string path, FunctionLookup lookup);

    std::optional<int> DecodePictureFile(const std::string& imagePath);
    std::optional<int> GetDecodeVersion(int i);
    std::optional<int> GetDecodeLevel(int i);
    std::optional<int> GetConcatenationInfo(int i, int* position, int* parity);
    // The symbol's data, copied at once: UTF-8 bytes up to the first zero.
    std::optional<std::string> GetDecodeDataString(int i);
    std::optional<int> GetSymbolePosition(int i, int points[8]);
    std::optional<int> FreeAllocateMemory();

  private:
    enum Function { kDecode, kVersion, kLevel, kConcatenation, kData, kPosition, kFree, kFunctionCount };
    FARPROC Resolve(Function function);

    std::string path_;
    FunctionLookup lookup_;
    ModuleHandle module_;
    bool failed_ = false;
    FARPROC functions_[kFunctionCount] = {};
};

// "PsyQrDcd.dll" in the program's own directory: never the current directory or the search path, where
// anybody could put a library of that name.
std::string QrLibraryPath();

// The program's one library, at QrLibraryPath().
QrLibrary& ProgramQrLibrary();

// Runs the library on the image file and returns the decoding report (GBK text).
std::string DecodeQrImageFile(const std::string& path);
std::string DecodeQrImageFile(QrLibrary& library, const std::string& path);

// How the program ends after the missing-library box: exit(code) unless a test installs its own. Returns the
// previous one.
using ProgramEnd = std::function<void(int exitCode)>;
ProgramEnd SetProgramEndForTests(ProgramEnd end);

}  // namespace vantaro
