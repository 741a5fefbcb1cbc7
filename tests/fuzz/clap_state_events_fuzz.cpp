// The CLAP plug-in's state load and its processing of events, from any bytes. Both channel
// configurations, chosen by the first byte, each made through its part's entry as the
// module's factory makes it, with the project's host object (hosts/common); the harness's
// thread is the main thread and holds the audio thread's role too. Each input is a series of
// steps: a state loaded through a stream that misbehaves as the input says (reads cut short,
// a failure from some byte on, an early end, a count of more bytes than asked for or a
// negative one), a state saved
// through a stream that takes few bytes or fails, a block processed with any event stream
// (sizes, types, spaces, times out of order or past the block, unknown ids, NaN and
// out-of-range values) in 32- or 64-bit samples and of any size up to the activated maximum,
// a flush with such events, and activation, processing and reset switched on and off.
// Asserts: a state is taken exactly when the stream hands over one state's bytes and then
// ends, with no false count on the way; a refused one changes nothing (the saved state
// and every value are as before); a taken one saves as a state that loads to the same bytes;
// a save answers true exactly when the stream takes every byte, and then writes the state; a
// block of finite input is answered kProcessContinue with finite output in every sample and
// a constant mask that marks exactly the silent channels; after a block or a flush every
// value is within 0..1 and is the last of its value events (in the core space, whole, for an
// id the plug-in has; clamped, in single precision; a NaN keeps the one before).
//
// The two parts are the module's prelinked objects, whose names carry the configuration's
// prefix: the harness names no configuration's code and sizes everything by what the
// plug-in's extensions say.
#include "fuzz_support.h"

#include "base/contract.h"
#include "clapplugin/descriptors.h"
#include "core/params.h"
#include "hosts/common/clap_events.h"
#include "hosts/common/clap_host.h"
#include "hosts/common/clap_streams.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

using namespace kavet::clap;
namespace contract = kavet::contract;
namespace fuzz = kavet::fuzz;
namespace host = kavet::host;
namespace clapplugin = kavet::clapplugin;

// Each part's own copy of the contract handler (the prelink step puts the part's prefix
// before every name it defines): a broken contract inside the module traps like one outside.
extern std::atomic<contract::Handler>
    stereoContractHandler __asm__("kavet_clap_stereo__ZN5kavet8contract7handlerE");
extern std::atomic<contract::Handler>
    monoContractHandler __asm__("kavet_clap_mono__ZN5kavet8contract7handlerE");

namespace {

void trapViolation(const char* file, int line, const char* condition) {
    fuzz::fail("a contract of the module's own code", condition, file, line);
}

constexpr uint32 kMaxFrames = 1024;
constexpr int kMaxSteps = 10;

// The host's loop serves nothing here: the harness opens no editor.
class NoLoop final : public host::RunLoopClient {
    void onTimer(Id) override {}
    void onFd(int, uint32) override {}
    void onMainThread() override {}
};

template <class T> const T* extension(const Plugin* plugin, const char* id) {
    const T* table = static_cast<const T*>(plugin->get_extension(plugin, id));
    KAVET_FUZZ_CHECK(table != nullptr, "the plug-in has the extension");
    return table;
}

host::StreamFaults chooseFaults(FuzzedDataProvider& data, std::size_t size) {
    host::StreamFaults f;
    const auto faults = data.ConsumeIntegral<std::uint8_t>(); // a bit per fault
    if (faults & 0x01) f.chunk = data.ConsumeIntegralInRange<std::size_t>(1, 16);
    if (faults & 0x02) f.failAt = data.ConsumeIntegralInRange<std::size_t>(0, size + 2);
    if (faults & 0x04) f.endAt = data.ConsumeIntegralInRange<std::size_t>(0, size + 2);
    if (faults & 0x08) {
        f.claimAt = data.ConsumeIntegralInRange(1, 4);
        f.claimExtra = data.ConsumeBool() ? data.ConsumeIntegralInRange<int64>(1, INT64_MAX / 2)
                                          : data.ConsumeIntegralInRange<int64>(-1000, -2);
    }
    return f;
}

class Harness {
public:
    explicit Harness(FuzzedDataProvider& data)
        : data_(data), loop_(noLoop_), host_(loop_), stereo_(data.ConsumeBool()) {
        host_.setAudioThread(host::currentThreadId());
        const clapplugin::PartEntry* part =
            stereo_ ? kavet_clap_part_stereo() : kavet_clap_part_mono();
        plugin_ = part->create(host_.get(), &clapplugin::kDescriptors[stereo_ ? 0 : 1]);
        KAVET_FUZZ_CHECK(plugin_ != nullptr, "the part makes its plug-in");
        host_.setInitialised(true);
        KAVET_FUZZ_CHECK(plugin_->init(plugin_), "the plug-in starts");
        params_ = extension<PluginParams>(plugin_, kExtParams);
        state_ = extension<PluginState>(plugin_, kExtState);
        const auto* ports = extension<PluginAudioPorts>(plugin_, kExtAudioPorts);
        AudioPortInfo info{};
        KAVET_FUZZ_CHECK(ports->get(plugin_, 0, false, &info), "the plug-in has an output");
        channels_ = info.channel_count;
        KAVET_FUZZ_CHECK(channels_ == (stereo_ ? 2u : 1u), "the configuration's channels");
        paramCount_ = params_->count(plugin_);
        stateBytes_ = save({}).value_or(std::vector<unsigned char>{}).size();
        KAVET_FUZZ_CHECK(stateBytes_ == (stereo_ ? 60u : 56u), "the state is one chunk long");
    }

