// The module's factory and its exported entries. The factory is one object for the life of
// the module; its reference count is kept for the interface's sake and never frees it.
#include "classes.h"
#include "text16.h"

#include "vst/text.h"
#include "vst3/factory.h"

#include <cstring>

// KAVET_EXPORT is set by the build: default visibility on ELF, nothing where a
// module-definition file lists the exports.
#ifndef KAVET_EXPORT
#define KAVET_EXPORT
#endif

namespace kavet::vst3plugin {

namespace {

using namespace vst3;

const PartEntry* partOf(int index) {
    return index < 2 ? kavet_vst3_part_stereo() : kavet_vst3_part_mono();
}

int classIndexOf(FIDString cid) {
    for (int i = 0; i < kClassCount; ++i)
        if (kClasses[i].cid.is(cid)) return i;
    return -1;
}

class Factory final : public IPluginFactory3 {
public:
    tresult KAVET_VST3_CALL queryInterface(const char* iid, void** obj) override {
        if (obj == nullptr) return kInvalidArgument;
        if (FUnknown::iid.is(iid) || IPluginFactory::iid.is(iid) || IPluginFactory2::iid.is(iid) ||
            IPluginFactory3::iid.is(iid)) {
            *obj = static_cast<IPluginFactory3*>(this);
            return kResultOk;
        }
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 KAVET_VST3_CALL addRef() override { return 1; }
    uint32 KAVET_VST3_CALL release() override { return 1; }

    tresult KAVET_VST3_CALL getFactoryInfo(PFactoryInfo* info) override {
        if (info == nullptr) return kInvalidArgument;
        std::memset(info, 0, sizeof *info);
        copyText(info->vendor, kFactoryVendor, sizeof info->vendor);
        copyText(info->url, kFactoryUrl, sizeof info->url);
        copyText(info->email, kFactoryEmail, sizeof info->email);
        info->flags = PFactoryInfo::kUnicode;
        return kResultOk;
    }

    int32 KAVET_VST3_CALL countClasses() override { return kClassCount; }

    // The first four fields of PClassInfo2, as PClassInfo holds them.
    tresult KAVET_VST3_CALL getClassInfo(int32 index, PClassInfo* info) override {
        PClassInfo2 full;
        if (info == nullptr) return kInvalidArgument;
        const tresult result = getClassInfo2(index, &full);
        if (result != kResultOk) return result;
        std::memcpy(info->cid, full.cid, sizeof info->cid);
        info->cardinality = full.cardinality;
        std::memcpy(info->category, full.category, sizeof info->category);
        std::memcpy(info->name, full.name, sizeof info->name);
        return kResultOk;
    }

    tresult KAVET_VST3_CALL getClassInfo2(int32 index, PClassInfo2* info) override {
        if (info == nullptr || index < 0 || index >= kClassCount) return kInvalidArgument;
        std::memset(info, 0, sizeof *info);
        const ClassDescription& c = kClasses[index];
        std::memcpy(info->cid, c.cid.bytes, sizeof info->cid);
        info->cardinality = kManyInstances;
        copyText(info->category, c.category, sizeof info->category);
        copyText(info->name, c.name, sizeof info->name);
        // Not distributable: the controller's view reads the processor's meters in memory.
        info->classFlags = 0;
        copyText(info->subCategories, c.subCategories, sizeof info->subCategories);
        copyText(info->vendor, kFactoryVendor, sizeof info->vendor);
        copyText(info->version, kClassVersion, sizeof info->version);
        copyText(info->sdkVersion, kSdkVersion, sizeof info->sdkVersion);
        return kResultOk;
    }

    tresult KAVET_VST3_CALL getClassInfoUnicode(int32 index, PClassInfoW* info) override {
        PClassInfo2 narrow;
        if (info == nullptr) return kInvalidArgument;
        const tresult result = getClassInfo2(index, &narrow);
        if (result != kResultOk) return result;
        std::memset(info, 0, sizeof *info);
        std::memcpy(info->cid, narrow.cid, sizeof info->cid);
        info->cardinality = narrow.cardinality;
        std::memcpy(info->category, narrow.category, sizeof info->category);
        toText16(narrow.name, info->name, 64);
        info->classFlags = narrow.classFlags;
        std::memcpy(info->subCategories, narrow.subCategories, sizeof info->subCategories);
        toText16(narrow.vendor, info->vendor, 64);
        toText16(narrow.version, info->version, 64);
        toText16(narrow.sdkVersion, info->sdkVersion, 64);
        return kResultOk;
    }

    tresult KAVET_VST3_CALL setHostContext(FUnknown*) override { return kResultOk; }

    tresult KAVET_VST3_CALL createInstance(FIDString cid, FIDString iid, void** obj) override {
        if (obj == nullptr) return kInvalidArgument;
        *obj = nullptr;
        const int index = classIndexOf(cid);
        if (index < 0 || iid == nullptr) return kNoInterface;
        const PartEntry* part = partOf(index);
        FUnknown* object = index % 2 == 0 ? part->createProcessor() : part->createController();
        if (object == nullptr) return kOutOfMemory;
        const tresult result = object->queryInterface(iid, obj);
        object->release(); // the caller holds the reference queryInterface gave
        return result;
    }
};

Factory g_factory;

} // namespace

} // namespace kavet::vst3plugin

extern "C" KAVET_EXPORT kavet::vst3::IPluginFactory* KAVET_VST3_CALL GetPluginFactory() {
    return &kavet::vst3plugin::g_factory;
}
