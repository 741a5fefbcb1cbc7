// Writes the LV2 description of one channel configuration from the parameter table: its
// manifest entry and its plug-in description, each a whole Turtle document, so that the
// build joins the two configurations' documents into the bundle's manifest.ttl and
// kavet.ttl. Run at build time on the build machine.
//   kavet_lv2_ttl_<config> MANIFEST_OUT DESCRIPTION_OUT BINARY_NAME DESCRIPTION_NAME UI_NAME
#include "ports.h"

#include "core/plug.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace kavet::lv2 {
namespace {

const char* const kPrefixes = "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                              "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
                              "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                              "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
                              "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                              "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                              "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                              "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                              "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
                              "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

// A port value as a Turtle decimal: enough digits for the single-precision value a host
// reads, and always a point, so that every bound is an xsd:decimal.
std::string number(double x) {
    char text[48];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(static_cast<float>(x)));
    std::string s = text;
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

std::string integer(long x) {
    return std::to_string(x);
}

// Turtle string literal; the table's texts hold no quote or backslash, but a new one might.
std::string quoted(const std::string& text) {
    std::string s = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') s += '\\';
        s += c;
    }
    return s + "\"";
}

// Channel suffixes of symbols and names: none in the mono build.
std::string channelSymbol(int channel) {
    return kStereo ? (channel == 0 ? "_l" : "_r") : "";
}
std::string channelName(int channel) {
    return kStereo ? (channel == 0 ? " L" : " R") : "";
}

std::string portHead(const char* classes, std::uint32_t index, const std::string& symbol,
                     const std::string& name) {
    return "    [\n        a " + std::string(classes) + " ;\n        lv2:index " + integer(index) +
           " ;\n        lv2:symbol " + quoted(symbol) + " ;\n        lv2:name " + quoted(name) +
           " ;\n";
}

std::string scalePoint(const std::string& label, double value) {
    return "[ rdfs:label " + quoted(label) + " ; rdf:value " + number(value) + " ]";
}

std::string parameterPort(int index) {
    const ParamInfo& p = kParamInfo[index];
    const PlainRange range = portRange(index);
    std::string s =
        portHead("lv2:InputPort , lv2:ControlPort", paramPort(index), paramSymbol(index), p.name);
    s += "        lv2:default " + number(portDefault(index)) + " ;\n";
    s += "        lv2:minimum " + number(range.min) + " ;\n";
    s += "        lv2:maximum " + number(range.max) + " ;\n";
    switch (p.law) {
    case ParamLaw::Gain: {
        // The silence at the floor, labelled as the effect shows it.
        char silence[kDisplayTextSize];
        formatDisplay(index, 0.0f, silence);
        s += "        units:unit units:db ;\n";
        s += "        lv2:scalePoint " + scalePoint(silence, range.min) + " ;\n";
        s += "        rdfs:comment \"Linear in dB; the minimum stands for silence (-inf dB).\" "
             ";\n";
        break;
    }
    case ParamLaw::Trim:
        s += "        units:unit units:db ;\n";
        s += "        rdfs:comment \"The trim range of the options page (12, 24 or 36 dB) "
             "clamps this value.\" ;\n";
        break;
    case ParamLaw::Pan:
        s += "        units:unit units:pc ;\n";
        s += "        rdfs:comment \"Negative to the left.\" ;\n";
        break;
    case ParamLaw::Switch:
        s += "        lv2:portProperty lv2:toggled , lv2:integer ;\n";
        s += "        pprops:rangeSteps " + integer(p.stepCount + 1) + " ;\n";
        s += "        lv2:scalePoint " + scalePoint(p.offText, range.min) + " , " +
             scalePoint(p.onText, range.max) + " ;\n";
        break;
    }
    return s + "    ]";
}

// The editor is the effect's own, opened on the plug-in's instance: the UI module reaches it
// through the instance (instance access) and the instance's editor interface (data access),
// so that the editor shows what the audio thread measured, every peak included.
std::string editorDescription() {
    std::string s = "<" + std::string(kEditorUri) + ">\n    a ui:X11UI ;\n";
    s += "    lv2:requiredFeature <http://lv2plug.in/ns/ext/instance-access> ,\n"
         "        <http://lv2plug.in/ns/ext/data-access> ;\n";
    s += "    lv2:optionalFeature ui:idleInterface , ui:parent , ui:resize , ui:touch ,\n"
         "        ui:noUserResize ;\n";
    s += "    lv2:extensionData ui:idleInterface , ui:showInterface .\n";
    return s;
}

