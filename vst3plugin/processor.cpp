#include "processor.h"

#include "classes.h"
#include "stream_bytes.h"
#include "text16.h"

#include "core/silence.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace kavet::vst3plugin {

using namespace vst3;

namespace {

// The effect asks its host only what it speaks (audioMasterVersion); everything else is
// answered "no", as a host without that feature would.
VstIntPtr VSTCALLBACK hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

constexpr SpeakerArrangement kArrangement = kStereo ? kArrStereo : kArrMono;
constexpr int kControllerClass = kStereo ? 1 : 3;

// One parameter's queue as process() walks it: the next point not yet applied.
struct Cursor {
    IParamValueQueue* queue;
    int param;
    int32 index;
    int32 count;
    int32 offset; // of the next point, within 0..frames
    double value;
};
// One queue per parameter is what hosts send; more than this many are not read.
constexpr int kMaxQueues = 16;

bool loadPoint(Cursor& c, int32 frames) {
    int32 offset = 0;
    double value = 0.0;
    if (c.index >= c.count || c.queue->getPoint(c.index, offset, value) != kResultOk) {
        c.index = c.count;
        return false;
    }
    c.offset = std::clamp(offset, 0, frames); // a point past the block takes effect after it
    c.value = value;
    return true;
}

int gatherQueues(IParameterChanges* changes, Cursor* cursors, int32 frames) {
    if (changes == nullptr) return 0;
    const int32 queues = changes->getParameterCount();
    int n = 0;
    for (int32 q = 0; q < queues && n < kMaxQueues; ++q) {
        IParamValueQueue* queue = changes->getParameterData(q);
        if (queue == nullptr) continue;
        const ParamID id = queue->getParameterId();
        if (id >= static_cast<ParamID>(kNumParams)) continue;
        Cursor c{queue, static_cast<int>(id), 0, queue->getPointCount(), 0, 0.0};
        if (loadPoint(c, frames)) cursors[n++] = c;
    }
    return n;
}

bool busReady(const AudioBusBuffers* buses, int32 count, bool wide) {
    if (buses == nullptr || count < 1 || buses[0].numChannels != kNumChannels) return false;
    void* const* channels = wide ? reinterpret_cast<void* const*>(buses[0].channelBuffers64)
                                 : reinterpret_cast<void* const*>(buses[0].channelBuffers32);
    if (channels == nullptr) return false;
    for (int c = 0; c < kNumChannels; ++c)
        if (channels[c] == nullptr) return false;
    return true;
}

} // namespace

Processor* Processor::create() {
    auto* plug = static_cast<Plug*>(createEffectInstance(hostCallback));
    if (plug == nullptr) return nullptr;
    auto* processor = new (std::nothrow) Processor(plug);
    if (processor == nullptr) delete plug;
    return processor;
}

Processor::Processor(Plug* plug) : plug_(plug) {}

Processor::~Processor() {
    terminate();
    delete plug_;
}

tresult Processor::queryInterface(const char* iid, void** obj) {
    return answerQuery<Processor, IComponent, IPluginBase, IAudioProcessor, IConnectionPoint,
                       IProcessorAccess>(this, iid, obj);
}

uint32 Processor::release() {
    const uint32 left = refs_.drop();
    if (left == 0) delete this;
    return left;
}

tresult Processor::initialize(FUnknown* context) {
    if (host_ != nullptr) return kResultFalse;
    host_ = queryAs<IHostApplication>(context);
    return kResultOk;
}

tresult Processor::terminate() {
    if (peer_ != nullptr) disconnect(peer_);
    if (host_ != nullptr) host_->release();
    host_ = nullptr;
    return kResultOk;
}

tresult Processor::getControllerClassId(char* classId) {
    if (classId == nullptr) return kInvalidArgument;
    std::memcpy(classId, kClasses[kControllerClass].cid.bytes, 16);
    return kResultOk;
}

tresult Processor::setIoMode(int32) {
    return kResultOk;
}

int32 Processor::getBusCount(int32 type, int32 dir) {
    return type == kAudio && (dir == kInput || dir == kOutput) ? 1 : 0;
}

tresult Processor::getBusInfo(int32 type, int32 dir, int32 index, BusInfo& bus) {
    if (type != kAudio || (dir != kInput && dir != kOutput) || index != 0) return kInvalidArgument;
    std::memset(&bus, 0, sizeof bus);
    bus.mediaType = kAudio;
    bus.direction = dir;
    bus.channelCount = kNumChannels;
    toText16(dir == kInput ? "Input" : "Output", bus.name, 128);
    bus.busType = kMain;
    bus.flags = BusInfo::kDefaultActive;
    return kResultOk;
}

tresult Processor::getRoutingInfo(RoutingInfo&, RoutingInfo&) {
    return kNotImplemented;
}

tresult Processor::activateBus(int32 type, int32 dir, int32 index, TBool) {
    if (type != kAudio || (dir != kInput && dir != kOutput) || index != 0) return kInvalidArgument;
    return kResultOk;
}

tresult Processor::setActive(TBool state) {
    if (state) {
        plug_->setSampleRate(static_cast<float>(rate_));
        plug_->resume();
        // The host's first values come with the first block: it resumes once more after
        // taking them, so that the gains start there, as for a VST 2.4 host that sets the
        // parameters before it resumes.
        resumeDue_ = true;
        active_.store(true, std::memory_order_release);
    } else {
        active_.store(false, std::memory_order_release);
        plug_->suspend();
    }
    return kResultOk;
}

tresult Processor::setState(IBStream* state) {
    unsigned char bytes[kChunkBytes];
    if (readState(state, bytes, kChunkBytes) != kChunkBytes) return kResultFalse;
    return plug_->setChunk(bytes, kChunkBytes, false) == kChunkBytes ? kResultOk : kResultFalse;
}

