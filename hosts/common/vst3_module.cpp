#include "vst3_module.h"

#include "host_error.h"

#include <cstring>
#include <filesystem>

namespace kavet::host {

using namespace vst3;

namespace {

#if defined(_WIN32)
constexpr const char* kBinaryExtension = ".vst3";
constexpr const char* kEntryName = "InitDll";
constexpr const char* kExitName = "ExitDll";
using EntryProc = bool(KAVET_VST3_CALL*)();
using ExitProc = bool(KAVET_VST3_CALL*)();
#else
constexpr const char* kBinaryExtension = ".so";
constexpr const char* kEntryName = "ModuleEntry";
constexpr const char* kExitName = "ModuleExit";
#endif

// A fixed-size text field of the interface, which a module may leave unterminated.
template <std::size_t N> std::string field(const char (&text)[N]) {
    return std::string(text, strnlen(text, N));
}

Vst3ClassInfo fromInfo(const PClassInfo& info) {
    Vst3ClassInfo c{};
    std::memcpy(c.cid.bytes, info.cid, sizeof info.cid);
    c.cardinality = info.cardinality;
    c.category = field(info.category);
    c.name = field(info.name);
    return c;
}

Vst3ClassInfo fromInfo(const PClassInfo2& info) {
    Vst3ClassInfo c{};
    std::memcpy(c.cid.bytes, info.cid, sizeof info.cid);
    c.cardinality = info.cardinality;
    c.category = field(info.category);
    c.name = field(info.name);
    c.classFlags = info.classFlags;
    c.subCategories = field(info.subCategories);
    c.vendor = field(info.vendor);
    c.version = field(info.version);
    c.sdkVersion = field(info.sdkVersion);
    return c;
}

// Paths are UTF-8 text on every system.
std::filesystem::path pathOf(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string textOf(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace

const char* Vst3Module::architectureFolder() {
#if defined(_WIN32) && defined(__x86_64__)
    return "x86_64-win";
#elif defined(_WIN32) && defined(__i386__)
    return "x86-win";
#elif defined(_WIN32) && defined(__aarch64__)
    return "arm64-win";
#elif defined(__x86_64__)
    return "x86_64-linux";
#elif defined(__i386__)
    return "i386-linux";
#elif defined(__aarch64__)
    return "aarch64-linux";
#else
#error "no VST 3 bundle folder is known for this architecture"
#endif
}

std::string Vst3Module::binaryInBundle(const std::string& bundle) {
    const std::filesystem::path root = pathOf(bundle);
    std::filesystem::path name = root.filename();
    if (name.empty()) name = root.parent_path().filename(); // a trailing separator
    return textOf(root / "Contents" / architectureFolder() / name.stem()) + kBinaryExtension;
}

Vst3Module::Vst3Module(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(pathOf(path), ec);
    if (!std::filesystem::exists(status)) throw HostError("module '" + path + "': no such file");
    binary_ = std::filesystem::is_directory(status) ? binaryInBundle(path) : path;
    if (!std::filesystem::is_regular_file(pathOf(binary_), ec))
        throw HostError("bundle '" + path + "' has no binary for this machine (" + binary_ + ")");
    library_ = std::make_unique<SharedLibrary>(binary_);

#if defined(_WIN32)
    if (auto entry = reinterpret_cast<EntryProc>(library_->symbol(kEntryName))) {
        if (!entry()) throw HostError("module '" + binary_ + "' refused to load (InitDll)");
        entered_ = true;
    }
#else
    auto entry = reinterpret_cast<ModuleEntryProc>(library_->symbol(kEntryName));
    if (entry == nullptr) throw HostError("module '" + binary_ + "' exports no ModuleEntry");
    if (!entry(library_->handle()))
        throw HostError("module '" + binary_ + "' refused to load (ModuleEntry)");
    entered_ = true;
#endif

    auto getFactory = reinterpret_cast<GetFactoryProc>(library_->symbol("GetPluginFactory"));
    IPluginFactory* factory = getFactory != nullptr ? getFactory() : nullptr;
    if (factory == nullptr) {
        // No destructor runs after a throw here: the entry's counterpart now; the library
        // unloads as its holder goes.
        leave();
        throw HostError("module '" + binary_ + "' has no factory (GetPluginFactory)");
    }
    factory_ = Ref<IPluginFactory>::adopt(factory);
}

Vst3Module::~Vst3Module() {
    factory_.reset();
    leave();
    library_.reset();
}

void Vst3Module::leave() {
    if (entered_) {
#if defined(_WIN32)
        if (auto exit = reinterpret_cast<ExitProc>(library_->symbol(kExitName))) exit();
#else
        if (auto exit = reinterpret_cast<ModuleExitProc>(library_->symbol(kExitName))) exit();
#endif
        entered_ = false;
    }
}

PFactoryInfo Vst3Module::factoryInfo() const {
    PFactoryInfo info{};
    if (factory_->getFactoryInfo(&info) != kResultOk) info = PFactoryInfo{};
    return info;
}

std::vector<Vst3ClassInfo> Vst3Module::classes() const {
    std::vector<Vst3ClassInfo> list;
    const Ref<IPluginFactory2> second = factory_.as<IPluginFactory2>();
    const int32 count = factory_->countClasses();
    for (int32 i = 0; i < count; ++i) {
        if (second) {
            PClassInfo2 info{};
            if (second->getClassInfo2(i, &info) == kResultOk) list.push_back(fromInfo(info));
        } else {
            PClassInfo info{};
            if (factory_->getClassInfo(i, &info) == kResultOk) list.push_back(fromInfo(info));
        }
    }
    return list;
}

} // namespace kavet::host
