#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace vantaro {

// Position of the last path backslash, npos when none. The text is scanned as GBK units, so the trail byte 0x5C of
// a double-byte character (e.g. 9C 5C) is never taken for a backslash.
size_t FindLastBackslashGbk(std::string_view text);

// The directory of the engine: everything up to and including the last backslash, "" when there is none.
std::string EngineDirectoryOf(std::string_view enginePath);

// Everything after the last backslash, or the whole text when there is none.
std::string FileNameAfterLastBackslash(std::string_view text);

}  // namespace vantaro
