#include "core/bounded_log.h"

#include "core/text_limits.h"

namespace vantaro {

std::string KeepNewestLines(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes) return std::string(text);
    const size_t excess = text.size() - maxBytes;
    // A line break (0x0A) is never the trail byte of a GBK character, so the byte after it starts a
    // character.
    const size_t lineEnd = text.find('\n', excess - 1);
    if (lineEnd != std::string_view::npos && lineEnd + 1 < text.size())
        return std::string(text.substr(lineEnd + 1));
    // No line starts in the part that fits: cut at the first character boundary at or after the excess.
    size_t at = 0;
    while (at < excess) at += GbkUnitLength(text, at);
    return std::string(text.substr(at));
}

BoundedLog::BoundedLog(size_t cap, size_t keepAfterDrop)
    : cap_(cap), keepAfterDrop_(keepAfterDrop < cap ? keepAfterDrop : cap) {}

size_t BoundedLog::Append(std::string_view text) {
    if (text_.size() + text.size() <= cap_) {
        text_.append(text);
        return 0;
    }
    const size_t before = text_.size();
    if (text.size() >= keepAfterDrop_) {
        text_ = KeepNewestLines(text, keepAfterDrop_);
        return before;
    }
    text_ = KeepNewestLines(text_, keepAfterDrop_ - text.size());
    const size_t dropped = before - text_.size();
    text_.append(text);
    return dropped;
}

}  // namespace vantaro
