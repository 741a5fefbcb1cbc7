// The LV2 plug-in's state restore with any value a host's retrieve function can answer,
// reached as a host reaches it: lv2_descriptor(0), an instance made with urid:map or without
// it (no feature, a feature without data, a map without its function), and the state
// interface from extension_data. Each input is a series of steps; each saves, restores
// (the retrieve function answers the key asked for with a value of a chosen size, type and
// flags, or with no value), saves again and runs a short block.
// Asserts: restore asks for the plug-in's key alone, once; its answer is the one the value
// calls for (taken, refused as of another type or size, no feature); a refused or empty
// restore changes nothing (the saves before and after are equal byte for byte); a taken one
// is what the next save gives back (preference words sanitised, editor words as given,
// parameter words those of the ports), and that save restores to itself; every save stores
// one value, of the plug-in's type, exactly one chunk long; finite input gives finite output
// and meter readings at or above the floor.
#include "fuzz_support.h"

#include "core/chunk.h"
#include "lv2/ports.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace kavet;

namespace {

// The host's URI map: URIDs from `base` in the order asked.
struct UriMap {
    LV2_URID base = 1;
    std::vector<std::string> uris;
    static LV2_URID map(LV2_URID_Map_Handle handle, const char* uri) {
        auto* self = static_cast<UriMap*>(handle);
        for (std::size_t i = 0; i < self->uris.size(); ++i)
            if (self->uris[i] == uri) return self->base + static_cast<LV2_URID>(i);
        self->uris.emplace_back(uri);
        return self->base + static_cast<LV2_URID>(self->uris.size() - 1);
    }
};

// What the retrieve function answers, and what it was asked.
struct Answer {
    bool present = false;
    std::unique_ptr<std::uint8_t[]> bytes; // exactly `size` bytes: a read past them traps
    std::size_t size = 0;
    std::uint32_t type = 0, flags = 0;
    int calls = 0;
    std::uint32_t keyAsked = 0;
};

const void* retrieve(LV2_State_Handle handle, std::uint32_t key, std::size_t* size,
                     std::uint32_t* type, std::uint32_t* flags) {
    auto* answer = static_cast<Answer*>(handle);
    ++answer->calls;
    answer->keyAsked = key;
    if (!answer->present) return nullptr;
    *size = answer->size;
    *type = answer->type;
    *flags = answer->flags;
    return answer->bytes.get();
}

// One save: the status and what was stored.
struct Saved {
    LV2_State_Status status = LV2_STATE_ERR_UNKNOWN;
    int stores = 0;
    std::uint32_t key = 0, type = 0, flags = 0;
    std::vector<std::uint8_t> bytes;
};

LV2_State_Status store(LV2_State_Handle handle, std::uint32_t key, const void* value,
                       std::size_t size, std::uint32_t type, std::uint32_t flags) {
    auto* saved = static_cast<Saved*>(handle);
    ++saved->stores;
    saved->key = key;
    saved->type = type;
    saved->flags = flags;
    const auto* bytes = static_cast<const std::uint8_t*>(value);
    saved->bytes.assign(bytes, bytes + size);
    return LV2_STATE_SUCCESS;
}

// The chunk in the byte order stored (little-endian words) read as this machine's.
StateChunk chunkFromStored(const std::uint8_t* bytes) {
    StateChunk chunk;
    std::memcpy(&chunk, bytes, sizeof chunk);
    if constexpr (std::endian::native == std::endian::big) byteSwapChunk(chunk);
    return chunk;
}

bool sameBits(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

class Harness {
public:
    explicit Harness(FuzzedDataProvider& data) : data_(data) {}
    ~Harness() {
        if (handle_ != nullptr) {
            descriptor_->deactivate(handle_);
            descriptor_->cleanup(handle_);
        }
    }

    void run() {
        instantiate();
        connect();
        descriptor_->activate(handle_);
        constexpr int kMaxSteps = 8;
        int steps = 0;
        do {
            step();
        } while (data_.remaining_bytes() > 0 && ++steps < kMaxSteps);
    }

private:
    // 0-4: urid:map; 5: no such feature; 6: the feature without data; 7: a map without its
    // function. The URIDs start at 1 or at a large number.
    void instantiate() {
        const int mapMode = data_.ConsumeIntegralInRange<int>(0, 7);
        uris_.base = 1 + (static_cast<LV2_URID>(data_.ConsumeIntegral<std::uint8_t>()) << 24);
        mapped_ = mapMode <= 4;
        LV2_URID_Map map = {&uris_, mapMode == 7 ? nullptr : &UriMap::map};
        const LV2_Feature mapFeature = {LV2_URID__map, mapMode == 6 ? nullptr : &map};
        const LV2_Feature* features[] = {mapMode == 5 ? nullptr : &mapFeature, nullptr};
        descriptor_ = lv2_descriptor(0);
        KAVET_FUZZ_CHECK(descriptor_ != nullptr, "the module describes its plug-in");
        state_ = static_cast<const LV2_State_Interface*>(
            descriptor_->extension_data(LV2_STATE__interface));
        KAVET_FUZZ_CHECK(state_ != nullptr, "the plug-in has the state interface");
        handle_ = descriptor_->instantiate(descriptor_, 48000.0, "", features);
        KAVET_FUZZ_CHECK(handle_ != nullptr, "the plug-in is made at 48 kHz");
        keyUrid_ = UriMap::map(&uris_, lv2::kStateKeyUri);
        typeUrid_ = UriMap::map(&uris_, lv2::kStateTypeUri);
    }

    void connect() {
        for (int i = 0; i < kNumParams; ++i) {
            controls_[i] = static_cast<float>(lv2::portDefault(i));
            descriptor_->connect_port(handle_, lv2::paramPort(i), &controls_[i]);
        }
        controls_[kNumParams] = 1.0f;
        descriptor_->connect_port(handle_, lv2::kEnabledPort, &controls_[kNumParams]);
        for (int c = 0; c < kNumChannels; ++c) {
            descriptor_->connect_port(handle_, lv2::kFirstAudioIn + c, in_[c]);
            descriptor_->connect_port(handle_, lv2::kFirstAudioOut + c, out_[c]);
            descriptor_->connect_port(handle_, lv2::kFirstPeakPort + c, &peak_[c]);
            descriptor_->connect_port(handle_, lv2::kFirstRmsPort + c, &rms_[c]);
        }
    }

    Saved save() {
        Saved saved;
        saved.status = state_->save(handle_, store, &saved, 0, nullptr);
        if (!mapped_) {
            KAVET_FUZZ_CHECK(saved.status == LV2_STATE_ERR_NO_FEATURE && saved.stores == 0,
                             "without urid:map a save stores nothing and says why");
            return saved;
        }
        KAVET_FUZZ_CHECK(saved.status == LV2_STATE_SUCCESS && saved.stores == 1,
                         "a save stores one value");
        KAVET_FUZZ_CHECK(saved.key == keyUrid_, "the value is stored under the plug-in's key");
        KAVET_FUZZ_CHECK(saved.type == typeUrid_, "the value is of the plug-in's type");
        KAVET_FUZZ_CHECK(saved.bytes.size() == static_cast<std::size_t>(kChunkBytes),
                         "the value is exactly one chunk long");
        KAVET_FUZZ_CHECK(saved.flags == (LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE),
                         "the value is plain and portable");
        const StateChunk chunk = chunkFromStored(saved.bytes.data());
        for (float p : chunk.params)
            KAVET_FUZZ_CHECK(p >= 0.0f && p <= 1.0f && !std::signbit(p),
                             "a saved parameter word is within 0..1");
        for (int w = 0; w < kPrefWords; ++w)
            KAVET_FUZZ_CHECK(chunk.prefs[w] >= 0 && chunk.prefs[w] <= kPrefMax[w],
                             "a saved preference word is within its row");
        return saved;
    }

    // The value the retrieve function answers: mostly one chunk of the plug-in's type;
    // else a size near it or any size, a foreign type or none (0), or no value at all.
    void chooseAnswer(Answer& answer) {
        const int presence = data_.ConsumeIntegralInRange<int>(0, 7); // 6: none, 7: no function
        answer.present = presence < 6;
        retrieveMissing_ = presence == 7;
        if (!answer.present) return;
        std::size_t size = kChunkBytes;
        switch (data_.ConsumeIntegralInRange<int>(0, 3)) {
        case 2:
            size = static_cast<std::size_t>(kChunkBytes + data_.ConsumeIntegralInRange(-8, 8));
            break;
        case 3:
            size = data_.ConsumeIntegralInRange<std::size_t>(0, 256);
            break;
        default:
            break;
        }
        const std::vector<std::uint8_t> given = data_.ConsumeBytes<std::uint8_t>(size);
        answer.size = size;
        answer.bytes.reset(new std::uint8_t[size]());
        if (!given.empty()) std::memcpy(answer.bytes.get(), given.data(), given.size());
        switch (data_.ConsumeIntegralInRange<int>(0, 3)) {
        case 2:
            answer.type = UriMap::map(&uris_, LV2_ATOM__Chunk);
            break;
        case 3:
            answer.type = 0;
            break;
        default:
            answer.type = typeUrid_;
            break;
        }
        answer.flags = data_.ConsumeIntegral<std::uint8_t>() & 7u; // POD, portable, native
    }

    LV2_State_Status expectedStatus(const Answer& answer) const {
        if (retrieveMissing_) return LV2_STATE_ERR_UNKNOWN;
        if (!mapped_) return LV2_STATE_ERR_NO_FEATURE;
        if (!answer.present) return LV2_STATE_SUCCESS;
        const bool ours = answer.type == typeUrid_ && answer.size == kChunkBytes;
        return ours ? LV2_STATE_SUCCESS : LV2_STATE_ERR_BAD_TYPE;
    }

    void step() {
        const Saved before = save();
        Answer answer;
        chooseAnswer(answer);
        const LV2_State_Status status =
            state_->restore(handle_, retrieveMissing_ ? nullptr : retrieve, &answer, 0, nullptr);
        KAVET_FUZZ_CHECK(status == expectedStatus(answer), "restore answers what the value asks");
        const bool asks = mapped_ && !retrieveMissing_;
        KAVET_FUZZ_CHECK(answer.calls == (asks ? 1 : 0), "restore asks once, and only with a map");
        KAVET_FUZZ_CHECK(answer.calls == 0 || answer.keyAsked == keyUrid_,
                         "restore asks for the plug-in's key");
        const Saved after = save();
        if (status == LV2_STATE_SUCCESS && answer.present) {
            checkTaken(before, answer, after);
        } else {
            KAVET_FUZZ_CHECK(after.bytes == before.bytes,
                             "a refused or empty restore changes nothing");
        }
        runBlock();
    }

    // The next save holds the value's words as the chunk takes them, and goes back in as it is.
    void checkTaken(const Saved& before, const Answer& answer, const Saved& after) {
        const StateChunk given = chunkFromStored(answer.bytes.get());
        const StateChunk was = chunkFromStored(before.bytes.data());
        const StateChunk now = chunkFromStored(after.bytes.data());
        for (int i = 0; i < kNumParams; ++i)
            KAVET_FUZZ_CHECK(sameBits(now.params[i], was.params[i]),
                             "a restore leaves the parameters to the ports");
        for (int w = 0; w < kEditorWords; ++w)
            KAVET_FUZZ_CHECK(sameBits(now.editor[w], given.editor[w]),
                             "the editor words are taken as given");
        for (int w = 0; w < kPrefWords; ++w)
            KAVET_FUZZ_CHECK(now.prefs[w] == sanitizePrefWord(w, given.prefs[w]),
                             "a preference word is taken as the chunk takes it");
        Answer again;
        again.present = true;
        again.size = after.bytes.size();
        again.bytes.reset(new std::uint8_t[again.size]);
        std::memcpy(again.bytes.get(), after.bytes.data(), again.size);
        again.type = after.type;
        again.flags = after.flags;
        KAVET_FUZZ_CHECK(state_->restore(handle_, retrieve, &again, 0, nullptr) ==
                             LV2_STATE_SUCCESS,
                         "a saved state is taken back");
        KAVET_FUZZ_CHECK(save().bytes == after.bytes, "a saved state restores to itself");
    }

    // A control moved (or none), then one block of a sine at a chosen level.
    void runBlock() {
        const int control = data_.ConsumeIntegralInRange<int>(0, kNumParams + 1); // 0: none
        if (control > 0) controls_[control - 1] = fuzz::awkwardFloat(data_);
        const int frames = data_.ConsumeIntegralInRange<int>(0, kMaxFrames);
        const float level = data_.ConsumeFloatingPointInRange<float>(-4.0f, 4.0f);
        for (int c = 0; c < kNumChannels; ++c)
            for (int k = 0; k < frames; ++k)
                in_[c][k] = level * static_cast<float>(std::sin(0.1 * (k + 7 * c)));
        descriptor_->run(handle_, static_cast<std::uint32_t>(frames));
        for (int c = 0; c < kNumChannels; ++c) {
            for (int k = 0; k < frames; ++k)
                KAVET_FUZZ_CHECK(std::isfinite(out_[c][k]), "finite input gives finite output");
            KAVET_FUZZ_CHECK(std::isfinite(peak_[c]) && peak_[c] >= lv2::kFloorDb,
                             "a peak reading is a level at or above the floor");
            KAVET_FUZZ_CHECK(std::isfinite(rms_[c]) && rms_[c] >= lv2::kFloorDb,
                             "an RMS reading is a level at or above the floor");
        }
    }

    static constexpr int kMaxFrames = 64;

    FuzzedDataProvider& data_;
    UriMap uris_;
    bool mapped_ = false;
    bool retrieveMissing_ = false;
    LV2_URID keyUrid_ = 0, typeUrid_ = 0;
    const LV2_Descriptor* descriptor_ = nullptr;
    const LV2_State_Interface* state_ = nullptr;
    LV2_Handle handle_ = nullptr;
    float controls_[kNumParams + 1];
    float in_[kNumChannels][kMaxFrames] = {}, out_[kNumChannels][kMaxFrames] = {};
    float peak_[kNumChannels] = {}, rms_[kNumChannels] = {};
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::isolateRegistry();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    Harness harness(data);
    harness.run();
    return 0;
}
