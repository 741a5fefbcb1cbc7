#include "arguments.h"

#include "param_values.h"
#include "usage_error.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <strings.h>

namespace kavet::cli {

namespace {

const OptionSpec* findOption(const std::vector<OptionSpec>& options, const std::string& name) {
    for (const OptionSpec& option : options)
        if (name == option.name) return &option;
    return nullptr;
}

// A plain decimal number: no leading blanks, nothing after it, no "nan" or "inf" spellings.
std::optional<double> readNumber(const std::string& text) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front()))) return {};
    for (char c : text)
        if (std::isalpha(static_cast<unsigned char>(c)) && c != 'e' && c != 'E') return {};
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno == ERANGE || !std::isfinite(value)) return {};
    return value;
}

[[noreturn]] void badValue(const std::string& option, const std::string& text,
                           const std::string& expected) {
    throw UsageError(option + ": '" + text + "' is not " + expected);
}

} // namespace

std::vector<std::string> parseArguments(const std::vector<std::string>& args,
                                        const std::vector<OptionSpec>& options) {
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const OptionSpec* option = findOption(options, name);
        if (option == nullptr) throw UsageError("unknown option '" + name + "'");
        if (!option->takesValue) {
            if (equals != std::string::npos) throw UsageError(name + " takes no value");
            option->apply("");
        } else if (equals != std::string::npos) {
            option->apply(arg.substr(equals + 1));
        } else if (i + 1 < args.size()) {
            option->apply(args[++i]);
        } else {
            throw UsageError(name + " needs a value");
        }
    }
    return positional;
}

double readGainDb(const std::string& option, const std::string& text) {
    if (strcasecmp(text.c_str(), "-inf") == 0) return -INFINITY;
    const auto db = readNumber(text);
    if (!db) badValue(option, text, "a level in dB");
    // The top as printed to four places (18.0618) still reaches it; toNormalised clamps.
    if (*db > kMaxGainDb + 5e-5) badValue(option, text, "within -inf to +18.06 dB");
    return *db;
}

double readTrimDb(const std::string& option, const std::string& text, double rangeDb) {
    const auto db = readNumber(text);
    if (!db) badValue(option, text, "a level in dB");
    if (*db < -rangeDb || *db > rangeDb) {
        char range[64];
        std::snprintf(range, sizeof range, "%g", rangeDb);
        throw UsageError(option + ": '" + text + "' is outside the trim range of -" + range +
                         " to +" + range +
                         " dB (the Trim range chosen on the plug-in's options page)");
    }
    return *db;
}

double readPanPercent(const std::string& option, const std::string& text) {
    const std::string expected = "a pan position (C, L0 to L100 or R0 to R100)";
    if (text == "C" || text == "c") return 0.0;
    if (text.size() < 2) badValue(option, text, expected);
    const char side = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    const auto percent = readNumber(text.substr(1));
    if ((side != 'L' && side != 'R') || !percent || text[1] == '-' || text[1] == '+')
        badValue(option, text, expected);
    if (*percent < 0.0 || *percent > plainRange(kPan, 0.0).max) badValue(option, text, expected);
    return side == 'L' ? -*percent : *percent;
}

double readLoudnessTarget(const std::string& option, const std::string& text) {
    const auto lufs = readNumber(text);
    if (!lufs || *lufs < -70.0 || *lufs > 0.0)
        badValue(option, text, "a loudness from -70 to 0 LUFS");
    return *lufs;
}

double readTruePeakCeiling(const std::string& option, const std::string& text) {
    const auto dbtp = readNumber(text);
    if (!dbtp || *dbtp < -30.0 || *dbtp > 0.0)
        badValue(option, text, "a true peak from -30 to 0 dBTP");
    return *dbtp;
}

int readBlockSize(const std::string& option, const std::string& text) {
    const std::string expected = "a block size from 1 to 65536 samples";
    if (text.empty() || text.size() > 6) badValue(option, text, expected);
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) badValue(option, text, expected);
    const int frames = std::atoi(text.c_str());
    if (frames < kMinBlock || frames > kMaxBlock) badValue(option, text, expected);
    return frames;
}

} // namespace kavet::cli
