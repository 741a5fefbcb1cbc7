// Host mistakes seen in the wild, each with the effect's defined answer, through the effect
// record as a host has it. The sanitizer builds run it too: no answer reads or writes out of
// bounds.
#include "editor_host.h"

#include "core/meter.h"
#include "core/params.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <ostream>
#include <thread>
#include <vector>

namespace kavet::test {
namespace {

using Result = ::testing::AssertionResult;
using ::testing::AssertionFailure;
using ::testing::AssertionSuccess;

constexpr float kUntouched = 7.0f; // what the output buffers hold before a call

// Buffers for one block on every channel: a ramp in, kUntouched out.
template <class Sample> struct Block {
    explicit Block(int frames)
        : in(kNumChannels, std::vector<Sample>(frames)),
          out(kNumChannels, std::vector<Sample>(frames, Sample(kUntouched))) {
        for (int c = 0; c < kNumChannels; ++c) {
            for (int i = 0; i < frames; ++i)
                in[c][i] = static_cast<Sample>((i % 50) * 0.02 - 0.5 + 0.1 * c);
            inputs.push_back(in[c].data());
            outputs.push_back(out[c].data());
        }
    }
    std::vector<std::vector<Sample>> in, out;
    std::vector<Sample*> inputs, outputs;
};

Result outputsUntouched(const Block<float>& b) {
    for (const auto& channel : b.out) {
        for (float s : channel)
            if (s != kUntouched) return AssertionFailure() << "an output was written: " << s;
    }
    return AssertionSuccess();
}

// The default parameters give unity gain: every output sample is its input.
template <class Sample> Result outputsAreInputs(const Block<Sample>& b) {
    for (int c = 0; c < kNumChannels; ++c) {
        if (b.out[c] != b.in[c]) return AssertionFailure() << "channel " << c << " not the input";
    }
    return AssertionSuccess();
}

// No sample counted since the last reading (the meters were left alone).
Result metersUntouched(EditorHost& h) {
    MeterSnapshot s{};
    if (h.plug().getMeterSnapshot(s)) return AssertionFailure() << "the meters counted samples";
    return AssertionSuccess();
}

Result processedAtUnity(EditorHost& h) {
    Block<float> b(256);
    h.record()->processReplacing(h.record(), b.inputs.data(), b.outputs.data(), 256);
    return outputsAreInputs(b);
}

Result processFrames(VstInt32 frames) {
    EditorHost h(false);
    Block<float> b(64);
    h.record()->processReplacing(h.record(), b.inputs.data(), b.outputs.data(), frames);
    h.record()->process(h.record(), b.inputs.data(), b.outputs.data(), frames);
    if (Result r = outputsUntouched(b); !r) return r;
    return metersUntouched(h);
}

// One channel pointer (or an array) is null: `missing` is 0 for the inputs array, 1 for the
// outputs array, 2 for the last input channel, 3 for the last output channel.
Result processWithNull(int missing) {
    EditorHost h(false);
    Block<float> b(64);
    float** inputs = missing == 0 ? nullptr : b.inputs.data();
    float** outputs = missing == 1 ? nullptr : b.outputs.data();
    if (missing == 2) b.inputs.back() = nullptr;
    if (missing == 3) b.outputs.back() = nullptr;
    AEffect* e = h.record();
    e->processReplacing(e, inputs, outputs, 64);
    e->process(e, inputs, outputs, 64);
    Block<double> d(64);
    if (missing == 2) d.inputs.back() = nullptr;
    if (missing == 3) d.outputs.back() = nullptr;
    e->processDoubleReplacing(e, missing == 0 ? nullptr : d.inputs.data(),
                              missing == 1 ? nullptr : d.outputs.data(), 64);
    if (Result r = outputsUntouched(b); !r) return r;
    for (const auto& channel : d.out) {
        for (double s : channel)
            if (s != kUntouched) return AssertionFailure() << "a double output was written";
    }
    return metersUntouched(h);
}

// 4096 frames in one call after the host announced 64: the same output, bit for bit, as the
// same frames in blocks of 64, with a gain glide running through them.
Result blockLargerThanAnnounced() {
    constexpr int kFrames = 4096, kAnnounced = 64;
    std::vector<std::vector<float>> outputs;
    for (int pieces : {1, kFrames / kAnnounced}) {
        EditorHost h(false);
        h.dispatch(effSetBlockSize, 0, kAnnounced);
        h.record()->setParameter(h.record(), kGain, 0.25f);
        Block<float> b(kFrames);
        const int step = kFrames / pieces;
        for (int at = 0; at < kFrames; at += step) {
            float* in[2] = {b.inputs[0] + at, b.inputs[kNumChannels - 1] + at};
            float* out[2] = {b.outputs[0] + at, b.outputs[kNumChannels - 1] + at};
            h.record()->processReplacing(h.record(), in, out, step);
        }
        outputs.push_back(b.out[0]);
    }
    if (outputs[0] != outputs[1]) return AssertionFailure() << "one call differs from pieces";
    if (outputs[0].back() == Block<float>(kFrames).in[0].back())
        return AssertionFailure() << "the gain glide did not run";
    return AssertionSuccess();
}

// The release of Digital PPM over one sample shows the rate the meters run at.
double releaseSeen(EditorHost& h) {
    h.dispatch(effMainsChanged, 0, 1);
    Block<double> one(1);
    one.in.assign(kNumChannels, std::vector<double>(1, 1.0));
    for (int c = 0; c < kNumChannels; ++c)
        one.inputs[c] = one.in[c].data();
    AEffect* e = h.record();
    e->processDoubleReplacing(e, one.inputs.data(), one.outputs.data(), 1);
    one.in.assign(kNumChannels, std::vector<double>(1, 0.0));
    for (int c = 0; c < kNumChannels; ++c)
        one.inputs[c] = one.in[c].data();
    e->processDoubleReplacing(e, one.inputs.data(), one.outputs.data(), 1);
    MeterSnapshot s{};
    (void)h.plug().getMeterSnapshot(s); // nothing counted leaves the level at 0
    return s.values[kInLeft];
}

// A rate is set after 48 kHz: `kept` says whether 48 kHz stays.
Result sampleRate(float rate, bool kept) {
    EditorHost h(false);
    h.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    h.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    const float expected = kept ? 48000.0f : rate;
    if (h.plug().getSampleRate() != expected)
        return AssertionFailure() << "rate " << h.plug().getSampleRate();
    const double release = releaseSeen(h);
    if (release != meterCoefficients(0, expected).release)
        return AssertionFailure() << "the meters run at another rate: release " << release;
    return processedAtUnity(h);
}

// The rate changes on the user-interface thread while blocks run on the audio thread; once
// both are done, the last rate rules.
Result sampleRateChangedWhileProcessing() {
    EditorHost h(false);
    AEffect* e = h.record();
    std::atomic<bool> stop{false}, started{false};
    int nonFinite = 0;
    std::thread audio([&] {
        Block<float> b(300);
        for (int n = 0; n < 100000 && !stop.load(std::memory_order_acquire); ++n) {
            e->processReplacing(e, b.inputs.data(), b.outputs.data(), 300);
            started.store(true, std::memory_order_release);
            for (const auto& channel : b.out)
                for (float s : channel)
                    nonFinite += std::isfinite(s) ? 0 : 1;
        }
    });
    while (!started.load(std::memory_order_acquire))
        std::this_thread::yield();
    const float rates[] = {44100.0f, 96000.0f, 0.0f, 22050.0f, std::nanf(""), 192000.0f, 8000.0f};
    for (int i = 0; i < 700; ++i)
        e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, rates[i % 7]);
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 96000.0f);
    stop.store(true, std::memory_order_release);
    audio.join();
    if (nonFinite != 0) return AssertionFailure() << nonFinite << " samples not finite";
    // Past one refresh (4 ms at 96 kHz) every value comes from the last rate.
    Block<float> settle(400);
    e->processReplacing(e, settle.inputs.data(), settle.outputs.data(), 400);
    const double release = releaseSeen(h);
    if (release != meterCoefficients(0, 96000.0).release)
        return AssertionFailure() << "the meters kept another rate: release " << release;
    return processedAtUnity(h);
}

