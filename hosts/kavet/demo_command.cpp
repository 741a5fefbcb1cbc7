// kavet demo [OUT] [--plugin PATH]: the strip at work on a built-in test signal.
#include "arguments.h"
#include "audio_file.h"
#include "commands.h"
#include "demo_signal.h"
#include "editor_picture.h"
#include "module_kind.h"
#include "param_values.h"
#include "process_job.h"
#include "usage_error.h"

#include <cstdio>
#include <filesystem>

namespace kavet::cli {

namespace {

// What the demo shows: the fader at -6 dB, the image 30 % to the left, the polarity flipped.
constexpr double kDemoGainDb = -6.0;
constexpr double kDemoPanPercent = -30.0;

// "out/take.wav" -> "out/take-in.wav".
std::string inputPathFor(const std::string& output) {
    std::filesystem::path path(output);
    const std::string name = path.stem().string() + "-in" + path.extension().string();
    return (path.parent_path() / name).string();
}

// "out/take.wav" -> "out/take-editor.png".
std::string picturePathFor(const std::string& output) {
    std::filesystem::path path(output);
    return (path.parent_path() / (path.stem().string() + "-editor.png")).string();
}

void writeDemoInput(const std::string& path) {
    const std::vector<float> signal = makeDemoSignal();
    OutputFile file(path, kDemoSampleRate, kDemoChannels);
    file.write(signal.data(), signal.size() / kDemoChannels);
    file.commit();
}

} // namespace

void runDemo(const std::vector<std::string>& args) {
    ProcessJob job;
    const auto positional = parseArguments(
        args, {{"--plugin", true, [&job](const std::string& value) { job.plugin = value; }}});
    if (positional.size() > 1)
        throw UsageError("demo: unexpected argument '" + positional[1] + "'");
    job.output = positional.empty() ? "kavet-demo.wav" : positional[0];
    job.input = inputPathFor(job.output);
    job.settings = {{kGain, toNormalised(kGain, kDemoGainDb, 0)},
                    {kPhase, 1.0f},
                    {kPan, toNormalised(kPan, kDemoPanPercent, 0)}};

    outputFormatFor(job.output);
    writeDemoInput(job.input);
    const ProcessResult result = runProcessJob(job);
    std::printf("demo: gain %+.1f dB, pan L%.0f, phase flipped\n", kDemoGainDb, -kDemoPanPercent);
    printProcessResult(job, result);

    // The editor as it looked at the end of the run (the VST modules say which editor).
    if (!job.plugin.empty() && moduleKind(job.plugin) != ModuleKind::Vst) return;
    std::vector<std::string> picture = {
        "--png",  picturePathFor(job.output),  "--signal", job.input,
        "--gain", std::to_string(kDemoGainDb), "--phase"};
    if (job.plugin.empty()) {
        char pan[16];
        std::snprintf(pan, sizeof pan, "L%.0f", -kDemoPanPercent);
        picture.push_back("--pan"); // the default module is the stereo one
        picture.push_back(pan);
    } else {
        picture.push_back("--plugin");
        picture.push_back(job.plugin);
    }
    runEditor(picture);
}

} // namespace kavet::cli
