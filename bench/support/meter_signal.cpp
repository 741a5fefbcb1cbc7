// The editor benchmarks' moving signal (meter_signal.h).
#include "meter_signal.h"

#include <cmath>
#include <vector>

namespace kavet::bench {

void processBlock(AEffect* effect, int step) {
    static std::vector<float> left(1024), right(1024);
    const float level = 0.05f + 0.9f * static_cast<float>(0.5 + 0.5 * std::sin(step * 0.7));
    for (std::size_t i = 0; i < left.size(); ++i) {
        left[i] = (i & 1) ? level : -level;
        right[i] = 0.5f * left[i];
    }
    float* channels[2] = {left.data(), right.data()};
    effect->processReplacing(effect, channels, channels, static_cast<VstInt32>(left.size()));
}

} // namespace kavet::bench
