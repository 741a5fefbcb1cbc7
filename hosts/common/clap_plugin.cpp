#include "clap_plugin.h"

#include "host_error.h"

#include <cstdint>

namespace kavet::host {

using namespace clap;

namespace {

constexpr uint32 kMaxBlockRange = 0x7FFFFFFF; // 2^31 - 1

// Bit c set when every sample of channel c equals its first (none for an empty block).
template <class Sample>
uint64 constantChannels(const Sample* const* channels, uint32 count, uint32 frames) {
    uint64 mask = 0;
    if (channels == nullptr || frames == 0) return 0;
    for (uint32 c = 0; c < count && c < 64; ++c) {
        if (channels[c] == nullptr) continue;
        bool constant = true;
        for (uint32 i = 1; i < frames && constant; ++i)
            constant = channels[c][i] == channels[c][0];
        if (constant) mask |= uint64{1} << c;
    }
    return mask;
}

} // namespace

ClapPlugin::ClapPlugin(std::shared_ptr<const ClapModule> module, const std::string& id)
    : module_(std::move(module)), loop_(*this), host_(loop_) {
    host_.setAudioThread(audio_.id());
    const PluginFactory* factory = module_->factory();
    plugin_ = factory->create_plugin(factory, host_.get(), id.c_str());
    if (plugin_ == nullptr)
        throw HostError("module '" + module_->path() + "' made no plug-in '" + id + "'");
    host_.setInitialised(true);
    if (!plugin_->init(plugin_)) {
        plugin_->destroy(plugin_);
        throw HostError("module '" + module_->path() + "': plug-in '" + id + "' refused init");
    }
    params_ = extension<PluginParams>(kExtParams);
    audioPorts_ = extension<PluginAudioPorts>(kExtAudioPorts);
    state_ = extension<PluginState>(kExtState);
    latency_ = extension<PluginLatency>(kExtLatency);
    gui_ = extension<PluginGui>(kExtGui);
    timerSupport_ = extension<PluginTimerSupport>(kExtTimerSupport);
    posixFdSupport_ = extension<PluginPosixFdSupport>(kExtPosixFdSupport);
    readPorts();
}

void ClapPlugin::close() {
    if (closed_) return;
    guiDestroy();
    deactivate();
    plugin_->destroy(plugin_);
    host_.setInitialised(false);
    closed_ = true;
}

ClapPlugin::~ClapPlugin() {
    close();
}

template <class T> const T* ClapPlugin::extension(const char* id) const {
    return static_cast<const T*>(plugin_->get_extension(plugin_, id));
}

void ClapPlugin::readPorts() {
    if (audioPorts_ == nullptr) return;
    bool wide = true;
    for (bool input : {true, false}) {
        AudioPortInfo info{};
        if (audioPorts_->count(plugin_, input) < 1 || !audioPorts_->get(plugin_, 0, input, &info))
            continue;
        (input ? inputChannels_ : outputChannels_) = info.channel_count;
        wide = wide && (info.flags & kAudioPortSupports64Bits) != 0;
    }
    takes64Bits_ = wide && (inputChannels_ > 0 || outputChannels_ > 0);
    inputPointers_.resize(inputChannels_);
    outputPointers_.resize(outputChannels_);
}

bool ClapPlugin::activate(double sampleRate, uint32 minFrames, uint32 maxFrames) {
    if (active_ || minFrames < 1 || maxFrames < minFrames || maxFrames > kMaxBlockRange)
        return false;
    host_.setActive(true);
    active_ = plugin_->activate(plugin_, sampleRate, minFrames, maxFrames);
    host_.setActive(active_);
    if (active_) maxFrames_ = maxFrames;
    return active_;
}

void ClapPlugin::deactivate() {
    if (!active_) return;
    stopProcessing();
    plugin_->deactivate(plugin_);
    active_ = false;
    host_.setActive(false);
}

bool ClapPlugin::startProcessing() {
    if (!active_ || processing_) return false;
    audio_.run([this] { processing_ = plugin_->start_processing(plugin_); });
    return processing_;
}

void ClapPlugin::stopProcessing() {
    if (!processing_) return;
    audio_.run([this] { plugin_->stop_processing(plugin_); });
    processing_ = false;
}

void ClapPlugin::reset() {
    if (active_) audio_.run([this] { plugin_->reset(plugin_); });
}

template <class Sample>
ClapProcessResult ClapPlugin::processOnThisThread(const Sample* const* inputs,
                                                  Sample* const* outputs, uint32 frames,
                                                  const EventList& events) {
    outputEvents_.clear();
    for (uint32 c = 0; c < inputChannels_; ++c)
        inputPointers_[c] = inputs != nullptr ? const_cast<Sample*>(inputs[c]) : nullptr;
    for (uint32 c = 0; c < outputChannels_; ++c)
        outputPointers_[c] = outputs != nullptr ? outputs[c] : nullptr;
    AudioBuffer in{nullptr, nullptr, inputChannels_, 0,
                   constantChannels(inputs, inputChannels_, frames)};
    AudioBuffer out{nullptr, nullptr, outputChannels_, 0, 0};
    if constexpr (sizeof(Sample) == sizeof(float)) {
        in.data32 = reinterpret_cast<float**>(inputPointers_.data());
        out.data32 = reinterpret_cast<float**>(outputPointers_.data());
    } else {
        in.data64 = reinterpret_cast<double**>(inputPointers_.data());
        out.data64 = reinterpret_cast<double**>(outputPointers_.data());
    }
    const InputEventsView inEvents(events);
    const OutputEventsView outEvents(outputEvents_);
    const Process p{steadyTime_,
                    frames,
                    nullptr,
                    inputChannels_ > 0 ? &in : nullptr,
                    outputChannels_ > 0 ? &out : nullptr,
                    inputChannels_ > 0 ? 1u : 0u,
                    outputChannels_ > 0 ? 1u : 0u,
                    inEvents.get(),
                    outEvents.get()};
    steadyTime_ += frames;
    ClapProcessResult result;
    result.called = true;
    result.status = plugin_->process(plugin_, &p);
    result.constantMask = out.constant_mask;
    return result;
}

template <class Sample>
ClapProcessResult ClapPlugin::processBlock(const Sample* const* inputs, Sample* const* outputs,
                                           uint32 frames, const EventList& events) {
    const bool wide = sizeof(Sample) == sizeof(double);
    if (!processing_ || frames > maxFrames_ || (wide && !takes64Bits_)) return {};
    ClapProcessResult result;
    audio_.run([&] { result = processOnThisThread(inputs, outputs, frames, events); });
    return result;
}

ClapProcessResult ClapPlugin::process(const float* const* inputs, float* const* outputs,
                                      uint32 frames, const EventList& events) {
    return processBlock(inputs, outputs, frames, events);
}

ClapProcessResult ClapPlugin::process(const double* const* inputs, double* const* outputs,
                                      uint32 frames, const EventList& events) {
    return processBlock(inputs, outputs, frames, events);
}

ClapProcessResult ClapPlugin::processUnchecked(const float* const* inputs, float* const* outputs,
                                               uint32 frames, const EventList& events) {
    return processOnThisThread(inputs, outputs, frames, events);
}

bool ClapPlugin::flush(const EventList& events) {
    if (params_ == nullptr) return false;
    outputEvents_.clear();
    const InputEventsView in(events);
    const OutputEventsView out(outputEvents_);
    if (active_)
        audio_.run([&] { params_->flush(plugin_, in.get(), out.get()); });
    else
        params_->flush(plugin_, in.get(), out.get());
    return true;
}

std::vector<ParamInfo> ClapPlugin::paramInfos() const {
    std::vector<ParamInfo> infos;
    const uint32 count = params_ != nullptr ? params_->count(plugin_) : 0;
    for (uint32 i = 0; i < count; ++i) {
        ParamInfo info{};
        if (params_->get_info(plugin_, i, &info)) infos.push_back(info);
    }
    return infos;
}

std::optional<double> ClapPlugin::value(Id id) const {
    double v = 0.0;
    if (params_ == nullptr || !params_->get_value(plugin_, id, &v)) return std::nullopt;
    return v;
}

std::optional<std::vector<unsigned char>> ClapPlugin::saveState(StreamFaults faults) const {
    MemoryOutputStream stream(faults);
    if (state_ == nullptr || !state_->save(plugin_, stream.get())) return std::nullopt;
    return stream.bytes();
}

bool ClapPlugin::loadState(const std::vector<unsigned char>& bytes, StreamFaults faults) const {
    MemoryInputStream stream(bytes, faults);
    return state_ != nullptr && state_->load(plugin_, stream.get());
}

bool ClapPlugin::guiCreate(const char* api) {
    if (gui_ == nullptr || guiCreated_) return false;
    guiCreated_ = gui_->create(plugin_, api, false);
    return guiCreated_;
}

bool ClapPlugin::guiSetParent(const Window& window) const {
    return guiCreated_ && gui_->set_parent(plugin_, &window);
}

bool ClapPlugin::guiShow() const {
    return guiCreated_ && gui_->show(plugin_);
}

bool ClapPlugin::guiHide() const {
    return guiCreated_ && gui_->hide(plugin_);
}

void ClapPlugin::guiDestroy() {
    if (!guiCreated_) return;
    gui_->destroy(plugin_);
    guiCreated_ = false;
}

void ClapPlugin::onTimer(Id id) {
    if (timerSupport_ != nullptr)
        timerSupport_->on_timer(plugin_, id);
    else
        host_.report(kLogPluginMisbehaving, "a timer was registered without timer-support");
}

void ClapPlugin::onFd(int fd, uint32 flags) {
    if (posixFdSupport_ != nullptr)
        posixFdSupport_->on_fd(plugin_, fd, flags);
    else
        host_.report(kLogPluginMisbehaving, "a descriptor was registered without posix-fd-support");
}

void ClapPlugin::onMainThread() {
    plugin_->on_main_thread(plugin_);
}

} // namespace kavet::host
