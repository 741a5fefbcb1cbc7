// kavet process: files through the strip, checked sample by sample.
#include "cli_checks.h"

#include "core/prefs.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sndfile.h>

namespace kavet::test {
namespace {

const std::string kFixtures = KAVET_FIXTURE_DIR;
constexpr double kHalf = 1e-6; // "--gain -6.0206" is 0.5 within this

class KavetProcess : public ::testing::Test {
protected:
    // Writes `audio` as in.wav, processes it with `options`, answers out.wav.
    Audio process(const Audio& audio, std::vector<std::string> options, ProgramRun* run = nullptr) {
        writeAudio(dir / "in.wav", audio);
        std::vector<std::string> args = {"process", dir / "in.wav", dir / "out.wav"};
        args.insert(args.end(), options.begin(), options.end());
        const ProgramRun result = runKavetOk(args);
        if (run != nullptr) *run = result;
        return readAudio(dir / "out.wav");
    }

    TempFolder dir;
};

// Float WAV holds values beyond full scale; they pass untouched too.
Audio withOverloads(Audio audio) {
    audio.samples[0] = 1.5f;
    audio.samples[1] = -2.0f;
    audio.samples[2] = 1e-30f;
    return audio;
}

TEST_F(KavetProcess, DefaultSettingsCopyTheInputBitForBit) {
    struct Case {
        int channels;
        const char* block;
        bool useDouble;
    };
    const Case cases[] = {{2, "512", false}, {2, "512", true},   {2, "1", false},
                          {2, "7", false},   {2, "65536", true}, {1, "512", false},
                          {1, "7", true},    {3, "512", false},  {3, "100", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.channels) + " channel(s), block " + c.block +
                     (c.useDouble ? ", 64-bit" : ", 32-bit"));
        const Audio in = withOverloads(testSignal(c.channels, 10007));
        std::vector<std::string> options = {"--block", c.block};
        if (c.useDouble) options.push_back("--double");
        const Audio out = process(in, options);
        EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
        EXPECT_EQ(out.sampleRate, in.sampleRate);
        EXPECT_EQ(out.channels, in.channels);
        EXPECT_EQ(out.samples, in.samples);
    }
}

TEST_F(KavetProcess, GainMinus6dBHalvesTheSignalFromTheFirstSample) {
    // The parameters are set before the effect is resumed, and resume puts the gains at
    // their targets: no glide from unity at the start of a file.
    for (int channels : {1, 2, 3}) {
        for (bool useDouble : {false, true}) {
            SCOPED_TRACE(std::to_string(channels) + " channel(s)" + (useDouble ? ", 64-bit" : ""));
            const Audio in = testSignal(channels, 6000);
            std::vector<std::string> options = {"--gain", "-6.0206"};
            if (useDouble) options.push_back("--double");
            expectScaled(in, process(in, options), std::vector<double>(channels, 0.5), kHalf);
        }
    }
}

TEST_F(KavetProcess, StripSettingsReachTheSignal) {
    struct Case {
        int channels;
        std::vector<std::string> options;
        std::vector<double> factor;
        double tolerance;
    };
    const double trimPlus6 = std::pow(10.0, 6.0 / 20.0);
    const Case cases[] = {
        {2, {"--gain", "-inf"}, {0.0, 0.0}, 0.0},
        {2, {"--gain", "-INF"}, {0.0, 0.0}, 0.0},
        {2, {"--gain=-6.0206"}, {0.5, 0.5}, kHalf},
        {2, {"--gain", "18.06"}, {std::pow(10.0, 18.06 / 20), std::pow(10.0, 18.06 / 20)}, 1e-5},
        {2, {"--mute"}, {0.0, 0.0}, 0.0},
        {2, {"--phase"}, {-1.0, -1.0}, 0.0},
        {2, {"--phase", "--gain", "-6.0206"}, {-0.5, -0.5}, kHalf},
        {2, {"--bypass", "--gain", "-20", "--phase", "--mute"}, {1.0, 1.0}, 0.0},
        {2, {"--pan", "C"}, {1.0, 1.0}, 0.0},
        {2, {"--pan", "L30"}, {1.0, 0.7}, 1e-6},
        {2, {"--pan", "R45"}, {0.55, 1.0}, 1e-6},
        {2, {"--pan", "l100"}, {1.0, 0.0}, 0.0},
        {2, {"--pan", "R0"}, {1.0, 1.0}, 0.0},
        {2, {"--trim", "6"}, {trimPlus6, trimPlus6}, 1e-5},
        {2, {"--trim", "-36"}, {std::pow(10.0, -1.8), std::pow(10.0, -1.8)}, 1e-7},
        {2, {"--gain", "6", "--trim", "-6"}, {1.0, 1.0}, 1e-6},
        {2, {"--gain", "-20", "--gain", "-6.0206"}, {0.5, 0.5}, kHalf}, // the last one counts
        {1, {"--phase"}, {-1.0}, 0.0},
        {1, {"--trim", "6", "--phase"}, {-trimPlus6}, 1e-5},
        {3, {"--mute"}, {0.0, 0.0, 0.0}, 0.0},
    };
    for (const Case& c : cases) {
        std::string name = std::to_string(c.channels) + " channel(s):";
        for (const std::string& option : c.options)
            name += " " + option;
        SCOPED_TRACE(name);
        const Audio in = testSignal(c.channels, 3000);
        expectScaled(in, process(in, c.options), c.factor, c.tolerance);
    }
}

// --trim stretches over the trim range the plug-in has (the stored preference that the
// options page sets), and a value beyond that range is refused with one line naming it.
TEST_F(KavetProcess, TrimFollowsTheStoredTrimRange) {
    struct Case {
        int word; // 0 for ±12 dB, 1 for ±24 dB, 2 for ±36 dB
        const char* trim;
        const char* refusal; // the range named, or null when the trim is applied
    };
    const Case cases[] = {
        {0, "10", nullptr},  {0, "-12", nullptr},           {0, "12.5", "-12 to +12 dB"},
        {1, "-24", nullptr}, {1, "24.01", "-24 to +24 dB"}, {1, "13", nullptr},
        {2, "36", nullptr},  {2, "-36.5", "-36 to +36 dB"}, {2, "-7", nullptr},
    };
    const Audio in = testSignal(2, 3000);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("trim range word ") + std::to_string(c.word) + ", --trim " +
                     c.trim);
        PlugPrefs prefs;
        prefs.set(kPrefTrimRange, c.word);
        prefs.savePrefs();
        if (c.refusal != nullptr) {
            writeAudio(dir / "in.wav", in);
            const ProgramRun run =
                runKavet({"process", dir / "in.wav", dir / "refused.wav", "--trim", c.trim});
            EXPECT_NE(run.exitCode, 0);
            EXPECT_NE(run.err.find(c.refusal), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("options page"), std::string::npos) << run.err;
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
            continue;
        }
        const double factor = std::pow(10.0, std::atof(c.trim) / 20.0);
        expectScaled(in, process(in, {"--trim", c.trim}), {factor, factor}, 1e-5 * factor);
    }
    PlugPrefs().savePrefs();
}

