// The two VST 2.4 modules as a host sees them: loaded together into one process with
// dlopen, and examined only through their exports, effect records and dispatchers.
#include "hosts/common/vst_module.h"
#include "hosts/common/vst_plugin.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace kavet::test {
namespace {

using host::VstModule;
using host::VstPlugin;

struct ModuleFacts {
    const char* path;
    const char* product;
    VstInt32 uniqueID;
    int params;
    int channels;
    VstInt32 flags;
};

// Flags: has-editor 1, can-replacing 16, program-chunks 32, can-double-replacing 4096,
// can-mono 8 (stereo only).
const ModuleFacts kStereo = {
    KAVET_STEREO_MODULE, "Kavet Stereo", CCONST('K', 'v', 't', 'S'), 6, 2, 1 | 16 | 32 | 4096 | 8};
const ModuleFacts kMono = {KAVET_MONO_MODULE, "Kavet Mono", CCONST('K', 'v', 't', 'M'), 5, 1,
                           1 | 16 | 32 | 4096};

// Both modules stay loaded for the whole test process.
std::shared_ptr<const VstModule> load(const ModuleFacts& facts) {
    static auto stereo = std::make_shared<const VstModule>(kStereo.path);
    static auto mono = std::make_shared<const VstModule>(kMono.path);
    return &facts == &kStereo ? stereo : mono;
}

const ModuleFacts* const kBoth[] = {&kStereo, &kMono};

// Host callbacks for creating effects through the entry directly.
struct CallRecord {
    int calls = 0;
    VstInt32 opcode = -1, index = -1;
    VstIntPtr value = -1;
    void* ptr = nullptr;
    float opt = -1.0f;
};
CallRecord firstCall;

VstIntPtr VSTCALLBACK oldHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt) {
    if (firstCall.calls++ == 0) firstCall = {1, opcode, index, value, ptr, opt};
    return 0; // a host from before 2.x: audioMasterVersion answers 0
}

VstIntPtr VSTCALLBACK currentHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

TEST(VstModules, EffectRecordsCarryWhatHostsRead) {
    for (const ModuleFacts* facts : kBoth) {
        SCOPED_TRACE(facts->product);
        AEffect* e = load(*facts)->entry()(currentHost);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->magic, 0x56737450);
        EXPECT_EQ(e->numPrograms, 1);
        EXPECT_EQ(e->numParams, facts->params);
        EXPECT_EQ(e->numInputs, facts->channels);
        EXPECT_EQ(e->numOutputs, facts->channels);
        EXPECT_EQ(e->flags, facts->flags);
        EXPECT_EQ(e->uniqueID, facts->uniqueID);
        EXPECT_EQ(e->version, 1);
        EXPECT_EQ(e->initialDelay, 0);
        EXPECT_EQ(e->ioRatio, 1.0f);
        EXPECT_EQ(e->resvd1, 0);
        EXPECT_EQ(e->resvd2, 0);
        EXPECT_EQ(e->realQualities, 0);
        EXPECT_EQ(e->offQualities, 0);
        EXPECT_NE(e->object, nullptr);
        EXPECT_EQ(e->user, nullptr);
        EXPECT_NE(e->dispatcher, nullptr);
        EXPECT_NE(e->process, nullptr);
        EXPECT_NE(e->processReplacing, nullptr);
        EXPECT_NE(e->processDoubleReplacing, nullptr);
        EXPECT_NE(e->setParameter, nullptr);
        EXPECT_NE(e->getParameter, nullptr);
        EXPECT_EQ(std::count(e->future, e->future + sizeof e->future, 0),
                  static_cast<long>(sizeof e->future));
        e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
        EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f), 1);
    }
}

