#include "core/share_link.h"

#include "core/base64.h"
#include "core/pac_text.h"
#include "core/text_limits.h"
#include "core/utf8_stream.h"

namespace vantaro {
namespace {

constexpr std::string_view kPrefix = "vantaro://";

// Space, control bytes and DEL would break the INI line the value is written to (CR LF injects keys or sections).
bool HasUnsafeByte(std::string_view value) {
    for (char c : value) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b == 0x7F) return true;
    }
    return false;
}

// The full-width space as a GBK character, so the trail byte A1 of another character followed by A1 does not count.
bool HasFullWidthSpace(std::string_view value) {
    for (size_t i = 0; i < value.size(); i += GbkUnitLength(value, i)) {
        if (value.substr(i, 2) == "\xA1\xA1") return true;
    }
    return false;
}

bool IsSafeField(std::string_view value) { return !HasUnsafeByte(value) && !HasFullWidthSpace(value); }

// Splits "ip:port:password" at its last two colons; missing parts are empty.
ShareLinkFields SplitFields(std::string_view s) {
    ShareLinkFields f;
    const size_t lastColon = s.rfind(':');
    if (lastColon == std::string_view::npos) {
        f.password = std::string(s);
        return f;
    }
    f.password = std::string(s.substr(lastColon + 1));
    const std::string_view rest = s.substr(0, lastColon);
    const size_t portColon = rest.rfind(':');
    if (portColon == std::string_view::npos) {
        f.port = std::string(rest);
        return f;
    }
    f.port = std::string(rest.substr(portColon + 1));
    f.ip = std::string(rest.substr(0, portColon));
    return f;
}

}  // namespace

std::string MakeShareLink(std::string_view ip, std::string_view port, std::string_view password) {
    const std::string plain = std::string(ip) + ":" + std::string(port) + ":" + std::string(password);
    const std::string payload = ReplaceAll(ReplaceAll(ReplaceAll(Base64Encode(plain), "=", ""), "+", "-"), "/", "_");
    return std::string(kPrefix) + payload;
}

std::vector<std::string> SplitClipboardLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t hit; (hit = text.find("\r\n", start)) != std::string_view::npos; start = hit + 2) {
        lines.emplace_back(text.substr(start, hit - start));
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::optional<ShareLinkFields> ParseShareLinkLine(std::string_view line, const std::function<void()>& afterEachGroup) {
    if (line.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
    const std::string payload = ReplaceAll(ReplaceAll(line.substr(kPrefix.size()), "-", "+"), "_", "/");
    const std::string s = CutAtFirstZero(Base64Decode(payload, false, afterEachGroup));
    if (s.empty()) return std::nullopt;
    ShareLinkFields f = SplitFields(s);
    if (f.password.empty()) return std::nullopt;
    if (!IsSafeField(f.ip) || !IsSafeField(f.port) || !IsSafeField(f.password)) return std::nullopt;
    return f;
}

std::optional<ShareLinkFields> FindFirstShareLink(std::string_view text, const std::function<void()>& afterEachGroup) {
    for (const std::string& line : SplitClipboardLines(text)) {
        if (auto fields = ParseShareLinkLine(line, afterEachGroup)) return fields;
    }
    return std::nullopt;
}

}  // namespace vantaro
