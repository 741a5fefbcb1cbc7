#include "block_script.h"

#include "block_signal.h"

#include <algorithm>

namespace kavet::script {

namespace {

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
