// The VST 3 component's and edit controller's state restore (IComponent::setState,
// IEditController::setComponentState) from any bytes, through a stream of the harness's own
// that misbehaves as the input says: reads cut short, a failure once some bytes are through,
// a count of more bytes than were asked for, an early end (a count of 0 or below). Both
// channel configurations, chosen by the first byte, each made through its part's entry as
// the module's factory makes it; the controller connected to the component or not. Each
// input is a series of steps; each gives the component and the controller the same bytes
// through streams that behave alike.
// Asserts: a state is taken exactly when the stream hands over one state's bytes (60 stereo,
// 56 mono) and then ends, never claiming more than it was asked for; a refused one is
// answered kResultFalse and changes nothing (the component's getState bytes and the
// controller's values are the same before and after); a taken one gives back on getState a
// state that restores to the same bytes; getState's words are within their ranges; the
// controller's values are within 0..1, never NaN, and are the component's parameters, its
// trim range the one the component's preference word names; every value's text and every
// text's value are answered without a fault, texts terminated within their 128 units and
// values within 0..1.
//
// The two parts are the module's prelinked objects, whose names carry the configuration's
// prefix: the harness names no configuration's code and sizes nothing by core/config.h.
#include "fuzz_support.h"

#include "base/contract.h"
#include "core/prefs.h"
#include "vst3/all.h"
#include "vst3plugin/classes.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace kavet::vst3;
namespace contract = kavet::contract;
namespace fuzz = kavet::fuzz;
namespace vst3plugin = kavet::vst3plugin;

// Each part's own copy of the contract handler (prelink.cmake puts the part's prefix before
// every name it defines): a broken contract inside the module traps like one outside it.
extern std::atomic<contract::Handler>
    stereoContractHandler __asm__("kavet_stereo__ZN5kavet8contract7handlerE");
extern std::atomic<contract::Handler>
    monoContractHandler __asm__("kavet_mono__ZN5kavet8contract7handlerE");

namespace {

void trapViolation(const char* file, int line, const char* condition) {
    fuzz::fail("a contract of the module's own code", condition, file, line);
}

// What differs between the configurations, as the state's layout gives it.
struct Layout {
    const vst3plugin::PartEntry* (*entry)();
    int stateBytes;
    int params;
};
constexpr Layout kStereoLayout{kavet_vst3_part_stereo, 60, 6};
constexpr Layout kMonoLayout{kavet_vst3_part_mono, 56, 5};
constexpr int kStateEditorWords = 2; // after the parameter words; then the preference words
constexpr ParamID kTrimId = 1;
constexpr double kTrimRangesDb[3] = {12.0, 24.0, 36.0}; // by the trim range word

// A state's 32-bit little-endian words.
std::uint32_t word(const std::vector<std::uint8_t>& state, int index) {
    const auto at = static_cast<std::size_t>(index) * 4;
    return std::uint32_t{state[at]} | std::uint32_t{state[at + 1]} << 8 |
           std::uint32_t{state[at + 2]} << 16 | std::uint32_t{state[at + 3]} << 24;
}
float floatWord(const std::vector<std::uint8_t>& state, int index) {
    return std::bit_cast<float>(word(state, index));
}

// How a stream misbehaves: at most `chunk` bytes a read; reads fail from byte `failAt` on;
// the read at `endAt` answers a count of `endCount` (0 or below) and no bytes; call number
// `lieAt` counts `lieBy` bytes more than it was asked for.
struct Script {
    bool null = false; // no stream at all
    int chunk = INT_MAX;
    int failAt = INT_MAX;
    int endAt = INT_MAX;
    int32 endCount = 0;
    int lieAt = 0; // 0: never
    int32 lieBy = 0;
};

// A read-only stream over `bytes`, scripted, that records what it handed over.
class ScriptedStream final : public IBStream {
public:
    ScriptedStream(const std::vector<std::uint8_t>& bytes, const Script& script)
        : bytes_(bytes), script_(script) {}

