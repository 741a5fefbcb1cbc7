// Command-line parsing: options of the form --name VALUE, --name=VALUE or --flag, in any
// order among the positional arguments; "--" ends the options.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kavet::cli {

struct OptionSpec {
    const char* name; // with the leading "--"
    bool takesValue;
    // Receives the value (empty for a flag); throws UsageError for a bad value.
    std::function<void(const std::string& value)> apply;
};

// Applies every option in `args` and returns the positional arguments. Throws UsageError
// for an unknown option, a missing value, or a value given to a flag.
std::vector<std::string> parseArguments(const std::vector<std::string>& args,
                                        const std::vector<OptionSpec>& options);

// Value readers for options; `option` names the option in the error message.
double readGainDb(const std::string& option, const std::string& text);
// Within ±rangeDb, the trim range the plug-in has; a value outside it is refused with one
// line naming the range and where it is chosen.
double readTrimDb(const std::string& option, const std::string& text, double rangeDb);
// "C", "L<percent>" or "R<percent>" (either case); answers the percent, left negative.
double readPanPercent(const std::string& option, const std::string& text);
// --normalize: a loudness from -70 to 0 LUFS; --true-peak-max: -30 to 0 dBTP.
double readLoudnessTarget(const std::string& option, const std::string& text);
double readTruePeakCeiling(const std::string& option, const std::string& text);
[[nodiscard]] int readBlockSize(const std::string& option, const std::string& text);

constexpr int kMinBlock = 1;
constexpr int kMaxBlock = 65536;
constexpr int kDefaultBlock = 512;

} // namespace kavet::cli
