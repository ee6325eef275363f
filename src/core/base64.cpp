#include "core/base64.h"

namespace vantaro {
namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Alphabet value of a byte, -1 for anything else. Written with ASCII ranges because the execution charset of the
// program is GBK: the alphabet literal holds ASCII bytes only, so this matches it.
int AlphabetValue(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// Removes 0x20 and every A1 A1 pair, scanning left to right so a lone A1 stays.
std::string RemoveBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ') continue;
        if (text[i] == '\xA1' && i + 1 < text.size() && text[i + 1] == '\xA1') {
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

// Removes every CR LF pair; a lone CR or LF stays.
std::string RemoveCrLfPairs(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

// Reads one group into the slots (kept from the previous group where not set) and returns the position it ended
// at: 1..4 when a byte outside the alphabet stopped it, 5 after four positions.
int ReadGroup(std::string_view text, size_t start, int slots[4]) {
    for (int p = 0; p < 4; ++p) {
        const size_t at = start + static_cast<size_t>(p);
        if (at >= text.size()) {
            slots[p] = 0;
            continue;
        }
        const int value = AlphabetValue(static_cast<unsigned char>(text[at]));
        if (value < 0) return p + 1;
        slots[p] = value;
    }
    return 5;
}

void AppendGroupBytes(const int s[4], std::string& out) {
    out += static_cast<char>((s[0] * 4 | s[1] / 16) & 255);
    out += static_cast<char>((s[1] * 16 | s[2] / 4) & 255);
    out += static_cast<char>((s[2] * 64 | s[3]) & 255);
}

}  // namespace

std::string Base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = bytes.size() - i < 3 ? bytes.size() - i : 3;
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (n > 1) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (n > 2) v |= static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += n > 1 ? kAlphabet[(v >> 6) & 63] : '=';
        out += n > 2 ? kAlphabet[v & 63] : '=';
    }
    return out;
}

std::string Base64Decode(std::string_view text, bool stripTrailingZeros, const std::function<void()>& afterEachGroup) {
    const std::string clean = RemoveCrLfPairs(RemoveBlanks(text));
    const size_t groups = (clean.size() + 3) / 4;
    std::string out;
    out.reserve(groups * 3);
    int slots[4] = {0, 0, 0, 0};
    int lastEnd = 5;
    for (size_t g = 0; g < groups; ++g) {
        lastEnd = ReadGroup(clean, g * 4, slots);
        AppendGroupBytes(slots, out);
        if (afterEachGroup) afterEachGroup();
    }
    // Only the last group's end trims. Ending at 1 means nothing of that group was read: it adds no bytes, rather
    // than eating into the previous group's output.
    if (groups > 0 && lastEnd < 5) out.resize(out.size() - (lastEnd == 1 ? 3 : static_cast<size_t>(5 - lastEnd)));
    if (stripTrailingZeros) {
        while (!out.empty() && out.back() == '\0') out.pop_back();
    }
    return out;
}

}  // namespace vantaro