    tresult KAVET_VST3_CALL queryInterface(const char* iid, void** obj) override {
        if (obj == nullptr) return kInvalidArgument;
        *obj = IBStream::iid.is(iid) || FUnknown::iid.is(iid) ? this : nullptr;
        return *obj != nullptr ? kResultOk : kNoInterface;
    }
    uint32 KAVET_VST3_CALL addRef() override { return 1; } // lives on the harness's stack
    uint32 KAVET_VST3_CALL release() override { return 1; }

    tresult KAVET_VST3_CALL read(void* buffer, int32 numBytes, int32* numBytesRead) override {
        ++calls_;
        KAVET_FUZZ_CHECK(buffer != nullptr && numBytes > 0, "a read asks for some bytes");
        if (numBytesRead != nullptr) *numBytesRead = 0;
        if (pos_ >= script_.failAt) {
            ended_ = true;
            return kResultFalse;
        }
        if (pos_ == script_.endAt) {
            ended_ = true;
            if (numBytesRead != nullptr) *numBytesRead = script_.endCount;
            return kResultOk;
        }
        const int left = static_cast<int>(bytes_.size()) - pos_;
        const int n = std::min({numBytes, script_.chunk, left, script_.failAt - pos_,
                                script_.endAt > pos_ ? script_.endAt - pos_ : INT_MAX});
        if (n == 0) ended_ = true; // the end of the bytes
        if (n > 0) std::memcpy(buffer, bytes_.data() + pos_, static_cast<std::size_t>(n));
        pos_ += n;
        int32 count = n;
        if (calls_ == script_.lieAt) {
            // More than asked for (up to the largest count), of which only n are there.
            count = numBytes + std::min(script_.lieBy, INT32_MAX - numBytes);
            lied_ = true;
        }
        if (numBytesRead != nullptr) *numBytesRead = count;
        return kResultOk;
    }
    tresult KAVET_VST3_CALL write(void*, int32, int32*) override { return kResultFalse; }
    tresult KAVET_VST3_CALL seek(int64, int32, int64*) override { return kResultFalse; }
    tresult KAVET_VST3_CALL tell(int64* pos) override {
        if (pos == nullptr) return kInvalidArgument;
        *pos = pos_;
        return kResultOk;
    }

    // Whether a reader got exactly `size` bytes, then the end, and no false count.
    bool handedOverExactly(int size) const { return !lied_ && ended_ && pos_ == size; }

private:
    const std::vector<std::uint8_t>& bytes_;
    Script script_;
    int pos_ = 0;
    int calls_ = 0;
    bool ended_ = false;
    bool lied_ = false;
};

// A stream that collects what is written to it.
class SinkStream final : public IBStream {
public:
    tresult KAVET_VST3_CALL queryInterface(const char*, void** obj) override {
        if (obj != nullptr) *obj = nullptr;
        return kNoInterface;
    }
    uint32 KAVET_VST3_CALL addRef() override { return 1; }
    uint32 KAVET_VST3_CALL release() override { return 1; }
    tresult KAVET_VST3_CALL read(void*, int32, int32*) override { return kResultFalse; }
    tresult KAVET_VST3_CALL write(void* buffer, int32 numBytes, int32* numBytesWritten) override {
        KAVET_FUZZ_CHECK(buffer != nullptr && numBytes > 0, "a write hands over some bytes");
        const auto* p = static_cast<const std::uint8_t*>(buffer);
        bytes.insert(bytes.end(), p, p + numBytes);
        if (numBytesWritten != nullptr) *numBytesWritten = numBytes;
        return kResultOk;
    }
    tresult KAVET_VST3_CALL seek(int64, int32, int64*) override { return kResultFalse; }
    tresult KAVET_VST3_CALL tell(int64*) override { return kResultFalse; }

