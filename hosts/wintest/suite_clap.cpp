// The CLAP module of the same build beside its VST 2.4 module: the factory's descriptor of
// the configuration under test, the output of the block scripts (block_script.h) to the bit
// (32- and 64-bit samples, events on block boundaries at three block sizes and within
// blocks), the state as the VST 2.4 chunk, a short stream refused and a whole one restored;
// and no message of either misbehaving severity in any plug-in's log.
#include "suite_clap.h"

#include "clap_script.h"

#include "hosts/common/host_error.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace kavet;
using namespace kavet::clap;

struct ClapContext {
    Checker& check;
    std::shared_ptr<const host::ClapModule> module;
    const PluginModule& vst2;
    bool stereo;
    int misbehaviour = 0; // messages of the misbehaving severities, over every plug-in
    const char* id() const {
        return stereo ? "com.velmorant.kavet.stereo" : "com.velmorant.kavet.mono";
    }
};

// A plug-in of the configuration; its log is counted when it goes.
class Plugin {
public:
    explicit Plugin(ClapContext& ctx) : ctx_(ctx), plugin_(ctx.module, ctx.id()) {}
    ~Plugin() {
        plugin_.close();
        for (const host::LogEntry& e : plugin_.host().misbehaviour()) {
            std::printf("note  %s\n", e.message.c_str());
            ++ctx_.misbehaviour;
        }
    }
    host::ClapPlugin& operator*() { return plugin_; }
    host::ClapPlugin* operator->() { return &plugin_; }

private:
    ClapContext& ctx_;
    host::ClapPlugin plugin_;
};

void checkFactory(ClapContext& ctx) {
    Checker& check = ctx.check;
    const std::vector<host::ClapDescriptor> list = ctx.module->descriptors();
    if (!check.expect(list.size() == 2, "ClapFactoryHasTwoPlugins", "%lu descriptors",
                      static_cast<unsigned long>(list.size())))
        return;
    const host::ClapDescriptor& d = list[ctx.stereo ? 0 : 1];
    check.expectText("ClapPluginId", d.id.c_str(), ctx.id());
    check.expectText("ClapPluginName", d.name.c_str(), ctx.stereo ? "Kavet Stereo" : "Kavet Mono");
    check.expectText("ClapPluginVendor", d.vendor.c_str(), "Velmorant Ltd");
    check.expectText("ClapPluginVersion", d.version.c_str(), "1.1.0");
    bool effect = false, channels = false;
    for (const std::string& f : d.features) {
        effect = effect || f == "audio-effect";
        channels = channels || f == (ctx.stereo ? "stereo" : "mono");
    }
    check.expect(effect && channels, "ClapPluginFeatures", "%lu features",
                 static_cast<unsigned long>(d.features.size()));
}

void compare(ClapContext& ctx, const char* name, bool wide,
             const std::vector<script::ScriptBlock>& blocks) {
    script::Rendering clapSide;
    {
        Plugin p(ctx);
        clapSide = script::renderClap(*p, wide, blocks);
    }
    EffectInstance fx(ctx.vst2.entry());
    const script::Rendering vst2 =
        fx ? script::renderVst2(fx.get(), wide, blocks) : script::Rendering{{}, false, 0};
    std::size_t at = 0;
    while (at < clapSide.bytes.size() && at < vst2.bytes.size() &&
           clapSide.bytes[at] == vst2.bytes[at])
        ++at;
    char full[96];
    std::snprintf(full, sizeof full, "%s%s", name, wide ? "Double" : "Float");
    ctx.check.expect(clapSide.ok && vst2.ok && !vst2.bytes.empty() &&
                         clapSide.bytes == vst2.bytes && clapSide.wrongSilenceFlags == 0,
                     full,
                     "blocks %s, %lu bytes (CLAP) and %lu (VST 2.4), first difference at byte "
                     "%lu, %d blocks with a wrong constant mask",
                     clapSide.ok ? "answered" : "refused",
                     static_cast<unsigned long>(clapSide.bytes.size()),
                     static_cast<unsigned long>(vst2.bytes.size()), static_cast<unsigned long>(at),
                     clapSide.wrongSilenceFlags);
}

void checkAudio(ClapContext& ctx) {
    for (bool wide : {false, true}) {
        compare(ctx, "ClapOutputEqualsVst2EventsAtBlockStartsNoFrames", wide,
                script::boundaryScript(0));
        compare(ctx, "ClapOutputEqualsVst2EventsAtBlockStarts7Frames", wide,
                script::boundaryScript(7));
        compare(ctx, "ClapOutputEqualsVst2EventsAtBlockStarts512Frames", wide,
                script::boundaryScript(512));
        compare(ctx, "ClapOutputEqualsVst2EventsWithinBlocks", wide, script::midBlockScript());
    }
}

void checkState(ClapContext& ctx) {
    Checker& check = ctx.check;
    const std::vector<script::ScriptChange> setting = {{0, 0, 0.25f}, {0, 2, 1.0f}, {0, 5, 0.125f}};
    EffectInstance fx(ctx.vst2.entry());
    if (!fx) return;
    host::EventList events;
    for (const script::ScriptChange& c : setting) {
        if (c.index < fx->numParams) fx->setParameter(fx.get(), c.index, c.value);
        const ParamValueEvent e =
            host::paramValueEvent(0, static_cast<Id>(c.index), static_cast<double>(c.value));
        (void)events.push(&e.header);
    }
    void* data = nullptr;
    const VstIntPtr size = dispatch(fx.get(), effGetChunk, 0, 0, &data);
    if (size <= 0 || data == nullptr) return;
    const auto* bytes = static_cast<const unsigned char*>(data);
    const std::vector<unsigned char> chunk(bytes, bytes + size);

    Plugin p(ctx);
    const bool flushed = p->flush(events);
    const auto state = p->saveState();
    check.expect(flushed && state == chunk, "ClapStateIsTheVst2Chunk", "%lu bytes, chunk %lu bytes",
                 static_cast<unsigned long>(state ? state->size() : 0),
                 static_cast<unsigned long>(chunk.size()));
    const std::vector<unsigned char> shortStream(chunk.begin(), chunk.end() - 1);
    check.expect(!p->loadState(shortStream) && p->saveState() == state,
                 "ClapStateRefusesAShortStream");
    Plugin restored(ctx);
    check.expect(restored->loadState(chunk, {.chunk = 3}) && restored->saveState() == chunk,
                 "ClapStateRestores");
}

} // namespace

int runClapSuite(Checker& check, const PluginModule& vst2, const char* path, bool stereo) {
    int misbehaviour = 0;
    try {
        ClapContext ctx{check, std::make_shared<const host::ClapModule>(path), vst2, stereo};
        check.setSection("CLAP factory");
        checkFactory(ctx);
        check.setSection("CLAP audio");
        checkAudio(ctx);
        check.setSection("CLAP state");
        checkState(ctx);
        misbehaviour = ctx.misbehaviour;
    } catch (const host::HostError& e) {
        check.expect(false, "ClapModuleLoads", "%s", e.what());
    }
    check.expect(misbehaviour == 0, "ClapNothingMisbehaved", "%d messages", misbehaviour);
    return check.summary();
}
