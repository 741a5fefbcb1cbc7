// The decimal-prefix table used by continuous controls to display values: a value is shown
// as a mantissa and the largest prefix whose factor does not exceed it. A control may be
// given a contiguous part of the table (for example "" up to "P", so nothing below 1 is
// ever written with milli or smaller).
#pragma once

#include <cstddef>

namespace ptfw {

struct DecimalPrefix {
    const char* symbol; // "" for factor 1
    double factor;
};

// From pico to peta, smallest factor first.
inline constexpr DecimalPrefix kDecimalPrefixes[] = {
    {"p", 1e-12}, {"n", 1e-9}, {"u", 1e-6}, {"m", 1e-3}, {"", 1.0},
    {"k", 1e3},   {"M", 1e6},  {"G", 1e9},  {"T", 1e12}, {"P", 1e15},
};
inline constexpr int kDecimalPrefixCount =
    static_cast<int>(sizeof kDecimalPrefixes / sizeof kDecimalPrefixes[0]);
inline constexpr int kPrefixUnity = 4; // index of the empty prefix
inline constexpr int kPrefixPeta = 9;

// A contiguous part of the table, indices first..last inclusive.
struct PrefixRange {
    int first = 0;
    int last = kDecimalPrefixCount - 1;
};

// The prefix index for |value| within `range`: the largest whose factor is <= |value|, the
// range's first for smaller values (and for 0).
int ChoosePrefix(double value, PrefixRange range);

// "<mantissa> <symbol>" with `digits` decimals, or just the mantissa for the empty prefix;
// always terminated within `size` bytes.
void FormatWithPrefix(double value, PrefixRange range, int digits, char* text, std::size_t size);

} // namespace ptfw
