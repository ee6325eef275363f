#pragma once
#include <string>
#include <vector>

namespace vantaro {

// One decoded QR symbol as the decoder reports it. level 0..3 = L, M, Q, H; total > 0 for a structured-append
// symbol (position is 0-based, parity the 8-bit parity of the whole message); points = x1 y1 .. x4 y4 corners.
struct QrSymbolReport {
    int version;
    int level;
    int total;
    int position;
    int parity;
    std::string dataGbk;
    int points[8];
};

// The message for a decoder result n < 1 (0 = no symbol, negative = error), "" for an unknown value.
std::string QrFailureReport(int n);

// The report shown for the decoded symbols, every line ending CR LF.
std::string QrSymbolsReport(const std::vector<QrSymbolReport>& symbols);

}  // namespace vantaro
