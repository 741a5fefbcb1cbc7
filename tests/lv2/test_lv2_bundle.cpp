// The LV2 bundle as hosts read it: valid against the LV2 schemas, both plug-ins listed, every
// port as the parameter table says; and lv2apply's audio equal to the VST module's (through
// kavet process) bit for bit.
#include "tool_run.h"

#include "audio_io.h"
#include "lv2/ports.h"

#include "core/config.h"
#include "core/params.h"
#include "core/prefs.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace kavet::test {
namespace {

const char* const kStereoUri = "urn:velmorant:kavet:stereo";
const char* const kMonoUri = "urn:velmorant:kavet:mono";
const char* const kThisUri = kStereo ? kStereoUri : kMonoUri;
constexpr double kWidestTrimDb = 36.0;

TEST(Lv2Bundle, ValidatesAgainstTheLv2Schemas) {
    std::vector<std::string> args = {KAVET_SORD_VALIDATE};
    // The schemas of every vocabulary the bundle uses, and those they build on.
    for (const char* vocabulary : {"core", "units", "state", "port-props", "urid", "ui", "options",
                                   "instance-access", "data-access", "schemas"}) {
        const std::filesystem::path dir =
            std::filesystem::path(KAVET_LV2_SCHEMAS) / (std::string(vocabulary) + ".lv2");
        ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            if (entry.path().extension() == ".ttl") args.push_back(entry.path().string());
    }
    args.push_back(std::string(KAVET_LV2_BUNDLE) + "/manifest.ttl");
    args.push_back(std::string(KAVET_LV2_BUNDLE) + "/kavet.ttl");
    const ProgramRun run = runTool(args);
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("Found 0 errors"), std::string::npos) << run.out;
}

TEST(Lv2Bundle, ListsBothPlugins) {
    const ProgramRun run = runTool({KAVET_LV2LS});
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_EQ(run.out, std::string(kMonoUri) + "\n" + kStereoUri + "\n");
}

// One port as lv2info prints it: its "Key: value" lines (continuation lines add values)
// and its scale points.
struct PortInfo {
    std::map<std::string, std::vector<std::string>> fields;
    std::map<double, std::string> scalePoints;
    std::string one(const std::string& key) const {
        auto it = fields.find(key);
        return it == fields.end() || it->second.empty() ? "" : it->second[0];
    }
    double number(const std::string& key) const {
        const std::string v = one(key);
        return v.empty() ? NAN : std::strtod(v.c_str(), nullptr);
    }
    bool has(const std::string& key, const std::string& suffix) const {
        auto it = fields.find(key);
        if (it == fields.end()) return false;
        return std::any_of(it->second.begin(), it->second.end(), [&](const std::string& v) {
            return v.size() >= suffix.size() &&
                   v.compare(v.size() - suffix.size(), suffix.size(), suffix) == 0;
        });
    }
};

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    const auto e = s.find_last_not_of(" \t");
    return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

std::map<int, PortInfo> readPorts(const std::string& text) {
    std::map<int, PortInfo> ports;
    PortInfo* port = nullptr;
    std::string lastKey;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("\tPort ", 0) == 0) {
            port = &ports[std::atoi(line.c_str() + 6)];
            continue;
        }
        if (port == nullptr || line.rfind("\t\t", 0) != 0) continue;
        if (line.rfind("\t\t\t", 0) == 0) { // a scale point: VALUE = "LABEL"
            const auto eq = line.find(" = \"");
            if (eq == std::string::npos) continue;
            const std::string label = line.substr(eq + 4, line.size() - eq - 5);
            port->scalePoints[std::strtod(line.c_str() + 3, nullptr)] = label;
        } else if (line[2] != ' ' && line.find(':') != std::string::npos) {
            lastKey = line.substr(2, line.find(':') - 2);
            port->fields[lastKey].push_back(trimmed(line.substr(line.find(':') + 1)));
        } else if (!lastKey.empty()) {
            port->fields[lastKey].push_back(trimmed(line));
        }
    }
    return ports;
}

