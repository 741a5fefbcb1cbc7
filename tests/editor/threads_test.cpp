// The audio thread and the user-interface thread at once, as a host runs them: processing in
// both sample types and changing block sizes on one, parameters, meter readings, chunks,
// preferences and the open editor's idle on the other. The sanitizer build with
// ThreadSanitizer (build.sh) runs this too, where a data race between the two fails it.
#include "editor_host.h"

#include "core/params.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

namespace kavet::test {
namespace {

constexpr int kUiRounds = 240;
constexpr long kMaxBlocks = 1L << 24; // the audio thread's bound if the other never ends

// Audio thread: blocks of a changing size, alternately float and double, until told to stop.
// Counts the output samples that are not finite numbers.
class AudioLoop {
public:
    explicit AudioLoop(AEffect* effect) : effect_(effect) {}

    void run() {
        constexpr int sizes[] = {1, 64, 512, 37, 1024, 7, 256};
        constexpr int kLongest = 1024;
        std::vector<float> inF(kNumChannels * kLongest), outF(inF.size());
        std::vector<double> inD(inF.size()), outD(inF.size());
        float *inputsF[2], *outputsF[2];
        double *inputsD[2], *outputsD[2];
        for (int c = 0; c < kNumChannels; ++c) {
            inputsF[c] = inF.data() + c * kLongest;
            outputsF[c] = outF.data() + c * kLongest;
            inputsD[c] = inD.data() + c * kLongest;
            outputsD[c] = outD.data() + c * kLongest;
        }
        for (std::size_t i = 0; i < inF.size(); ++i) {
            inD[i] = static_cast<double>(static_cast<int>(i * 7919 % 201) - 100) / 100.0;
            inF[i] = static_cast<float>(inD[i]);
        }
        for (long b = 0; b < kMaxBlocks && !stop.load(std::memory_order_acquire); ++b) {
            const int frames = sizes[b % 7];
            if (b % 2 == 0) {
                effect_->processReplacing(effect_, inputsF, outputsF, frames);
                countNonFinite(outputsF, frames);
            } else {
                effect_->processDoubleReplacing(effect_, inputsD, outputsD, frames);
                countNonFinite(outputsD, frames);
            }
            blocks.fetch_add(1, std::memory_order_release);
        }
    }

    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    int nonFinite = 0; // read after the thread is joined

private:
    template <class Sample> void countNonFinite(Sample** outputs, int frames) {
        for (int c = 0; c < kNumChannels; ++c) {
            for (int i = 0; i < frames; ++i)
                nonFinite += std::isfinite(outputs[c][i]) ? 0 : 1;
        }
    }

    AEffect* effect_;
};

TEST(Threads, AudioRunsWhileTheUserInterfaceThreadDrivesEverything) {
    EditorHost h; // the editor open in the headless host window
    AEffect* e = h.record();
    AudioLoop audio(e);
    std::thread audioThread([&] { audio.run(); });
    while (audio.blocks.load(std::memory_order_acquire) == 0)
        std::this_thread::yield();

    // Host values, out-of-range and NaN ones among them (stored clamped or ignored).
    const float values[] = {0.25f, 1.5f, 0.75f, -0.5f, std::nanf(""), 0.5f, 1.0f, 0.0f};
    int outOfRange = 0, badMeters = 0, chunkRoundTrips = 0;
    for (int round = 0; round < kUiRounds; ++round) {
        e->setParameter(e, round % kNumParams, values[round % 8]);
        for (int p = 0; p < kNumParams; ++p) {
            const float v = e->getParameter(e, p);
            outOfRange += v >= 0.0f && v <= 1.0f ? 0 : 1;
            char text[64] = {};
            h.dispatch(effGetParamDisplay, p, 0, text);
        }
        MeterSnapshot snapshot{};
        // No fresh samples leaves the zeros, which pass the check as well.
        (void)h.plug().getMeterSnapshot(snapshot);
        for (double v : snapshot.values)
            badMeters += std::isfinite(v) && v >= 0.0 ? 0 : 1;

        PlugPrefs& prefs = *h.plug().getPrefs(); // as the options page sets them
        prefs.set(kPrefBallistics, round & 3);
        prefs.set(kPrefPanLaw, round % 3);
        prefs.set(kPrefTrimRange, (round / 3) % 3);
        if (round % 60 == 0) {
            prefs.savePrefs();
            (void)prefs.loadPrefs(); // a load racing the audio thread is the point, not its answer
        }
        if (round % 8 == 0) { // save and restore the state: the same bytes come back
            void* data = nullptr;
            const VstIntPtr size = h.dispatch(effGetChunk, 0, 0, &data);
            std::vector<char> saved(static_cast<const char*>(data),
                                    static_cast<const char*>(data) + size);
            h.dispatch(effSetChunk, 0, size, saved.data());
            const VstIntPtr again = h.dispatch(effGetChunk, 0, 0, &data);
            chunkRoundTrips += again == size && std::memcmp(data, saved.data(), saved.size()) == 0;
        }
        h.idle();
    }
    audio.stop.store(true, std::memory_order_release);
    audioThread.join();

    EXPECT_EQ(outOfRange, 0);
    EXPECT_EQ(badMeters, 0);
    EXPECT_EQ(chunkRoundTrips, kUiRounds / 8);
    EXPECT_EQ(audio.nonFinite, 0);
    EXPECT_GE(audio.blocks.load(), 2);

    // Whatever the threads left, the effect is whole: at unity the output is the input.
    h.plug().getPrefs()->set(kDefaultPrefs);
    for (int p = 0; p < kNumParams; ++p)
        e->setParameter(e, p, kParamInfo[p].defaultValue);
    h.dispatch(effMainsChanged, 0, 1);
    std::vector<double> in(64, 0.5), out(64, 7.0), in2(64, -0.25), out2(64, 7.0);
    double* inputs[2] = {in.data(), in2.data()};
    double* outputs[2] = {out.data(), out2.data()};
    e->processDoubleReplacing(e, inputs, outputs, 64);
    for (int c = 0; c < kNumChannels; ++c) {
        for (int i = 0; i < 64; ++i)
            ASSERT_EQ(outputs[c][i], inputs[c][i]) << "channel " << c << ", frame " << i;
    }
}

} // namespace
} // namespace kavet::test
