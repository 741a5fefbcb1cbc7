// A host-format module loaded the way the host loads one: the host libraries (the
// stand-ins for DAE.DLL and DigiExt.dll) are in the process first, then the module is
// mapped and reached through its four exports only; the group and its processes through
// the routine table that `_PI_GetRoutineDescriptor` answers.
#pragma once

#include "hostlib/stand_in.h"
#include "protools/framework/fic_types.h"
#include "protools/framework/plugin_interface.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kavet::ptsim {

struct HostLibraryOptions {
    std::string directory; // where DAE.DLL and DigiExt.dll are; empty: the build's
    bool withDae = true;   // false: a host library without the open/close entry
};

// A module linked into the host program instead of mapped from a file: its four exports and
// its entry (what the loader runs when it maps and unmaps a module). It shares the host's
// Win32 layer, as every module on Windows shares the system's, so that its windows can live
// in the host's windows.
struct PtLinkedModule {
    std::string name;
    PtNewPlugInProc newPlugIn = nullptr;
    PtWinPlugInOpenProc open = nullptr;
    PtWinPlugInCloseProc close = nullptr;
    PtGetRoutineDescriptorProc descriptor = nullptr;
    void (*attach)() = nullptr;
    void (*detach)() = nullptr;
};

// The version of the host interface the simulated host speaks.
constexpr std::int32_t kHostVersion = 73;

class PtModule {
public:
    // Throws host::HostError when a file is missing, cannot be loaded, or the module lacks
    // one of the four exports.
    explicit PtModule(const std::string& path, HostLibraryOptions options = {});
    // Throws host::HostError when an export or the entry is missing.
    explicit PtModule(const PtLinkedModule& linked, HostLibraryOptions options = {});
    ~PtModule(); // unmaps the module, then the host libraries
    PtModule(const PtModule&) = delete;
    PtModule& operator=(const PtModule&) = delete;

    const std::string& path() const { return path_; }

    // The exports.
    std::int16_t open(std::int32_t hostVersion = kHostVersion);
    std::int16_t close();
    std::int16_t newPlugIn();
    // The routine table; throws HostError when the module offers none for this interface.
    const PtRoutineTable& routines() const;

    // Through the routine table. Throw HostError with the status on failure.
    PtGroupInfo groupInfo() const;
    PtTypeInfo typeInfo(int index) const;
    bool hasGroup() const; // the group answers

    // What the module handed the host libraries while it loaded.
    bool offeredOpenClose() const { return daeOpen_ != nullptr; }
    std::int16_t callDaeOpen() const; // the host library calling the procedures
    std::int16_t callDaeClose() const;
    // DigiExt's resource registrations so far, withdrawn ones included.
    std::vector<PtsimRegistration> resourceRegistrations() const;

private:
    void unload();
    void loadHostLibraries(const HostLibraryOptions& options);
    void* loadHostLibrary(const std::string& directory, const char* name);
    void takeOpenCloseProcs();

    std::string path_;
    void* dae_ = nullptr;
    void* digiExt_ = nullptr;
    void* handle_ = nullptr;
    PtNewPlugInProc newPlugIn_ = nullptr;
    PtWinPlugInOpenProc open_ = nullptr;
    PtWinPlugInCloseProc close_ = nullptr;
    PtGetRoutineDescriptorProc descriptor_ = nullptr;
    PtOpenCloseProc daeOpen_ = nullptr;
    PtOpenCloseProc daeClose_ = nullptr;
    void (*detach_)() = nullptr; // a linked module's entry, run at unload
};

// Four-character code as text ("kvt1").
std::string fourCC(std::uint32_t code);

} // namespace kavet::ptsim