    std::vector<std::uint8_t> bytes;
};

// The texts of the interface: 128 UTF-16 units, allocated alone so that a unit written or
// read past them traps.
struct Text128 {
    std::unique_ptr<char16[]> units{new char16[128]};
    bool terminated() const {
        return std::find(units.get(), units.get() + 128, 0) != units.get() + 128;
    }
};

template <class I> struct Released {
    void operator()(I* object) const { object->release(); }
};
template <class I> using Ref = std::unique_ptr<I, Released<I>>;

template <class I> Ref<I> ask(FUnknown* object) {
    I* asked = queryAs<I>(object);
    KAVET_FUZZ_CHECK(asked != nullptr, "the object has the interface");
    return Ref<I>(asked);
}

class Harness {
public:
    explicit Harness(FuzzedDataProvider& data)
        : data_(data),
          layout_(data.ConsumeIntegral<std::uint8_t>() & 1 ? kMonoLayout : kStereoLayout) {
        const vst3plugin::PartEntry* entry = layout_.entry();
        processorUnknown_.reset(entry->createProcessor());
        controllerUnknown_.reset(entry->createController());
        KAVET_FUZZ_CHECK(processorUnknown_ && controllerUnknown_, "the part makes its classes");
        component_ = ask<IComponent>(processorUnknown_.get());
        controller_ = ask<IEditController>(controllerUnknown_.get());
        KAVET_FUZZ_CHECK(component_->initialize(nullptr) == kResultOk, "the component starts");
        KAVET_FUZZ_CHECK(controller_->initialize(nullptr) == kResultOk, "the controller starts");
        KAVET_FUZZ_CHECK(controller_->getParameterCount() == layout_.params,
                         "the controller lists the configuration's parameters");
        // Connected, the controller takes its trim range from the component's effect.
        if (data_.ConsumeBool()) {
            controllerPoint_ = ask<IConnectionPoint>(controllerUnknown_.get());
            componentPoint_ = ask<IConnectionPoint>(processorUnknown_.get());
            KAVET_FUZZ_CHECK(controllerPoint_->connect(componentPoint_.get()) == kResultOk &&
                                 componentPoint_->connect(controllerPoint_.get()) == kResultOk,
                             "the two connect");
        }
    }

    ~Harness() {
        if (controllerPoint_) {
            controllerPoint_->disconnect(componentPoint_.get());
            componentPoint_->disconnect(controllerPoint_.get());
        }
        controller_->terminate();
        component_->terminate();
    }

    void run() {
        checkAgreement(componentState());
        constexpr int kMaxSteps = 8;
        for (int steps = 0; steps < kMaxSteps && data_.remaining_bytes() > 0; ++steps)
            step();
    }

private:
    std::vector<std::uint8_t> componentState() {
        SinkStream sink;
        KAVET_FUZZ_CHECK(component_->getState(&sink) == kResultOk, "the component gives its state");
        KAVET_FUZZ_CHECK(sink.bytes.size() == static_cast<std::size_t>(layout_.stateBytes),
                         "the state is exactly one chunk long");
        return sink.bytes;
    }

    std::vector<double> controllerValues() {
        std::vector<double> values;
        for (int i = 0; i < layout_.params; ++i)
            values.push_back(controller_->getParamNormalized(static_cast<ParamID>(i)));
        return values;
    }

    // Mostly one state's size; else a size near it (the other configuration's among them)
    // or any size up to 256.
    std::vector<std::uint8_t> chooseBytes() {
        std::size_t size = static_cast<std::size_t>(layout_.stateBytes);
        switch (data_.ConsumeIntegralInRange<int>(0, 3)) {
        case 2:
            size =
                static_cast<std::size_t>(layout_.stateBytes + data_.ConsumeIntegralInRange(-5, 5));
            break;
        case 3:
            size = data_.ConsumeIntegralInRange<std::size_t>(0, 256);
            break;
        default:
            break;
        }
        std::vector<std::uint8_t> bytes = data_.ConsumeBytes<std::uint8_t>(size);
        bytes.resize(size); // zeros when the input runs out
        return bytes;
    }

