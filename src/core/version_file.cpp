#include "core/version_file.h"

#include <vector>

#include "core/decimal.h"
#include "core/text_limits.h"
#include "core/utf8_stream.h"

namespace vantaro {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Case-insensitive for ASCII letters only; a GBK character (which may have a letter as trail byte) must be equal.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size();) {
        const size_t unit = GbkUnitLength(a, i);
        if (unit == 2) {
            if (a.substr(i, 2) != b.substr(i, 2)) return false;
        } else if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
        i += unit;
    }
    return true;
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (size_t start = 0; start <= text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// The name of a "[section]" line, or nullopt for other lines.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    const size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

std::string Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

}  // namespace

std::optional<std::string> ReadIniValue(std::string_view iniText, std::string_view section, std::string_view key) {
    std::string text = CutAtFirstZero(iniText);
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    bool inSection = false;
    for (std::string_view line : Lines(text)) {
        if (const auto name = SectionName(line)) {
            inSection = SameName(*name, Trim(section));
            continue;
        }
        const size_t eq = line.find('=');
        if (!inSection || eq == std::string_view::npos) continue;
        if (SameName(Trim(line.substr(0, eq)), Trim(key))) return Unquote(Trim(line.substr(eq + 1)));
    }
    return std::nullopt;
}

std::optional<UpdateAnnouncement> CheckVersionFile(std::string_view body, std::string_view ownVersion,
                                                   std::string_view ownBuild) {
    const std::string text = CutAtFirstZero(body);
    if (text.empty()) return std::nullopt;
    const std::string version = ReadIniValue(text, "vantaro Tools", "最新版本").value_or("");
    const std::string build = ReadIniValue(text, "vantaro Tools", "版本号").value_or("");
    if (version.empty() || build.empty() || version == ownVersion) return std::nullopt;
    if (ParseLeadingInteger(build) <= ParseLeadingInteger(ownBuild)) return std::nullopt;
    return UpdateAnnouncement{version};
}

std::string UpdateBalloonTitle(std::string_view latest) {
    return "vantaro Tools 发现新版本 v" + std::string(latest) + " ！";
}

std::string UpdateBalloonText(std::string_view programPageUrl) { return "请前往更新：" + std::string(programPageUrl); }

std::string UpdatedCaption(std::string_view ownVersion, std::string_view latest) {
    return "vantaro Tools    v" + std::string(ownVersion) + "    发现新版本：v" + std::string(latest);
}

}  // namespace vantaro