// A parameter request with an index out of range changes nothing, answers 0 and leaves the
// caller's text as it was.
Result parameterIndex(VstInt32 index) {
    EditorHost h(false);
    AEffect* e = h.record();
    e->setParameter(e, kGain, 0.25f);
    e->setParameter(e, index, 0.9f);
    if (e->getParameter(e, index) != 0.0f) return AssertionFailure() << "getParameter not 0";
    for (int p = 0; p < kNumParams; ++p) {
        const float expected = p == kGain ? 0.25f : kParamInfo[p].defaultValue;
        if (e->getParameter(e, p) != expected) return AssertionFailure() << "parameter " << p;
    }
    for (VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
        char text[80];
        std::memset(text, 'x', sizeof text);
        text[sizeof text - 1] = '\0';
        const VstIntPtr answer = h.dispatch(opcode, index, 0, text);
        if (answer != 0 || std::strspn(text, "x") != sizeof text - 1)
            return AssertionFailure() << "opcode " << opcode << " wrote or answered " << answer;
    }
    char text[] = "0.5";
    if (h.dispatch(effString2Parameter, index, 0, text) != 0)
        return AssertionFailure() << "string to parameter answered";
    return AssertionSuccess();
}

struct Mistake {
    const char* name;
    const char* answer; // the effect's defined answer
    std::function<Result()> run;
};

