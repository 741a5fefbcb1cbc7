// Modules that a host must refuse or handle specially, one per FIXTURE_* definition:
//   NO_ENTRY     exports neither VSTPluginMain nor main
//   NULL_RECORD  its entry answers null
//   BAD_MAGIC    its entry answers a record without the 'VstP' magic
//   MAIN_ONLY    a one-in, one-out pass-through exported only as "main" (old modules),
//                without 64-bit processing
//   RAISE_SIGNAL the same pass-through exported as VSTPluginMain, whose processing sends
//                SIGTERM to its own process (a host interrupted in the middle of a file)
//   PROBE        a one-in, one-out module that reports what the host told it: the first
//                three samples of every processed block are the sample rate and block size
//                in force when it was resumed, and the length of the block; the fourth is
//                the sample rate that the host callback answered at resume
//   NO_FACTORY   a VST 3 binary that takes ModuleEntry but exports no GetPluginFactory
//   CLAP_OLD_VERSION  a clap_entry of interface version 0.9
//   CLAP_INIT_FAILS   a clap_entry whose init answers false
//   CLAP_NO_FACTORY   a clap_entry without a plug-in factory
//   CLAP_EMPTY        a clap_entry whose factory lists no plug-in
#include "clap/factory.h"
#include "vst/aeffect.h"

#include <csignal>
#include <cstring>

#define KAVET_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// PROBE state: what the host had set when it resumed the effect (0: not resumed).
struct Probe {
    audioMasterCallback host = nullptr;
    float sampleRate = 0.0f;
    VstIntPtr blockSize = 0;
    float rateAtResume = 0.0f;
    VstIntPtr blockAtResume = 0;
    VstIntPtr hostRateAtResume = 0;
};
Probe probe;

VstIntPtr dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt) {
    switch (opcode) {
    case effClose:
        delete effect;
        return 1;
    case effGetParamName:
        if (index == 0) std::strcpy(static_cast<char*>(ptr), "Level");
        return 0;
    case effSetSampleRate:
        probe.sampleRate = opt;
        return 0;
    case effSetBlockSize:
        probe.blockSize = value;
        return 0;
    case effMainsChanged:
        if (value != 0 && probe.host != nullptr) {
            probe.rateAtResume = probe.sampleRate;
            probe.blockAtResume = probe.blockSize;
            probe.hostRateAtResume =
                probe.host(effect, audioMasterGetSampleRate, 0, 0, nullptr, 0.0f);
        }
        return 0;
    case effGetProductString:
        std::strcpy(static_cast<char*>(ptr), "Fixture");
        return 1;
    default:
        return 0;
    }
}

void passThrough(AEffect*, float** inputs, float** outputs, VstInt32 frames) {
#if defined(FIXTURE_RAISE_SIGNAL)
    std::raise(SIGTERM);
#endif
    std::memcpy(outputs[0], inputs[0], sizeof(float) * static_cast<std::size_t>(frames));
#if defined(FIXTURE_PROBE)
    const float report[] = {probe.rateAtResume, static_cast<float>(probe.blockAtResume),
                            static_cast<float>(frames), static_cast<float>(probe.hostRateAtResume)};
    for (VstInt32 i = 0; i < frames && i < 4; ++i)
        outputs[0][i] = report[i];
#endif
}

[[maybe_unused]] AEffect* newPassThrough() {
    auto* effect = new AEffect{};
    effect->magic = kEffectMagic;
    effect->dispatcher = dispatcher;
    effect->numPrograms = 1;
    effect->numParams = 1;
    effect->numInputs = 1;
    effect->numOutputs = 1;
    effect->flags = effFlagsCanReplacing;
    effect->ioRatio = 1.0f;
    effect->uniqueID = CCONST('K', 'f', 'i', 'x');
    effect->version = 1;
    effect->processReplacing = passThrough;
    return effect;
}

} // namespace

#if defined(FIXTURE_NO_ENTRY)
KAVET_EXPORT int kavetFixtureNotAnEntry() {
    return 0;
}
#elif defined(FIXTURE_NULL_RECORD)
KAVET_EXPORT AEffect* VSTPluginMain(audioMasterCallback) {
    return nullptr;
}
#elif defined(FIXTURE_BAD_MAGIC)
KAVET_EXPORT AEffect* VSTPluginMain(audioMasterCallback) {
    static AEffect record{};
    record.magic = CCONST('V', 's', 't', 'X');
    return &record;
}
#elif defined(FIXTURE_MAIN_ONLY)
// C++ reserves the name main; the assembler name gives the entry the name old hosts seek.
KAVET_EXPORT AEffect* fixtureMain(audioMasterCallback host) __asm__("main");
KAVET_EXPORT AEffect* fixtureMain(audioMasterCallback host) {
    return host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) != 0 ? newPassThrough() : nullptr;
}
#elif defined(FIXTURE_RAISE_SIGNAL)
KAVET_EXPORT AEffect* VSTPluginMain(audioMasterCallback) {
    return newPassThrough();
}
#elif defined(FIXTURE_PROBE)
KAVET_EXPORT AEffect* VSTPluginMain(audioMasterCallback host) {
    probe.host = host;
    return newPassThrough();
}
#elif defined(FIXTURE_NO_FACTORY)
KAVET_EXPORT bool ModuleEntry(void*) {
    return true;
}
KAVET_EXPORT bool ModuleExit() {
    return true;
}
#elif defined(FIXTURE_CLAP_OLD_VERSION) || defined(FIXTURE_CLAP_INIT_FAILS) ||                     \
    defined(FIXTURE_CLAP_NO_FACTORY) || defined(FIXTURE_CLAP_EMPTY)
namespace {

namespace clap = kavet::clap;

#if defined(FIXTURE_CLAP_OLD_VERSION)
constexpr clap::Version kEntryVersion = {0, 9, 0};
#else
constexpr clap::Version kEntryVersion = clap::kVersion;
#endif

bool KAVET_CLAP_CALL clapInit(const char*) {
#if defined(FIXTURE_CLAP_INIT_FAILS)
    return false;
#else
    return true;
#endif
}

void KAVET_CLAP_CALL clapDeinit() {}

clap::uint32 KAVET_CLAP_CALL pluginCount(const clap::PluginFactory*) {
    return 0;
}

const clap::PluginDescriptor* KAVET_CLAP_CALL pluginDescriptor(const clap::PluginFactory*,
                                                               clap::uint32) {
    return nullptr;
}

const clap::Plugin* KAVET_CLAP_CALL createPlugin(const clap::PluginFactory*, const clap::Host*,
                                                 const char*) {
    return nullptr;
}

const clap::PluginFactory factory = {pluginCount, pluginDescriptor, createPlugin};

const void* KAVET_CLAP_CALL clapFactory(const char* id) {
#if defined(FIXTURE_CLAP_NO_FACTORY)
    (void)id;
    return nullptr;
#else
    return std::strcmp(id, clap::kPluginFactoryId) == 0 ? &factory : nullptr;
#endif
}

} // namespace

KAVET_EXPORT const clap::PluginEntry clap_entry = {kEntryVersion, clapInit, clapDeinit,
                                                   clapFactory};
#else
#error "define one FIXTURE_* kind"
#endif