std::string pluginDescription() {
    const int version = static_cast<int>(kVendorVersion);
    std::string s = kPrefixes;
    s += "<" + std::string(kProjectUri) + ">\n    a doap:Project ;\n    doap:name \"Kavet\" ;\n";
    s += "    doap:maintainer [ a foaf:Person ; foaf:name " + quoted(kVendor) + " ] .\n\n";
    s += "<" + std::string(kPluginUri) + ">\n    a lv2:Plugin , lv2:AmplifierPlugin ;\n";
    s += "    lv2:project <" + std::string(kProjectUri) + "> ;\n";
    s += "    doap:name " + quoted(kProduct) + " ;\n";
    // The maintainer is the project's (doap:maintainer belongs to a doap:Project); hosts
    // take a plug-in's author from its project.
    // 1100 is 1.1.0.0: the minor version takes the major and minor digits together, so
    // that versions keep their order across a major release (1.9 is 19, 2.0 is 20).
    s += "    lv2:minorVersion " + integer(version / 100) + " ;\n";
    s += "    lv2:microVersion " + integer(version % 100) + " ;\n";
    // The state's URIDs need urid:map; a host without it (an offline tool) still processes.
    s += "    lv2:optionalFeature lv2:hardRTCapable , urid:map ;\n";
    s += "    lv2:extensionData state:interface ;\n";
    s += "    ui:ui <" + std::string(kEditorUri) + "> ;\n";
    s += "    lv2:port\n";

    std::string ports;
    auto add = [&ports](const std::string& port) {
        if (!ports.empty()) ports += " ,\n";
        ports += port;
    };
    for (int c = 0; c < kNumChannels; ++c)
        add(portHead("lv2:InputPort , lv2:AudioPort", kFirstAudioIn + c, "in" + channelSymbol(c),
                     "In" + channelName(c)) +
            "    ]");
    for (int c = 0; c < kNumChannels; ++c)
        add(portHead("lv2:OutputPort , lv2:AudioPort", kFirstAudioOut + c, "out" + channelSymbol(c),
                     "Out" + channelName(c)) +
            "    ]");
    for (int i = 0; i < kNumParams; ++i)
        add(parameterPort(i));
    add(portHead("lv2:InputPort , lv2:ControlPort", kEnabledPort, "enabled", "Enabled") +
        "        lv2:designation lv2:enabled ;\n"
        "        lv2:portProperty lv2:toggled , lv2:integer ;\n"
        "        lv2:default " +
        number(1) + " ;\n        lv2:minimum " + number(0) + " ;\n        lv2:maximum " +
        number(1) +
        " ;\n"
        "        rdfs:comment \"0 bypasses, as the Bypass switch does: either bypasses.\" ;\n"
        "    ]");
    // The meters read where the editor's Pre switch puts them: after the fader unless on.
    for (int kind = 0; kind < 2; ++kind) {
        for (int c = 0; c < kNumChannels; ++c) {
            const std::uint32_t port = (kind == 0 ? kFirstPeakPort : kFirstRmsPort) + c;
            add(portHead("lv2:OutputPort , lv2:ControlPort", port,
                         (kind == 0 ? "peak" : "rms") + channelSymbol(c),
                         (kind == 0 ? "Peak" : "RMS") + channelName(c)) +
                "        units:unit units:db ;\n        lv2:default " + number(kFloorDb) +
                " ;\n        lv2:minimum " + number(kFloorDb) + " ;\n        lv2:maximum " +
                number(kMeterTopDb) + " ;\n    ]");
        }
    }
    return s + ports + " .\n\n" + editorDescription();
}

std::string manifestEntry(const char* binary, const char* description, const char* ui) {
    return std::string(kPrefixes) + "<" + kPluginUri + ">\n    a lv2:Plugin ;\n" +
           "    lv2:binary <" + binary + "> ;\n    rdfs:seeAlso <" + description + "> .\n\n" + "<" +
           kEditorUri + ">\n    a ui:X11UI ;\n    lv2:binary <" + ui + "> ;\n    rdfs:seeAlso <" +
           description + "> .\n";
}

bool writeFile(const char* path, const std::string& text) {
    std::FILE* f = std::fopen(path, "wb");
    if (f == nullptr) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && written;
}

} // namespace
} // namespace kavet::lv2

int main(int argc, char** argv) {
    using namespace kavet::lv2;
    if (argc != 6) {
        std::fprintf(stderr,
                     "usage: %s MANIFEST_OUT DESCRIPTION_OUT BINARY_NAME "
                     "DESCRIPTION_NAME UI_NAME\n",
                     argv[0]);
        return 2;
    }
    if (!writeFile(argv[1], manifestEntry(argv[3], argv[4], argv[5])) ||
        !writeFile(argv[2], pluginDescription())) {
        std::fprintf(stderr, "%s: cannot write the description\n", argv[0]);
        return 1;
    }
    return 0;
}