const Mistake kMistakes[] = {
    {"ProcessBeforeResume", "processed: the gains stand at their targets from construction",
     [] {
         EditorHost h(false, false);
         return processedAtUnity(h);
     }},
    {"ProcessAfterSuspend", "processed as before: suspend does nothing",
     [] {
         EditorHost h(false);
         h.dispatch(effMainsChanged, 0, 0);
         return processedAtUnity(h);
     }},
    {"ZeroFrames", "nothing written, meters, gains and clock untouched",
     [] { return processFrames(0); }},
    {"NegativeFrames", "as 0 frames", [] { return processFrames(-1); }},
    {"MostNegativeFrames", "as 0 frames", [] { return processFrames(INT_MIN); }},
    {"BlockLargerThanAnnounced",
     "every frame processed, bit for bit as in blocks of the announced size (the block size "
     "sizes nothing)",
     blockLargerThanAnnounced},
    {"NullInputsArray", "the block is skipped: outputs and meters untouched",
     [] { return processWithNull(0); }},
    {"NullOutputsArray", "the block is skipped", [] { return processWithNull(1); }},
    {"NullInputChannel", "the block is skipped: outputs and meters untouched",
     [] { return processWithNull(2); }},
    {"NullOutputChannel", "the block is skipped: the other outputs untouched",
     [] { return processWithNull(3); }},
    {"EditOpenTwice", "1 both times; the editor stays in its one window",
     [] {
         EditorHost h;
         HWND first = h.frameWindow();
         if (h.dispatch(effEditOpen, 0, 0, h.hostWindow()) != 1)
             return AssertionFailure() << "second open refused";
         if (h.frameWindow() != first || !IsWindow(first))
             return AssertionFailure() << "a second editor window";
         return AssertionSuccess();
     }},
    {"EditCloseWithoutOpen", "1 (the editor exists), nothing happens; it opens afterwards",
     [] {
         EditorHost h(false);
         if (h.dispatch(effEditClose) != 1) return AssertionFailure() << "close not answered 1";
         if (h.frameWindow() != nullptr) return AssertionFailure() << "a window appeared";
         if (!h.openEditor() || !IsWindow(h.frameWindow()))
             return AssertionFailure() << "the editor no longer opens";
         return AssertionSuccess();
     }},
    {"CloseWithEditorOpen", "1; the editor closes with the effect and its window goes",
     [] {
         EditorHost h;
         HWND frame = h.frameWindow();
         if (!IsWindow(frame)) return AssertionFailure() << "no editor window to begin with";
         if (h.closeEffect() != 1) return AssertionFailure() << "effClose not answered 1";
         if (IsWindow(frame)) return AssertionFailure() << "the editor window outlived the effect";
         return AssertionSuccess();
     }},
    {"ParameterIndexMinusOne", "ignored, 0, text untouched", [] { return parameterIndex(-1); }},
    {"ParameterIndexMostNegative", "ignored, 0, text untouched",
     [] { return parameterIndex(INT_MIN); }},
    {"ParameterIndexCount", "ignored, 0, text untouched",
     [] { return parameterIndex(kNumParams); }},
    {"ParameterIndexPanInMono", "stereo: Pan; mono: ignored",
     [] { return kStereo ? AssertionSuccess() : parameterIndex(5); }},
    {"ParameterIndexLarge", "ignored, 0, text untouched", [] { return parameterIndex(1000); }},
    {"SampleRateZero", "ignored, the last good rate stays", [] { return sampleRate(0.0f, true); }},
    {"SampleRateNegative", "ignored", [] { return sampleRate(-44100.0f, true); }},
    {"SampleRateNaN", "ignored", [] { return sampleRate(std::nanf(""), true); }},
    {"SampleRateInfinite", "ignored",
     [] { return sampleRate(std::numeric_limits<float>::infinity(), true); }},
    {"SampleRateTiny", "ignored: below 1 kHz", [] { return sampleRate(1e-30f, true); }},
    {"SampleRateBelowRange", "ignored", [] { return sampleRate(999.0f, true); }},
    {"SampleRateTenMegahertz", "ignored: above 768 kHz", [] { return sampleRate(1e7f, true); }},
    {"SampleRateLowest", "taken", [] { return sampleRate(kMinSampleRate, false); }},
    {"SampleRateHighest", "taken", [] { return sampleRate(kMaxSampleRate, false); }},
    {"SampleRateChangedWhileProcessing",
     "no race, output finite; past one refresh the last rate rules",
     sampleRateChangedWhileProcessing},
};

void PrintTo(const Mistake& mistake, std::ostream* out) {
    *out << mistake.name << ": " << mistake.answer;
}

class HostMistakes : public ::testing::TestWithParam<Mistake> {};

TEST_P(HostMistakes, HaveTheirDefinedAnswer) {
    EXPECT_TRUE(GetParam().run()) << GetParam().answer;
}

INSTANTIATE_TEST_SUITE_P(Table, HostMistakes, ::testing::ValuesIn(kMistakes),
                         [](const ::testing::TestParamInfo<Mistake>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace kavet::test
