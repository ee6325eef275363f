#include "config.h"

#include <nlohmann/json.hpp>

namespace vantaro::engine {
namespace {

// The JSON parser insists on UTF-8; the file is GBK. Each byte >= 0x80 is lifted to the code point of the
// same value (as if the file were Latin-1), which the parser accepts, and lowered back after parsing.
std::string LiftHighBytes(std::string_view bytes) {
    std::string lifted;
    lifted.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        if (c < 0x80) {
            lifted += static_cast<char>(c);
        } else {
            lifted += static_cast<char>(0xC0 | (c >> 6));
            lifted += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return lifted;
}

std::string LowerHighBytes(const std::string& utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            auto next = static_cast<unsigned char>(utf8[i + 1]);
            bytes += static_cast<char>(((c & 0x03) << 6) | (next & 0x3F));
            ++i;
        } else {
            bytes +=
                static_cast<char>(c);  // ASCII, or a code point above U+00FF from a \u escape: kept as UTF-8
        }
    }
    return bytes;
}

std::optional<std::string> TextMember(const nlohmann::json& object, const char* name) {
    auto it = object.find(name);
    if (it == object.end() || !it->is_string()) return std::nullopt;
    return LowerHighBytes(it->get<std::string>());
}

}  // namespace

std::optional<ListenAddress> ParseListen(std::string_view text, ConfigProblem* problem) {
    auto fail = [problem](ConfigProblem why) -> std::optional<ListenAddress> {
        if (problem) *problem = why;
        return std::nullopt;
    };
    size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) return fail(ConfigProblem::ListenNoPort);
    std::string_view digits = text.substr(colon + 1);
    if (digits.empty()) return fail(ConfigProblem::ListenNoPort);
    if (digits.size() > 5) return fail(ConfigProblem::ListenBadPort);
    unsigned value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return fail(ConfigProblem::ListenBadPort);
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value < 1 || value > 65535) return fail(ConfigProblem::ListenBadPort);
    if (problem) *problem = ConfigProblem::None;
    return ListenAddress{std::string(text.substr(0, colon)), static_cast<uint16_t>(value)};
}

ConfigResult ParseEngineConfig(std::string_view fileBytes) {
    ConfigResult result;
    if (fileBytes.substr(0, 3) == "\xEF\xBB\xBF")
        fileBytes.remove_prefix(3);  // a UTF-8 mark from a hand edit
    nlohmann::json document;
    try {
        document = nlohmann::json::parse(LiftHighBytes(fileBytes));
    } catch (const nlohmann::json::exception& error) {
        result.problem = ConfigProblem::NotJson;
        result.detail = error.what();
        return result;
    }
    if (!document.is_object()) {
        result.problem = ConfigProblem::NotObject;
        return result;
    }
    auto listen = document.find("listen");
    if (listen == document.end()) {
        result.problem = ConfigProblem::ListenMissing;
        return result;
    }
    if (!listen->is_string()) {
        result.problem = ConfigProblem::ListenNotText;
        return result;
    }
    std::string listenText = LowerHighBytes(listen->get<std::string>());
    ConfigProblem listenProblem = ConfigProblem::None;
    auto address = ParseListen(listenText, &listenProblem);
    if (!address) {
        result.problem = listenProblem;
        result.detail = listenText;
        return result;
    }
    EngineConfig config;
    config.listenHost = address->host;
    config.listenPort = address->port;
    config.remote = TextMember(document, "remote");
    config.password = TextMember(document, "password");
    result.config = std::move(config);
    return result;
}

std::string DescribeConfigProblem(const ConfigResult& result) {
    switch (result.problem) {
        case ConfigProblem::None:
            return "没有问题";
        case ConfigProblem::NotJson:
            return "不是有效的 JSON (" + result.detail + ")";
        case ConfigProblem::NotObject:
            return "内容不是 JSON 对象";
        case ConfigProblem::ListenMissing:
            return "缺少 \"listen\"";
        case ConfigProblem::ListenNotText:
            return "\"listen\" 不是字符串";
        case ConfigProblem::ListenNoPort:
            return "\"listen\" 缺少端口，应为 \":端口\" 或 \"主机:端口\"";
        case ConfigProblem::ListenBadPort:
            return "\"listen\" 的端口无效，应为 1 到 65535";
    }
    return "未知问题";
}

}  // namespace vantaro::engine
