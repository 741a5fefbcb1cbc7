// The module's entry, exported as VSTPluginMain and, for old hosts, as main (the build
// adds the second name: a module-definition alias on Windows, a linker symbol elsewhere).
//
// The module also binds its editor to the host's window system: the editor opcodes pass
// through kavet/host_window.h, which turns the host's window into the parent the editor
// opens in and, where the system does not do it itself (X11), carries input in and pixels
// out on every editor idle.
#include "core/plug.h"

#include <kavet/host_window.h>

// KAVET_EXPORT is set by the build: default visibility on ELF, nothing where a
// module-definition file lists the exports.
#ifndef KAVET_EXPORT
#define KAVET_EXPORT
#endif

namespace {

// The effect's own dispatcher: one function for every instance.
AEffectDispatcherProc g_effectDispatcher = nullptr;

VstIntPtr openEditor(AEffect* effect, VstInt32 index, VstIntPtr value, void* system, float opt) {
    if (kavet::hostwindow::attached(effect)) return 0; // the host must close it first
    ERect* rect = nullptr;
    if (!g_effectDispatcher(effect, effEditGetRect, 0, 0, &rect, 0.0f) || !rect) return 0;
    HWND parent = kavet::hostwindow::attach(effect, system, rect->right - rect->left,
                                            rect->bottom - rect->top);
    if (!parent) return 0;
    const VstIntPtr result = g_effectDispatcher(effect, effEditOpen, index, value, parent, opt);
    if (!result) kavet::hostwindow::detach(effect);
    return result;
}

VstIntPtr VSTCALLBACK moduleDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                       VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
    case effEditOpen:
        return openEditor(effect, index, value, ptr, opt);
    case effEditIdle: {
        kavet::hostwindow::pump();
        const VstIntPtr result = g_effectDispatcher(effect, opcode, index, value, ptr, opt);
        kavet::hostwindow::present();
        return result;
    }
    case effEditClose:
    case effClose: {
        // Closing the effect closes its editor too: the parent goes after it.
        const VstIntPtr result = g_effectDispatcher(effect, opcode, index, value, ptr, opt);
        kavet::hostwindow::detach(effect);
        return result;
    }
    default:
        return g_effectDispatcher(effect, opcode, index, value, ptr, opt);
    }
}

} // namespace

extern "C" KAVET_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback host) {
    if (host == nullptr) return nullptr;
    if (host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    AudioEffect* effect = kavet::createEffectInstance(host);
    if (!effect) return nullptr;
    AEffect* record = effect->getAeffect();
    g_effectDispatcher = record->dispatcher;
    record->dispatcher = moduleDispatcher;
    return record;
}
