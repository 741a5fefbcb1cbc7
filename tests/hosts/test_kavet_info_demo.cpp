// kavet info and kavet demo.
#include "cli_checks.h"

#include <cmath>
#include <sndfile.h>
#include <sstream>

namespace kavet::test {
namespace {

const std::string kFixtures = KAVET_FIXTURE_DIR;

// "index name label display" rows after the record.
std::vector<std::vector<std::string>> parameterRows(const std::string& out) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(out);
    std::string line;
    bool inTable = false;
    while (std::getline(lines, line)) {
        if (line.rfind("index", 0) == 0) {
            inTable = true;
            continue;
        }
        if (!inTable) continue;
        std::istringstream fields(line);
        std::vector<std::string> row;
        for (std::string field; fields >> field;)
            row.push_back(field);
        rows.push_back(row);
    }
    return rows;
}

bool has(const std::string& out, const std::string& line) {
    return out.find(line + "\n") != std::string::npos;
}

struct InfoCase {
    const char* name;
    std::vector<std::string> args;
    std::vector<std::string> lines; // each a whole line of the report
    std::vector<std::string> parameters;
};

TEST(KavetInfo, ReportsTheRecordAndTheParametersOfEachModule) {
    const InfoCase cases[] = {
        {"stereo by default",
         {"info"},
         {"magic           0x56737450 'VstP'", "unique ID       'KvtS' (0x4B767453)",
          "version         1", "programs        1", "parameters      6", "inputs          2",
          "outputs         2",
          "flags           0x00001039 has-editor can-mono can-replacing program-chunks "
          "can-double-replacing",
          "initial delay   0", "vendor          Velmorant Ltd", "product         Kavet Stereo",
          "vendor version  1100", "VST version     2400"},
         {"Gain", "Trim", "Phase", "Mute", "Bypass", "Pan"}},
        {"mono",
         {"info", "--plugin", KAVET_MONO_MODULE},
         {"unique ID       'KvtM' (0x4B76744D)", "parameters      5", "inputs          1",
          "outputs         1",
          "flags           0x00001031 has-editor can-replacing program-chunks can-double-replacing",
          "product         Kavet Mono", "vendor version  1100"},
         {"Gain", "Trim", "Phase", "Mute", "Bypass"}},
        {"old module with only main",
         {"info", "--plugin", kFixtures + "/kavet_fixture_main_only.so"},
         {"unique ID       'Kfix' (0x4B666978)", "flags           0x00000010 can-replacing",
          "product         Fixture"},
         {"Level"}},
    };
    for (const InfoCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramRun run = runKavetOk(c.args);
        for (const std::string& line : c.lines)
            EXPECT_TRUE(has(run.out, line)) << line << "\n" << run.out;
        const auto rows = parameterRows(run.out);
        ASSERT_EQ(rows.size(), c.parameters.size()) << run.out;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            ASSERT_GE(rows[i].size(), 2u);
            EXPECT_EQ(rows[i][0], std::to_string(i));
            EXPECT_EQ(rows[i][1], c.parameters[i]);
        }
    }
}

TEST(KavetInfo, NamesTheEntryItFound) {
    EXPECT_NE(runKavetOk({"info"}).out.find("(entry VSTPluginMain)"), std::string::npos);
    const ProgramRun old =
        runKavetOk({"info", "--plugin", kFixtures + "/kavet_fixture_main_only.so"});
    EXPECT_NE(old.out.find("(entry main)"), std::string::npos);
}

TEST(KavetInfo, DescribesTheGroupAndHostControlsOfHostFormatModules) {
    const InfoCase cases[] = {
        {"stereo host format",
         {"info", "--plugin", KAVET_PT_STEREO_MODULE},
         {"manufacturer    Velmorant Ltd. | VLMR", "manufacturer ID 'VLMR'",
          "product         Kav-et Stereo Plug-In | Kav-et Stereo | Kavet S | KVS",
          "effect types    1", "type            Velmorant Kav-et Stereo | KvtS",
          "kind            RTAS", "type ID         'kvt1'", "product ID      'kvt1'",
          "category        0x00002000", "stems           stereo in, stereo out, side chain none",
          "page table      StereoPageTables", "    1 I/P Gain         continuous/8001   0.0 dB",
          "    2 Trim             continuous/1001   0.500",
          "    3 Phase Invert     switch            off",
          "    4 Mute             switch            off",
          "    5 Master Bypass    switch, bypass    off",
          "    6 Pan              continuous/1001   0.500"},
         {"1", "2", "3", "4", "5", "6"}},
        {"mono host format",
         {"info", "--plugin", KAVET_PT_MONO_MODULE},
         {"type ID         'kvu1'", "stems           mono in, mono out, side chain none",
          "page table      MonoPageTables", "    5 Master Bypass    switch, bypass    off"},
         {"1", "2", "3", "4", "5"}},
    };
    for (const InfoCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramRun run = runKavetOk(c.args);
        EXPECT_NE(run.out.find("(host format, interface"), std::string::npos) << run.out;
        for (const std::string& line : c.lines)
            EXPECT_TRUE(has(run.out, line)) << line << "\n" << run.out;
        const auto rows = parameterRows(run.out);
        ASSERT_EQ(rows.size(), c.parameters.size()) << run.out;
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(rows[i].at(0), c.parameters[i]);
    }
}

