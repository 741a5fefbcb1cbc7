#include "pt_module.h"

#include "hosts/common/host_error.h"

#include <dlfcn.h>
#include <filesystem>

namespace kavet::ptsim {

using host::HostError;

namespace {

template <typename Function> Function symbol(void* handle, const char* name) {
    return reinterpret_cast<Function>(dlsym(handle, name));
}

std::string statusText(std::int32_t status) {
    return "status " + std::to_string(status);
}

} // namespace

std::string fourCC(std::uint32_t code) {
    std::string text(4, ' ');
    for (int i = 0; i < 4; ++i)
        text[static_cast<std::size_t>(i)] = static_cast<char>((code >> (24 - 8 * i)) & 0xff);
    return text;
}

void* PtModule::loadHostLibrary(const std::string& directory, const char* name) {
    const std::string file = directory + "/" + name;
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) throw HostError("host library '" + file + "' cannot be loaded");
    return handle;
}

void PtModule::loadHostLibraries(const HostLibraryOptions& options) {
    const std::string dir =
        options.directory.empty() ? std::string(KAVET_PTSIM_HOSTLIB_DIR) : options.directory;
    if (options.withDae) dae_ = loadHostLibrary(dir, PT_DAE_LIBRARY);
    digiExt_ = loadHostLibrary(dir, PT_DIGIEXT_LIBRARY);
}

void PtModule::takeOpenCloseProcs() {
    if (dae_ != nullptr) {
        if (auto take = symbol<PtsimDaeTakeProcsProc>(dae_, PTSIM_DAE_TAKE_PROCS))
            if (!take(&daeOpen_, &daeClose_)) daeOpen_ = daeClose_ = nullptr;
    }
}

PtModule::PtModule(const std::string& path, HostLibraryOptions options) : path_(path) {
    if (!std::filesystem::is_regular_file(path))
        throw HostError("module '" + path + "': no such file");
    loadHostLibraries(options);
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        unload();
        throw HostError("module '" + path + "' cannot be loaded: " + (why ? why : "?"));
    }
    newPlugIn_ = symbol<PtNewPlugInProc>(handle_, "NewPlugIn");
    open_ = symbol<PtWinPlugInOpenProc>(handle_, "WinPlugInOpen");
    close_ = symbol<PtWinPlugInCloseProc>(handle_, "WinPlugInClose");
    descriptor_ = symbol<PtGetRoutineDescriptorProc>(handle_, "_PI_GetRoutineDescriptor");
    if (!newPlugIn_ || !open_ || !close_ || !descriptor_) {
        unload();
        throw HostError("module '" + path + "' is not a host-format plug-in: an export is missing");
    }
    takeOpenCloseProcs();
}

PtModule::PtModule(const PtLinkedModule& linked, HostLibraryOptions options) : path_(linked.name) {
    if (!linked.newPlugIn || !linked.open || !linked.close || !linked.descriptor ||
        !linked.attach || !linked.detach)
        throw HostError("linked module '" + linked.name + "' lacks an export or its entry");
    loadHostLibraries(options);
    newPlugIn_ = linked.newPlugIn;
    open_ = linked.open;
    close_ = linked.close;
    descriptor_ = linked.descriptor;
    linked.attach(); // the host libraries are there, as for a mapped module
    detach_ = linked.detach;
    takeOpenCloseProcs();
}

PtModule::~PtModule() {
    unload();
}

void PtModule::unload() {
    if (detach_) detach_();
    detach_ = nullptr;
    if (handle_) dlclose(handle_);
    if (digiExt_) dlclose(digiExt_);
    if (dae_) dlclose(dae_);
    handle_ = digiExt_ = dae_ = nullptr;
}

std::int16_t PtModule::open(std::int32_t hostVersion) {
    return open_(hostVersion);
}

std::int16_t PtModule::close() {
    return close_();
}

std::int16_t PtModule::newPlugIn() {
    return newPlugIn_();
}

std::int16_t PtModule::callDaeOpen() const {
    if (!daeOpen_) throw HostError("the module offered no open procedure");
    return daeOpen_();
}

std::int16_t PtModule::callDaeClose() const {
    if (!daeClose_) throw HostError("the module offered no close procedure");
    return daeClose_();
}

const PtRoutineTable& PtModule::routines() const {
    const PtRoutineTable* table = descriptor_(PT_INTERFACE_VERSION);
    if (table == nullptr || table->version != PT_INTERFACE_VERSION)
        throw HostError("module '" + path_ + "' offers no routine table for this host");
    return *table;
}

bool PtModule::hasGroup() const {
    PtGroupInfo info;
    return routines().getGroupInfo(&info) == 0;
}

PtGroupInfo PtModule::groupInfo() const {
    PtGroupInfo info;
    if (std::int32_t status = routines().getGroupInfo(&info))
        throw HostError("module '" + path_ + "': no group (" + statusText(status) + ")");
    return info;
}

PtTypeInfo PtModule::typeInfo(int index) const {
    PtTypeInfo info;
    if (std::int32_t status = routines().getTypeInfo(index, &info))
        throw HostError("module '" + path_ + "': no effect type " + std::to_string(index) + " (" +
                        statusText(status) + ")");
    return info;
}

std::vector<PtsimRegistration> PtModule::resourceRegistrations() const {
    std::vector<PtsimRegistration> out;
    auto count = symbol<PtsimDigiExtRegistrationCountProc>(digiExt_, PTSIM_DIGIEXT_COUNT);
    auto get = symbol<PtsimDigiExtRegistrationProc>(digiExt_, PTSIM_DIGIEXT_GET);
    if (!count || !get) return out;
    for (std::int32_t i = 0, n = count(); i < n; ++i) {
        PtsimRegistration r;
        if (get(i, &r)) out.push_back(r);
    }
    return out;
}

} // namespace kavet::ptsim
