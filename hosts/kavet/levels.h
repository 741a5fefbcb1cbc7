// Peak and RMS of each channel of a whole file, as the user reads them in dB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kavet::cli {

struct ChannelLevel {
    double peak = 0.0;       // largest magnitude, linear
    double sumSquares = 0.0; // of every sample so far
    std::uint64_t frames = 0;

    double peakDb() const;
    double rmsDb() const; // minus infinity for silence or no samples
};

class LevelMeter {
public:
    explicit LevelMeter(int channels) : levels_(static_cast<std::size_t>(channels)) {}

    // Adds `frames` interleaved frames of every channel.
    template <typename Sample> void add(const Sample* interleaved, std::size_t frames);

    const std::vector<ChannelLevel>& channels() const { return levels_; }

private:
    std::vector<ChannelLevel> levels_;
};

// "  -6.02" style, seven characters wide; "   -inf" for silence.
std::string formatDb(double db);

} // namespace kavet::cli