    ~Harness() {
        if (processing_) plugin_->stop_processing(plugin_);
        if (active_) plugin_->deactivate(plugin_);
        plugin_->destroy(plugin_);
    }

    void run() {
        for (int step = 0; step < kMaxSteps && data_.remaining_bytes() > 0; ++step) {
            switch (data_.ConsumeIntegralInRange(0, 5)) {
            case 0:
                load();
                break;
            case 1:
                saveThroughFaults();
                break;
            case 2:
            case 3:
                block();
                break;
            case 4:
                flush();
                break;
            default:
                switchState();
                break;
            }
        }
    }

private:
    std::optional<std::vector<unsigned char>> save(host::StreamFaults faults) {
        host::MemoryOutputStream stream(faults);
        if (!state_->save(plugin_, stream.get())) return std::nullopt;
        return stream.bytes();
    }

    std::vector<double> values() {
        std::vector<double> v;
        for (uint32 i = 0; i < paramCount_; ++i) {
            double value = -1.0;
            KAVET_FUZZ_CHECK(params_->get_value(plugin_, i, &value), "a parameter has a value");
            KAVET_FUZZ_CHECK(!std::isnan(value) && value >= 0.0 && value <= 1.0,
                             "a value is within 0..1");
            v.push_back(value);
        }
        return v;
    }

    // Mostly one state's size; else a size near it (the other configuration's among them) or
    // any size up to 256.
    std::vector<unsigned char> chooseBytes() {
        std::size_t size = stateBytes_;
        const int kind = data_.ConsumeIntegralInRange(0, 3);
        if (kind == 2) size = stateBytes_ + data_.ConsumeIntegralInRange<std::size_t>(0, 10) - 5;
        if (kind == 3) size = data_.ConsumeIntegralInRange<std::size_t>(0, 256);
        std::vector<unsigned char> bytes = data_.ConsumeBytes<unsigned char>(size);
        bytes.resize(size); // zeros when the input runs out
        return bytes;
    }

    void load() {
        const std::vector<unsigned char> bytes = chooseBytes();
        host::MemoryInputStream stream(bytes, chooseFaults(data_, bytes.size()));
        const auto before = save({});
        const std::vector<double> valuesBefore = values();
        const bool taken = state_->load(plugin_, stream.get());
        KAVET_FUZZ_CHECK(taken == stream.handedOverExactly(stateBytes_),
                         "a state is taken exactly when the stream hands over one whole state");
        KAVET_FUZZ_CHECK(stream.callsAfterEnd() == 0, "no read after the stream's end or error");
        const auto after = save({});
        KAVET_FUZZ_CHECK(after && after->size() == stateBytes_, "the state saves");
        const std::vector<double> valuesAfter = values();
        if (!taken) {
            KAVET_FUZZ_CHECK(after == before, "a refused state leaves the state as it was");
            for (uint32 i = 0; i < paramCount_; ++i)
                KAVET_FUZZ_CHECK(std::bit_cast<std::uint64_t>(valuesAfter[i]) ==
                                     std::bit_cast<std::uint64_t>(valuesBefore[i]),
                                 "a refused state leaves the values as they were");
            return;
        }
        // The state the plug-in saves loads again to the same bytes.
        host::MemoryInputStream again(*after);
        KAVET_FUZZ_CHECK(state_->load(plugin_, again.get()), "the plug-in takes its own state");
        KAVET_FUZZ_CHECK(save({}) == after, "a state loads to the same bytes");
    }

