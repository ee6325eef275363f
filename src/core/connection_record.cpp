#include "core/connection_record.h"

namespace vantaro {
namespace {

void AppendU32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void AppendCounted(std::string& out, std::string_view text) {
    AppendU32(out, static_cast<uint32_t>(text.size()));
    out.append(text);
}

}  // namespace

std::string PacConnectionRecord(std::string_view url, uint32_t counter) {
    std::string out;
    AppendU32(out, 0x46);
    AppendU32(out, counter);
    AppendU32(out, url.empty() ? 0x01 : 0x05);
    AppendCounted(out, {});  // proxy
    AppendCounted(out, {});  // bypass list
    AppendCounted(out, url);
    out.append(32, '\0');
    return out;
}

std::string ClearedPacConnectionRecord() { return PacConnectionRecord({}, 1); }

std::string ProxyConnectionRecord(std::string_view proxy) {
    std::string out;
    AppendU32(out, 0x3C);
    AppendU32(out, 1);
    AppendU32(out, 0x03);
    AppendCounted(out, proxy);
    out.append(36, '\0');
    return out;
}

}  // namespace vantaro