// An LV2 plug-in's description as lilv reads it from the bundle: the plug-in and each of its
// ports, the strip's parameters among them with the ranges and defaults of the port table.
TEST(KavetInfo, DescribesLv2PlugInsByBundleOrUri) {
    struct Lv2InfoCase {
        const char* name;
        std::string plugin;
        std::vector<std::string> lines;  // each a whole line of the report
        std::vector<std::string> absent; // text that must not be there
    };
    const std::string bundle = KAVET_LV2_BUNDLE;
    const std::string stereo = "plug-in         urn:velmorant:kavet:stereo";
    const std::string mono = "plug-in         urn:velmorant:kavet:mono";
    const Lv2InfoCase cases[] = {
        {"the bundle: both plug-ins",
         bundle,
         {stereo, mono, "name            Kavet Stereo", "name            Kavet Mono",
          "bundle          " + bundle + "/", "binary          " + bundle + "/kavet_stereo.so",
          "    9 pan        Pan        control in               -100         0       100"},
         {}},
        {"the stereo URI",
         "urn:velmorant:kavet:stereo",
         {stereo, "name            Kavet Stereo", "author          Velmorant Ltd",
          "version         minor 11, micro 0", "required        none",
          "    1 in_r       In R       audio in                    -         -         -",
          "    4 gain       Gain       control in                -90         0   18.0618",
          "    5 trim       Trim       control in                -36         0        36",
          "    8 bypass     Bypass     control in                  0         0         1",
          "    9 pan        Pan        control in               -100         0       100",
          "   10 enabled    Enabled    control in, enable          0         1         1",
          "   14 rms_r      RMS R      control out               -90       -90   54.0618"},
         {mono, "Kavet Mono"}},
        {"the mono URI",
         "urn:velmorant:kavet:mono",
         {mono, "name            Kavet Mono",
          "    2 gain       Gain       control in                -90         0   18.0618",
          "    6 bypass     Bypass     control in                  0         0         1",
          "    7 enabled    Enabled    control in, enable          0         1         1",
          "    9 rms        RMS        control out               -90       -90   54.0618"},
         {stereo, " pan "}},
    };
    for (const Lv2InfoCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramRun run = runKavetOk({"info", "--plugin", c.plugin});
        for (const std::string& line : c.lines)
            EXPECT_TRUE(has(run.out, line)) << line << "\n" << run.out;
        for (const std::string& text : c.absent)
            EXPECT_EQ(run.out.find(text), std::string::npos) << text << "\n" << run.out;
    }
}

TEST(KavetDemo, WritesTheTestSignalAndItsProcessedResult) {
    TempFolder dir;
    const ProgramRun run = runKavetOk({"demo"}, dir.path());
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"kavet-demo-editor.png", "kavet-demo-in.wav",
                                                     "kavet-demo.wav"}));
    EXPECT_NE(run.out.find("gain -6.0 dB, pan L30, phase flipped"), std::string::npos) << run.out;
    EXPECT_EQ(levelRows(run.out).size(), 2u);

    const Audio in = readAudio(dir / "kavet-demo-in.wav");
    const Audio out = readAudio(dir / "kavet-demo.wav");
    EXPECT_EQ(in.sampleRate, 48000);
    EXPECT_EQ(in.channels, 2);
    EXPECT_EQ(in.frames(), 4u * 48000u);
    float peak[2] = {0.0f, 0.0f};
    for (std::size_t i = 0; i < in.frames(); ++i)
        for (int c = 0; c < 2; ++c)
            peak[c] = std::max(peak[c], std::fabs(in.at(i, c)));
    EXPECT_GT(peak[0], 0.2f);
    EXPECT_LT(peak[0], 1.0f);
    EXPECT_NE(in.at(1000, 0), in.at(1000, 1)) << "the noise differs between the channels";

    // -6 dB, polarity flipped; pan L30 leaves the left side at unity and the right at 0.7.
    const double gain = std::pow(10.0, -6.0 / 20.0);
    expectScaled(in, out, {-gain, -0.7 * gain}, 1e-6);
}

TEST(KavetDemo, IsTheSameEveryTimeAndTakesTheOutputFormatFromTheName) {
    TempFolder dir;
    runKavetOk({"demo"}, dir.path());
    runKavetOk({"demo", dir / "show.aiff"});
    EXPECT_EQ(readAudio(dir / "show-in.aiff").samples,
              readAudio(dir / "kavet-demo-in.wav").samples);
    EXPECT_EQ(readAudio(dir / "show.aiff").samples, readAudio(dir / "kavet-demo.wav").samples);
    EXPECT_EQ(readAudio(dir / "show.aiff").format, SF_FORMAT_AIFF | SF_FORMAT_FLOAT);
}

} // namespace
} // namespace kavet::test