TEST_F(KavetProcess, FilesOtherThanStereoRunThroughOneMonoInstancePerChannel) {
    struct Case {
        int channels;
        const char* summary;
    };
    const Case cases[] = {{1, "Kavet Mono in 1 instance(s)"},
                          {2, "Kavet Stereo in 1 instance(s)"},
                          {3, "Kavet Mono in 3 instance(s)"},
                          {5, "Kavet Mono in 5 instance(s)"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.summary);
        // Every channel differs, so a channel sent through the wrong instance shows.
        const Audio in = testSignal(c.channels, 2000);
        ProgramRun run;
        const Audio out = process(in, {"--phase", "--gain", "-6.0206"}, &run);
        EXPECT_NE(run.out.find(c.summary), std::string::npos) << run.out;
        expectScaled(in, out, std::vector<double>(c.channels, -0.5), kHalf);
        EXPECT_EQ(levelRows(run.out).size(), static_cast<std::size_t>(c.channels));
    }
}

TEST_F(KavetProcess, OutputFormatFollowsTheExtension) {
    struct Case {
        const char* name;
        int format;
        double tolerance; // of the samples read back
    };
    const Case cases[] = {
        {"out.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0.0},
        {"OUT.WAV", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0.0},
        {"out.aif", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 0.0},
        {"out.aiff", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 0.0},
        {"out.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 0.6 / 8388608.0},
        {"out.Flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 0.6 / 8388608.0},
    };
    const Audio in = testSignal(2, 4000, 44100);
    writeAudio(dir / "in.wav", in);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        runKavetOk({"process", dir / "in.wav", dir / c.name});
        const Audio out = readAudio(dir / c.name);
        EXPECT_EQ(out.format, c.format);
        EXPECT_EQ(out.sampleRate, 44100);
        expectScaled(in, out, {1.0, 1.0}, c.tolerance);
        std::remove((dir / c.name).c_str());
    }
}

TEST_F(KavetProcess, IntegerAndCompressedInputsAreRead) {
    const int formats[] = {SF_FORMAT_WAV | SF_FORMAT_PCM_16, SF_FORMAT_AIFF | SF_FORMAT_PCM_24,
                           SF_FORMAT_FLAC | SF_FORMAT_PCM_16, SF_FORMAT_FLAC | SF_FORMAT_PCM_24};
    for (int format : formats) {
        SCOPED_TRACE(format);
        const std::string input =
            dir / ((format & SF_FORMAT_TYPEMASK) == SF_FORMAT_FLAC ? "in.flac" : "in.aiff");
        writeAudio(input, testSignal(2, 3000), format);
        const Audio in = readAudio(input);
        runKavetOk({"process", input, dir / "out.wav", "--gain", "-6.0206"});
        expectScaled(in, readAudio(dir / "out.wav"), {0.5, 0.5}, kHalf);
    }
}

TEST_F(KavetProcess, PrintsPeakAndRmsOfEachChannelInDb) {
    ProgramRun run;
    process(squareWave(2, 48000, 0.5f), {"--gain", "-6.0206", "--pan", "L100"}, &run);
    const auto rows = levelRows(run.out);
    ASSERT_EQ(rows.size(), 2u) << run.out;
    // A square wave of amplitude 0.5 has peak and RMS at 20 log10 0.5 = -6.02 dB.
    const std::array<double, 4> left = {-6.02, -6.02, -12.04, -12.04};
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_DOUBLE_EQ(rows[0][k], left[k]) << k;
    EXPECT_DOUBLE_EQ(rows[1][0], -6.02);
    EXPECT_DOUBLE_EQ(rows[1][1], -6.02);
    EXPECT_EQ(rows[1][2], -INFINITY) << "a silent channel reads -inf";
    EXPECT_EQ(rows[1][3], -INFINITY);
}

TEST_F(KavetProcess, EmptyFileGivesAnEmptyOutput) {
    ProgramRun run;
    const Audio out = process(Audio{48000, 2, 0, {}}, {}, &run);
    EXPECT_EQ(out.channels, 2);
    EXPECT_EQ(out.frames(), 0u);
    const auto rows = levelRows(run.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][1], -INFINITY);
}

TEST_F(KavetProcess, OutputMayReplaceTheInputOrAnExistingFile) {
    const Audio in = testSignal(2, 3000);
    writeAudio(dir / "a.wav", in);
    writeAudio(dir / "b.wav", testSignal(1, 10));
    runKavetOk({"process", dir / "a.wav", dir / "b.wav", "--gain", "-6.0206"});
    expectScaled(in, readAudio(dir / "b.wav"), {0.5, 0.5}, kHalf);
    runKavetOk({"process", dir / "a.wav", dir / "a.wav", "--phase"});
    expectScaled(in, readAudio(dir / "a.wav"), {-1.0, -1.0}, 0.0);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"a.wav", "b.wav"}));
}

