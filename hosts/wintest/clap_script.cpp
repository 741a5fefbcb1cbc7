#include "clap_script.h"

#include "block_signal.h"

#include <algorithm>

namespace kavet::script {

namespace {

// A block's changes as its events, in order of time (a host sends them so).
void eventsOf(const ScriptBlock& block, host::EventList& events) {
    std::vector<ScriptChange> changes = block.changes;
    std::stable_sort(
        changes.begin(), changes.end(),
        [](const ScriptChange& a, const ScriptChange& b) { return a.offset < b.offset; });
    events.clear();
    for (const ScriptChange& c : changes) {
        const clap::ParamValueEvent e = host::paramValueEvent(
            static_cast<clap::uint32>(c.offset), static_cast<clap::Id>(c.index), c.value);
        (void)events.push(&e.header);
    }
}

template <class Sample>
void runClap(host::ClapPlugin& plugin, const std::vector<ScriptBlock>& blocks, bool wide,
             Rendering& r, ExtraEvents extra, const void* context) {
    std::vector<Signal> signals = signalsFor(static_cast<int>(plugin.inputChannels()));
    host::EventList events;
    for (std::size_t n = 0; n < blocks.size(); ++n) {
        const ScriptBlock& block = blocks[n];
        Buffers<Sample> b(signals, static_cast<int>(plugin.outputChannels()), block.frames, wide);
        eventsOf(block, events);
        if (extra != nullptr) extra(n, events, context);
        const host::ClapProcessResult result = plugin.process(
            b.inputs.data(), b.outputs.data(), static_cast<clap::uint32>(block.frames), events);
        r.ok = r.ok && result.called && result.status != clap::kProcessError;
        if (block.frames > 0 && result.constantMask != b.silentOutputs()) ++r.wrongSilenceFlags;
        b.append(r.bytes);
    }
}

} // namespace

Rendering renderClap(host::ClapPlugin& plugin, bool wide, const std::vector<ScriptBlock>& blocks,
                     ExtraEvents extra, const void* context) {
    Rendering r;
    if (!plugin.activate(kScriptSampleRate, 1, kScriptMaxBlock) || !plugin.startProcessing()) {
        plugin.deactivate();
        r.ok = false;
        return r;
    }
    if (wide)
        runClap<double>(plugin, blocks, wide, r, extra, context);
    else
        runClap<float>(plugin, blocks, wide, r, extra, context);
    plugin.deactivate();
    return r;
}

} // namespace kavet::script
