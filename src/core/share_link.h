#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantaro {

struct ShareLinkFields {
    std::string ip, port, password;
};

inline bool operator==(const ShareLinkFields& a, const ShareLinkFields& b) {
    return a.ip == b.ip && a.port == b.port && a.password == b.password;
}

// "vantaro://" + the URL-safe unpadded Base64 of "ip:port:password".
std::string MakeShareLink(std::string_view ip, std::string_view port, std::string_view password);

// Clipboard lines: split at every CR LF; empty lines count; a piece after the final CR LF counts only when not empty.
// A lone CR or LF does not split.
std::vector<std::string> SplitClipboardLines(std::string_view text);

// One line as a share link: the prefix must match byte for byte; the payload is decoded forgivingly (either
// alphabet, padding optional, blanks ignored) up to its first zero byte and split at the last two colons. A link
// comes from strangers and its fields go into the INI file the node is kept in, so a field holding a space, a
// full-width space, CR, LF or any other control byte makes the line unusable.
std::optional<ShareLinkFields> ParseShareLinkLine(std::string_view line,
                                                  const std::function<void()>& afterEachGroup = {});

// The first usable share link among the clipboard lines.
std::optional<ShareLinkFields> FindFirstShareLink(std::string_view text,
                                                  const std::function<void()>& afterEachGroup = {});

}  // namespace vantaro