TEST_F(KavetProcess, OptionsMayComeAnywhereAndDoubleDashEndsThem) {
    const Audio in = testSignal(2, 2000);
    writeAudio(dir / "-odd.wav", in);
    runKavetOk({"process", "--gain=-6.0206", "--", "-odd.wav", "out.wav"}, dir.path());
    expectScaled(in, readAudio(dir / "out.wav"), {0.5, 0.5}, kHalf);
}

TEST_F(KavetProcess, RelativeModulePathIsAFileNotALibrarySearch) {
    const Audio in = testSignal(1, 1000);
    writeAudio(dir / "in.wav", in);
    std::ifstream source(kFixtures + "/kavet_fixture_main_only.so", std::ios::binary);
    std::ofstream(dir / "old.so", std::ios::binary) << source.rdbuf();
    runKavetOk({"process", "in.wav", "out.wav", "--plugin", "old.so"}, dir.path());
    EXPECT_EQ(readAudio(dir / "out.wav").samples, in.samples);
}

TEST_F(KavetProcess, HostSetsRateAndBlockSizeBeforeResumeAndSendsShortLastBlock) {
    Audio in = testSignal(1, 1000, 44100);
    ProgramRun run;
    const Audio out =
        process(in, {"--plugin", kFixtures + "/kavet_fixture_probe.so", "--block", "300"}, &run);
    ASSERT_EQ(out.frames(), 1000u);
    // Each block starts with: rate and block size at resume, block length, callback's rate.
    const std::pair<std::size_t, float> blocks[] = {
        {0, 300.0f}, {300, 300.0f}, {600, 300.0f}, {900, 100.0f}};
    for (const auto& [start, length] : blocks) {
        SCOPED_TRACE(start);
        EXPECT_EQ(out.at(start, 0), 44100.0f);
        EXPECT_EQ(out.at(start + 1, 0), 300.0f);
        EXPECT_EQ(out.at(start + 2, 0), length);
        EXPECT_EQ(out.at(start + 3, 0), 44100.0f);
        EXPECT_EQ(out.at(start + 4, 0), in.at(start + 4, 0)); // the rest passes through
    }
}

