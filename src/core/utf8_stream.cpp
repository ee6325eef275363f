#include "core/utf8_stream.h"

namespace vantaro {
namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the sequence a valid lead byte starts, 0 for a byte that cannot lead (continuation, C0, C1, F5..FF).
size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The second byte is narrower after some leads (no overlong forms, no surrogates, nothing above U+10FFFF).
bool SecondByteFits(unsigned char lead, unsigned char second) {
    switch (lead) {
        case 0xE0: return second >= 0xA0 && second <= 0xBF;
        case 0xED: return second >= 0x80 && second <= 0x9F;
        case 0xF0: return second >= 0x90 && second <= 0xBF;
        case 0xF4: return second >= 0x80 && second <= 0x8F;
        default: return IsContinuation(second);
    }
}

// Where the incomplete but still completable tail starts, or text.size() when there is none.
size_t IncompleteTailStart(std::string_view text) {
    const size_t n = text.size();
    size_t lead = n;
    // The lead of the last sequence is at most 3 bytes back, past continuation bytes only.
    for (size_t back = 1; back <= 3 && back <= n; ++back) {
        if (!IsContinuation(static_cast<unsigned char>(text[n - back]))) {
            lead = n - back;
            break;
        }
    }
    if (lead == n) return n;
    const unsigned char leadByte = static_cast<unsigned char>(text[lead]);
    const size_t have = n - lead;
    if (have >= SequenceLength(leadByte)) return n;  // complete, or not a lead at all
    if (have >= 2 && !SecondByteFits(leadByte, static_cast<unsigned char>(text[lead + 1]))) return n;
    return lead;
}

}  // namespace

std::string Utf8Carry::Take(std::string_view chunk) {
    std::string all = carried_;
    all.append(chunk);
    const size_t cut = IncompleteTailStart(all);
    carried_ = all.substr(cut);
    all.resize(cut);
    return all;
}

std::string CutAtFirstZero(std::string_view bytes) { return std::string(bytes.substr(0, bytes.find('\0'))); }

std::string LfToCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace vantaro
