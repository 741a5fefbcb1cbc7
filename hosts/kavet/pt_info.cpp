#include "pt_info.h"

#include <cstdio>

namespace kavet::cli {

namespace {

// A host name list ("\n" between names, longest first) on one line.
std::string nameList(const char* names) {
    std::string text, name;
    for (const char* c = names;; ++c) {
        if (*c != '\n' && *c != '\0') {
            name += *c;
            continue;
        }
        if (!name.empty()) {
            if (!text.empty()) text.append(" | ");
            text.append(name);
        }
        name.clear();
        if (*c == '\0') return text;
    }
}

std::string stemName(std::int32_t stem) {
    switch (stem) {
    case 0:
        return "mono";
    case 1:
        return "stereo";
    default:
        return "format " + std::to_string(stem);
    }
}

// Selector numbers.
std::string selectors(const std::int32_t* values, std::int32_t count) {
    std::string text;
    for (std::int32_t i = 0; i < count; ++i)
        text.append(i ? " " : "").append(std::to_string(values[i]));
    return text.empty() ? "none" : text;
}

void printGroup(const PtProcessorModule& module) {
    const PtGroupInfo& g = module.group();
    std::printf("module          %s (host format, interface %d)\n", module.path().c_str(),
                PT_INTERFACE_VERSION);
    std::printf("manufacturer    %s\n", nameList(g.manufacturerNames).c_str());
    std::printf("manufacturer ID '%s'\n", ptsim::fourCC(g.manufacturerCode).c_str());
    std::printf("product         %s\n", nameList(g.productNames).c_str());
    std::printf("product version %d\n", g.productVersion);
    std::printf("capabilities    %s\n", selectors(g.capabilities, g.capabilityCount).c_str());
    std::printf("MIDI            %s\n", g.midiCapable ? "yes" : "no");
    std::printf("effect types    %d\n", g.typeCount);
}

void printType(const PtTypeInfo& t) {
    std::printf("type            %s\n", nameList(t.typeNames).c_str());
    std::printf("kind            %s\n", t.kind == kPtTypeKindRTAS ? "RTAS" : "other");
    std::printf("type ID         '%s'\n", ptsim::fourCC(t.typeCode).c_str());
    std::printf("product ID      '%s'\n", ptsim::fourCC(t.productCode).c_str());
    std::printf("category        0x%08X\n", static_cast<unsigned>(t.category));
    std::printf("stems           %s in, %s out, side chain %s\n", stemName(t.inputStem).c_str(),
                stemName(t.outputStem).c_str(),
                t.sideChainStem ? stemName(t.sideChainStem).c_str() : "none");
    std::printf("options         0x%08X\n", static_cast<unsigned>(t.generalOptions));
    std::printf("features        %s\n",
                selectors(t.featureSelectors, t.featureSelectorCount).c_str());
    std::printf("page table      %s\n", t.pageTableName);
}

std::string controlKind(const PtControlInfo& info) {
    if (info.continuous) return "continuous/" + std::to_string(info.numSteps);
    return info.numSteps == 2 ? "switch" : "discrete/" + std::to_string(info.numSteps);
}

void printControls(const PtProcessorModule& module) {
    const ptsim::PtInstance instance(module.module(), 0, 48000);
    const int bypass = instance.bypassIndex();
    std::printf("%-5s %-16s %-17s %s\n", "index", "control", "kind", "display");
    for (int i = 1; i <= instance.controlCount(); ++i) {
        const PtControlInfo info = instance.controlInfo(i);
        std::string kind = controlKind(info);
        if (i == bypass) kind += ", bypass";
        std::printf("%5d %-16s %-17s %s\n", i, info.name, kind.c_str(),
                    instance.controlText(i, instance.controlValue(i)).c_str());
    }
}

} // namespace

void printHostFormatInfo(const PtProcessorModule& module) {
    printGroup(module);
    printType(module.type());
    printControls(module);
}

} // namespace kavet::cli
