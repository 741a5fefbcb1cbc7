// The VST 3 module of the same build beside its VST 2.4 module: the factory's classes of
// the configuration under test, the output of the scripts of hosts/wintest/vst3_script.h to
// the bit (32- and 64-bit samples, changes on block boundaries at three block sizes and
// within blocks), the state as the VST 2.4 chunk and a short stream refused, and every
// reference the module took of the host's objects given back.
#include "suite_vst3.h"

#include "vst3_script.h"

#include "hosts/common/host_error.h"
#include "hosts/common/vst3_host_object.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace kavet;
using namespace kavet::vst3;

const Uid kStereoProcessor = Uid::of(0x63D8185C, 0xD76849FC, 0x95C555A3, 0xAF947C01);
const Uid kStereoController = Uid::of(0xA70C2C69, 0x34794AD0, 0x81A9B608, 0x01FCB2F1);
const Uid kMonoProcessor = Uid::of(0x0ABB84B5, 0xF63E45B6, 0x86946F55, 0x9B107B95);
const Uid kMonoController = Uid::of(0x2A75385C, 0x9A224575, 0x84EBA371, 0x0FA78675);

struct Vst3Context {
    Checker& check;
    std::shared_ptr<const host::Vst3Module> module;
    const PluginModule& vst2;
    bool stereo;
    const Uid& processor() const { return stereo ? kStereoProcessor : kMonoProcessor; }
};

void checkFactory(Vst3Context& ctx) {
    Checker& check = ctx.check;
    const PFactoryInfo info = ctx.module->factoryInfo();
    check.expectText("Vst3FactoryVendor", info.vendor, "Velmorant Ltd");
    const std::vector<host::Vst3ClassInfo> classes = ctx.module->classes();
    if (!check.expect(classes.size() == 4, "Vst3FactoryHasFourClasses", "%lu classes",
                      static_cast<unsigned long>(classes.size())))
        return;
    const std::size_t at = ctx.stereo ? 0 : 2;
    const host::Vst3ClassInfo& processor = classes[at];
    const host::Vst3ClassInfo& controller = classes[at + 1];
    check.expect(processor.cid.is(ctx.processor().bytes), "Vst3ProcessorClassId");
    check.expectText("Vst3ProcessorName", processor.name.c_str(),
                     ctx.stereo ? "Kavet Stereo" : "Kavet Mono");
    check.expectText("Vst3ProcessorCategory", processor.category.c_str(), kAudioEffectClass);
    check.expectText("Vst3ProcessorVersion", processor.version.c_str(), "1.1.0");
    check.expect(controller.cid.is((ctx.stereo ? kStereoController : kMonoController).bytes),
                 "Vst3ControllerClassId");
    check.expectText("Vst3ControllerCategory", controller.category.c_str(),
                     kComponentControllerClass);
}

// A new effect of each kind per rendering: both start from their defaults.
script::Rendering renderBoth(Vst3Context& ctx, bool wide,
                             const std::vector<script::ScriptBlock>& blocks,
                             script::Rendering& vst2) {
    host::Vst3Plugin plugin(ctx.module, ctx.processor());
    const script::Rendering r = script::renderVst3(plugin, wide, blocks);
    EffectInstance fx(ctx.vst2.entry());
    vst2 = fx ? script::renderVst2(fx.get(), wide, blocks) : script::Rendering{{}, false, 0};
    return r;
}

void compare(Vst3Context& ctx, const char* name, bool wide,
             const std::vector<script::ScriptBlock>& blocks) {
    script::Rendering vst2;
    const script::Rendering vst3 = renderBoth(ctx, wide, blocks, vst2);
    std::size_t at = 0;
    while (at < vst3.bytes.size() && at < vst2.bytes.size() && vst3.bytes[at] == vst2.bytes[at])
        ++at;
    char full[96];
    std::snprintf(full, sizeof full, "%s%s", name, wide ? "Double" : "Float");
    ctx.check.expect(vst3.ok && vst2.ok && !vst2.bytes.empty() && vst3.bytes == vst2.bytes &&
                         vst3.wrongSilenceFlags == 0,
                     full,
                     "calls %s, %lu bytes (VST 3) and %lu (VST 2.4), first difference at byte "
                     "%lu, %d blocks with wrong silence flags",
                     vst3.ok ? "answered" : "refused",
                     static_cast<unsigned long>(vst3.bytes.size()),
                     static_cast<unsigned long>(vst2.bytes.size()), static_cast<unsigned long>(at),
                     vst3.wrongSilenceFlags);
}

void checkAudio(Vst3Context& ctx) {
    for (bool wide : {false, true}) {
        compare(ctx, "Vst3OutputEqualsVst2ChangesAtBlockStartsNoFrames", wide,
                script::boundaryScript(0));
        compare(ctx, "Vst3OutputEqualsVst2ChangesAtBlockStarts7Frames", wide,
                script::boundaryScript(7));
        compare(ctx, "Vst3OutputEqualsVst2ChangesAtBlockStarts512Frames", wide,
                script::boundaryScript(512));
        compare(ctx, "Vst3OutputEqualsVst2ChangesWithinBlocks", wide, script::midBlockScript());
    }
}

void checkState(Vst3Context& ctx) {
    Checker& check = ctx.check;
    const std::vector<script::ScriptBlock> setting = {
        {0, {{0, 0, 0.25f}, {0, 2, 1.0f}, {0, 5, 0.125f}}}};
    EffectInstance fx(ctx.vst2.entry());
    if (!fx) return;
    for (const script::ScriptChange& c : setting[0].changes)
        if (c.index < fx->numParams) fx->setParameter(fx.get(), c.index, c.value);
    void* data = nullptr;
    const VstIntPtr size = dispatch(fx.get(), effGetChunk, 0, 0, &data);
    if (size <= 0 || data == nullptr) return;
    const auto* bytes = static_cast<const unsigned char*>(data);
    const std::vector<unsigned char> chunk(bytes, bytes + size);

    host::Vst3Plugin plugin(ctx.module, ctx.processor());
    const script::Rendering r = script::renderVst3(plugin, false, setting);
    const std::vector<unsigned char> state = plugin.state();
    check.expect(r.ok && state == chunk, "Vst3StateIsTheVst2Chunk", "%lu bytes, chunk %lu bytes",
                 static_cast<unsigned long>(state.size()),
                 static_cast<unsigned long>(chunk.size()));
    const std::vector<unsigned char> shortStream(chunk.begin(), chunk.end() - 1);
    check.expect(plugin.setState(shortStream) != kResultOk && plugin.state() == state,
                 "Vst3StateRefusesAShortStream");
    host::Vst3Plugin restored(ctx.module, ctx.processor());
    check.expect(restored.setState(chunk) == kResultOk && restored.state() == chunk,
                 "Vst3StateRestores");
}

} // namespace

int runVst3Suite(Checker& check, const PluginModule& vst2, const char* path, bool stereo) {
    try {
        Vst3Context ctx{check, std::make_shared<const host::Vst3Module>(path), vst2, stereo};
        check.setSection("VST 3 factory");
        checkFactory(ctx);
        check.setSection("VST 3 audio");
        checkAudio(ctx);
        check.setSection("VST 3 state");
        checkState(ctx);
    } catch (const host::HostError& e) {
        check.expect(false, "Vst3ModuleLoads", "%s", e.what());
    }
    check.expect(host::liveHostObjects() == 0, "Vst3ModuleGaveBackTheHostsObjects",
                 "%d still alive", host::liveHostObjects());
    return check.summary();
}
