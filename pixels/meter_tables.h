// The meter's per-row tables, computed once per fader: the level of each of the 362 meter rows
// and the colour zone and blend that colour the bar in that row.
#pragma once

#include <array>

namespace kavet::editor {

inline constexpr int kMeterRows = 362;
// 1/361 in single precision: the position step from one meter row to the next.
inline constexpr float kMeterRowStep = 0.002770083f;

struct MeterTables {
    // Row j is lit when the level (linear amplitude, full scale 8) exceeds level[j]
    // = 8 (1 - j/361)^K: level[0] = 8, level[361] is positive and below 1e-28.
    std::array<float, kMeterRows> level{};
    // Colour column of the row: 3 from the top down to +6 dB, 2 down to 0 dB, 1 below.
    std::array<int, kMeterRows> zone{};
    // Share of the zone's own column against the column below it: 1 at the zone's first row,
    // falling to 0 at its last.
    std::array<float, kMeterRows> blend{};

    MeterTables();
};

} // namespace kavet::editor
