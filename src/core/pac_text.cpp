#include "core/pac_text.h"

#include "core/utf8_stream.h"

namespace vantaro {

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string out;
    size_t start = 0;
    for (size_t hit; (hit = text.find(from, start)) != std::string_view::npos; start = hit + from.size()) {
        out.append(text.substr(start, hit - start));
        out.append(to);
    }
    out.append(text.substr(start));
    return out;
}

std::string FillPacTemplate(std::string_view ruleList, std::string_view localPort) {
    const std::string proxy = "SOCKS5 127.0.0.1:" + std::string(localPort) + ";DIRECT;";
    return ReplaceAll(ReplaceAll(CutAtFirstZero(ruleList), "__PROXY__", proxy), "__DIRECT__", "DIRECT");
}

bool DownloadHasText(std::string_view body) { return !body.empty() && body.front() != '\0'; }

}  // namespace vantaro
