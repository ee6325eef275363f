// Properties of the forgiving Base64 decoder on arbitrary text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/base64.h"

namespace {

// Reports the failed property's line, then aborts so libFuzzer keeps the input.
void CheckAt(bool ok, int line) {
    if (ok) return;
    std::fprintf(stderr, "property failed at line %d\n", line);
    std::abort();
}
#define Check(ok) CheckAt((ok), __LINE__)

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const size_t maxGroups = (size + 3) / 4;

    size_t groups = 0;
    const std::string bytes = vantaro::Base64Decode(text, false, [&] { ++groups; });
    // Blanks and CR LF pairs only shrink the text; every group yields at most three bytes.
    Check(groups <= maxGroups);
    Check(bytes.size() <= 3 * groups);
    Check(bytes.size() <= 3 * maxGroups);

    // Stripping removes trailing zeros and nothing else.
    const std::string stripped = vantaro::Base64Decode(text, true);
    Check(bytes.compare(0, stripped.size(), stripped) == 0);
    Check(stripped.empty() || stripped.back() != '\0');
    Check(bytes.find_first_not_of('\0', stripped.size()) == std::string::npos);

    // Whatever the input, its encoding decodes back to it.
    const std::string encoded = vantaro::Base64Encode(text);
    Check(encoded.size() == (size + 2) / 3 * 4);
    Check(vantaro::Base64Decode(encoded) == text);
    return 0;
}