// A Linux host hands its editor window as an X11 window id. Where the display does not know
// that window (or there is no display, as here), the editor refuses to open, and the effect
// goes on processing.
TEST(VstModules, EditorOpenInAnX11WindowFailsCleanly) {
    for (const ModuleFacts* facts : kBoth) {
        SCOPED_TRACE(facts->product);
        AEffect* e = load(*facts)->entry()(currentHost);
        ASSERT_NE(e, nullptr);
        e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
        ERect* rect = nullptr;
        ASSERT_EQ(e->dispatcher(e, effEditGetRect, 0, 0, &rect, 0.0f), 1);
        ASSERT_NE(rect, nullptr);
        EXPECT_EQ(rect->right - rect->left, 265);
        EXPECT_EQ(rect->bottom - rect->top, 534);
        void* x11Window = reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x4a00003));
        EXPECT_EQ(e->dispatcher(e, effEditOpen, 0, 0, x11Window, 0.0f), 0);
        EXPECT_EQ(e->dispatcher(e, effEditIdle, 0, 0, nullptr, 0.0f), 1);
        EXPECT_EQ(e->dispatcher(e, effEditClose, 0, 0, nullptr, 0.0f), 1);

        e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
        std::vector<std::vector<float>> in(facts->channels, std::vector<float>(64, 0.5f));
        std::vector<std::vector<float>> out(facts->channels, std::vector<float>(64, 0.0f));
        std::vector<float*> inputs, outputs;
        for (int c = 0; c < facts->channels; ++c) {
            inputs.push_back(in[c].data());
            outputs.push_back(out[c].data());
        }
        e->processReplacing(e, inputs.data(), outputs.data(), 64);
        EXPECT_EQ(out[0][63], 0.5f); // unity gain
        EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f), 1);
    }
}

TEST(VstModules, DispatchersAnswerTheIdentityQueries) {
    for (const ModuleFacts* facts : kBoth) {
        SCOPED_TRACE(facts->product);
        VstPlugin plugin(load(*facts));
        EXPECT_EQ(plugin.vendorString(), "Velmorant Ltd");
        EXPECT_EQ(plugin.productString(), facts->product);
        EXPECT_EQ(plugin.vendorVersion(), 1100) << "while the record's version reads 1";
        EXPECT_EQ(plugin.vstVersion(), 2400);
        EXPECT_EQ(plugin.dispatch(effIdentify), 0x4E764566);
        EXPECT_EQ(plugin.dispatch(effGetPlugCategory), 1);
        EXPECT_EQ(plugin.dispatch(effGetTailSize), 0);
        EXPECT_EQ(plugin.dispatch(effSetBypass, 0, 1), 0);
        EXPECT_EQ(plugin.effectName(), "") << "effGetEffectName writes no name";
        for (const char* query : {"receiveVstMidiEvent", "receiveVstEvents", "bypass",
                                  "receiveVstTimeInfo", "sendVstEvents", "offline", "", "x"}) {
            std::string text = query;
            EXPECT_EQ(plugin.dispatch(effCanDo, 0, 0, text.data()), 0) << query;
        }
    }
}

TEST(VstModules, HostOlderThanVersion2GetsNoEffect) {
    for (const ModuleFacts* facts : kBoth) {
        SCOPED_TRACE(facts->product);
        firstCall = {};
        EXPECT_EQ(load(*facts)->entry()(oldHost), nullptr);
        // The entry asks for the version first, with every other argument zero.
        EXPECT_EQ(firstCall.opcode, audioMasterVersion);
        EXPECT_EQ(firstCall.index, 0);
        EXPECT_EQ(firstCall.value, 0);
        EXPECT_EQ(firstCall.ptr, nullptr);
        EXPECT_EQ(firstCall.opt, 0.0f);
    }
}

TEST(VstModules, EntryIsExportedAsVSTPluginMainAndAsMain) {
    for (const ModuleFacts* facts : kBoth) {
        SCOPED_TRACE(facts->product);
        void* handle = load(*facts)->handle();
        void* entry = dlsym(handle, "VSTPluginMain");
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(dlsym(handle, "main"), entry) << "both names lead to the same function";
        EXPECT_STREQ(load(*facts)->entryName(), "VSTPluginMain");
    }
}

// Names of the symbols that `nm` lists for `path`, with `flags` (e.g. "-D --defined-only").
std::set<std::string> symbolNames(const std::string& path, const std::string& flags) {
    const std::string command = std::string(KAVET_NM) + " " + flags + " '" + path + "' 2>/dev/null";
    std::set<std::string> names;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return names;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        char address[64], type[8], name[4000];
        if (std::sscanf(line, "%63s %7s %3999s", address, type, name) == 3) names.insert(name);
    }
    pclose(pipe);
    return names;
}

// The shared object that holds `address`.
const void* objectBase(const void* address) {
    Dl_info info{};
    return dladdr(address, &info) != 0 ? info.dli_fbase : nullptr;
}

