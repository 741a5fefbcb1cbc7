#include "vst3_script.h"

#include <algorithm>
#include <cstdint>

namespace kavet::script {

namespace {

// A full-scale signal from a linear congruential generator, with a float subnormal every
// 97th sample, a negative zero every 89th and a value over full scale every 61st; in 64-bit
// blocks every sample carries bits that no float holds. Channel c starts from its own seed.
class Signal {
public:
    explicit Signal(unsigned seed) : state_(seed) {}

    double next() {
        ++n_;
        state_ = state_ * 1664525u + 1013904223u;
        if (n_ % 97 == 0) return 1e-40f;
        if (n_ % 89 == 0) return -0.0;
        const double u = static_cast<double>(state_ >> 8) / 16777216.0; // [0, 1)
        if (n_ % 61 == 0) return 1.5 + u;
        return u * 2.0 - 1.0;
    }

private:
    std::uint32_t state_;
    std::uint64_t n_ = 0;
};

// One block's input and output channels of one sample type; outputs start as 7, a value no
// processing of this signal gives, so that a sample left unwritten shows.
template <class Sample> struct Buffers {
    std::vector<std::vector<Sample>> in, out;
    std::vector<const Sample*> inputs;
    std::vector<Sample*> outputs;

    Buffers(std::vector<Signal>& signals, int outChannels, int frames, bool wide) {
        for (Signal& signal : signals) {
            std::vector<Sample> channel(static_cast<std::size_t>(frames));
            for (Sample& x : channel) {
                const double v = signal.next();
                x = static_cast<Sample>(wide ? v + v * 0x1p-30 : v);
            }
            in.push_back(std::move(channel));
        }
        out.assign(static_cast<std::size_t>(outChannels),
                   std::vector<Sample>(static_cast<std::size_t>(frames), Sample(7)));
        for (auto& c : in)
            inputs.push_back(c.data());
        for (auto& c : out)
            outputs.push_back(c.data());
    }

    void append(std::vector<unsigned char>& bytes) const {
        for (const auto& c : out) {
            const auto* first = reinterpret_cast<const unsigned char*>(c.data());
            bytes.insert(bytes.end(), first, first + c.size() * sizeof(Sample));
        }
    }

    std::uint64_t silentOutputs() const {
        std::uint64_t flags = 0;
        for (std::size_t c = 0; c < out.size(); ++c)
            if (std::all_of(out[c].begin(), out[c].end(), [](Sample x) { return x == 0; }))
                flags |= std::uint64_t{1} << c;
        return flags;
    }
};

std::vector<Signal> signalsFor(int channels) {
    std::vector<Signal> signals;
    for (int c = 0; c < channels; ++c)
        signals.emplace_back(1u + 7919u * static_cast<unsigned>(c));
    return signals;
}

template <class Sample>
void runVst3(host::Vst3Plugin& plugin, const std::vector<ScriptBlock>& blocks, bool wide,
             Rendering& r) {
    std::vector<Signal> signals = signalsFor(plugin.inputChannels());
    std::vector<host::ParamChange> changes;
    for (const ScriptBlock& block : blocks) {
        Buffers<Sample> b(signals, plugin.outputChannels(), block.frames, wide);
        changes.clear();
        for (const ScriptChange& c : block.changes)
            changes.push_back({static_cast<vst3::ParamID>(c.index), c.offset, c.value});
        const host::ProcessResult result =
            plugin.process(b.inputs.data(), b.outputs.data(), block.frames, changes);
        r.ok = r.ok && result.ok;
        if (block.frames > 0 && result.silenceFlags != b.silentOutputs()) ++r.wrongSilenceFlags;
        b.append(r.bytes);
    }
}

// Samples [from, to) of the block through the effect; nothing for an empty piece (the
// effect's own answer to a call of no samples).
template <class Sample> void processPiece(AEffect* effect, Buffers<Sample>& b, int from, int to) {
    if (to <= from) return;
    std::vector<Sample*> in, out;
    for (auto& c : b.in)
        in.push_back(c.data() + from);
    for (auto& c : b.out)
        out.push_back(c.data() + from);
    if constexpr (sizeof(Sample) == sizeof(float))
        effect->processReplacing(effect, in.data(), out.data(), to - from);
    else
        effect->processDoubleReplacing(effect, in.data(), out.data(), to - from);
}

void setVst2Parameters(AEffect* effect, const ScriptBlock& block, int offset) {
    for (const ScriptChange& c : block.changes)
        if (c.offset == offset && c.index < effect->numParams)
            effect->setParameter(effect, c.index, c.value);
}

template <class Sample>
void runVst2(AEffect* effect, const std::vector<ScriptBlock>& blocks, bool wide, Rendering& r) {
    std::vector<Signal> signals = signalsFor(effect->numInputs);
    for (std::size_t n = 0; n < blocks.size(); ++n) {
        const ScriptBlock& block = blocks[n];
        Buffers<Sample> b(signals, effect->numOutputs, block.frames, wide);
        std::vector<int> offsets;
        for (const ScriptChange& c : block.changes)
            offsets.push_back(c.offset);
        std::sort(offsets.begin(), offsets.end());
        offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
        int at = 0;
        for (int offset : offsets) {
            const int to = std::clamp(offset, at, block.frames);
            processPiece(effect, b, at, to);
            at = to;
            if (n > 0 || offset > 0) setVst2Parameters(effect, block, offset); // else made before
        }
        processPiece(effect, b, at, block.frames);
        b.append(r.bytes);
    }
}

} // namespace

std::vector<ScriptBlock> boundaryScript(int frames) {
    // Each setting's changes; a block without changes follows each, so that the glides run.
    const std::vector<std::vector<ScriptChange>> settings = {
        {},
        {{0, 0, 0.25f}},
        {{0, 1, 0.8f}, {0, 2, 1.0f}},
        {{0, 5, 0.2f}},
        {{0, 5, 0.9f}, {0, 0, 1.0f}},
        {{0, 3, 1.0f}},
        {{0, 3, 0.0f}, {0, 2, 0.0f}},
        {{0, 4, 1.0f}},
        {{0, 4, 0.0f}, {0, 0, 0.6f}, {0, 1, 0.125f}},
        {{0, 0, 0.0f}},
        {{0, 0, 0.5f}, {0, 5, 0.5f}},
    };
    std::vector<ScriptBlock> blocks;
    for (const auto& changes : settings) {
        blocks.push_back({frames, changes});
        blocks.push_back({frames == 0 ? 300 : frames, {}});
    }
    return blocks;
}

std::vector<ScriptBlock> midBlockScript() {
    return {
        {256, {{0, 0, 0.6f}}},
        {512, {{100, 0, 0.25f}}},
        {512, {{37, 2, 1.0f}, {300, 4, 1.0f}}},
        {512, {{64, 0, 0.0f}, {256, 0, 0.75f}, {0, 4, 0.0f}}},
        {512, {{1, 3, 1.0f}}},
        {512, {{0, 3, 0.0f}, {511, 5, 0.1f}}},
        {128, {}},
    };
}

Rendering renderVst3(host::Vst3Plugin& plugin, bool wide, const std::vector<ScriptBlock>& blocks) {
    Rendering r;
    if (!plugin.setup(kScriptSampleRate, kScriptMaxBlock,
                      wide ? vst3::kSample64 : vst3::kSample32) ||
        !plugin.activate()) {
        r.ok = false;
        return r;
    }
    if (wide)
        runVst3<double>(plugin, blocks, wide, r);
    else
        runVst3<float>(plugin, blocks, wide, r);
    plugin.deactivate();
    return r;
}

Rendering renderVst2(AEffect* effect, bool wide, const std::vector<ScriptBlock>& blocks) {
    Rendering r;
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr,
                       static_cast<float>(kScriptSampleRate));
    effect->dispatcher(effect, effSetBlockSize, 0, kScriptMaxBlock, nullptr, 0.0f);
    if (!blocks.empty()) setVst2Parameters(effect, blocks.front(), 0);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    if (wide)
        runVst2<double>(effect, blocks, wide, r);
    else
        runVst2<float>(effect, blocks, wide, r);
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    return r;
}

} // namespace kavet::script
