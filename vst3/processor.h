// Processing: the set-up, the buffers of one call, the sample-accurate parameter changes
// that come with it, and the processor interface itself.
#pragma once

#include "component.h"

#include <cstddef>

namespace kavet::vst3 {

using ParamID = uint32;
using ParamValue = double;         // normalised, 0 to 1
using SpeakerArrangement = uint64; // one bit per speaker
inline constexpr SpeakerArrangement kSpeakerL = 1 << 0;
inline constexpr SpeakerArrangement kSpeakerR = 1 << 1;
inline constexpr SpeakerArrangement kSpeakerM = 1 << 19;
inline constexpr SpeakerArrangement kArrMono = kSpeakerM;
inline constexpr SpeakerArrangement kArrStereo = kSpeakerL | kSpeakerR;

enum ProcessModes : int32 { kRealtime = 0, kPrefetch = 1, kOffline = 2 };
enum SymbolicSampleSizes : int32 { kSample32 = 0, kSample64 = 1 };
inline constexpr uint32 kNoTail = 0;

// One parameter's changes in one block: points in increasing sample offset.
class IParamValueQueue : public FUnknown {
public:
    static constexpr Uid iid = Uid::of(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);

    virtual ParamID KAVET_VST3_CALL getParameterId() = 0;
    virtual int32 KAVET_VST3_CALL getPointCount() = 0;
    virtual tresult KAVET_VST3_CALL getPoint(int32 index, int32& sampleOffset,
                                             ParamValue& value) = 0;
    virtual tresult KAVET_VST3_CALL addPoint(int32 sampleOffset, ParamValue value,
                                             int32& index) = 0;

protected:
    ~IParamValueQueue() = default;
};

// The queues of one block, one per parameter that changed.
class IParameterChanges : public FUnknown {
public:
    static constexpr Uid iid = Uid::of(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);

    virtual int32 KAVET_VST3_CALL getParameterCount() = 0;
    virtual IParamValueQueue* KAVET_VST3_CALL getParameterData(int32 index) = 0;
    virtual IParamValueQueue* KAVET_VST3_CALL addParameterData(const ParamID& id, int32& index) = 0;

protected:
    ~IParameterChanges() = default;
};

struct Event; // note and data events: an effect without event buses never reads one

class IEventList : public FUnknown {
public:
    static constexpr Uid iid = Uid::of(0x3A2C4214, 0x346349FE, 0xB2C4F397, 0xB9695A44);

    virtual int32 KAVET_VST3_CALL getEventCount() = 0;
    virtual tresult KAVET_VST3_CALL getEvent(int32 index, Event& e) = 0;
    virtual tresult KAVET_VST3_CALL addEvent(Event& e) = 0;

protected:
    ~IEventList() = default;
};

struct ProcessContext; // transport and tempo: not read by this effect

// The structures have their members' natural alignment on every platform.
struct ProcessSetup {
    int32 processMode;
    int32 symbolicSampleSize;
    int32 maxSamplesPerBlock;
    double sampleRate;
};

struct AudioBusBuffers {
    int32 numChannels;
    uint64 silenceFlags; // bit n: channel n is exact silence
    union {
        float** channelBuffers32;
        double** channelBuffers64;
    };
};

struct ProcessData {
    int32 processMode;
    int32 symbolicSampleSize;
    int32 numSamples;
    int32 numInputs; // buses
    int32 numOutputs;
    AudioBusBuffers* inputs;
    AudioBusBuffers* outputs;
    IParameterChanges* inputParameterChanges;
    IParameterChanges* outputParameterChanges;
    IEventList* inputEvents;
    IEventList* outputEvents;
    ProcessContext* processContext;
};

static_assert(offsetof(ProcessSetup, sampleRate) == 16 && sizeof(ProcessSetup) == 24);
static_assert(offsetof(AudioBusBuffers, channelBuffers32) == 16);
static_assert(offsetof(ProcessData, inputs) == (sizeof(void*) == 8 ? 24 : 20));

class IAudioProcessor : public FUnknown {
public:
    static constexpr Uid iid = Uid::of(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);

    // kResultTrue when the arrangement is taken; kResultFalse refuses it.
    virtual tresult KAVET_VST3_CALL setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                       SpeakerArrangement* outputs,
                                                       int32 numOuts) = 0;
    virtual tresult KAVET_VST3_CALL getBusArrangement(int32 dir, int32 index,
                                                      SpeakerArrangement& arr) = 0;
    virtual tresult KAVET_VST3_CALL canProcessSampleSize(int32 symbolicSampleSize) = 0;
    virtual uint32 KAVET_VST3_CALL getLatencySamples() = 0;
    virtual tresult KAVET_VST3_CALL setupProcessing(ProcessSetup& setup) = 0;
    virtual tresult KAVET_VST3_CALL setProcessing(TBool state) = 0;
    virtual tresult KAVET_VST3_CALL process(ProcessData& data) = 0;
    virtual uint32 KAVET_VST3_CALL getTailSamples() = 0;

protected:
    ~IAudioProcessor() = default;
};

} // namespace kavet::vst3
