#include "platform/shell.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "platform/unique_handle.h"

namespace vantaro {

bool OpenWithShell(const std::string& url) {
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

bool StartCommandLine(const std::string& commandLine) {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    KernelHandle processHandle(process.hProcess);
    KernelHandle threadHandle(process.hThread);
    return true;
}

std::string LogonUserName() {
    char name[257] = {};
    DWORD size = sizeof(name);
    if (!GetUserNameA(name, &size)) return {};
    return name;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace vantaro
