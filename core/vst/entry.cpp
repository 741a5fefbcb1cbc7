// The module's entry, exported as VSTPluginMain and, for old hosts, as main (the build
// adds the second name: a module-definition alias on Windows, a linker symbol elsewhere).
#include "../plug.h"

// KAVET_EXPORT is set by the build: default visibility on ELF, nothing where a
// module-definition file lists the exports.
#ifndef KAVET_EXPORT
#define KAVET_EXPORT
#endif

extern "C" KAVET_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback host) {
    if (host == nullptr) return nullptr;
    if (host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    AudioEffect* effect = kavet::createEffectInstance(host);
    return effect ? effect->getAeffect() : nullptr;
}
