#include "vst3_plugin.h"

#include "host_error.h"
#include "vst3_memory_stream.h"

#include <cstring>

namespace kavet::host {

using namespace vst3;

namespace {

template <class I> Ref<I> own(I* object) {
    return Ref<I>::adopt(object);
}

// Bit c set when every sample of channel c is zero (either sign).
template <class Sample>
uint64 silentChannels(const Sample* const* channels, int32 count, int32 frames) {
    uint64 flags = 0;
    for (int32 c = 0; c < count && c < 64; ++c) {
        bool silent = true;
        for (int32 i = 0; i < frames && silent; ++i)
            silent = channels[c][i] == Sample(0);
        if (silent) flags |= uint64{1} << c;
    }
    return flags;
}

// Stands for `source`'s peer: `source` is connected to the proxy, whose connect() names the
// peer its messages go to.
class ConnectionProxy final : public HostObject<ConnectionProxy, IConnectionPoint> {
public:
    explicit ConnectionProxy(IConnectionPoint* source)
        : source_(Ref<IConnectionPoint>::share(source)) {}

    tresult KAVET_VST3_CALL connect(IConnectionPoint* other) override {
        if (other == nullptr) return kInvalidArgument;
        if (peer_) return kResultFalse;
        peer_ = Ref<IConnectionPoint>::share(other);
        const tresult result = source_->connect(this);
        if (result != kResultOk) peer_.reset();
        return result;
    }
    tresult KAVET_VST3_CALL disconnect(IConnectionPoint* other) override {
        if (!peer_ || other != peer_.get()) return kResultFalse;
        source_->disconnect(this);
        peer_.reset();
        return kResultOk;
    }
    tresult KAVET_VST3_CALL notify(IMessage* message) override {
        return peer_ ? peer_->notify(message) : kResultFalse;
    }

private:
    Ref<IConnectionPoint> source_;
    Ref<IConnectionPoint> peer_;
};

} // namespace

Vst3Plugin::Vst3Plugin(std::shared_ptr<const Vst3Module> module, const Uid& cid,
                       Connection connection)
    : module_(std::move(module)), application_(own(new HostApplication)),
      handler_(own(new RecordingHandler)), inputChanges_(own(new ParameterChanges)),
      outputChanges_(own(new ParameterChanges)) {
    const std::string& path = module_->binaryPath();
    component_ = module_->create<IComponent>(cid);
    if (!component_) throw HostError("module '" + path + "' made no component of that class");
    if (component_->initialize(application_.get()) != kResultOk) {
        component_.reset();
        throw HostError("module '" + path + "': the component refused initialize");
    }
    processor_ = component_.as<IAudioProcessor>();
    controller_ = component_.as<IEditController>();
    if (!controller_) {
        char controllerCid[16] = {};
        Uid id{};
        if (component_->getControllerClassId(controllerCid) == kResultOk) {
            std::memcpy(id.bytes, controllerCid, sizeof id.bytes);
            controller_ = module_->create<IEditController>(id);
        }
        if (controller_ && controller_->initialize(application_.get()) == kResultOk) {
            separateController_ = true;
        } else {
            controller_.reset();
            component_->terminate();
            processor_.reset();
            component_.reset();
            throw HostError("module '" + path + "': no controller for the component");
        }
        componentPoint_ = component_.as<IConnectionPoint>();
        controllerPoint_ = controller_.as<IConnectionPoint>();
        if (componentPoint_ && controllerPoint_ && connection == Connection::Direct) {
            componentPoint_->connect(controllerPoint_.get());
            controllerPoint_->connect(componentPoint_.get());
        } else if (componentPoint_ && controllerPoint_) {
            componentProxy_ = own<IConnectionPoint>(new ConnectionProxy(componentPoint_.get()));
            controllerProxy_ = own<IConnectionPoint>(new ConnectionProxy(controllerPoint_.get()));
            componentProxy_->connect(controllerPoint_.get());
            controllerProxy_->connect(componentPoint_.get());
        }
    }
    controller_->setComponentHandler(handler_.get());
    const std::vector<unsigned char> bytes = state();
    const Ref<MemoryStream> stream = own(new MemoryStream(bytes));
    controller_->setComponentState(stream.get());

    inputChannels_ = mainBusChannels(kInput);
    outputChannels_ = mainBusChannels(kOutput);
    inputPointers_.resize(static_cast<std::size_t>(inputChannels_));
    outputPointers_.resize(static_cast<std::size_t>(outputChannels_));
}

Vst3Plugin::~Vst3Plugin() {
    deactivate();
    if (componentProxy_) {
        componentProxy_->disconnect(controllerPoint_.get());
        controllerProxy_->disconnect(componentPoint_.get());
    } else if (componentPoint_ && controllerPoint_) {
        componentPoint_->disconnect(controllerPoint_.get());
        controllerPoint_->disconnect(componentPoint_.get());
    }
    componentProxy_.reset();
    controllerProxy_.reset();
    componentPoint_.reset();
    controllerPoint_.reset();
    controller_->setComponentHandler(nullptr);
    if (separateController_) controller_->terminate();
    component_->terminate();
    controller_.reset();
    processor_.reset();
    component_.reset();
}

int32 Vst3Plugin::mainBusChannels(int32 direction) const {
    if (component_->getBusCount(kAudio, direction) < 1) return 0;
    BusInfo bus{};
    if (component_->getBusInfo(kAudio, direction, 0, bus) != kResultOk) return 0;
    component_->activateBus(kAudio, direction, 0, 1);
    return bus.channelCount;
}

bool Vst3Plugin::setup(double sampleRate, int32 maxBlock, int32 sampleSize) {
    if (active_ || !processor_) return false;
    ProcessSetup s{kRealtime, sampleSize, maxBlock, sampleRate};
    setUp_ = processor_->setupProcessing(s) == kResultOk;
    if (setUp_) {
        sampleSize_ = sampleSize;
        maxBlock_ = maxBlock;
    }
    return setUp_;
}

bool Vst3Plugin::activate() {
    if (active_) return true;
    if (!setUp_ || component_->setActive(1) != kResultOk) return false;
    active_ = true;
    // Processing may be refused by plug-ins that need no such call (kNotImplemented).
    const tresult processing = processor_->setProcessing(1);
    return processing == kResultOk || processing == kNotImplemented;
}

void Vst3Plugin::deactivate() {
    if (!active_) return;
    processor_->setProcessing(0);
    component_->setActive(0);
    active_ = false;
}

template <class Sample>
ProcessResult Vst3Plugin::processBlock(const Sample* const* inputs, Sample* const* outputs,
                                       int32 frames, std::span<const ParamChange> changes,
                                       int32 sampleSize) {
    ProcessResult result;
    if (!active_ || sampleSize != sampleSize_ || frames < 0 || frames > maxBlock_ ||
        !inputChanges_->assign(changes))
        return result;
    outputChanges_->clear();
    for (int32 c = 0; c < inputChannels_; ++c)
        inputPointers_[static_cast<std::size_t>(c)] = const_cast<Sample*>(inputs[c]);
    for (int32 c = 0; c < outputChannels_; ++c)
        outputPointers_[static_cast<std::size_t>(c)] = outputs[c];

    AudioBusBuffers in{}, out{};
    in.numChannels = inputChannels_;
    in.silenceFlags = silentChannels(inputs, inputChannels_, frames);
    out.numChannels = outputChannels_;
    if constexpr (sizeof(Sample) == sizeof(float)) {
        in.channelBuffers32 = reinterpret_cast<float**>(inputPointers_.data());
        out.channelBuffers32 = reinterpret_cast<float**>(outputPointers_.data());
    } else {
        in.channelBuffers64 = reinterpret_cast<double**>(inputPointers_.data());
        out.channelBuffers64 = reinterpret_cast<double**>(outputPointers_.data());
    }
    ProcessData data{};
    data.processMode = kRealtime;
    data.symbolicSampleSize = sampleSize;
    data.numSamples = frames;
    data.numInputs = inputChannels_ > 0 ? 1 : 0;
    data.numOutputs = outputChannels_ > 0 ? 1 : 0;
    data.inputs = data.numInputs > 0 ? &in : nullptr;
    data.outputs = data.numOutputs > 0 ? &out : nullptr;
    data.inputParameterChanges = inputChanges_.get();
    data.outputParameterChanges = outputChanges_.get();
    result.ok = processor_->process(data) == kResultOk;
    result.silenceFlags = out.silenceFlags;
    return result;
}

ProcessResult Vst3Plugin::process(const float* const* inputs, float* const* outputs, int32 frames,
                                  std::span<const ParamChange> changes) {
    return processBlock(inputs, outputs, frames, changes, kSample32);
}

ProcessResult Vst3Plugin::process(const double* const* inputs, double* const* outputs, int32 frames,
                                  std::span<const ParamChange> changes) {
    return processBlock(inputs, outputs, frames, changes, kSample64);
}

std::vector<unsigned char> Vst3Plugin::state() const {
    const Ref<MemoryStream> stream = own(new MemoryStream);
    if (component_->getState(stream.get()) != kResultOk) return {};
    return stream->bytes();
}

tresult Vst3Plugin::setState(const std::vector<unsigned char>& bytes) {
    const Ref<MemoryStream> stream = own(new MemoryStream(bytes));
    const tresult result = component_->setState(stream.get());
    if (result == kResultOk) {
        const Ref<MemoryStream> copy = own(new MemoryStream(bytes));
        controller_->setComponentState(copy.get());
    }
    return result;
}

Ref<IPlugView> Vst3Plugin::createView() const {
    return own(controller_->createView(kEditorViewName));
}

} // namespace kavet::host