    void saveThroughFaults() {
        const host::StreamFaults faults = chooseFaults(data_, stateBytes_);
        host::MemoryOutputStream stream(faults);
        const bool saved = state_->save(plugin_, stream.get());
        KAVET_FUZZ_CHECK(saved == (faults.failAt >= stateBytes_),
                         "a save succeeds exactly when the stream takes every byte");
        if (saved) KAVET_FUZZ_CHECK(stream.bytes() == save({}), "a save writes the whole state");
        KAVET_FUZZ_CHECK(stream.callsAfterError() == 0, "no write after the stream's error");
    }

    // Any events, each stored whole with a truthful size; the values they should leave.
    void chooseEvents(uint32 frames, std::vector<double>& expected) {
        events_.clear();
        const int count = data_.ConsumeIntegralInRange(0, 12);
        for (int i = 0; i < count; ++i) {
            ParamValueEvent e = host::paramValueEvent(0, 0, 0.0);
            e.header.time = data_.ConsumeBool() ? data_.ConsumeIntegralInRange<uint32>(0, frames)
                                                : data_.ConsumeIntegral<uint32>();
            if (data_.ConsumeIntegralInRange(0, 7) == 0)
                e.header.space_id = data_.ConsumeIntegral<uint16>();
            e.header.type = data_.ConsumeBool() ? kEventParamValue
                                                : data_.ConsumeIntegralInRange<uint16>(0, 15);
            e.header.flags = data_.ConsumeIntegral<uint32>();
            e.param_id = data_.ConsumeBool() ? data_.ConsumeIntegralInRange<Id>(0, paramCount_)
                                             : data_.ConsumeIntegral<Id>();
            e.value = data_.ConsumeBool() ? data_.ConsumeFloatingPointInRange(0.0, 1.0)
                                          : static_cast<double>(fuzz::awkwardFloat(data_));
            std::size_t size = sizeof e;
            if (data_.ConsumeIntegralInRange(0, 7) == 0)
                size = data_.ConsumeIntegralInRange<std::size_t>(sizeof(EventHeader), sizeof e);
            e.header.size = static_cast<uint32>(size);
            const auto* first = reinterpret_cast<const unsigned char*>(&e);
            if (!events_.pushRaw({first, size})) continue;
            float stored = 0.0f;
            if (e.header.space_id == kCoreEventSpace && e.header.type == kEventParamValue &&
                size >= sizeof e && e.param_id < paramCount_ &&
                kavet::clampNormalised(static_cast<float>(e.value), stored))
                expected[e.param_id] = stored;
        }
    }

    void checkValues(const std::vector<double>& expected) {
        const std::vector<double> seen = values();
        for (uint32 i = 0; i < paramCount_; ++i)
            KAVET_FUZZ_CHECK(seen[i] == expected[i],
                             "a value is the last of its events, clamped, in single precision");
    }

    void block() {
        if (!processing_) return;
        const uint32 frames = data_.ConsumeIntegralInRange<uint32>(0, maxFrames_);
        std::vector<double> expected = values();
        chooseEvents(frames, expected);
        if (data_.ConsumeBool())
            blockOf<float>(frames);
        else
            blockOf<double>(frames);
        checkValues(expected);
    }

