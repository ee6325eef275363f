#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace vantaro {

// Standard alphabet with "=" padding and no line breaks.
std::string Base64Encode(std::string_view bytes);

// The forgiving decoder used for share links and pasted text:
//  - blanks (0x20 and the full-width space A1 A1) are removed first, then every CR LF pair;
//  - the text is read in groups of four; a missing position reads as "A" (0), any byte outside the alphabet ends the
//    group early and leaves that slot and the following ones as they were in the previous group;
//  - every group yields three bytes; only the end of the last group trims the output (ended at position k = 2..4:
//    drop 5-k bytes; ended at k = 1, i.e. "=" right after a full group: the last group adds nothing);
//  - stripTrailingZeros removes every trailing zero byte.
// afterEachGroup runs after each group so the GUI can pump pending window events on long input.
std::string Base64Decode(std::string_view text, bool stripTrailingZeros = false,
                         const std::function<void()>& afterEachGroup = {});

}  // namespace vantaro
