// Bad input to the kavet tool: one line on standard error, a failing exit status, and no
// output file (nor a temporary one) left behind.
#include "audio_io.h"
#include "cli_runner.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sndfile.h>
#include <span>
#include <sys/stat.h>

namespace kavet::test {
namespace {

const std::string kFixtures = KAVET_FIXTURE_DIR;

struct RefusalCase {
    const char* name;
    std::vector<std::string> args;
    const char* what;
};

// A folder with the inputs every refusal case may use.
class KavetRefusals : public ::testing::Test {
protected:
    void SetUp() override {
        writeAudio(dir / "stereo.wav", testSignal(2, 1000));
        writeAudio(dir / "mono.wav", testSignal(1, 1000));
        writeAudio(dir / "ten.wav", testSignal(10, 100));
        Audio fast = testSignal(1, 100);
        fast.sampleRate = 1 << 30; // the lowest rate an AIFF file of libsndfile cannot hold
        writeAudio(dir / "fast.wav", fast);
        writeAudio(dir / "empty.wav", testSignal(1, 0));
        std::ofstream(dir / "junk.wav") << "not audio at all\n";
        std::ofstream(dir / "junk.so") << "not a shared object\n";
        mkdir((dir / "folder").c_str(), 0755);
        before = dir.names();
    }

