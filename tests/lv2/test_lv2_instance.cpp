// The DSP module loaded into the test as a host loads it: its descriptor, instantiation,
// processing on the host's buffers, and its state through its own state interface.
#include "lv2/ports.h"

#include "core/chunk.h"
#include "core/config.h"
#include "core/params.h"
#include "core/prefs.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace kavet::test {
namespace {

// The host's URI map: URIDs from 1 in the order asked.
struct UriMap {
    std::vector<std::string> uris;
    LV2_URID_Map feature{this, map};
    static LV2_URID map(LV2_URID_Map_Handle handle, const char* uri) {
        auto* self = static_cast<UriMap*>(handle);
        for (std::size_t i = 0; i < self->uris.size(); ++i)
            if (self->uris[i] == uri) return static_cast<LV2_URID>(i + 1);
        self->uris.emplace_back(uri);
        return static_cast<LV2_URID>(self->uris.size());
    }
    LV2_URID operator()(const char* uri) { return map(this, uri); }
};

// A saved state: the properties the plug-in stored.
struct Property {
    std::vector<unsigned char> bytes;
    std::uint32_t type = 0, flags = 0;
};
using State = std::map<std::uint32_t, Property>;

LV2_State_Status store(LV2_State_Handle handle, std::uint32_t key, const void* value,
                       std::size_t size, std::uint32_t type, std::uint32_t flags) {
    auto* bytes = static_cast<const unsigned char*>(value);
    (*static_cast<State*>(handle))[key] = {{bytes, bytes + size}, type, flags};
    return LV2_STATE_SUCCESS;
}

const void* retrieve(LV2_State_Handle handle, std::uint32_t key, std::size_t* size,
                     std::uint32_t* type, std::uint32_t* flags) {
    auto* state = static_cast<const State*>(handle);
    auto it = state->find(key);
    if (it == state->end()) return nullptr;
    *size = it->second.bytes.size();
    *type = it->second.type;
    *flags = it->second.flags;
    return it->second.bytes.data();
}

class Lv2Instance : public testing::Test {
protected:
    void SetUp() override {
        module_ = dlopen(KAVET_LV2_MODULE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module_, nullptr) << dlerror();
        auto entry = reinterpret_cast<LV2_Descriptor_Function>(dlsym(module_, "lv2_descriptor"));
        ASSERT_NE(entry, nullptr);
        descriptor_ = entry(0);
        ASSERT_NE(descriptor_, nullptr);
        EXPECT_STREQ(descriptor_->URI,
                     kStereo ? "urn:velmorant:kavet:stereo" : "urn:velmorant:kavet:mono");
        EXPECT_EQ(entry(1), nullptr);
        state_ = static_cast<const LV2_State_Interface*>(
            descriptor_->extension_data(LV2_STATE__interface));
        ASSERT_NE(state_, nullptr);
        handle_ = instantiate(48000.0, true);
        ASSERT_NE(handle_, nullptr);
    }
    void TearDown() override {
        if (handle_ != nullptr) descriptor_->cleanup(handle_);
        if (module_ != nullptr) dlclose(module_);
    }

    LV2_Handle instantiate(double rate, bool withMap) {
        const LV2_Feature mapFeature = {LV2_URID__map, &uris_.feature};
        const LV2_Feature* features[] = {withMap ? &mapFeature : nullptr, nullptr};
        return descriptor_->instantiate(descriptor_, rate, "", features);
    }

