#include "core/process_tree.h"

namespace vantaro {

std::string LowerAsciiGbk(std::string_view text) {
    std::string lowered(text);
    for (size_t i = 0; i < lowered.size(); ++i) {
        const auto byte = static_cast<unsigned char>(lowered[i]);
        if (byte >= 0x81 && byte <= 0xFE && i + 1 < lowered.size()) {
            ++i;  // a GBK lead byte: its trail byte is part of the character
        } else if (byte >= 'A' && byte <= 'Z') {
            lowered[i] = static_cast<char>(byte - 'A' + 'a');
        }
    }
    return lowered;
}

bool ExeNamesEqual(std::string_view a, std::string_view b, int exactCase) {
    if (exactCase == 1) return a == b;
    return LowerAsciiGbk(a) == LowerAsciiGbk(b);
}

uint32_t ParentProcessIdOf(const std::vector<ProcessEntry>& processes, std::string_view name, int exactCase) {
    for (const ProcessEntry& entry : processes) {
        if (ExeNamesEqual(entry.exeName, name, exactCase)) return entry.parentId;
    }
    return 0;
}

bool StartedFromShell(const ProcessSnapshot& snapshot, std::string_view exeName, int exactCase) {
    for (const ProcessEntry& entry : snapshot()) {
        if (LowerAsciiGbk(entry.exeName) != "explorer.exe") continue;
        if (ParentProcessIdOf(snapshot(), exeName, exactCase) == entry.id) return true;
    }
    return false;
}

}  // namespace vantaro