    Script chooseScript(int size) {
        Script s;
        const std::uint8_t faults = data_.ConsumeIntegral<std::uint8_t>(); // a bit per fault
        if (faults == 0xFF) {
            s.null = true;
            return s;
        }
        if (faults & 0x01) s.chunk = data_.ConsumeIntegralInRange(1, 16);
        if (faults & 0x02) s.failAt = data_.ConsumeIntegralInRange(0, size + 2);
        if (faults & 0x04) {
            s.endAt = data_.ConsumeIntegralInRange(0, size + 2);
            s.endCount =
                data_.ConsumeBool() ? 0 : data_.ConsumeIntegralInRange<int32>(INT32_MIN, -1);
        }
        if (faults & 0x08) {
            s.lieAt = data_.ConsumeIntegralInRange(1, 4);
            s.lieBy = data_.ConsumeIntegralInRange<int32>(1, INT32_MAX);
        }
        return s;
    }

    void step() {
        const std::vector<std::uint8_t> bytes = chooseBytes();
        const Script script = chooseScript(static_cast<int>(bytes.size()));
        const std::vector<std::uint8_t> before = componentState();
        const std::vector<double> valuesBefore = controllerValues();
        const double trimBefore = controller_->normalizedParamToPlain(kTrimId, 1.0);

        ScriptedStream forComponent(bytes, script), forController(bytes, script);
        const tresult componentAnswer = component_->setState(script.null ? nullptr : &forComponent);
        const tresult controllerAnswer =
            controller_->setComponentState(script.null ? nullptr : &forController);
        const bool due = !script.null && forComponent.handedOverExactly(layout_.stateBytes);
        KAVET_FUZZ_CHECK(componentAnswer == (due ? kResultOk : kResultFalse),
                         "the component takes exactly one state's bytes and refuses the rest");
        KAVET_FUZZ_CHECK(controllerAnswer == componentAnswer,
                         "the controller takes the bytes the component takes");

        // The controller's values as the streams left them, before the fixed point below
        // gives it the component's own state.
        const std::vector<std::uint8_t> after = componentState();
        checkAgreement(after);
        if (due) {
            checkFixedPoint(after);
        } else {
            KAVET_FUZZ_CHECK(after == before, "a refused state leaves the component as it was");
            const std::vector<double> values = controllerValues();
            for (int i = 0; i < layout_.params; ++i)
                KAVET_FUZZ_CHECK(std::bit_cast<std::uint64_t>(values[i]) ==
                                     std::bit_cast<std::uint64_t>(valuesBefore[i]),
                                 "a refused state leaves the controller's values as they were");
            KAVET_FUZZ_CHECK(controller_->normalizedParamToPlain(kTrimId, 1.0) == trimBefore,
                             "a refused state leaves the controller's trim range as it was");
        }
        checkTexts();
    }

    // The state the component gives back goes in again, to both, and comes out the same.
    void checkFixedPoint(const std::vector<std::uint8_t>& state) {
        ScriptedStream forComponent(state, Script{}), forController(state, Script{});
        KAVET_FUZZ_CHECK(component_->setState(&forComponent) == kResultOk,
                         "the component takes its own state back");
        KAVET_FUZZ_CHECK(controller_->setComponentState(&forController) == kResultOk,
                         "the controller takes the component's state");
        KAVET_FUZZ_CHECK(componentState() == state, "a state restores to the same bytes");
        checkAgreement(state);
    }