// The same file through the VST module and through the host-format module of the same
// build, with the same options, gives the same output file byte for byte: the settings
// reach the host-format effect before its first block, with no glide from the defaults.
TEST_F(KavetProcess, HostFormatModulesWriteWhatTheVstModulesWrite) {
    struct Module {
        int channels; // of the file
        const char* vst;
        const char* hostFormat;
    };
    const Module modules[] = {{2, KAVET_STEREO_MODULE, KAVET_PT_STEREO_MODULE},
                              {1, KAVET_MONO_MODULE, KAVET_PT_MONO_MODULE},
                              {3, KAVET_MONO_MODULE, KAVET_PT_MONO_MODULE}};
    const std::vector<std::vector<std::string>> optionSets = {
        {},
        {"--gain", "-6", "--pan", "L30", "--phase"},
        {"--mute"},
        {"--bypass", "--gain", "-20"},
        {"--trim", "12"},
        {"--gain", "-3.5", "--trim", "-7", "--block", "100"},
    };
    // The file's bytes, but for the time of writing that libsndfile stamps into the PEAK
    // chunk of a float WAV (4 bytes, 12 bytes after the chunk's ID).
    auto slurp = [](const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        std::string bytes(std::istreambuf_iterator<char>(file), {});
        const std::size_t peak = bytes.find("PEAK");
        if (peak != std::string::npos && peak < 128 && peak + 16 <= bytes.size())
            bytes.replace(peak + 12, 4, 4, '\0');
        return bytes;
    };
    for (const Module& m : modules) {
        const Audio in = testSignal(m.channels, 9001);
        writeAudio(dir / "in.wav", in);
        for (std::vector<std::string> options : optionSets) {
            if (m.channels != 2 && options.size() > 2 && options[2] == "--pan")
                options.erase(options.begin() + 2, options.begin() + 4); // mono: no pan
            std::string trace = std::to_string(m.channels) + " channel(s):";
            for (const std::string& option : options)
                trace += " " + option;
            SCOPED_TRACE(trace);
            std::vector<std::string> vst = {"process", dir / "in.wav", dir / "vst.wav", "--plugin",
                                            m.vst};
            std::vector<std::string> pt = {"process", dir / "in.wav", dir / "pt.wav", "--plugin",
                                           m.hostFormat};
            vst.insert(vst.end(), options.begin(), options.end());
            pt.insert(pt.end(), options.begin(), options.end());
            runKavetOk(vst);
            const ProgramRun run = runKavetOk(pt);
            const std::string expected = slurp(dir / "vst.wav");
            ASSERT_GT(expected.size(), in.samples.size() * sizeof(float));
            ASSERT_NE(expected.find("PEAK"), std::string::npos);
            EXPECT_TRUE(slurp(dir / "pt.wav") == expected) << "the files differ";
            const Audio out = readAudio(dir / "pt.wav");
            EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
            // Only the defaults and bypass (whatever the gain) leave the signal as it was.
            const bool unchanged = options.empty() || options[0] == "--bypass";
            EXPECT_EQ(out.samples == in.samples, unchanged);
            const std::string instances = m.channels == 3 ? "in 3 instance(s)" : "in 1 instance(s)";
            EXPECT_NE(run.out.find(instances), std::string::npos) << run.out;
        }
    }
}

} // namespace
} // namespace kavet::test
