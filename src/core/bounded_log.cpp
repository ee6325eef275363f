#include "core/bounded_log.h"

#include "core/text_limits.h"

namespace vantaro {

std::string KeepNewestLines(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes) return std::string(text);
    const size_t excess = text.size() - maxBytes;
    // A line break (0x0A) is never the trail byte of a GBK character, so the byte after it starts a character.
    const size_t lineEnd = text.find('\n', excess - 1);
    if (lineEnd != std::string_view::npos && lineEnd + 1 < text.size()) return std::string(text.substr(lineEnd + 1));
    // No line starts in the part that fits: cut at the first character boundary at or after the excess.
    size_t at = 0;
    while (at < excess) at += GbkUnitLength(text, at);
    return std::string(text.substr(at));
}

BoundedLog::BoundedLog(size_t cap, size_t keepAfterDrop)
    : cap_(cap), keepAfterDrop_(keepAfterDrop < cap ? keepAfterDrop : cap) {}

bool BoundedLog::Append(std::string_view text) {
    if (text_.size() + text.size() <= cap_) {
        text_.append(text);
        return false;
    }
    std::string all;
    all.reserve(text_.size() + text.size());
    all.append(text_).append(text);
    text_ = KeepNewestLines(all, keepAfterDrop_);
    return true;
}

}  // namespace vantaro
