#include "core/engine_config.h"

#include "core/pac_text.h"

namespace vantaro {
namespace {

constexpr std::string_view kTemplate =
    "{\n"
    "\t\"listen\": \":Local_PORT\",\n"
    "\t\"remote\": \"IP:PORT\",\n"
    "\t\"password\": \"PASSWORD\"\n"
    "}";

// The short escape of a control byte, or 0 when it has none.
char ShortEscape(char c) {
    switch (c) {
        case '\b': return 'b';
        case '\f': return 'f';
        case '\n': return 'n';
        case '\r': return 'r';
        case '\t': return 't';
        default: return 0;
    }
}

void AppendUnicodeEscape(std::string& out, unsigned char b) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u00";
    out += kHex[b >> 4];
    out += kHex[b & 15];
}

}  // namespace

std::string JsonEscape(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20 && ShortEscape(c)) {
            out += '\\';
            out += ShortEscape(c);
        } else if (b < 0x20 || b == 0x7F) {
            AppendUnicodeEscape(out, b);
        } else {
            out += c;
        }
    }
    return out;
}

std::string FillEngineConfig(std::string_view localPort, std::string_view ip, std::string_view port,
                             std::string_view password) {
    const std::string withPort = ReplaceAll(kTemplate, "Local_PORT", JsonEscape(localPort));
    const std::string withRemote = ReplaceAll(withPort, "IP:PORT", JsonEscape(ip) + ":" + JsonEscape(port));
    return ReplaceAll(withRemote, "PASSWORD", JsonEscape(password));
}

}  // namespace vantaro
