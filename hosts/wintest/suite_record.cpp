// The AEffect record of the module, field by field.
#include "suites.h"

#include <cstring>

// Flags: editor, replacing, chunks and double precision in both builds; the stereo build
// also says it can process a mono signal.
constexpr VstInt32 kCommonFlags =
    effFlagsHasEditor | effFlagsCanReplacing | effFlagsProgramChunks | effFlagsCanDoubleReplacing;
const ModuleFacts kMonoFacts = {
    "Kavet Mono", CCONST('K', 'v', 't', 'M'), 1, 5, kCommonFlags, 56, 7};
const ModuleFacts kStereoFacts = {
    "Kavet Stereo", CCONST('K', 'v', 't', 'S'), 2, 6, kCommonFlags | effFlagsCanMono, 60, 8};

void checkRecord(Context& ctx) {
    Checker& check = ctx.check;
    const ModuleFacts& facts = ctx.facts;
    EffectInstance fx(ctx.module.entry());
    if (!check.expect(bool(fx), "EntryCreatesAnEffect", "VSTPluginMain returned null")) return;
    const AEffect& e = *fx.get();

    check.expect(e.magic == kEffectMagic, "MagicIsVstP", "0x%08lx",
                 static_cast<unsigned long>(e.magic));
    check.expect(e.numPrograms == 1, "OneProgram", "%ld", static_cast<long>(e.numPrograms));
    check.expect(e.numParams == facts.params, "ParameterCount", "%ld, want %d",
                 static_cast<long>(e.numParams), facts.params);
    check.expect(e.numInputs == facts.channels && e.numOutputs == facts.channels, "ChannelCounts",
                 "%ld in, %ld out, want %d", static_cast<long>(e.numInputs),
                 static_cast<long>(e.numOutputs), facts.channels);
    check.expect(e.flags == facts.flags, "Flags", "flags 0x%lx, want 0x%lx",
                 static_cast<unsigned long>(e.flags), static_cast<unsigned long>(facts.flags));
    check.expect(e.uniqueID == facts.uniqueID, "UniqueId", "0x%08lx, want 0x%08lx",
                 static_cast<unsigned long>(e.uniqueID),
                 static_cast<unsigned long>(facts.uniqueID));
    check.expect(e.version == 1, "VersionOne", "%ld", static_cast<long>(e.version));
    check.expect(e.ioRatio == 1.0f && e.initialDelay == 0, "NoDelayUnitRatio");
    check.expect(e.resvd1 == 0 && e.resvd2 == 0 && e.realQualities == 0 && e.offQualities == 0,
                 "ReservedFieldsZero");
    const char zeros[sizeof e.future] = {};
    check.expect(std::memcmp(e.future, zeros, sizeof zeros) == 0, "FutureBytesZero");
    check.expect(e.object != nullptr && e.user == nullptr, "ObjectSetUserFree");
    check.expect(e.dispatcher && e.process && e.setParameter && e.getParameter &&
                     e.processReplacing && e.processDoubleReplacing,
                 "AllEntryPointsSet");
}
