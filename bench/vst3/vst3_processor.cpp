#include "vst3_processor.h"

#include "memory_stream.h"

#include "hosts/common/host_error.h"

#include <dlfcn.h>

namespace kavet::bench {

using host::HostError;
using namespace vst3;

namespace {

void expect(bool ok, const std::string& what) {
    if (!ok) throw HostError("VST 3 processor: " + what);
}

} // namespace

Vst3Processor::Vst3Processor(const std::string& path, int classIndex, int channels, double rate,
                             int maxFrames, const std::vector<std::uint8_t>& state) {
    input_.numChannels = output_.numChannels = channels;
    data_.processMode = kRealtime;
    data_.symbolicSampleSize = kSample32;
    data_.numInputs = data_.numOutputs = 1;
    data_.inputs = &input_;
    data_.outputs = &output_;
    try {
        load(path);
        create(classIndex);
        start(rate, maxFrames, state);
    } catch (...) {
        close();
        throw;
    }
}

Vst3Processor::~Vst3Processor() {
    close();
}

void Vst3Processor::load(const std::string& path) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    expect(handle_ != nullptr, "cannot load " + path);
    auto entry = reinterpret_cast<ModuleEntryProc>(dlsym(handle_, "ModuleEntry"));
    auto getFactory = reinterpret_cast<GetFactoryProc>(dlsym(handle_, "GetPluginFactory"));
    expect(entry != nullptr && getFactory != nullptr, path + " lacks the module's entries");
    expect(entry(handle_), "ModuleEntry refused the load");
    factory_ = getFactory();
    expect(factory_ != nullptr, "no factory");
}

void Vst3Processor::create(int classIndex) {
    PClassInfo info{};
    expect(factory_->getClassInfo(classIndex, &info) == kResultOk &&
               std::string(info.category) == kAudioEffectClass,
           "class " + std::to_string(classIndex) + " is no audio effect");
    void* obj = nullptr;
    expect(factory_->createInstance(reinterpret_cast<const char*>(info.cid), IComponent::iid.data(),
                                    &obj) == kResultOk &&
               obj != nullptr,
           "the factory made no component");
    component_ = static_cast<IComponent*>(obj);
    processor_ = queryAs<IAudioProcessor>(component_);
    expect(processor_ != nullptr, "the component is no audio processor");
}

void Vst3Processor::start(double rate, int maxFrames, const std::vector<std::uint8_t>& state) {
    expect(component_->initialize(nullptr) == kResultOk, "initialize failed");
    ProcessSetup setup{kRealtime, kSample32, maxFrames, rate};
    expect(processor_->setupProcessing(setup) == kResultOk, "setupProcessing refused");
    MemoryStream stream(state);
    expect(component_->setState(&stream) == kResultOk, "the state was refused");
    expect(component_->setActive(1) == kResultOk, "setActive(1) refused");
    active_ = true;
    expect(processor_->setProcessing(1) == kResultOk, "setProcessing(1) refused");
    processing_ = true;
}

void Vst3Processor::process(float** in, float** out, int frames) {
    input_.channelBuffers32 = in;
    output_.channelBuffers32 = out;
    data_.numSamples = frames;
    // The message only on failure: a block's cost is the module's alone.
    if (processor_->process(data_) != kResultOk) expect(false, "process() failed");
}

void Vst3Processor::close() {
    if (processing_) processor_->setProcessing(0);
    if (active_) component_->setActive(0);
    processing_ = active_ = false;
    if (processor_ != nullptr) processor_->release();
    if (component_ != nullptr) {
        component_->terminate();
        component_->release();
    }
    processor_ = nullptr;
    component_ = nullptr;
    if (factory_ != nullptr) factory_->release();
    factory_ = nullptr;
    if (handle_ != nullptr) {
        if (auto exit = reinterpret_cast<ModuleExitProc>(dlsym(handle_, "ModuleExit"))) exit();
        dlclose(handle_);
    }
    handle_ = nullptr;
}

} // namespace kavet::bench
