#pragma once
#include <string>
#include <string_view>

namespace vantaro {

// The bytes of a JSON string body: `"` and `\` escaped, control bytes as \b \f \n \r \t or \u00xx, DEL as \u007f.
// Bytes from 0x80 up (GBK) pass unchanged: the engine reads them as they are.
std::string JsonEscape(std::string_view bytes);

// The engine's JSON configuration. The template's placeholders are replaced over the whole text in a fixed order:
// "Local_PORT", then "IP:PORT", then "PASSWORD" (so a placeholder inside an earlier value is replaced by a later
// one, never the other way round). Values without quotes, backslashes or control bytes appear as they are.
std::string FillEngineConfig(std::string_view localPort, std::string_view ip, std::string_view port,
                             std::string_view password);

}  // namespace vantaro