    // getState's words within their ranges, and the controller's values those of the state.
    void checkAgreement(const std::vector<std::uint8_t>& state) {
        const std::vector<double> values = controllerValues();
        for (int i = 0; i < layout_.params; ++i) {
            const float p = floatWord(state, i);
            KAVET_FUZZ_CHECK(p >= 0.0f && p <= 1.0f && !std::signbit(p),
                             "a state's parameter word is within 0..1");
            KAVET_FUZZ_CHECK(!std::isnan(values[i]) && values[i] >= 0.0 && values[i] <= 1.0,
                             "a controller's value is within 0..1");
            KAVET_FUZZ_CHECK(values[i] == static_cast<double>(p),
                             "the controller's value is the component's parameter");
        }
        for (int w = 0; w < kStateEditorWords; ++w)
            KAVET_FUZZ_CHECK(std::isfinite(floatWord(state, layout_.params + w)),
                             "a state's editor word is a number");
        const int prefs = layout_.params + kStateEditorWords;
        for (int w = 0; w < kavet::kPrefWords; ++w) {
            const auto pref = static_cast<std::int32_t>(word(state, prefs + w));
            KAVET_FUZZ_CHECK(pref >= 0 && pref <= kavet::kPrefMax[w],
                             "a state's preference word is within its row");
        }
        const auto trimWord = static_cast<std::int32_t>(word(state, prefs + kavet::kPrefTrimRange));
        KAVET_FUZZ_CHECK(controller_->normalizedParamToPlain(kTrimId, 1.0) ==
                             kTrimRangesDb[trimWord],
                         "the controller's trim range is the state's");
    }

    // Each value's text and its value back; an awkward value; a text of any units.
    void checkTexts() {
        for (int i = 0; i < layout_.params; ++i) {
            const auto id = static_cast<ParamID>(i);
            Text128 text;
            KAVET_FUZZ_CHECK(controller_->getParamStringByValue(id,
                                                                controller_->getParamNormalized(id),
                                                                text.units.get()) == kResultOk,
                             "a value has a text");
            KAVET_FUZZ_CHECK(text.terminated(), "a text ends within its 128 units");
            checkValueOf(id, text);

            const double awkward = fuzz::awkwardFloat(data_);
            Text128 other;
            const tresult answer =
                controller_->getParamStringByValue(id, awkward, other.units.get());
            KAVET_FUZZ_CHECK(answer == (std::isnan(awkward) ? kInvalidArgument : kResultOk),
                             "any value but NaN has a text");
            if (answer == kResultOk)
                KAVET_FUZZ_CHECK(other.terminated(), "a text ends in 128 units");
        }
        // Typed text: the bytes widened, one of them outside ASCII at times; all 128 units
        // without a terminator when the text is that long.
        Text128 typed;
        const std::string bytes = data_.ConsumeRandomLengthString(128);
        std::fill(typed.units.get(), typed.units.get() + 128, char16{0});
        for (std::size_t k = 0; k < bytes.size(); ++k)
            typed.units[k] = static_cast<char16>(static_cast<unsigned char>(bytes[k]));
        if (!bytes.empty() && data_.ConsumeBool())
            typed.units[data_.ConsumeIntegralInRange<std::size_t>(0, bytes.size() - 1)] = 0xD83D;
        checkValueOf(static_cast<ParamID>(data_.ConsumeIntegralInRange(0, layout_.params - 1)),
                     typed);
    }

    void checkValueOf(ParamID id, Text128& text) {
        ParamValue value = -1.0;
        const tresult answer = controller_->getParamValueByString(id, text.units.get(), value);
        KAVET_FUZZ_CHECK(answer == kResultOk || answer == kResultFalse, "a text has an answer");
        if (answer == kResultOk)
            KAVET_FUZZ_CHECK(!std::isnan(value) && value >= 0.0 && value <= 1.0,
                             "a text's value is within 0..1");
    }

    FuzzedDataProvider& data_;
    const Layout layout_;
    Ref<FUnknown> processorUnknown_, controllerUnknown_;
    Ref<IComponent> component_;
    Ref<IEditController> controller_;
    Ref<IConnectionPoint> controllerPoint_, componentPoint_;
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
