// The module's entry, exported as VSTPluginMain and, for old hosts, as main (the build
// adds the second name: a module-definition alias on Windows, a linker symbol elsewhere).
//
// The module also binds its editor to the host's window system: the editor opcodes pass
// through kavet/host_window.h, which turns the host's window into the parent the editor
// opens in and, where the system does not do it itself (X11), carries input in and pixels
// out on every editor idle.
#include "../plug.h"

#include <kavet/host_window.h>

#include <map>
#include <mutex>

// KAVET_EXPORT is set by the build: default visibility on ELF, nothing where a
// module-definition file lists the exports.
#ifndef KAVET_EXPORT
#define KAVET_EXPORT
#endif

namespace {

struct OpenEditor {
    HWND parent = nullptr;
    bool embedded = false; // the parent is ours (not the host's window passed through)
};

// The effect's own dispatcher (one function for every instance) and the open editors by
// effect. Hosts open, idle and close editors on their user-interface thread but close effects
// on any: the map is locked.
AEffectDispatcherProc g_effectDispatcher = nullptr;
std::mutex g_lock;
std::map<AEffect*, OpenEditor> g_open;

OpenEditor take(AEffect* effect) {
    std::lock_guard g(g_lock);
    auto it = g_open.find(effect);
    if (it == g_open.end()) return {};
    OpenEditor open = it->second;
    g_open.erase(it);
    return open;
}

void release(const OpenEditor& open) {
    if (open.embedded) kavet::hostwindow::detach(open.parent);
}

bool isOpen(AEffect* effect) {
    std::lock_guard g(g_lock);
    return g_open.count(effect) != 0;
}

VstIntPtr openEditor(AEffect* effect, VstInt32 index, VstIntPtr value, void* system, float opt) {
    if (isOpen(effect)) return 0; // the host must close it first
    ERect* rect = nullptr;
    if (!g_effectDispatcher(effect, effEditGetRect, 0, 0, &rect, 0.0f) || !rect) return 0;
    const OpenEditor open{
        kavet::hostwindow::attach(system, rect->right - rect->left, rect->bottom - rect->top),
        false};
    if (!open.parent) return 0;
    const OpenEditor made{open.parent, open.parent != static_cast<HWND>(system)};
    const VstIntPtr result =
        g_effectDispatcher(effect, effEditOpen, index, value, made.parent, opt);
    if (!result) {
        release(made);
        return 0;
    }
    std::lock_guard g(g_lock);
    g_open[effect] = made;
    return result;
}

VstIntPtr VSTCALLBACK moduleDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                       VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
    case effEditOpen:
        return openEditor(effect, index, value, ptr, opt);
    case effEditIdle: {
        std::unique_lock g(g_lock);
        auto it = g_open.find(effect);
        const bool embedded = it != g_open.end() && it->second.embedded;
        g.unlock();
        if (embedded) kavet::hostwindow::pump();
        const VstIntPtr result = g_effectDispatcher(effect, opcode, index, value, ptr, opt);
        if (embedded) kavet::hostwindow::present();
        return result;
    }
    case effEditClose: {
        const VstIntPtr result = g_effectDispatcher(effect, opcode, index, value, ptr, opt);
        release(take(effect));
        return result;
    }
    case effClose: {
        // Closing the effect closes its editor: the parent goes after it.
        const OpenEditor open = take(effect);
        const VstIntPtr result = g_effectDispatcher(effect, opcode, index, value, ptr, opt);
        release(open);
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
