#include "strip_options.h"

#include "audio_file.h"
#include "demo_signal.h"
#include "param_values.h"
#include "usage_error.h"

namespace kavet::cli {

std::vector<OptionSpec> stripSettingOptions(std::function<void(int index, float value)> set,
                                            bool hasPan) {
    return {
        {"--gain", true,
         [set](const std::string& v) { set(kGain, gainToNormalised(readGainDb("--gain", v))); }},
        {"--trim", true,
         [set](const std::string& v) { set(kTrim, trimToNormalised(readTrimDb("--trim", v))); }},
        {"--pan", true,
         [set, hasPan](const std::string& v) {
             if (!hasPan) throw UsageError("--pan: the mono editor has no pan");
             set(kPan, panToNormalised(readPanPercent("--pan", v)));
         }},
        {"--phase", false, [set](const std::string&) { set(kPhase, 1.0f); }},
        {"--mute", false, [set](const std::string&) { set(kMute, 1.0f); }},
        {"--bypass", false, [set](const std::string&) { set(kBypass, 1.0f); }},
    };
}

std::optional<Signal> loadSignal(const std::string& source) {
    if (source.empty()) return std::nullopt;
    if (source == "demo") return Signal{makeDemoSignal(), kDemoSampleRate, kDemoChannels};
    InputFile file(source);
    Signal signal{{}, file.shape().sampleRate, file.shape().channels};
    signal.samples.resize(static_cast<std::size_t>(file.shape().frames) * signal.channels);
    const std::size_t frames = file.read(signal.samples.data(), file.shape().frames);
    signal.samples.resize(frames * signal.channels);
    return signal;
}

} // namespace kavet::cli