tresult Processor::getState(IBStream* state) {
    void* data = nullptr;
    const VstInt32 size = plug_->getChunk(&data, false);
    if (size != kChunkBytes || data == nullptr) return kInternalError;
    return writeState(state, data, size) ? kResultOk : kResultFalse;
}

tresult Processor::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                      SpeakerArrangement* outputs, int32 numOuts) {
    if (active()) return kResultFalse;
    const bool ours = numIns == 1 && numOuts == 1 && inputs != nullptr && outputs != nullptr &&
                      inputs[0] == kArrangement && outputs[0] == kArrangement;
    return ours ? kResultTrue : kResultFalse;
}

tresult Processor::getBusArrangement(int32 dir, int32 index, SpeakerArrangement& arr) {
    if ((dir != kInput && dir != kOutput) || index != 0) return kInvalidArgument;
    arr = kArrangement;
    return kResultOk;
}

tresult Processor::canProcessSampleSize(int32 symbolicSampleSize) {
    return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64 ? kResultTrue
                                                                              : kResultFalse;
}

tresult Processor::setupProcessing(ProcessSetup& setup) {
    if (active()) return kResultFalse;
    if (!(setup.sampleRate >= kMinSampleRate && setup.sampleRate <= kMaxSampleRate))
        return kInvalidArgument;
    if (canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue) return kInvalidArgument;
    rate_ = setup.sampleRate;
    plug_->setSampleRate(static_cast<float>(rate_));
    return kResultOk;
}

tresult Processor::setProcessing(TBool) {
    return active() ? kResultOk : kResultFalse;
}

tresult Processor::process(ProcessData& data) {
    if (!active_.load(std::memory_order_acquire)) return kNotInitialized;
    if (data.numSamples < 0) return kInvalidArgument;
    const bool wide = data.symbolicSampleSize == kSample64;
    if (!wide && data.symbolicSampleSize != kSample32) return kInvalidArgument;
    const bool audio = data.numSamples > 0 && busReady(data.inputs, data.numInputs, wide) &&
                       busReady(data.outputs, data.numOutputs, wide);
    if (data.numSamples > 0 && !audio) return kInvalidArgument;
    if (wide)
        run<double>(data, audio ? data.inputs[0].channelBuffers64 : nullptr,
                    audio ? data.outputs[0].channelBuffers64 : nullptr);
    else
        run<float>(data, audio ? data.inputs[0].channelBuffers32 : nullptr,
                   audio ? data.outputs[0].channelBuffers32 : nullptr);
    return kResultOk;
}

template <class Sample> void Processor::run(ProcessData& data, Sample** in, Sample** out) {
    const int32 frames = data.numSamples;
    Cursor cursors[kMaxQueues];
    const int queues = gatherQueues(data.inputParameterChanges, cursors, frames);
    if (queues == 0 && !resumeDue_ && frames > 0) {
        // No change in this block: the effect takes it whole.
        if constexpr (sizeof(Sample) == sizeof(double))
            plug_->processDoubleReplacing(in, out, frames);
        else
            plug_->processReplacing(in, out, frames);
        data.outputs[0].silenceFlags = silentChannels(out, kNumChannels, frames);
        return;
    }
    Sample* inAt[kNumChannels];
    Sample* outAt[kNumChannels];
    for (int32 at = 0;;) {
        // Every point due by `at` goes to the effect, which takes it at the start of the
        // span that follows; the span ends at the next point.
        int32 end = frames;
        for (int q = 0; q < queues; ++q) {
            Cursor& c = cursors[q];
            while (c.index < c.count && c.offset <= at) {
                plug_->setParameter(c.param, static_cast<float>(c.value));
                ++c.index;
                loadPoint(c, frames);
            }
            if (c.index < c.count) end = std::min(end, c.offset);
        }
        if (resumeDue_) {
            plug_->resume();
            resumeDue_ = false;
        }
        if (at >= frames) break;
        for (int c = 0; c < kNumChannels; ++c) {
            inAt[c] = in[c] + at;
            outAt[c] = out[c] + at;
        }
        if constexpr (sizeof(Sample) == sizeof(double))
            plug_->processDoubleReplacing(inAt, outAt, end - at);
        else
            plug_->processReplacing(inAt, outAt, end - at);
        at = end;
    }
    if (frames > 0) data.outputs[0].silenceFlags = silentChannels(out, kNumChannels, frames);
}

tresult Processor::connect(IConnectionPoint* other) {
    if (other == nullptr) return kInvalidArgument;
    if (peer_ != nullptr) return kResultFalse;
    peer_ = other;
    peer_->addRef();
    sendAccess();
    return kResultOk;
}

tresult Processor::disconnect(IConnectionPoint* other) {
    if (other == nullptr || other != peer_) return kResultFalse;
    peer_->release();
    peer_ = nullptr;
    return kResultOk;
}

tresult Processor::notify(IMessage*) {
    return kResultFalse;
}

void Processor::sendAccess() {
    if (host_ == nullptr || peer_ == nullptr) return;
    char messageId[16];
    std::memcpy(messageId, IMessage::iid.bytes, sizeof messageId);
    void* obj = nullptr;
    if (host_->createInstance(messageId, messageId, &obj) != kResultOk || obj == nullptr) return;
    auto* message = static_cast<IMessage*>(obj);
    message->setMessageID(kAccessMessage);
    IProcessorAccess* access = this;
    if (IAttributeList* attributes = message->getAttributes())
        attributes->setBinary(kAccessAttribute, &access, sizeof access);
    peer_->notify(message);
    message->release();
}

} // namespace kavet::vst3plugin
