#pragma once
#include <string>

namespace vantaro {

// The generated PAC text served over HTTP on 127.0.0.1, because a "file://" address in AutoConfigURL is
// ignored by current Windows and by Chromium-based browsers. One listener on an ephemeral port and one random
// path per run; only a GET of that path is answered with the text, everything else with an error, and the
// connection is closed after one answer.

// Starts the listener on first use and hands it the text to serve. Returns the text's URL, or the empty text
// when no listener could be started (no random path, no socket).
std::string ServePacText(const std::string& text);
// From now on the path too is answered with 404, until the next ServePacText.
void WithdrawPacText();

}  // namespace vantaro
