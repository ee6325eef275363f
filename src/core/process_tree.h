#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantaro {

// One entry of the system's process list, in the order the system lists them.
struct ProcessEntry {
    uint32_t id = 0;
    uint32_t parentId = 0;
    std::string exeName;  // file name without directory, ANSI code page
};

using ProcessSnapshot = std::function<std::vector<ProcessEntry>()>;

// Lower-cases ASCII letters only, stepping over GBK double-byte characters so that a trail byte in the letter
// range is never changed.
std::string LowerAsciiGbk(std::string_view text);

// exactCase 1 compares exactly; any other value compares after lower-casing both names.
bool ExeNamesEqual(std::string_view a, std::string_view b, int exactCase);

// Parent id of the first process whose file name equals name; 0 when none matches.
uint32_t ParentProcessIdOf(const std::vector<ProcessEntry>& processes, std::string_view name, int exactCase);

// True when a running "explorer.exe" (any letter case) is the parent of the first process named exeName. Takes a
// fresh snapshot for every explorer entry, as the list may change while it is walked.
bool StartedFromShell(const ProcessSnapshot& snapshot, std::string_view exeName, int exactCase);

}  // namespace vantaro
