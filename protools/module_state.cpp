#include "module_state.h"

#include "byte_order.h"
#include "template_group.h"

#include "protools/framework/creation_context.h"
#include "protools/framework/dae_error.h"
#include "protools/framework/global_lock.h"
#include "protools/framework/host_library.h"

#include <cstring>
#include <new>

namespace kavet::pt {

ModuleState& Module() {
    static ModuleState state;
    return state;
}

std::int16_t NewPlugIn() {
    ModuleState& m = Module();
    try {
        auto* group = new (std::nothrow) CTemplateNoUIGroup;
        if (group == nullptr) return kErrGroupAllocation;
        if (m.group != nullptr && m.group != group) DestroyGroup(); // a second call replaces
        m.group = group;
        group->Initialize();
        return 0;
    } catch (const CDAEError& error) {
        return static_cast<std::int16_t>(error.GetErrorCode());
    } catch (...) {
        return kErrUnexpected;
    }
}

void DestroyGroup() {
    ptfw::CGlobalLock lock;
    ModuleState& m = Module();
    if (m.group == nullptr) return;
    try {
        delete m.group;
    } catch (...) {
    }
    m.group = nullptr;
}

bool ResourcePathFor(const char* moduleFile, char* out, std::size_t size) {
    if (moduleFile == nullptr || out == nullptr) return false;
    const std::size_t n = std::strlen(moduleFile), suffix = std::strlen(kResourceSuffix);
    if (n + suffix + 1 > size) return false;
    std::memcpy(out, moduleFile, n);
    std::memcpy(out + n, kResourceSuffix, suffix + 1);
    return true;
}

namespace {

void WithdrawResourceFile(ModuleState& m) {
    ptfw::hostlib::UnregisterResourceFile(m.resourceRegistration);
    m.resourceRegistration = 0;
    ptfw::SetPlugInResourceFile(0);
}

} // namespace

std::int16_t OpenProcedure() {
    ModuleState& m = Module();
    if (m.openCount++ != 0) return 0;
    char file[kModulePathChars + 1] = {};
    GetModuleFileNameA(m.module, file, sizeof file); // at most 256 characters
    if (ResourcePathFor(file, m.resourcePath, sizeof m.resourcePath)) {
        m.resourceRegistration =
            ptfw::hostlib::RegisterResourceFile(m.resourcePath, SwapResourceBytes);
        ptfw::SetPlugInResourceFile(m.resourceRegistration);
    }
    const std::int16_t status = NewPlugIn();
    m.groupCreated = status == 0;
    if (!m.groupCreated) {
        DestroyGroup();
        WithdrawResourceFile(m);
    }
    return status;
}

std::int16_t CloseProcedure() {
    ModuleState& m = Module();
    // A close without an open leaves the count at 0: a later open still creates the group.
    if (m.openCount == 0) return 0;
    if (--m.openCount == 0 && m.groupCreated) {
        DestroyGroup();
        WithdrawResourceFile(m);
        m.groupCreated = false;
    }
    return 0;
}

std::int16_t WinPlugInOpen(std::int32_t version) {
    ModuleState& m = Module();
    m.openedByHost = false;
    if (version != kHostInterfaceVersion) return -1;
    m.openedByHost = true;
    return OpenProcedure();
}

bool ModuleAttach(HMODULE module) {
    try {
        ModuleState& m = Module();
        m.module = module;
        m.hostOffersOpenClose =
            ptfw::hostlib::OfferOpenAndCloseProcs(OpenProcedure, CloseProcedure);
        if (m.hostOffersOpenClose) return true;
        return OpenProcedure() == 0;
    } catch (...) {
        return false;
    }
}

void ModuleDetach() {
    try {
        if (!Module().hostOffersOpenClose) CloseProcedure();
    } catch (...) {
    }
}

} // namespace kavet::pt
