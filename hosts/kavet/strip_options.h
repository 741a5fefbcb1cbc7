// Options that several commands share, so that each means the same everywhere: the strip's
// starting settings (kavet process, both forms of kavet editor) and the signal that the
// editor commands run through the strip.
#pragma once

#include "arguments.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kavet::cli {

// --gain, --trim, --pan, --phase, --mute and --bypass, each handing `set` the parameter
// (ParamIndex) and its normalised value. Without `hasPan` (the mono strip) --pan is refused.
std::vector<OptionSpec> stripSettingOptions(std::function<void(int index, float value)> set,
                                            bool hasPan);

// Interleaved audio with its rate and channel count.
struct Signal {
    std::vector<float> samples;
    int rate = 0;
    int channels = 0;

    std::size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
};

// --signal SRC: an audio file, "demo" for the built-in signal, or empty for none. Throws
// HostError when the file cannot be read.
[[nodiscard]] std::optional<Signal> loadSignal(const std::string& source);

} // namespace kavet::cli
