// Properties of share-link parsing: what comes out of a stranger's text is safe to store, and links this program
// makes are read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/share_link.h"

namespace {

// Reports the failed property's line, then aborts so libFuzzer keeps the input.
void CheckAt(bool ok, int line) {
    if (ok) return;
    std::fprintf(stderr, "property failed at line %d\n", line);
    std::abort();
}
#define Check(ok) CheckAt((ok), __LINE__)

// No byte that could break an INI line: controls, space, DEL, and no zero byte (the value is a C string there),
// wherever it stands, even right after a GBK lead byte. No full-width space as a GBK character.
bool IsStorable(std::string_view value) {
    for (char c : value) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b == 0x7F) return false;
    }
    for (size_t i = 0; i < value.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(value[i]);
        if (b < 0x81 || b > 0xFE || i + 1 == value.size()) continue;
        if (b == 0xA1 && static_cast<unsigned char>(value[i + 1]) == 0xA1) return false;
        ++i;
    }
    return true;
}

void CheckParsed(const vantaro::ShareLinkFields& f) {
    Check(!f.password.empty());
    Check(IsStorable(f.ip) && IsStorable(f.port) && IsStorable(f.password));
    // The split is at the last two colons, so neither port nor password holds one.
    Check(f.port.find(':') == std::string::npos && f.password.find(':') == std::string::npos);
    const auto again = vantaro::ParseShareLinkLine(vantaro::MakeShareLink(f.ip, f.port, f.password));
    Check(again.has_value() && *again == f);
}

// Three fields cut from the input at its first two 0xFF bytes: a link made from them reads back when they are
// storable, the password is not empty and only the ip holds colons.
void CheckMadeLink(std::string_view text) {
    const size_t a = text.find('\xFF');
    const size_t b = a == std::string_view::npos ? a : text.find('\xFF', a + 1);
    if (b == std::string_view::npos) return;
    const vantaro::ShareLinkFields f{std::string(text.substr(0, a)), std::string(text.substr(a + 1, b - a - 1)),
                                     std::string(text.substr(b + 1))};
    const bool readable = IsStorable(f.ip) && IsStorable(f.port) && IsStorable(f.password) && !f.password.empty() &&
                          f.port.find(':') == std::string::npos && f.password.find(':') == std::string::npos;
    const auto parsed = vantaro::ParseShareLinkLine(vantaro::MakeShareLink(f.ip, f.port, f.password));
    if (readable) Check(parsed.has_value() && *parsed == f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto fields = vantaro::FindFirstShareLink(text)) CheckParsed(*fields);
    // The same bytes as one link payload, so the fuzzer need not find the prefix first.
    if (const auto fields = vantaro::ParseShareLinkLine("vantaro://" + std::string(text))) CheckParsed(*fields);
    CheckMadeLink(text);
    return 0;
}
