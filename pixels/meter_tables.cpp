#include "meter_tables.h"

#include "fader_law.h"

namespace kavet::editor {

MeterTables::MeterTables() {
    for (int j = 0; j < kMeterRows; ++j)
        level[j] =
            static_cast<float>(8.0 * positionToLevel(1.0 - j * static_cast<double>(kMeterRowStep)));

    // A zone ends where the level falls to 2 (+6 dB), to 1 (0 dB), and at the last row; its
    // end row starts the next zone, which overwrites it with blend 1.
    float previous = 8.0f;
    int start = 0;
    int z = 3;
    for (int j = 0; j < kMeterRows; ++j) {
        const float l = level[j];
        const bool ends =
            (previous > 2 && l <= 2) || (previous > 1 && l <= 1) || j == kMeterRows - 1;
        previous = l;
        if (!ends) continue;
        const int span = j - start;
        for (int n = 0; n <= span; ++n) {
            zone[start + n] = z;
            blend[start + n] =
                span > 0 ? 1.0f - static_cast<float>(n) / static_cast<float>(span) : 1.0f;
        }
        start = j;
        --z;
    }
}

} // namespace kavet::editor
