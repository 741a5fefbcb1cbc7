#include "decimal_prefix.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace ptfw {

int ChoosePrefix(double value, PrefixRange range) {
    const int first = std::clamp(range.first, 0, kDecimalPrefixCount - 1);
    const int last = std::clamp(range.last, first, kDecimalPrefixCount - 1);
    const double magnitude = std::fabs(value);
    int chosen = first;
    for (int i = first; i <= last; ++i)
        if (kDecimalPrefixes[i].factor <= magnitude) chosen = i;
    return chosen;
}

void FormatWithPrefix(double value, PrefixRange range, int digits, char* text, std::size_t size) {
    if (text == nullptr || size == 0) return;
    const DecimalPrefix& prefix = kDecimalPrefixes[ChoosePrefix(value, range)];
    const double mantissa = value / prefix.factor;
    if (*prefix.symbol)
        std::snprintf(text, size, "%.*f %s", digits, mantissa, prefix.symbol);
    else
        std::snprintf(text, size, "%.*f", digits, mantissa);
}

} // namespace ptfw