    State save(LV2_Handle handle = nullptr) {
        State s;
        EXPECT_EQ(state_->save(handle ? handle : handle_, store, &s, 0, nullptr),
                  LV2_STATE_SUCCESS);
        return s;
    }
    LV2_State_Status restore(const State& s) {
        return state_->restore(handle_, retrieve, const_cast<State*>(&s), 0, nullptr);
    }
    // The one property, as a chunk.
    StateChunk chunkOf(const State& s) {
        StateChunk c{};
        auto it = s.find(uris_(lv2::kStateKeyUri));
        EXPECT_EQ(s.size(), 1u);
        if (it == s.end() || it->second.bytes.size() != sizeof c) {
            ADD_FAILURE() << "no chunk property";
            return c;
        }
        EXPECT_EQ(it->second.type, uris_(lv2::kStateTypeUri));
        EXPECT_EQ(it->second.flags, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
        std::memcpy(&c, it->second.bytes.data(), sizeof c);
        return c;
    }
    State stateOf(const StateChunk& c) {
        State s;
        auto* bytes = reinterpret_cast<const unsigned char*>(&c);
        s[uris_(lv2::kStateKeyUri)] = {{bytes, bytes + sizeof c},
                                       uris_(lv2::kStateTypeUri),
                                       LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE};
        return s;
    }

    // Ports of the instance: a constant input, the controls at `controls`.
    struct Ports {
        std::vector<float> in[2], out[2];
        float controls[kNumParams + 1];
        float peak[2], rms[2];
    };
    void connect(Ports& p, std::size_t frames, float level) {
        for (int c = 0; c < kNumChannels; ++c) {
            p.in[c].assign(frames, level);
            p.out[c].assign(frames, 0.0f);
            descriptor_->connect_port(handle_, lv2::kFirstAudioIn + c, p.in[c].data());
            descriptor_->connect_port(handle_, lv2::kFirstAudioOut + c, p.out[c].data());
            descriptor_->connect_port(handle_, lv2::kFirstPeakPort + c, &p.peak[c]);
            descriptor_->connect_port(handle_, lv2::kFirstRmsPort + c, &p.rms[c]);
        }
        for (int i = 0; i < kNumParams; ++i) {
            p.controls[i] = static_cast<float>(lv2::portDefault(i));
            descriptor_->connect_port(handle_, lv2::paramPort(i), &p.controls[i]);
        }
        p.controls[kNumParams] = 1.0f;
        descriptor_->connect_port(handle_, lv2::kEnabledPort, &p.controls[kNumParams]);
    }

    UriMap uris_;
    void* module_ = nullptr;
    const LV2_Descriptor* descriptor_ = nullptr;
    const LV2_State_Interface* state_ = nullptr;
    LV2_Handle handle_ = nullptr;
};

TEST_F(Lv2Instance, TakesTheSampleRatesTheEffectTakes) {
    const struct {
        double rate;
        bool taken;
    } kCases[] = {{1000.0, true},    {44100.0, true}, {768000.0, true},
                  {999.0, false},    {0.0, false},    {-48000.0, false},
                  {768001.0, false}, {1e7, false},    {std::nan(""), false}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.rate);
        LV2_Handle h = instantiate(c.rate, true);
        EXPECT_EQ(h != nullptr, c.taken);
        if (h != nullptr) descriptor_->cleanup(h);
    }
    // Without urid:map it processes but has no state.
    LV2_Handle h = instantiate(48000.0, false);
    ASSERT_NE(h, nullptr);
    State s;
    EXPECT_EQ(state_->save(h, store, &s, 0, nullptr), LV2_STATE_ERR_NO_FEATURE);
    EXPECT_TRUE(s.empty());
    descriptor_->cleanup(h);
}

TEST_F(Lv2Instance, StateRestoresEveryEditorAndPreferenceWord) {
    const StateChunk initial = chunkOf(save());
    EXPECT_EQ(std::memcmp(initial.prefs, kDefaultPrefs.words, sizeof initial.prefs), 0);
    EXPECT_EQ(initial.editor[0], 0.0f);
    EXPECT_EQ(initial.editor[1], 0.0f);

    StateChunk changed = initial;
    changed.editor[0] = 1.0f;
    changed.editor[1] = 1.0f;
    for (int w = 0; w < kPrefWords; ++w) // every word away from its default, within range
        changed.prefs[w] = kPrefMax[w] - kDefaultPrefs.words[w] > 0 ? kPrefMax[w] : 0;
    changed.params[0] = 0.25f; // the ports carry the parameters: this word is not taken
    ASSERT_EQ(restore(stateOf(changed)), LV2_STATE_SUCCESS);
    StateChunk expected = changed;
    expected.params[0] = initial.params[0];
    StateChunk saved = chunkOf(save());
    EXPECT_EQ(std::memcmp(&saved, &expected, sizeof saved), 0);

    ASSERT_EQ(restore(stateOf(initial)), LV2_STATE_SUCCESS);
    saved = chunkOf(save());
    EXPECT_EQ(std::memcmp(&saved, &initial, sizeof saved), 0);

    // An empty state keeps what there is.
    EXPECT_EQ(restore(State{}), LV2_STATE_SUCCESS);
    saved = chunkOf(save());
    EXPECT_EQ(std::memcmp(&saved, &initial, sizeof saved), 0);
}

TEST_F(Lv2Instance, StateOfAnotherTypeOrSizeIsRefusedAndChangesNothing) {
    StateChunk before = chunkOf(save());
    before.editor[0] = 1.0f;
    before.prefs[kPrefTrimRange] = 0;
    ASSERT_EQ(restore(stateOf(before)), LV2_STATE_SUCCESS);

    StateChunk other = before;
    other.editor[1] = 1.0f;
    other.prefs[kPrefBallistics] = 2;
    const State good = stateOf(other);
    const std::uint32_t key = uris_(lv2::kStateKeyUri);
    auto resized = [&](int delta) {
        State s = good;
        s[key].bytes.resize(static_cast<std::size_t>(kChunkBytes + delta), 0);
        return s;
    };
    auto retyped = [&](const char* uri) {
        State s = good;
        s[key].type = uris_(uri);
        return s;
    };
    const struct {
        const char* name;
        State state;
    } kCases[] = {
        {"one word short", resized(-4)},         {"one word long", resized(4)},
        {"one byte", resized(1 - kChunkBytes)},  {"an atom:Chunk", retyped(LV2_ATOM__Chunk)},
        {"an atom:Int", retyped(LV2_ATOM__Int)},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(restore(c.state), LV2_STATE_ERR_BAD_TYPE);
        const StateChunk saved = chunkOf(save());
        EXPECT_EQ(std::memcmp(&saved, &before, sizeof saved), 0);
    }
}

TEST_F(Lv2Instance, StateOfGarbageWordsIsTakenAsTheChunkTakesIt) {
    const StateChunk before = chunkOf(save());
    const std::int32_t kGarbage[][kPrefWords] = {
        {-1, -7, 5, 13, 3, -2, 99},
        {std::numeric_limits<std::int32_t>::min(), 3, -3, -1, 7, 2,
         std::numeric_limits<std::int32_t>::max()},
    };
    for (const auto& words : kGarbage) {
        StateChunk garbage = before;
        std::memcpy(garbage.prefs, words, sizeof garbage.prefs);
        garbage.editor[0] = std::numeric_limits<float>::quiet_NaN();
        garbage.editor[1] = -3.5f;
        ASSERT_EQ(restore(stateOf(garbage)), LV2_STATE_SUCCESS);
        const StateChunk saved = chunkOf(save());
        for (int w = 0; w < kPrefWords; ++w)
            EXPECT_EQ(saved.prefs[w], sanitizePrefWord(w, words[w])) << "word " << w;
        EXPECT_EQ(std::memcmp(saved.editor, garbage.editor, sizeof saved.editor), 0);
        EXPECT_EQ(std::memcmp(saved.params, before.params, sizeof saved.params), 0);
    }
}

TEST_F(Lv2Instance, RestoredWordsChooseTheMetersAndTheTrimRange) {
    // A gain at the floor silences the output: the meters read the input only with Pre on.
    // A trim of +20 dB is clamped to the ±12 dB range of trim word 0.
    const struct {
        const char* name;
        float pre;
        std::int32_t trimWord;
        float gainDb, trimDb;
        double peakDb; // expected meter reading for an input at 0.5
    } kCases[] = {
        {"post fader, silence", 0.0f, 2, -90.0f, 0.0f, -90.0},
        {"pre fader, silence", 1.0f, 2, -90.0f, 0.0f, 20.0 * std::log10(0.5)},
        {"post fader, trim 20 in ±36", 0.0f, 2, 0.0f, 20.0f, 20.0 * std::log10(0.5) + 20.0},
        {"post fader, trim 20 in ±12", 0.0f, 0, 0.0f, 20.0f, 20.0 * std::log10(0.5) + 12.0},
        {"post fader, gain -6 in dB", 0.0f, 2, -6.0f, 0.0f, 20.0 * std::log10(0.5) - 6.0},
    };
    const StateChunk base = chunkOf(save());
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        StateChunk words = base;
        words.editor[0] = c.pre;
        words.prefs[kPrefTrimRange] = c.trimWord;
        ASSERT_EQ(restore(stateOf(words)), LV2_STATE_SUCCESS);
        Ports p;
        connect(p, 256, 0.5f);
        p.controls[kGain] = c.gainDb;
        p.controls[kTrim] = c.trimDb;
        descriptor_->activate(handle_);
        descriptor_->run(handle_, 256);
        for (int ch = 0; ch < kNumChannels; ++ch) {
            EXPECT_NEAR(p.peak[ch], c.peakDb, 1e-3);
            EXPECT_NEAR(p.rms[ch], c.peakDb, 1e-3); // a constant's RMS is its level
        }
        // A block of no frames shows the same readings.
        p.peak[0] = p.rms[0] = 1234.0f;
        descriptor_->run(handle_, 0);
        EXPECT_NEAR(p.peak[0], c.peakDb, 1e-3);
        EXPECT_NEAR(p.rms[0], c.peakDb, 1e-3);
        descriptor_->deactivate(handle_);
    }
}

