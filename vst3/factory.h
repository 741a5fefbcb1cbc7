// The module's factory: what a host reads first (vendor, the classes it can create) and
// the calls that create them; and IPluginBase, the initialisation every created object
// takes. Host side: GetPluginFactory, exported by every module.
#pragma once

#include "base.h"

namespace kavet::vst3 {

class IPluginBase : public FUnknown {
public:
    static constexpr Uid iid = Uid::of(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);

    // `context`: the host's application interface (IHostApplication), among others.
    virtual tresult KAVET_VST3_CALL initialize(FUnknown* context) = 0;
    virtual tresult KAVET_VST3_CALL terminate() = 0;

protected:
    ~IPluginBase() = default;
};

struct PFactoryInfo {
    enum : int32 { kNoFlags = 0, kClassesDiscardable = 1, kUnicode = 1 << 4 };
    char vendor[64];
    char url[256];
    char email[128];
    int32 flags;
};

inline constexpr int32 kManyInstances = 0x7FFFFFFF; // a class's cardinality

struct PClassInfo {
    unsigned char cid[16];
    int32 cardinality;
    char category[32];
    char name[64];
};

// PClassInfo2's class flags.
enum ComponentFlags : uint32 { kDistributable = 1 << 0, kSimpleModeSupported = 1 << 1 };

struct PClassInfo2 {
    unsigned char cid[16];
    int32 cardinality;
    char category[32];
    char name[64];
    uint32 classFlags;
    char subCategories[128]; // "|" between categories
    char vendor[64];
    char version[64];
    char sdkVersion[64];
};

static_assert(sizeof(PClassInfo2) == 440);

struct PClassInfoW {
    unsigned char cid[16];
    int32 cardinality;
    char category[32];
    char16 name[64];
    uint32 classFlags;
    char subCategories[128];
    char16 vendor[64];
    char16 version[64];
    char16 sdkVersion[64];
};

class IPluginFactory : public FUnknown {
public:
    static constexpr Uid iid = Uid::of(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);

    virtual tresult KAVET_VST3_CALL getFactoryInfo(PFactoryInfo* info) = 0;
    virtual int32 KAVET_VST3_CALL countClasses() = 0;
    virtual tresult KAVET_VST3_CALL getClassInfo(int32 index, PClassInfo* info) = 0;
    // `cid` and `iid` point to 16 bytes each.
    virtual tresult KAVET_VST3_CALL createInstance(FIDString cid, FIDString iid, void** obj) = 0;

protected:
    ~IPluginFactory() = default;
};

class IPluginFactory2 : public IPluginFactory {
public:
    static constexpr Uid iid = Uid::of(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);

    virtual tresult KAVET_VST3_CALL getClassInfo2(int32 index, PClassInfo2* info) = 0;

protected:
    ~IPluginFactory2() = default;
};

class IPluginFactory3 : public IPluginFactory2 {
public:
    static constexpr Uid iid = Uid::of(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);

    virtual tresult KAVET_VST3_CALL getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
    virtual tresult KAVET_VST3_CALL setHostContext(FUnknown* context) = 0;

protected:
    ~IPluginFactory3() = default;
};

// Class categories and the audio effects' subcategory.
inline constexpr const char* kAudioEffectClass = "Audio Module Class";
inline constexpr const char* kComponentControllerClass = "Component Controller Class";
inline constexpr const char* kFxSubcategory = "Fx";

// The exported entry: the module's factory with one reference for the caller.
using GetFactoryProc = IPluginFactory*(KAVET_VST3_CALL*)();
// Linux modules also export ModuleEntry (before the factory is asked for, with the module's
// dlopen handle; false refuses the load) and ModuleExit (before the module is unloaded).
using ModuleEntryProc = bool (*)(void* sharedLibraryHandle);
using ModuleExitProc = bool (*)();

} // namespace kavet::vst3
