#include "strip_options.h"

#include "audio_file.h"
#include "demo_signal.h"
#include "param_values.h"
#include "plugin_prefs.h"
#include "usage_error.h"

namespace kavet::cli {

std::vector<OptionSpec> stripSettingOptions(std::function<void(int index, float value)> set,
                                            bool hasPan) {
    return {
        {"--gain", true,
         [set](const std::string& v) {
             set(kGain, toNormalised(kGain, readGainDb("--gain", v), 0));
         }},
        {"--trim", true,
         [set](const std::string& v) {
             // The trim law stretches over the range the plug-in has: its stored preference.
             const double range = loadPluginPrefs().trimRangeDb;
             set(kTrim, toNormalised(kTrim, readTrimDb("--trim", v, range), range));
         }},
        {"--pan", true,
         [set, hasPan](const std::string& v) {
             if (!hasPan) throw UsageError("--pan: the mono editor has no pan");
             set(kPan, toNormalised(kPan, readPanPercent("--pan", v), 0));
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
