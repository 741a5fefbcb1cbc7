// CEffectGroup: the one plug-in group of a loaded module. It carries the manufacturer and
// product names and codes and the capability set, owns the effect types it registers and
// every process created from them. CEffectGroupMIDI is a group whose processes have MIDI
// connections. The group that exists is the module's group: the routine table serves it.
#pragma once

#include "effect_type.h"
#include "plugin_interface.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CEffectProcess;

class CEffectGroup {
public:
    CEffectGroup();
    virtual ~CEffectGroup(); // deletes the processes still alive, then the types
    CEffectGroup(const CEffectGroup&) = delete;
    CEffectGroup& operator=(const CEffectGroup&) = delete;

    void DefineManufacturerNamesAndID(const char* names, ptfw::OSType code);
    void DefinePlugInNamesAndVersion(const char* names, std::int32_t version);
    void AddGestalt(std::int32_t capability); // at most PT_MAX_CODES

    // Runs CreateEffectTypes and checks the description: manufacturer code and names,
    // product names, at least one type, every type complete. Throws CDAEError.
    virtual void Initialize();
    bool IsInitialized() const { return initialized_; }
    virtual bool IsMIDICapable() const { return false; }

    const std::string& GetManufacturerNames() const { return manufacturerNames_; }
    ptfw::OSType GetManufacturerCode() const { return manufacturerCode_; }
    const std::string& GetProductNames() const { return productNames_; }
    std::int32_t GetProductVersion() const { return version_; }
    const std::vector<std::int32_t>& GetCapabilities() const { return capabilities_; }
    int GetTypeCount() const { return static_cast<int>(types_.size()); }
    const CEffectType* GetType(int index) const;

    // Creates, initialises and keeps a process of type `typeIndex`. Throws CDAEError.
    CEffectProcess* NewProcess(int typeIndex, const PtProcessSetup& setup);
    // False when `process` is not one of this group's.
    bool DeleteProcess(CEffectProcess* process);
    bool OwnsProcess(const CEffectProcess* process) const;
    // The process whose handle the host holds, or null: the handle is compared, never
    // followed, so anything a host passes gets an answer.
    CEffectProcess* FindProcess(const PtProcess* handle) const;

    // The group of this module, or null.
    static CEffectGroup* ModuleGroup();

protected:
    // Builds the types and registers those offered with AddEffectType.
    virtual void CreateEffectTypes() = 0;
    void AddEffectType(std::unique_ptr<CEffectType> type);

private:
    std::string manufacturerNames_, productNames_;
    ptfw::OSType manufacturerCode_ = 0;
    std::int32_t version_ = 0;
    std::vector<std::int32_t> capabilities_;
    std::vector<std::unique_ptr<CEffectType>> types_;
    std::vector<std::unique_ptr<CEffectProcess>> processes_;
    bool initialized_ = false;
};

class CEffectGroupMIDI : public CEffectGroup {
public:
    bool IsMIDICapable() const override { return true; }
};
