#pragma once
#include <string>
#include <string_view>

namespace vantaro {

// Every occurrence of `from`, left to right and not overlapping, replaced by `to`; inserted text is not searched
// again. An empty `from` leaves the text as it is.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// The PAC file from the downloaded rule list (up to its first zero byte): "__PROXY__" becomes the local SOCKS5
// proxy with a DIRECT fallback, then "__DIRECT__" becomes "DIRECT". Case-sensitive.
std::string FillPacTemplate(std::string_view ruleList, std::string_view localPort);

// A download counts only when its body up to the first zero byte is not empty.
bool DownloadHasText(std::string_view body);

}  // namespace vantaro