std::string lowercase(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The channel suffixes the ports carry: none in the mono build.
const std::vector<std::string> kChannelSymbols =
    kStereo ? std::vector<std::string>{"_l", "_r"} : std::vector<std::string>{""};

TEST(Lv2Bundle, PortsFollowTheParameterTable) {
    const ProgramRun run = runTool({KAVET_LV2INFO, kThisUri});
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const std::map<int, PortInfo> ports = readPorts(run.out);
    // Audio in, audio out, one control per parameter, enabled, peaks, RMS.
    const int channels = kNumChannels;
    ASSERT_EQ(static_cast<int>(ports.size()), 2 * channels + kNumParams + 1 + 2 * channels);

    for (int c = 0; c < channels; ++c) {
        const PortInfo& in = ports.at(c);
        const PortInfo& out = ports.at(channels + c);
        EXPECT_EQ(in.one("Symbol"), "in" + kChannelSymbols[c]);
        EXPECT_TRUE(in.has("Type", "#AudioPort") && in.has("Type", "#InputPort"));
        EXPECT_EQ(out.one("Symbol"), "out" + kChannelSymbols[c]);
        EXPECT_TRUE(out.has("Type", "#AudioPort") && out.has("Type", "#OutputPort"));
    }
    for (int i = 0; i < kNumParams; ++i) {
        const ParamInfo& p = kParamInfo[i];
        SCOPED_TRACE(p.name);
        const PortInfo& port = ports.at(2 * channels + i);
        const PlainRange range = plainRange(i, kWidestTrimDb);
        // The gain's −∞ is written as the floor, which stands for silence.
        const double min = std::isinf(range.min) ? -90.0 : range.min;
        EXPECT_EQ(port.one("Symbol"), lowercase(p.name));
        EXPECT_EQ(port.one("Name"), p.name);
        EXPECT_TRUE(port.has("Type", "#ControlPort") && port.has("Type", "#InputPort"));
        EXPECT_NEAR(port.number("Minimum"), min, 1e-5);
        EXPECT_NEAR(port.number("Maximum"), range.max, 1e-5);
        EXPECT_NEAR(port.number("Default"), plainFromValue(i, p.defaultValue, kWidestTrimDb), 1e-5);
        const bool isSwitch = p.kind == ParamKind::Switch;
        EXPECT_EQ(port.has("Properties", "#toggled"), isSwitch);
        if (isSwitch) {
            const std::map<double, std::string> expected = {{0.0, p.offText}, {1.0, p.onText}};
            EXPECT_EQ(port.scalePoints, expected);
        }
        if (p.law == ParamLaw::Gain) {
            EXPECT_EQ(port.scalePoints.count(-90.0), 1u);
            EXPECT_EQ(valueFromPlain(i, range.min, kWidestTrimDb), 0.0); // −∞ is silence
        }
    }
    const PortInfo& enabled = ports.at(2 * channels + kNumParams);
    EXPECT_EQ(enabled.one("Symbol"), "enabled");
    EXPECT_EQ(enabled.number("Default"), 1.0);
    EXPECT_TRUE(enabled.has("Properties", "#toggled"));
    for (int kind = 0; kind < 2; ++kind) {
        for (int c = 0; c < channels; ++c) {
            const PortInfo& meter = ports.at(2 * channels + kNumParams + 1 + kind * channels + c);
            std::string symbol = kind == 0 ? "peak" : "rms";
            EXPECT_EQ(meter.one("Symbol"), symbol.append(kChannelSymbols[c]));
            EXPECT_TRUE(meter.has("Type", "#ControlPort") && meter.has("Type", "#OutputPort"));
            EXPECT_EQ(meter.number("Minimum"), -90.0);
        }
    }
}

// One setting of the strip, given to lv2apply as port values and to kavet as options.
struct Setting {
    const char* name;
    double gainDb, trimDb, panPercent;
    bool phase, mute, bypass, hostBypass; // hostBypass: the enabled port at 0
};

const Setting kSettings[] = {
    {"defaults", 0.0, 0.0, 0.0, false, false, false, false},
    {"gain -6.02, phase, pan L30", -6.02, 0.0, -30.0, true, false, false, false},
    {"trim +10, mute off, bypass", 0.0, 10.0, 0.0, false, false, true, false},
    {"gain -20, mute, pan R45, the host bypasses", -20.0, 0.0, 45.0, false, true, false, true},
};

std::string text(double x) {
    std::ostringstream s;
    s << x;
    return s.str();
}

// kavet's reading of a dB option (a double) and lv2apply's (a port float) must give one
// normalised value, or the two outputs cannot be compared to the bit.
void expectSameNormalised(int index, double plain) {
    const double range = trimRangeDb(kDefaultPrefs.words[kPrefTrimRange]);
    const float kavet =
        static_cast<float>(std::clamp(valueFromPlain(index, plain, range), 0.0, 1.0));
    EXPECT_EQ(lv2::normalisedFromPort(index, static_cast<float>(plain), range), kavet)
        << kParamInfo[index].name << " at " << plain;
}

TEST(Lv2Audio, EqualsTheVstModuleBitForBit) {
    TempFolder folder;
    const Audio input = testSignal(kNumChannels, 12000);
    writeAudio(folder / "in.wav", input);
    for (const Setting& s : kSettings) {
        if (!kStereo && s.panPercent != 0.0) continue;
        SCOPED_TRACE(s.name);
        expectSameNormalised(kGain, s.gainDb);
        expectSameNormalised(kTrim, s.trimDb);
        if (kStereo) expectSameNormalised(kPan, s.panPercent);

        std::vector<std::string> lv2 = {KAVET_LV2APPLY, "-i", folder / "in.wav", "-o",
                                        folder / "lv2.wav"};
        std::vector<std::string> vst = {KAVET_BINARY,       "process",  folder / "in.wav",
                                        folder / "vst.wav", "--plugin", KAVET_VST_MODULE};
        auto port = [&lv2](const char* symbol, double value) {
            lv2.insert(lv2.end(), {"-c", symbol, text(value)});
        };
        port("gain", s.gainDb);
        port("trim", s.trimDb);
        port("phase", s.phase);
        port("mute", s.mute);
        port("bypass", s.bypass);
        port("enabled", !s.hostBypass);
        vst.insert(vst.end(), {"--gain", text(s.gainDb), "--trim", text(s.trimDb)});
        if (kStereo) {
            port("pan", s.panPercent);
            const double p = s.panPercent;
            std::string pan = p == 0.0 ? "C" : p < 0.0 ? "L" : "R";
            if (p != 0.0) pan.append(text(std::fabs(p)));
            vst.insert(vst.end(), {"--pan", pan});
        }
        if (s.phase) vst.push_back("--phase");
        if (s.mute) vst.push_back("--mute");
        if (s.bypass || s.hostBypass) vst.push_back("--bypass");
        lv2.push_back(kThisUri);

        const ProgramRun lv2Run = runTool(lv2);
        ASSERT_EQ(lv2Run.exitCode, 0) << lv2Run.out;
        const ProgramRun vstRun = runTool(vst);
        ASSERT_EQ(vstRun.exitCode, 0) << vstRun.out;
        const Audio a = readAudio(folder / "lv2.wav");
        const Audio b = readAudio(folder / "vst.wav");
        ASSERT_EQ(a.channels, kNumChannels);
        ASSERT_EQ(a.samples.size(), input.samples.size());
        ASSERT_EQ(b.samples.size(), input.samples.size());
        std::size_t differing = 0;
        for (std::size_t k = 0; k < a.samples.size(); ++k)
            differing += std::memcmp(&a.samples[k], &b.samples[k], sizeof(float)) != 0;
        EXPECT_EQ(differing, 0u);
        // The strip did what the setting asks: unity leaves the signal as it was.
        const bool unity = s.bypass || s.hostBypass ||
                           (s.gainDb == 0.0 && s.trimDb == 0.0 && !s.phase && s.panPercent == 0.0);
        EXPECT_EQ(a.samples == input.samples, unity);
    }
}

} // namespace
} // namespace kavet::test