    // Runs a case and checks the refusal rules; `what` is part of the expected message.
    void expectRefused(const std::vector<std::string>& args, const std::string& what) {
        const ProgramRun run = runKavet(args, dir.path());
        EXPECT_NE(run.exitCode, 0);
        EXPECT_EQ(run.signal, 0);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(run.err.rfind("kavet: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(what), std::string::npos) << run.err;
        EXPECT_EQ(dir.names(), before) << "files were left behind";
    }
    // Every case of a table, each named in the failures it has.
    void expectRefused(std::span<const RefusalCase> cases) {
        for (const RefusalCase& c : cases) {
            SCOPED_TRACE(c.name);
            expectRefused(c.args, c.what);
        }
    }

    TempFolder dir;
    std::vector<std::string> before;
};

TEST_F(KavetRefusals, BadCommandLinesAreRefusedWithOneLine) {
    const RefusalCase cases[] = {
        {"no command", {}, "no command"},
        {"unknown command", {"frobnicate"}, "unknown command 'frobnicate'"},
        {"unknown option",
         {"process", "stereo.wav", "out.wav", "--loud"},
         "unknown option '--loud'"},
        {"single-dash option", {"process", "stereo.wav", "out.wav", "-g"}, "unknown option '-g'"},
        {"missing value", {"process", "stereo.wav", "out.wav", "--gain"}, "--gain needs a value"},
        {"flag given a value", {"process", "stereo.wav", "out.wav", "--phase=1"}, "takes no value"},
        {"no output", {"process", "stereo.wav"}, "needs an input file and an output file"},
        {"no files", {"process"}, "needs an input file and an output file"},
        {"extra file", {"process", "stereo.wav", "out.wav", "more.wav"}, "unexpected argument"},
        {"gain above the top", {"process", "stereo.wav", "out.wav", "--gain", "18.07"}, "'18.07'"},
        {"gain +inf", {"process", "stereo.wav", "out.wav", "--gain", "inf"}, "'inf'"},
        {"gain nan", {"process", "stereo.wav", "out.wav", "--gain", "nan"}, "'nan'"},
        {"gain text", {"process", "stereo.wav", "out.wav", "--gain", "loud"}, "'loud'"},
        {"gain with unit", {"process", "stereo.wav", "out.wav", "--gain=-6dB"}, "'-6dB'"},
        {"gain empty", {"process", "stereo.wav", "out.wav", "--gain="}, "''"},
        {"trim above", {"process", "stereo.wav", "out.wav", "--trim", "36.01"}, "'36.01'"},
        {"trim below", {"process", "stereo.wav", "out.wav", "--trim", "-37"}, "'-37'"},
        {"block 0", {"process", "stereo.wav", "out.wav", "--block", "0"}, "'0'"},
        {"block too big", {"process", "stereo.wav", "out.wav", "--block", "65537"}, "'65537'"},
        {"block negative", {"process", "stereo.wav", "out.wav", "--block", "-5"}, "'-5'"},
        {"block fraction", {"process", "stereo.wav", "out.wav", "--block", "1.5"}, "'1.5'"},
        {"pan L101", {"process", "stereo.wav", "out.wav", "--pan", "L101"}, "'L101'"},
        {"pan R100.5", {"process", "stereo.wav", "out.wav", "--pan", "R100.5"}, "'R100.5'"},
        {"pan side only", {"process", "stereo.wav", "out.wav", "--pan", "L"}, "'L'"},
        {"pan unknown side", {"process", "stereo.wav", "out.wav", "--pan", "X30"}, "'X30'"},
        {"pan signed", {"process", "stereo.wav", "out.wav", "--pan", "R-5"}, "'R-5'"},
        {"pan number only", {"process", "stereo.wav", "out.wav", "--pan", "30"}, "'30'"},
        {"normalize with gain",
         {"process", "stereo.wav", "out.wav", "--normalize", "-23", "--gain", "0"},
         "leave out --gain and --trim"},
        {"normalize with trim",
         {"process", "stereo.wav", "out.wav", "--trim", "1", "--normalize", "-23"},
         "leave out --gain and --trim"},
        {"ceiling alone",
         {"process", "stereo.wav", "out.wav", "--true-peak-max", "-1"},
         "--true-peak-max goes with --normalize"},
        {"normalize above 0 LUFS",
         {"process", "stereo.wav", "out.wav", "--normalize", "0.1"},
         "'0.1' is not a loudness from -70 to 0 LUFS"},
        {"normalize below -70",
         {"process", "stereo.wav", "out.wav", "--normalize=-70.5"},
         "'-70.5'"},
        {"normalize text", {"process", "stereo.wav", "out.wav", "--normalize", "loud"}, "'loud'"},
        {"ceiling above 0",
         {"process", "stereo.wav", "out.wav", "--normalize", "-23", "--true-peak-max", "0.5"},
         "'0.5' is not a true peak from -30 to 0 dBTP"},
        {"plot not png",
         {"process", "stereo.wav", "out.wav", "--plot", "levels.jpg"},
         "'levels.jpg' is not a .png"},
        {"plot of a batch",
         {"process", "stereo.wav", "-o", "outdir", "--plot", "p.png"},
         "leave it out with -o"},
        {"-r without -o", {"process", "folder", "out.wav", "-r"}, "-r goes with -o DIR"},
        {"-o without inputs", {"process", "-o", "outdir"}, "needs at least one input"},
        {"info extra", {"info", "extra"}, "unexpected argument 'extra'"},
        {"demo extra", {"demo", "a.wav", "b.wav"}, "unexpected argument 'b.wav'"},
    };
    expectRefused(cases);
}

TEST_F(KavetRefusals, BadFilesAreRefusedWithOneLine) {
    const RefusalCase cases[] = {
        {"missing input", {"process", "missing.wav", "out.wav"}, "'missing.wav': no such file"},
        {"input not audio", {"process", "junk.wav", "out.wav"}, "cannot read 'junk.wav'"},
        {"input is a folder", {"process", "folder", "out.wav"}, "is a folder"},
        {"unknown output format", {"process", "stereo.wav", "out.mp3"}, "unknown output format"},
        {"no output extension", {"process", "stereo.wav", "out"}, "unknown output format"},
        {"output folder missing", {"process", "stereo.wav", "nowhere/out.wav"}, "cannot write"},
        {"output format too small", {"process", "ten.wav", "out.flac"}, "cannot hold 10 channels"},
        {"rate too high for AIFF", {"process", "fast.wav", "out.aif"}, "at 1073741824 Hz"},
        {"empty input to FLAC", {"process", "empty.wav", "out.flac"}, "cannot hold an empty file"},
        {"demo output format", {"demo", "show.mp3"}, "unknown output format"},
        {"normalize a file too short to measure",
         {"process", "stereo.wav", "out.wav", "--normalize", "-23"},
         "cannot normalise 'stereo.wav': its loudness cannot be measured"},
        {"plot folder missing",
         {"process", "stereo.wav", "out.wav", "--plot", "nowhere/p.png"},
         "cannot write 'nowhere/p.png'"},
        {"report folder missing",
         {"process", "stereo.wav", "out.wav", "--json", "nowhere/r.json"},
         "cannot write 'nowhere/r.json'"},
    };
    expectRefused(cases);
}

TEST_F(KavetRefusals, ModulesThatAreNotVst24PlugInsAreRefused) {
    const RefusalCase cases[] = {
        {"missing module", {"--plugin", "nowhere.so"}, "no such file"},
        {"module is a folder", {"--plugin", "folder"}, "is a folder"},
        {"not a shared object", {"--plugin", "junk.so"}, "cannot be loaded"},
        {"no entry",
         {"--plugin", kFixtures + "/kavet_fixture_no_entry.so"},
         "exports neither VSTPluginMain nor main"},
        {"null record", {"--plugin", kFixtures + "/kavet_fixture_null_record.so"}, "no effect"},
        {"wrong magic",
         {"--plugin", kFixtures + "/kavet_fixture_bad_magic.so"},
         "magic 0x56737458"},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> process = {"process", "mono.wav", "out.wav"};
        process.insert(process.end(), c.args.begin(), c.args.end());
        expectRefused(process, c.what);
        std::vector<std::string> info = {"info"};
        info.insert(info.end(), c.args.begin(), c.args.end());
        expectRefused(info, c.what);
    }
}

TEST_F(KavetRefusals, ModulesOfNeitherFormatAreRefused) {
    const std::string module = kFixtures + "/kavet_fixture_no_entry.so";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info", "--plugin", module},
          std::vector<std::string>{"process", "stereo.wav", "out.wav", "--plugin", module}}) {
        SCOPED_TRACE(args[0]);
        expectRefused(args, "'" + module +
                                "' is not a plug-in: it exports neither VSTPluginMain nor main "
                                "(VST 2.4), nor NewPlugIn and _PI_GetRoutineDescriptor "
                                "(host format), nor GetPluginFactory (VST 3), nor clap_entry "
                                "(CLAP)");
    }
}

TEST_F(KavetRefusals, HostFormatModulesThatDoNotFitTheRunAreRefused) {
    const RefusalCase cases[] = {
        {"stereo module on a mono file",
         {"process", "mono.wav", "out.wav", "--plugin", KAVET_PT_STEREO_MODULE},
         "2 input(s) and 2 output(s), which does not fit a file of 1 channel(s)"},
        {"pan through the mono module",
         {"process", "mono.wav", "out.wav", "--pan", "L30", "--plugin", KAVET_PT_MONO_MODULE},
         "has no Pan parameter"},
        {"64-bit samples",
         {"process", "stereo.wav", "out.wav", "--double", "--plugin", KAVET_PT_STEREO_MODULE},
         "cannot process 64-bit samples"},
    };
    expectRefused(cases);
}

TEST_F(KavetRefusals, ModulesThatDoNotFitTheFileAreRefused) {
    const RefusalCase cases[] = {
        {"stereo module on a mono file",
         {"process", "mono.wav", "out.wav", "--plugin", KAVET_STEREO_MODULE},
         "2 input(s) and 2 output(s), which does not fit a file of 1 channel(s)"},
        {"stereo module on ten channels",
         {"process", "ten.wav", "out.wav", "--plugin", KAVET_STEREO_MODULE},
         "does not fit a file of 10 channel(s)"},
        {"pan through the mono module",
         {"process", "mono.wav", "out.wav", "--pan", "L30"},
         "has no Pan parameter"},
        {"gain on a module without one",
         {"process", "mono.wav", "out.wav", "--gain", "-6", "--plugin",
          kFixtures + "/kavet_fixture_main_only.so"},
         "has no Gain parameter"},
        {"64-bit on a module without it",
         {"process", "mono.wav", "out.wav", "--double", "--plugin",
          kFixtures + "/kavet_fixture_main_only.so"},
         "cannot process 64-bit samples"},
    };
    expectRefused(cases);
}

// Sets LV2_PATH for a scope, so that a plug-in looked for on the path meets only the
// bundles of the test and none of the machine's.
class ScopedLv2Path {
public:
    explicit ScopedLv2Path(const std::string& path) {
        if (const char* old = std::getenv("LV2_PATH")) saved_ = old;
        setenv("LV2_PATH", path.c_str(), 1);
    }
    ~ScopedLv2Path() {
        if (saved_)
            setenv("LV2_PATH", saved_->c_str(), 1);
        else
            unsetenv("LV2_PATH");
    }
    ScopedLv2Path(const ScopedLv2Path&) = delete;
    ScopedLv2Path& operator=(const ScopedLv2Path&) = delete;

private:
    std::optional<std::string> saved_;
};

TEST_F(KavetRefusals, Lv2PlugInsNotFoundOrNotFittingAreRefused) {
    // A bundle whose manifest describes nothing, and an empty LV2 path.
    mkdir((dir / "nothing.lv2").c_str(), 0755);
    std::ofstream(dir / "nothing.lv2/manifest.ttl")
        << "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n";
    mkdir((dir / "lv2path").c_str(), 0755);
    before = dir.names();
    const ScopedLv2Path path(dir / "lv2path");
    const std::string stereo = "urn:velmorant:kavet:stereo";
    const std::string mono = "urn:velmorant:kavet:mono";
    const RefusalCase found[] = {
        {"unknown URI",
         {"--plugin", "urn:velmorant:kavet:quad"},
         "no LV2 plug-in <urn:velmorant:kavet:quad> in "},
        {"folder that is no bundle",
         {"--plugin", "folder"},
         "not a module, a VST 3 bundle (a folder named *.vst3) nor an LV2 bundle"},
        {"bundle without a plug-in", {"--plugin", "nothing.lv2"}, "describes no plug-in"},
    };
    for (const RefusalCase& c : found) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> info = {"info"};
        info.insert(info.end(), c.args.begin(), c.args.end());
        expectRefused(info, c.what);
        std::vector<std::string> process = {"process", "stereo.wav", "out.wav"};
        process.insert(process.end(), c.args.begin(), c.args.end());
        expectRefused(process, c.what);
    }
    const RefusalCase fit[] = {
        {"stereo plug-in on a mono file",
         {"process", "mono.wav", "out.wav", "--plugin", stereo},
         "2 input(s) and 2 output(s), which does not fit a file of 1 channel(s)"},
        {"pan through the mono plug-in",
         {"process", "mono.wav", "out.wav", "--pan", "L30", "--plugin", mono},
         "has no Pan parameter"},
        {"64-bit samples",
         {"process", "stereo.wav", "out.wav", "--double", "--plugin", stereo},
         "cannot process 64-bit samples"},
        {"gain below the port's floor",
         {"process", "stereo.wav", "out.wav", "--gain", "-90.5", "--plugin", stereo},
         "Gain -90.50 dB is below the LV2 plug-in's floor of -90 dB"},
    };
    expectRefused(fit);
}

TEST_F(KavetRefusals, Vst3ModulesThatCannotBeLoadedOrDoNotFitAreRefused) {
    namespace fs = std::filesystem;
    const std::string noFactory = kFixtures + "/kavet_fixture_no_factory.so";
    fs::create_directories(dir / "Empty.vst3");
    fs::create_directories(dir / "Windows.vst3/Contents/x86_64-win");
    std::ofstream(dir / "Windows.vst3/Contents/x86_64-win/Windows.vst3") << "MZ";
    fs::create_directories(dir / "NoFactory.vst3/Contents/x86_64-linux");
    fs::copy_file(noFactory, dir / "NoFactory.vst3/Contents/x86_64-linux/NoFactory.so");
    before = dir.names();
    const struct {
        const char* name;
        std::string plugin;
        std::string what;
    } cases[] = {
        {"folder without Contents", "Empty.vst3",
         "folder 'Empty.vst3' is not a VST 3 bundle: it holds no Contents folder"},
        {"bundle for another machine", "Windows.vst3/",
         "bundle 'Windows.vst3/' has no binary for this machine "
         "(Windows.vst3/Contents/x86_64-linux/Windows.so)"},
        {"bundle without a factory", "NoFactory.vst3",
         "module 'NoFactory.vst3/Contents/x86_64-linux/NoFactory.so' has no factory "
         "(GetPluginFactory)"},
        {"binary without a factory", noFactory,
         "module '" + noFactory + "' has no factory (GetPluginFactory)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectRefused({"info", "--plugin", c.plugin}, c.what);
        expectRefused({"process", "stereo.wav", "out.wav", "--plugin", c.plugin}, c.what);
    }
    expectRefused({"process", "mono.wav", "out.wav", "--pan", "L30", "--plugin", KAVET_VST3_BUNDLE},
                  std::string("module '") + KAVET_VST3_BUNDLE + "' has no Pan parameter");
}

TEST_F(KavetRefusals, FilesThatAreNotClapModulesAreRefused) {
    namespace fs = std::filesystem;
    fs::copy_file(kFixtures + "/kavet_fixture_no_entry.so", dir / "NoEntry.clap");
    fs::copy_file(KAVET_STEREO_MODULE, dir / "Vst.clap");
    std::ofstream(dir / "Junk.clap") << "not a shared object\n";
    fs::create_directories(dir / "Folder.clap");
    before = dir.names();
    const std::string old = kFixtures + "/kavet_fixture_clap_old_version.so";
    const std::string initFails = kFixtures + "/kavet_fixture_clap_init_fails.so";
    const std::string noFactory = kFixtures + "/kavet_fixture_clap_no_factory.so";
    const std::string empty = kFixtures + "/kavet_fixture_clap_empty.so";
    const struct {
        const char* name;
        std::string plugin, what;
    } cases[] = {
        {"missing", "Missing.clap", "module 'Missing.clap': no such file"},
        {"a folder", "Folder.clap", "module 'Folder.clap': is a folder, not a CLAP module"},
        {"not a shared object", "Junk.clap", "module 'Junk.clap' cannot be loaded: "},
        {"no clap_entry", "NoEntry.clap", "module 'NoEntry.clap' exports no clap_entry"},
        {"another interface version", old,
         "module '" + old +
             "': its clap_entry is of an interface version 0.9 this host does "
             "not speak"},
        {"init refused", initFails, "module '" + initFails + "' refused init"},
        {"no plug-in factory", noFactory, "module '" + noFactory + "' has no plug-in factory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectRefused({"info", "--plugin", c.plugin}, c.what);
        expectRefused({"process", "stereo.wav", "out.wav", "--plugin", c.plugin}, c.what);
    }
    // A module that lists no plug-in is described, but processes nothing.
    const ProgramRun info = runKavet({"info", "--plugin", empty}, dir.path());
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_NE(info.out.find("\nplug-ins        0\n"), std::string::npos) << info.out;
    expectRefused({"process", "stereo.wav", "out.wav", "--plugin", empty},
                  "module '" + empty + "' lists no plug-in");
    // A VST 2.4 module named *.clap is taken for what its exports say.
    EXPECT_EQ(runKavet({"info", "--plugin", "Vst.clap"}, dir.path()).exitCode, 0);
    expectRefused({"process", "mono.wav", "out.wav", "--pan", "L30", "--plugin", KAVET_CLAP_MODULE},
                  std::string("module '") + KAVET_CLAP_MODULE + "' has no Pan parameter");
}

TEST_F(KavetRefusals, FailedRunLeavesAnExistingOutputUntouched) {
    writeAudio(dir / "out.wav", testSignal(2, 10));
    before = dir.names();
    expectRefused({"process", "mono.wav", "out.wav", "--plugin", KAVET_STEREO_MODULE},
                  "does not fit");
    EXPECT_EQ(readAudio(dir / "out.wav").samples, testSignal(2, 10).samples);
}

TEST_F(KavetRefusals, InterruptedRunRemovesItsPartialOutput) {
    const ProgramRun run = runKavet({"process", "mono.wav", "out.wav", "--plugin",
                                     kFixtures + "/kavet_fixture_raise_signal.so"},
                                    dir.path());
    EXPECT_EQ(run.signal, SIGTERM) << "kavet must die of the signal it received";
    EXPECT_EQ(run.err, "kavet: interrupted\n");
    EXPECT_EQ(dir.names(), before) << "files were left behind";
}

} // namespace
} // namespace kavet::test
