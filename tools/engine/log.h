#pragma once
#include <string>
#include <string_view>

namespace vantaro::engine {

// One UTF-8 line on standard output, flushed at once: the program reads it through a pipe.
void LogLine(std::string_view utf8);
// One UTF-8 line on standard error.
void ErrorLine(std::string_view utf8);

// Bytes in the ANSI code page (GBK) as UTF-8 for the log, control characters replaced by '?'.
std::string AnsiToUtf8(std::string_view bytes);

}  // namespace vantaro::engine
