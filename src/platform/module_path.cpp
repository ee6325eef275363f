#include "platform/module_path.h"

#include <windows.h>

#include <vector>

#include "core/gbk_path.h"

namespace vantaro {

std::string OwnExecutablePath() {
    std::vector<char> buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::string OwnExecutableDirectory() {
    std::string directory = EngineDirectoryOf(OwnExecutablePath());
    if (!directory.empty()) directory.pop_back();
    return directory;
}

std::string OwnExecutableFileName() { return FileNameAfterLastBackslash(OwnExecutablePath()); }

}  // namespace vantaro
