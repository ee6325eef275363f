#pragma once
#include <string>
#include <string_view>

namespace vantaro {

// Reads a decimal integer the way the profile values are read: leading blanks skipped, an optional sign and the
// leading digits count, anything that does not start with a number reads as 0. Saturates instead of overflowing.
long long ParseLeadingInteger(std::string_view text);

std::string DecimalText(long long value);

}  // namespace vantaro
