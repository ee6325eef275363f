#include "core/decimal.h"

#include <limits>

namespace vantaro {

long long ParseLeadingInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const long long limit = std::numeric_limits<long long>::max();
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (value > (limit - digit) / 10) return negative ? -limit : limit;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

std::string DecimalText(long long value) { return std::to_string(value); }

}  // namespace vantaro
