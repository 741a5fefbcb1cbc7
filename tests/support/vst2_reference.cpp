#include "vst2_reference.h"

#include "core/config.h"

#include <gtest/gtest.h>

namespace kavet::test {
namespace {

struct MidBlockCase {
    const char* name;
    std::vector<script::ScriptChange> changes;
};

const MidBlockCase kMidBlock[] = {
    {"GainAtSample100", {{100, kGain, 0.25f}}},
    {"GainAtTheLastSample", {{511, kGain, 1.0f}}},
    {"MuteAtSample1", {{1, kMute, 1.0f}}},
    {"PhaseThenBypass", {{37, kPhase, 1.0f}, {300, kBypass, 1.0f}}},
    {"GainTwiceInOneBlock", {{64, kGain, 0.0f}, {256, kGain, 0.75f}}},
    {"TrimAtTheStartGainInside", {{0, kTrim, 0.9f}, {129, kGain, 0.3f}}},
    {"TwoAtTheSameSample", {{200, kGain, 0.1f}, {200, kTrim, 0.2f}}},
    {"PanAtSample200", {{200, kPan, 0.1f}}},
};

std::vector<script::ScriptBlock> midBlockScript(const std::vector<script::ScriptChange>& changes) {
    return {{256, {{0, kGain, 0.6f}}}, {512, changes}, {128, {}}};
}

} // namespace

std::unique_ptr<host::VstPlugin> makeVst2Effect() {
    auto module = std::make_shared<const host::VstModule>(KAVET_VST_MODULE);
    return std::make_unique<host::VstPlugin>(std::move(module));
}

std::vector<unsigned char> chunkOf(host::VstPlugin& effect) {
    void* data = nullptr;
    const VstIntPtr size = effect.dispatch(effGetChunk, 0, 0, &data);
    if (data == nullptr || size <= 0) return {};
    const auto* bytes = static_cast<const unsigned char*>(data);
    return {bytes, bytes + size};
}

const std::vector<Setting> kSettings = {
    {"Defaults", {}},
    {"GainTrimPhase", {{kGain, 0.25}, {kTrim, 0.8}, {kPhase, 1.0}}},
    {"MuteBypassPan", {{kMute, 1.0}, {kBypass, 1.0}, {kPan, 0.125}}},
    {"EveryEdge", {{kGain, 1.0}, {kTrim, 0.0}, {kPan, 1.0}}},
};

void apply(host::VstPlugin& reference, const Setting& setting) {
    for (const auto& [id, value] : setting.values)
        if (id < static_cast<std::uint32_t>(kNumParams))
            reference.setParameter(static_cast<int>(id), static_cast<float>(value));
}

script::Rendering renderVst2Reference(bool wide, const std::vector<script::ScriptBlock>& blocks) {
    return renderVst2Reference(*makeVst2Effect(), wide, blocks);
}

script::Rendering renderVst2Reference(host::VstPlugin& effect, bool wide,
                                      const std::vector<script::ScriptBlock>& blocks) {
    return script::renderVst2(const_cast<AEffect*>(&effect.effect()), wide, blocks);
}

std::string firstDifference(const std::vector<unsigned char>& tested,
                            const std::vector<unsigned char>& reference, std::size_t width) {
    std::size_t at = 0;
    while (at < tested.size() && at < reference.size() && tested[at] == reference[at])
        ++at;
    return "first difference at sample " + std::to_string(at / width) + " of " +
           std::to_string(tested.size() / width) + " (under test) and " +
           std::to_string(reference.size() / width) + " (VST 2.4)";
}

void expectReferenceOutput(const script::Rendering& tested, const script::Rendering& reference,
                           bool wide) {
    EXPECT_TRUE(tested.ok) << "a block was refused or answered with an error";
    EXPECT_EQ(tested.wrongSilenceFlags, 0) << "blocks whose silence flags are wrong";
    ASSERT_FALSE(reference.bytes.empty());
    EXPECT_TRUE(tested.bytes == reference.bytes)
        << firstDifference(tested.bytes, reference.bytes, wide ? 8 : 4);
}

std::vector<BoundaryCase> boundaryCases() {
    std::vector<BoundaryCase> cases;
    for (bool wide : {false, true})
        for (int frames : {0, 1, 7, 64, 333, script::kScriptMaxBlock})
            cases.push_back({wide, frames});
    return cases;
}

std::string boundaryCaseName(const BoundaryCase& c) {
    return std::string(c.wide ? "Double" : "Float") + std::to_string(c.frames) + "Frames";
}

void expectBoundaryChanges(const FormatRendering& render, const BoundaryCase& c) {
    const std::vector<script::ScriptBlock> blocks = script::boundaryScript(c.frames);
    expectReferenceOutput(render(c.wide, blocks), renderVst2Reference(c.wide, blocks), c.wide);
}

void expectMidBlockChanges(const FormatRendering& render) {
    for (bool wide : {false, true}) {
        for (const MidBlockCase& c : kMidBlock) {
            if (!kStereo && c.changes[0].index == kPan) continue;
            SCOPED_TRACE(std::string(c.name) + (wide ? " double" : " float"));
            const std::vector<script::ScriptBlock> blocks = midBlockScript(c.changes);
            const script::Rendering heard = render(wide, blocks);
            expectReferenceOutput(heard, renderVst2Reference(wide, blocks), wide);
            std::vector<script::ScriptChange> atStart = c.changes;
            for (auto& change : atStart)
                change.offset = 0;
            EXPECT_FALSE(render(wide, midBlockScript(atStart)).bytes == heard.bytes);
        }
    }
    const std::vector<script::ScriptBlock> windowsHost = script::midBlockScript();
    expectReferenceOutput(render(false, windowsHost), renderVst2Reference(false, windowsHost),
                          false);
}

} // namespace kavet::test
