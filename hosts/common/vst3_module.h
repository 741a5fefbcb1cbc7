// A VST 3 module loaded into the process as a host loads it: the bundle's binary for this
// machine, its entry functions, and its factory with the classes it lists. [UI thread]
#pragma once

#include "vst3_library.h"
#include "vst3_ref.h"

#include "vst3/factory.h"

#include <memory>
#include <string>
#include <vector>

namespace kavet::host {

// One class of the factory: PClassInfo2's fields when the factory has IPluginFactory2,
// else PClassInfo's (the rest empty).
struct Vst3ClassInfo {
    vst3::Uid cid;
    vst3::int32 cardinality;
    std::string category;
    std::string name;
    vst3::uint32 classFlags;
    std::string subCategories;
    std::string vendor;
    std::string version;
    std::string sdkVersion;
};

class Vst3Module {
public:
    // `path` is a bundle (a folder: its binary for this machine, Contents/<architecture>/
    // <bundle's name>.so on Linux, .vst3 on Windows) or the binary itself. Loads it, calls
    // ModuleEntry (Linux: required; false refuses the load) or InitDll (Windows, when
    // exported), then GetPluginFactory. Throws HostError when any of it fails.
    explicit Vst3Module(const std::string& path);
    // Releases the factory, calls ModuleExit (or ExitDll), unloads. Every object made by the
    // module must be gone by then.
    ~Vst3Module();
    Vst3Module(const Vst3Module&) = delete;
    Vst3Module& operator=(const Vst3Module&) = delete;

    // The binary inside `bundle` for this machine's architecture and system.
    static std::string binaryInBundle(const std::string& bundle);
    // "x86_64-linux", "x86_64-win", "x86-win", ...
    static const char* architectureFolder();

    const std::string& binaryPath() const { return binary_; }
    vst3::IPluginFactory* factory() const { return factory_.get(); }
    vst3::PFactoryInfo factoryInfo() const;
    std::vector<Vst3ClassInfo> classes() const;

    // A new object of class `cid` with interface `I` (one reference, the caller's); empty
    // when the factory refuses.
    template <class I> Ref<I> create(const vst3::Uid& cid) const {
        void* obj = nullptr;
        if (factory_->createInstance(cid.data(), I::iid.data(), &obj) != vst3::kResultOk) return {};
        return Ref<I>::adopt(static_cast<I*>(obj));
    }

private:
    void leave(); // ModuleExit (ExitDll) once, after a successful entry

    std::string binary_;
    std::unique_ptr<SharedLibrary> library_;
    bool entered_ = false;
    Ref<vst3::IPluginFactory> factory_;
};

} // namespace kavet::host