TEST_F(Lv2Instance, InPlaceBuffersAndMissingPortsAreHandled) {
    // The same block three ways: separate buffers, in place, and with every control port
    // unconnected (their defaults); a missing audio port skips the block.
    const std::size_t frames = 300;
    std::vector<float> signal(frames);
    for (std::size_t k = 0; k < frames; ++k)
        signal[k] = static_cast<float>(0.7 * std::sin(0.05 * static_cast<double>(k)));
    float peakDb = 0.0f, rmsDb = 0.0f; // the last run's first meter pair
    auto runOnce = [&](bool inPlace, bool controls) {
        descriptor_->cleanup(handle_);
        handle_ = instantiate(48000.0, true);
        Ports p;
        connect(p, frames, 0.0f);
        p.controls[kGain] = -6.0f;
        if (!controls) {
            for (int i = 0; i < kNumParams; ++i)
                descriptor_->connect_port(handle_, lv2::paramPort(i), nullptr);
        }
        for (int c = 0; c < kNumChannels; ++c) {
            p.in[c] = signal;
            float* out = inPlace ? p.in[c].data() : p.out[c].data();
            descriptor_->connect_port(handle_, lv2::kFirstAudioIn + c, p.in[c].data());
            descriptor_->connect_port(handle_, lv2::kFirstAudioOut + c, out);
        }
        descriptor_->activate(handle_);
        descriptor_->run(handle_, static_cast<std::uint32_t>(frames));
        descriptor_->deactivate(handle_);
        peakDb = p.peak[0];
        rmsDb = p.rms[0];
        return inPlace ? p.in[0] : p.out[0];
    };
    const std::vector<float> separate = runOnce(false, true);
    EXPECT_EQ(runOnce(true, true), separate);
    EXPECT_NE(separate, signal);
    EXPECT_NEAR(separate[100], signal[100] * std::pow(10.0, -6.0 / 20.0), 1e-3);
    // The meters read the output (Pre off): its peak, and its RMS apart from it.
    double peak = 0.0, sum = 0.0;
    for (float x : separate) {
        peak = std::max(peak, std::fabs(static_cast<double>(x)));
        sum += static_cast<double>(x) * x;
    }
    EXPECT_NEAR(peakDb, 20.0 * std::log10(peak), 1e-3);
    EXPECT_NEAR(rmsDb, 10.0 * std::log10(sum / static_cast<double>(frames)), 1e-3);
    EXPECT_GT(peakDb - rmsDb, 2.0);           // a sine's crest factor: the two are not confused
    EXPECT_EQ(runOnce(false, false), signal); // defaults: unity

    Ports p;
    connect(p, frames, 0.5f);
    descriptor_->connect_port(handle_, lv2::kFirstAudioOut, nullptr);
    p.out[kNumChannels - 1].assign(frames, 9.0f);
    descriptor_->activate(handle_);
    descriptor_->run(handle_, static_cast<std::uint32_t>(frames));
    EXPECT_EQ(p.out[kNumChannels - 1], std::vector<float>(frames, 9.0f));
    descriptor_->deactivate(handle_);
}

} // namespace
} // namespace kavet::test
