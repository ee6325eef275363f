#include "core/gbk_path.h"

#include "core/text_limits.h"

namespace vantaro {

size_t FindLastBackslashGbk(std::string_view text) {
    size_t last = std::string_view::npos;
    for (size_t i = 0; i < text.size(); i += GbkUnitLength(text, i)) {
        if (text[i] == '\\') last = i;
    }
    return last;
}

std::string EngineDirectoryOf(std::string_view enginePath) {
    const size_t slash = FindLastBackslashGbk(enginePath);
    return slash == std::string_view::npos ? std::string() : std::string(enginePath.substr(0, slash + 1));
}

std::string FileNameAfterLastBackslash(std::string_view text) {
    const size_t slash = FindLastBackslashGbk(text);
    return std::string(slash == std::string_view::npos ? text : text.substr(slash + 1));
}

}  // namespace vantaro
