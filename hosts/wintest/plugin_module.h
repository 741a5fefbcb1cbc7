// A VST 2.4 module loaded with LoadLibraryA, its two entry names, and the test host's
// callback.
#pragma once

#include "vst/aeffect.h"

#include <windows.h>

using VstEntry = AEffect*(VSTCALLBACK*)(audioMasterCallback host);

// What the host callback has seen and what it answers. One host per process.
struct HostState {
    VstIntPtr version = kVstVersion; // answer to audioMasterVersion
    int versionQueries = 0;
    int automateCalls = 0;
    int otherCalls = 0;
};

HostState& hostState();
VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                   VstIntPtr value, void* ptr, float opt);

class PluginModule {
public:
    explicit PluginModule(const char* path);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    bool loaded() const { return module_ != nullptr; }
    DWORD loadError() const { return error_; }
    VstEntry entry() const { return entry_; }     // "VSTPluginMain"
    VstEntry mainAlias() const { return alias_; } // "main"

private:
    HMODULE module_ = nullptr;
    DWORD error_ = 0;
    VstEntry entry_ = nullptr;
    VstEntry alias_ = nullptr;
};

// One effect created through an entry; closed (effClose) when the instance goes.
class EffectInstance {
public:
    explicit EffectInstance(VstEntry entry);
    explicit EffectInstance(AEffect* effect) : effect_(effect) {}
    ~EffectInstance();
    EffectInstance(const EffectInstance&) = delete;
    EffectInstance& operator=(const EffectInstance&) = delete;

    AEffect* get() const { return effect_; }
    AEffect* operator->() const { return effect_; }
    explicit operator bool() const { return effect_ != nullptr; }

private:
    AEffect* effect_ = nullptr;
};

// Convenience calls on an effect record.
VstIntPtr dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                   void* ptr = nullptr, float opt = 0.0f);
