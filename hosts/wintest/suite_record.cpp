// The AEffect record of the mono build, field by field.
#include "suites.h"

#include <cstring>

void checkRecord(Context& ctx) {
    Checker& check = ctx.check;
    EffectInstance fx(ctx.module.entry());
    if (!check.expect(bool(fx), "EntryCreatesAnEffect", "VSTPluginMain returned null")) return;
    const AEffect& e = *fx.get();

    check.expect(e.magic == kEffectMagic, "MagicIsVstP", "0x%08lx",
                 static_cast<unsigned long>(e.magic));
    check.expect(e.numPrograms == 1, "OneProgram", "%ld", static_cast<long>(e.numPrograms));
    check.expect(e.numParams == 5, "FiveParameters", "%ld", static_cast<long>(e.numParams));
    check.expect(e.numInputs == 1 && e.numOutputs == 1, "OneInputOneOutput", "%ld in, %ld out",
                 static_cast<long>(e.numInputs), static_cast<long>(e.numOutputs));
    const VstInt32 wanted = effFlagsHasEditor | effFlagsCanReplacing | effFlagsProgramChunks |
                            effFlagsCanDoubleReplacing;
    check.expect(e.flags == wanted, "FlagsEditorReplacingChunksDouble", "flags 0x%lx",
                 static_cast<unsigned long>(e.flags));
    check.expect(e.uniqueID == CCONST('K', 'v', 't', 'M'), "UniqueIdKvtM", "0x%08lx",
                 static_cast<unsigned long>(e.uniqueID));
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