TEST(VstModules, OnlyTheEntryIsVisibleToTheHost) {
    for (const ModuleFacts* facts : kBoth) {
        SCOPED_TRACE(facts->product);
        const auto exported = symbolNames(facts->path, "-D --defined-only");
        EXPECT_EQ(exported, (std::set<std::string>{"VSTPluginMain", "main"}));
        // No other named function or object of the module is reachable through dlsym. (A
        // name may still be found in a library the module depends on, such as the C++
        // run time's copy of an inline function; that is not the module's.)
        void* handle = load(*facts)->handle();
        const void* module = objectBase(dlsym(handle, "VSTPluginMain"));
        ASSERT_NE(module, nullptr);
        int checked = 0;
        for (const std::string& name : symbolNames(facts->path, "--defined-only")) {
            if (name == "VSTPluginMain" || name == "main") continue;
            const void* found = dlsym(handle, name.c_str());
            EXPECT_TRUE(found == nullptr || objectBase(found) != module) << name;
            ++checked;
        }
        RecordProperty(std::string(facts->product) + " hidden symbols checked", checked);
    }
}

// A test tone in `channels` planar buffers.
std::vector<std::vector<float>> tone(int channels, int frames, float amplitude) {
    std::vector<std::vector<float>> buffers(static_cast<std::size_t>(channels),
                                            std::vector<float>(static_cast<std::size_t>(frames)));
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < frames; ++i)
            buffers[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)] =
                amplitude * static_cast<float>(std::sin(0.01 * (i + 1) * (c + 1)));
    return buffers;
}

std::vector<float*> pointers(std::vector<std::vector<float>>& buffers) {
    std::vector<float*> result;
    for (auto& buffer : buffers)
        result.push_back(buffer.data());
    return result;
}

// Gain v = cbrt(g / 8) for a linear gain g.
float gainValue(double linear) {
    return static_cast<float>(std::cbrt(linear / 8.0));
}

TEST(VstModules, InstancesOfBothModulesProcessIndependently) {
    // Four effects live at once, each with its own gain; their blocks interleave.
    struct Instance {
        const ModuleFacts* facts;
        double gain;
        std::unique_ptr<VstPlugin> plugin;
    };
    std::vector<Instance> instances;
    for (auto [facts, gain] : {std::pair{&kStereo, 0.5}, std::pair{&kMono, 2.0},
                               std::pair{&kStereo, 0.25}, std::pair{&kMono, 1.0}}) {
        auto plugin = std::make_unique<VstPlugin>(load(*facts));
        plugin->setSampleRate(48000.0f);
        plugin->setBlockSize(64);
        plugin->setParameter(0, gainValue(gain));
        plugin->resume();
        instances.push_back({facts, gain, std::move(plugin)});
    }
    constexpr int kBlock = 64;
    constexpr int kBlocks = 80; // gains settled well before the end even with a glide
    for (int block = 0; block < kBlocks; ++block) {
        for (Instance& instance : instances) {
            SCOPED_TRACE(std::string(instance.facts->product) + " at gain " +
                         std::to_string(instance.gain));
            const int channels = instance.facts->channels;
            auto in = tone(channels, kBlock, 0.5f);
            auto out = tone(channels, kBlock, 0.0f);
            auto inPtr = pointers(in);
            auto outPtr = pointers(out);
            instance.plugin->process(inPtr.data(), outPtr.data(), kBlock, channels);
            if (block < kBlocks - 1) continue;
            for (int c = 0; c < channels; ++c)
                for (int i = 0; i < kBlock; ++i)
                    ASSERT_NEAR(out[c][i], instance.gain * in[c][i], 1e-6) << "channel " << c;
        }
    }
}

TEST(VstModules, ParameterCountsBoundWhatEachModuleAccepts) {
    for (const ModuleFacts* facts : kBoth) {
        SCOPED_TRACE(facts->product);
        VstPlugin plugin(load(*facts));
        plugin.setParameter(facts->params, 0.9f); // one past the last: ignored
        EXPECT_EQ(plugin.getParameter(facts->params), 0.0f);
        plugin.setParameter(facts->params - 1, 0.75f);
        EXPECT_EQ(plugin.getParameter(facts->params - 1), 0.75f);
        EXPECT_EQ(plugin.parameterName(facts->params - 1), facts->params == 6 ? "Pan" : "Bypass");
    }
}

} // namespace
} // namespace kavet::test
