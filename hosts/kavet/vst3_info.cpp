#include "vst3_info.h"

#include "hosts/common/vst3_plugin.h"
#include "vst3_bundle.h"
#include "vst3_text.h"

#include <cstdio>
#include <string_view>

namespace kavet::cli {

namespace {

struct FlagName {
    std::uint32_t bit;
    const char* name;
};

// The names of the bits set, joined by `separator`; "none" for no bit, "other 0x..." for
// bits without a name.
template <std::size_t N>
std::string flagNames(std::uint32_t flags, const FlagName (&known)[N], std::string_view separator) {
    std::string text;
    std::uint32_t rest = flags;
    for (const FlagName& flag : known) {
        if ((flags & flag.bit) == 0) continue;
        text.append(text.empty() ? "" : separator).append(flag.name);
        rest &= ~flag.bit;
    }
    if (rest != 0) {
        char other[32];
        std::snprintf(other, sizeof other, "other 0x%X", static_cast<unsigned>(rest));
        text.append(text.empty() ? "" : separator).append(other);
    }
    return text.empty() ? "none" : text;
}

std::string orNone(const std::string& text) {
    return text.empty() ? "none" : text;
}

template <std::size_t N> std::string field(const char (&text)[N]) {
    return orNone(std::string(text, strnlen(text, N)));
}

// The 16 bytes as 32 hex digits, in memory order (moduleinfo.json's "CID").
std::string hexId(const unsigned char (&bytes)[16]) {
    std::string text;
    for (const unsigned char byte : bytes) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02X", byte);
        text += digits;
    }
    return text;
}

void printFactory(const host::Vst3Module& module, const std::string& path) {
    static const FlagName kFactoryFlags[] = {
        {vst3::PFactoryInfo::kClassesDiscardable, "classes-discardable"},
        {vst3::PFactoryInfo::kUnicode, "unicode"},
    };
    const vst3::PFactoryInfo info = module.factoryInfo();
    if (module.binaryPath() == path)
        std::printf("module          %s (VST 3)\n", path.c_str());
    else
        std::printf("module          %s (VST 3, binary %s)\n", path.c_str(),
                    module.binaryPath().c_str());
    std::printf("vendor          %s\n", field(info.vendor).c_str());
    std::printf("URL             %s\n", field(info.url).c_str());
    std::printf("e-mail          %s\n", field(info.email).c_str());
    std::printf("factory flags   0x%08X %s\n", static_cast<unsigned>(info.flags),
                flagNames(static_cast<std::uint32_t>(info.flags), kFactoryFlags, " ").c_str());
}

void printClass(const host::Vst3ClassInfo& c) {
    static const FlagName kClassFlags[] = {
        {vst3::kDistributable, "distributable"},
        {vst3::kSimpleModeSupported, "simple-mode"},
    };
    std::printf("class           %s\n", c.name.c_str());
    std::printf("category        %s\n", c.category.c_str());
    std::printf("subcategories   %s\n", orNone(c.subCategories).c_str());
    std::printf("vendor          %s\n", orNone(c.vendor).c_str());
    std::printf("version         %s\n", orNone(c.version).c_str());
    std::printf("SDK version     %s\n", orNone(c.sdkVersion).c_str());
    std::printf("class ID        %s\n", hexId(c.cid.bytes).c_str());
    std::printf("cardinality     %s\n", c.cardinality == vst3::kManyInstances
                                            ? "many"
                                            : std::to_string(c.cardinality).c_str());
    std::printf("class flags     0x%08X %s\n", c.classFlags,
                flagNames(c.classFlags, kClassFlags, " ").c_str());
}

std::string defaultText(vst3::IEditController& controller, const vst3::ParameterInfo& p) {
    vst3::String128 text{};
    if (controller.getParamStringByValue(p.id, p.defaultNormalizedValue, text) != vst3::kResultOk)
        return "-";
    return orNone(utf8FromUtf16(text, std::size(text)));
}

void printParameters(vst3::IEditController& controller) {
    static const FlagName kParameterFlags[] = {
        {vst3::ParameterInfo::kCanAutomate, "automate"},
        {vst3::ParameterInfo::kIsReadOnly, "read-only"},
        {vst3::ParameterInfo::kIsWrapAround, "wrap-around"},
        {vst3::ParameterInfo::kIsList, "list"},
        {vst3::ParameterInfo::kIsHidden, "hidden"},
        {vst3::ParameterInfo::kIsProgramChange, "program-change"},
        {vst3::ParameterInfo::kIsBypass, "bypass"},
    };
    const vst3::int32 count = controller.getParameterCount();
    std::printf("parameters      %d\n", count);
    std::printf("%5s %-12s %-6s %5s %8s %-8s %s\n", "id", "title", "units", "steps", "default",
                "text", "flags");
    for (vst3::int32 i = 0; i < count; ++i) {
        vst3::ParameterInfo p{};
        if (controller.getParameterInfo(i, p) != vst3::kResultOk) {
            std::printf("%5s (parameter %d: no description)\n", "-", i);
            continue;
        }
        std::printf("%5u %-12s %-6s %5d %8.6f %-8s %s\n", p.id,
                    utf8FromUtf16(p.title, std::size(p.title)).c_str(),
                    orNone(utf8FromUtf16(p.units, std::size(p.units))).c_str(), p.stepCount,
                    p.defaultNormalizedValue, defaultText(controller, p).c_str(),
                    flagNames(static_cast<std::uint32_t>(p.flags), kParameterFlags, ",").c_str());
    }
}

// What a host sees of an effect of an audio effect class once it has made it.
void printEffect(const std::shared_ptr<const host::Vst3Module>& module,
                 const host::Vst3ClassInfo& c) {
    const host::Vst3Plugin effect(module, c.cid);
    vst3::Uid controller{};
    if (effect.component()->getControllerClassId(reinterpret_cast<char*>(controller.bytes)) ==
        vst3::kResultOk)
        std::printf("controller      %s\n", hexId(controller.bytes).c_str());
    std::printf("buses           %d in, %d out\n", effect.inputChannels(), effect.outputChannels());
    std::printf("64-bit samples  %s\n",
                effect.processor()->canProcessSampleSize(vst3::kSample64) == vst3::kResultTrue
                    ? "yes"
                    : "no");
    printParameters(*effect.controller());
}

} // namespace

void printVst3Info(const std::string& path) {
    const std::shared_ptr<const host::Vst3Module> module = loadVst3Module(path);
    printFactory(*module, path);
    const std::vector<host::Vst3ClassInfo> classes = module->classes();
    std::printf("classes         %zu\n", classes.size());
    for (const host::Vst3ClassInfo& c : classes) {
        std::printf("\n");
        printClass(c);
        if (c.category == vst3::kAudioEffectClass) printEffect(module, c);
    }
}

} // namespace kavet::cli
