// The cost of run() per frame (both channels) at blocks of 64 and of 512 frames, 48 kHz,
// every control at its default, on a noise-like signal:
//   kavet_lv2        Kavet Stereo's LV2 entry, through lilv, from the build's bundle
//   kavet_vst        Kavet Stereo's VST 2.4 module through its own entry (processReplacing)
//   x42_balance, dpf_3bandeq, dpf_pingpongpan
//                    LV2 plug-ins of other projects, from Debian's packages; one that is not
//                    installed is left out with a line naming its package
//   lv2_over_vst     kavet_lv2 / kavet_vst
// Each timed batch runs every plug-in in turn, 16384 frames each, the order rotated batch by
// batch, so that the load of a shared machine falls on all of them alike. Before the timing,
// Kavet's LV2 and VST outputs of the same blocks are compared bit for bit: both do the same
// work, or the run stops with an error.
#include "hosted_plugin.h"
#include "lilv_host.h"

#include "hosts/common/host_error.h"
#include "hosts/common/vst_plugin.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using kavet::bench::HostedPlugin;
using kavet::bench::LilvHost;

constexpr double kRate = 48000.0;
constexpr int kMaxFrames = 512;
constexpr int kChannels = 2;
constexpr int kBatchFrames = 16384; // frames per plug-in per timed batch
constexpr const char* kKavetUri = "urn:velmorant:kavet:stereo";

struct Other {
    const char* counter;
    const char* uri;
    const char* package;
};
constexpr Other kOthers[] = {
    {"x42_balance", "http://gareus.org/oss/lv2/balance", "x42-plugins"},
    {"dpf_3bandeq", "http://distrho.sf.net/plugins/3BandEQ", "dpf-plugins-lv2"},
    {"dpf_pingpongpan", "http://distrho.sf.net/plugins/PingPongPan", "dpf-plugins-lv2"},
};

// The input of every plug-in: two channels of a noise-like signal at about -2 dBFS.
struct Signal {
    std::vector<float> channels[kChannels];
    std::vector<const float*> pointers;
    Signal() {
        for (int c = 0; c < kChannels; ++c) {
            for (int i = 0; i < kMaxFrames; ++i)
                channels[c].push_back(
                    static_cast<float>(0.8 * std::sin(i * 0.37 + c) * std::sin(i * 0.0131 + c)));
            pointers.push_back(channels[c].data());
        }
    }
};

// One plug-in under test and the time it took.
class Contender {
public:
    explicit Contender(std::string counter) : counter_(std::move(counter)) {}
    virtual ~Contender() = default;
    virtual void run(int frames) = 0;             // one block
    virtual const float* output(int channel) = 0; // the last block's
    const std::string& counter() const { return counter_; }
    double ns = 0.0;

private:
    std::string counter_;
};

class Lv2Contender final : public Contender {
public:
    Lv2Contender(std::string counter, LilvHost& host, const LilvPlugin* plugin,
                 const Signal& signal)
        : Contender(std::move(counter)), plugin_(host, plugin, signal.pointers) {}
    void run(int frames) override { plugin_.run(frames); }
    const float* output(int channel) override {
        return channel < plugin_.audioOutputs() ? plugin_.audioOutput(channel) : nullptr;
    }

private:
    HostedPlugin plugin_;
};

class VstContender final : public Contender {
public:
    VstContender(std::shared_ptr<const kavet::host::VstModule> module, const Signal& signal)
        : Contender("kavet_vst"), plugin_(std::move(module)) {
        plugin_.setSampleRate(static_cast<float>(kRate));
        plugin_.setBlockSize(kMaxFrames);
        plugin_.resume();
        for (int c = 0; c < kChannels; ++c) {
            in_[c] = const_cast<float*>(signal.pointers[c]); // the effect only reads them
            outBuffers_[c].assign(kMaxFrames, 0.0f);
            out_[c] = outBuffers_[c].data();
        }
    }
    void run(int frames) override { plugin_.process(in_, out_, frames, kChannels); }
    const float* output(int channel) override { return out_[channel]; }

private:
    kavet::host::VstPlugin plugin_;
    float* in_[kChannels];
    float* out_[kChannels];
    std::vector<float> outBuffers_[kChannels];
};

