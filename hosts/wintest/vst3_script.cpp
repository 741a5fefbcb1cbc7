#include "vst3_script.h"

#include "block_signal.h"

namespace kavet::script {

namespace {

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

} // namespace

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

} // namespace kavet::script
