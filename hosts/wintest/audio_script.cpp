#include "audio_script.h"

#include <cstdint>

namespace kavet::script {

namespace {

enum class Entry { Replacing, Accumulating, Double };

struct Change {
    VstInt32 index;
    float value;
};

// A block: parameter changes made before it, then `frames` frames through `entry`.
struct Block {
    std::vector<Change> changes;
    Entry entry;
    VstInt32 frames;
};

// Gain moves from unity to -18 dB and to the top of the fader (+18 dB), trim and phase in
// the double path, pan to either side (stereo builds; the mono builds ignore index 5), mute
// gliding to silence and back, bypass. Block sizes of 1, 7 and 333 frames, beside whole
// vectors, reach the processors' odd remainders.
const std::vector<Block>& blocks() {
    static const std::vector<Block> kBlocks = {
        {{}, Entry::Replacing, 512},
        {{{0, 0.25f}}, Entry::Replacing, 333},
        {{}, Entry::Double, 512},
        {{}, Entry::Replacing, 7},
        {{}, Entry::Accumulating, 64},
        {{{1, 0.8f}, {2, 1.0f}}, Entry::Double, 1000},
        {{{5, 0.2f}}, Entry::Replacing, 512},
        {{{5, 0.9f}, {0, 1.0f}}, Entry::Double, 1},
        {{}, Entry::Replacing, 700},
        {{{3, 1.0f}}, Entry::Replacing, 1500},
        {{{3, 0.0f}, {2, 0.0f}}, Entry::Accumulating, 256},
        {{{4, 1.0f}}, Entry::Replacing, 128},
        {{}, Entry::Double, 128},
        {{{4, 0.0f}, {0, 0.6f}}, Entry::Double, 2048},
    };
    return kBlocks;
}

// A full-scale signal from a linear congruential generator, with a float subnormal every
// 97th sample, a double subnormal every 83rd (0 once narrowed to a float), a negative zero
// every 89th and a value over full scale every 61st, so that the flush and the rounding of
// every path show. Channel c starts from its own seed.
class Signal {
public:
    explicit Signal(unsigned seed) : state_(seed) {}

    double next(std::uint64_t n) {
        state_ = state_ * 1664525u + 1013904223u;
        if (n % 97 == 0) return 1e-40f;
        if (n % 83 == 0) return -1e-310;
        if (n % 89 == 0) return -0.0;
        const double u = static_cast<double>(state_ >> 8) / 16777216.0; // [0, 1)
        if (n % 61 == 0) return 1.5 + u;
        return u * 2.0 - 1.0;
    }

private:
    std::uint32_t state_;
};

template <typename Sample> void append(std::vector<unsigned char>& out, const Sample* s, int n) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(s);
    out.insert(out.end(), bytes, bytes + sizeof(Sample) * static_cast<std::size_t>(n));
}

template <typename Sample>
std::vector<Sample*> pointers(std::vector<std::vector<Sample>>& buffers) {
    std::vector<Sample*> p;
    for (auto& b : buffers)
        p.push_back(b.data());
    return p;
}

} // namespace

std::vector<unsigned char> renderAudioScript(AEffect* effect) {
    const int channels = effect->numInputs;
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, effSetBlockSize, 0, 2048, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);

    std::vector<Signal> signals;
    for (int c = 0; c < channels; ++c)
        signals.emplace_back(1u + 7919u * static_cast<unsigned>(c));
    std::uint64_t n = 1;
    std::vector<unsigned char> out;
    for (const Block& block : blocks()) {
        for (const Change& change : block.changes)
            if (change.index < effect->numParams)
                effect->setParameter(effect, change.index, change.value);
        const auto frames = static_cast<std::size_t>(block.frames);
        std::vector<std::vector<double>> wide(channels, std::vector<double>(frames));
        for (std::size_t i = 0; i < frames; ++i, ++n)
            for (int c = 0; c < channels; ++c)
                wide[c][i] = signals[c].next(n);
        if (block.entry == Entry::Double) {
            // Values that no float holds: the double path must not narrow them.
            for (auto& channel : wide)
                for (double& x : channel)
                    x += x * 0x1p-30;
            std::vector<std::vector<double>> result(channels, std::vector<double>(frames, 7.0));
            auto in = pointers(wide);
            auto outs = pointers(result);
            effect->processDoubleReplacing(effect, in.data(), outs.data(), block.frames);
            for (const auto& channel : result)
                append(out, channel.data(), block.frames);
            continue;
        }
        std::vector<std::vector<float>> narrow(channels, std::vector<float>(frames));
        for (int c = 0; c < channels; ++c)
            for (std::size_t i = 0; i < frames; ++i)
                narrow[c][i] = static_cast<float>(wide[c][i]);
        // The accumulating form adds to what the outputs hold.
        const float fill = block.entry == Entry::Accumulating ? 0.375f : 7.0f;
        std::vector<std::vector<float>> result(channels, std::vector<float>(frames, fill));
        auto in = pointers(narrow);
        auto outs = pointers(result);
        if (block.entry == Entry::Accumulating)
            effect->process(effect, in.data(), outs.data(), block.frames);
        else
            effect->processReplacing(effect, in.data(), outs.data(), block.frames);
        for (const auto& channel : result)
            append(out, channel.data(), block.frames);
    }
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    return out;
}

} // namespace kavet::script
