// The state of a loaded module and the procedures behind its exports: the host's open and
// close (counted), the group's creation and destruction, the resource-file rule and the
// module entry. Loading thread only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

class CEffectGroup;

namespace kavet::pt {

inline constexpr std::int32_t kHostInterfaceVersion = 73;
inline constexpr std::int16_t kErrGroupAllocation = -7003;
inline constexpr std::int16_t kErrUnexpected = -7401;
inline constexpr std::size_t kModulePathChars = 256;
inline constexpr const char* kResourceSuffix = ".rsr";

struct ModuleState {
    HMODULE module = nullptr;
    CEffectGroup* group = nullptr;
    int openCount = 0;
    bool openedByHost = false;
    char resourcePath[kModulePathChars + 5] = {}; // the module's file name + ".rsr"
    bool groupCreated = false;
    bool hostOffersOpenClose = false;
    std::int32_t resourceRegistration = 0; // the host library's number for the file
};

ModuleState& Module();

// The export NewPlugIn: create and initialise the group. 0, -7003 when allocation fails, a
// framework error's code, or -7401 for any other exception.
std::int16_t NewPlugIn();
// The export WinPlugInOpen: -1 unless `version` is 73, else the open procedure.
std::int16_t WinPlugInOpen(std::int32_t version);
// The open and close procedures (handed to the host library, or called by the entry).
std::int16_t OpenProcedure();
std::int16_t CloseProcedure();
// Under the global lock: destroys the group if there is one. Never throws.
void DestroyGroup();

// The resource file of a module file: the complete file name followed by ".rsr" (so
// "x.dpm" gives "x.dpm.rsr"). False when it does not fit `size` bytes.
bool ResourcePathFor(const char* moduleFile, char* out, std::size_t size);

// The module entry. Attach stores the handle and offers the open and close procedures to
// the host library, or, when it has no such entry, opens at once; false means the module
// must not stay loaded. Detach closes when the host library could not be told.
bool ModuleAttach(HMODULE module);
void ModuleDetach();

} // namespace kavet::pt
