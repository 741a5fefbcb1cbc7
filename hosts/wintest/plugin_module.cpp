#include "plugin_module.h"

HostState& hostState() {
    static HostState state;
    return state;
}

VstIntPtr VSTCALLBACK hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    HostState& host = hostState();
    switch (opcode) {
    case audioMasterVersion:
        ++host.versionQueries;
        return host.version;
    case audioMasterAutomate:
        ++host.automateCalls;
        return 0;
    default:
        ++host.otherCalls;
        return 0;
    }
}

PluginModule::PluginModule(const char* path) : module_(LoadLibraryA(path)) {
    if (!module_) {
        error_ = GetLastError();
        return;
    }
    entry_ = reinterpret_cast<VstEntry>(
        reinterpret_cast<void*>(GetProcAddress(module_, "VSTPluginMain")));
    alias_ = reinterpret_cast<VstEntry>(reinterpret_cast<void*>(GetProcAddress(module_, "main")));
}

PluginModule::~PluginModule() {
    if (module_) FreeLibrary(module_);
}

VstIntPtr dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                   float opt) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

EffectInstance::EffectInstance(VstEntry entry) : effect_(entry ? entry(hostCallback) : nullptr) {
    if (effect_) dispatch(effect_, effOpen);
}

EffectInstance::~EffectInstance() {
    if (effect_) dispatch(effect_, effClose);
}
