#include "core/text_limits.h"

namespace vantaro {

std::string CutToBytes(std::string_view text, size_t maxBytes) {
    size_t end = 0;
    while (end < text.size()) {
        const size_t unit = GbkUnitLength(text, end);
        if (end + unit > maxBytes) break;
        end += unit;
    }
    return std::string(text.substr(0, end));
}

}  // namespace vantaro