    template <class Sample> void blockOf(uint32 frames) {
        std::vector<std::vector<Sample>> in(channels_, std::vector<Sample>(frames));
        std::vector<std::vector<Sample>> out(channels_, std::vector<Sample>(frames, Sample(7)));
        std::vector<Sample*> inputs, outputs;
        for (auto& c : in) {
            const float level =
                data_.ConsumeFloatingPointInRange(-fuzz::kMaxFiniteInput, fuzz::kMaxFiniteInput);
            const uint32 silentFrom = data_.ConsumeIntegralInRange<uint32>(0, frames);
            for (uint32 i = 0; i < frames; ++i)
                c[i] = i < silentFrom ? static_cast<Sample>(level) : Sample(0);
            inputs.push_back(c.data());
        }
        for (auto& c : out)
            outputs.push_back(c.data());
        AudioBuffer inBuffer{nullptr, nullptr, channels_, 0, 0};
        AudioBuffer outBuffer{nullptr, nullptr, channels_, 0, 0};
        if constexpr (sizeof(Sample) == sizeof(float)) {
            inBuffer.data32 = inputs.data();
            outBuffer.data32 = outputs.data();
        } else {
            inBuffer.data64 = inputs.data();
            outBuffer.data64 = outputs.data();
        }
        const host::InputEventsView inEvents(events_);
        host::EventList sent;
        const host::OutputEventsView outEvents(sent);
        const Process p{-1, frames, nullptr,        &inBuffer,      &outBuffer,
                        1,  1,      inEvents.get(), outEvents.get()};
        KAVET_FUZZ_CHECK(plugin_->process(plugin_, &p) == kProcessContinue,
                         "a block is answered kProcessContinue");
        if (frames == 0) return;
        uint64 silent = 0;
        for (uint32 c = 0; c < channels_; ++c) {
            bool zero = true;
            for (Sample x : out[c]) {
                KAVET_FUZZ_CHECK(std::isfinite(x), "every output sample is finite");
                zero = zero && x == Sample(0);
            }
            if (zero) silent |= uint64{1} << c;
        }
        KAVET_FUZZ_CHECK(outBuffer.constant_mask == silent,
                         "the constant mask marks exactly the silent channels");
    }

    void flush() {
        std::vector<double> expected = values();
        chooseEvents(0, expected);
        const host::InputEventsView in(events_);
        host::EventList sent;
        const host::OutputEventsView out(sent);
        params_->flush(plugin_, in.get(), out.get());
        KAVET_FUZZ_CHECK(sent.empty(), "a flush sends nothing without an editor");
        checkValues(expected);
    }

    void switchState() {
        switch (data_.ConsumeIntegralInRange(0, 2)) {
        case 0:
            if (processing_) {
                plugin_->stop_processing(plugin_);
                processing_ = false;
            }
            if (active_) {
                plugin_->deactivate(plugin_);
                active_ = false;
            } else {
                const double rates[] = {8000.0, 44100.0, 48000.0, 96000.0, 384000.0};
                maxFrames_ = data_.ConsumeIntegralInRange<uint32>(1, kMaxFrames);
                active_ = plugin_->activate(plugin_, rates[data_.ConsumeIntegralInRange(0, 4)], 1,
                                            maxFrames_);
                KAVET_FUZZ_CHECK(active_, "the plug-in activates");
            }
            break;
        case 1:
            if (processing_) {
                plugin_->stop_processing(plugin_);
                processing_ = false;
            } else if (active_) {
                processing_ = plugin_->start_processing(plugin_);
                KAVET_FUZZ_CHECK(processing_, "the plug-in starts processing");
            }
            break;
        default:
            if (active_) plugin_->reset(plugin_);
            break;
        }
    }

    FuzzedDataProvider& data_;
    NoLoop noLoop_;
    host::RunLoop loop_;
    host::ClapHost host_;
    const bool stereo_;
    const Plugin* plugin_ = nullptr;
    const PluginParams* params_ = nullptr;
    const PluginState* state_ = nullptr;
    uint32 channels_ = 0, paramCount_ = 0;
    std::size_t stateBytes_ = 0;
    bool active_ = false, processing_ = false;
    uint32 maxFrames_ = 0;
    host::EventList events_{64, 64 * 64};
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::isolateRegistry();
    stereoContractHandler.store(&trapViolation);
    monoContractHandler.store(&trapViolation);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    Harness harness(data);
    harness.run();
    return 0;
}
