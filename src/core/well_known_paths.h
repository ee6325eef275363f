#pragma once
#include <string>
#include <string_view>

namespace vantaro {

// Where the engine's configuration file lives: the fixed folder C:\Users, not the user's profile directory.
inline std::string EngineConfigPath(std::string_view logonName) {
    return "C:\\Users\\" + std::string(logonName) + "\\.vantaro.json";
}

// The command line that opens Explorer with the file selected.
inline std::string ExplorerSelectCommand(std::string_view path) { return "explorer.exe /e,/select," + std::string(path); }

}  // namespace vantaro