// What every run shares: the plug-ins found once, the signal.
struct Setup {
    Signal signal;
    LilvHost host{KAVET_LV2_BUNDLE, kRate, kMaxFrames};
    std::shared_ptr<const kavet::host::VstModule> vst;
    std::string error; // why Kavet cannot be compared; empty when it can
    std::string leftOut;

    Setup() {
        try {
            vst = std::make_shared<kavet::host::VstModule>(KAVET_VST_MODULE);
        } catch (const kavet::host::HostError& e) {
            error = e.what();
        }
        const LilvPlugin* kavet = host.find(kKavetUri);
        if (kavet == nullptr) {
            error = std::string("no plug-in ") + kKavetUri + " in " + KAVET_LV2_BUNDLE;
        } else if (!fromBuild(kavet)) {
            error = std::string(kKavetUri) + " is installed elsewhere too; lilv took that one";
        }
        for (const Other& o : kOthers) {
            if (host.find(o.uri) != nullptr) continue;
            std::fprintf(stderr, "lv2 bench: %s is not installed (Debian package %s): left out\n",
                         o.uri, o.package);
            leftOut += leftOut.empty() ? "left out: " : ", ";
            leftOut += o.counter;
        }
    }

    bool fromBuild(const LilvPlugin* plugin) const {
        char* path =
            lilv_file_uri_parse(lilv_node_as_uri(lilv_plugin_get_bundle_uri(plugin)), nullptr);
        std::error_code ignored;
        const bool same =
            path != nullptr && std::filesystem::equivalent(path, KAVET_LV2_BUNDLE, ignored);
        lilv_free(path);
        return same;
    }
};

Setup& setup() {
    static Setup s;
    return s;
}

// Kavet's LV2 and VST outputs of the same blocks, bit for bit.
bool sameOutputs(Contender& lv2, Contender& vst, int frames) {
    for (int block = 0; block < 8; ++block) {
        lv2.run(frames);
        vst.run(frames);
        for (int c = 0; c < kChannels; ++c) {
            if (lv2.output(c) == nullptr ||
                std::memcmp(lv2.output(c), vst.output(c), sizeof(float) * frames) != 0)
                return false;
        }
    }
    return true;
}

void BM_RunPerFrame(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    Setup& s = setup();
    if (!s.error.empty()) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    std::vector<std::unique_ptr<Contender>> contenders;
    try {
        contenders.push_back(
            std::make_unique<Lv2Contender>("kavet_lv2", s.host, s.host.find(kKavetUri), s.signal));
        contenders.push_back(std::make_unique<VstContender>(s.vst, s.signal));
        for (const Other& o : kOthers) {
            if (const LilvPlugin* plugin = s.host.find(o.uri))
                contenders.push_back(
                    std::make_unique<Lv2Contender>(o.counter, s.host, plugin, s.signal));
        }
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    if (!sameOutputs(*contenders[0], *contenders[1], frames)) {
        state.SkipWithError("Kavet's LV2 and VST outputs differ: their costs do not compare");
        return;
    }
    const std::size_t n = contenders.size();
    std::size_t rotation = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        for (std::size_t k = 0; k < n; ++k) {
            Contender& c = *contenders[(k + rotation) % n];
            const auto t0 = Clock::now();
            for (int done = 0; done < kBatchFrames; done += frames)
                c.run(frames);
            c.ns += std::chrono::duration<double, std::nano>(Clock::now() - t0).count();
        }
        ++rotation;
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    const double total = static_cast<double>(state.iterations()) * kBatchFrames;
    for (const auto& c : contenders)
        state.counters[c->counter()] = c->ns / total;
    state.counters["lv2_over_vst"] = contenders[0]->ns / contenders[1]->ns;
    state.SetLabel(s.leftOut);
}

BENCHMARK(BM_RunPerFrame)->Arg(64)->Arg(512)->UseManualTime();

} // namespace
