#include "engine/console_runner.h"

namespace vantaro {

void StartConsole() {}
void SendConsoleLine(const std::string&) {}
void HandleConsoleOutput(LPARAM) {}
void ReleaseConsoleRunner() {}

}  // namespace vantaro
