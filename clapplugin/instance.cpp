#include "instance.h"

#include "state_stream.h"

#include "core/plug.h"

#include <kavet/host_window.h>

#include <cstdio>
#include <cstring>
#include <new>

namespace kavet::clapplugin {

using namespace clap;

namespace {

// The effect asks its host only what it speaks (audioMasterVersion); everything else is
// answered "no", as a host without that feature would.
VstIntPtr VSTCALLBACK hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

bool KAVET_CLAP_CALL pluginInit(const Plugin* plugin) {
    Instance* self = Instance::of(plugin);
    return self != nullptr && self->init();
}

void KAVET_CLAP_CALL pluginDestroy(const Plugin* plugin) {
    if (Instance* self = Instance::of(plugin)) self->destroy();
}

bool KAVET_CLAP_CALL pluginActivate(const Plugin* plugin, double rate, uint32 minFrames,
                                    uint32 maxFrames) {
    Instance* self = Instance::of(plugin);
    return self != nullptr && self->activate(rate, minFrames, maxFrames);
}

void KAVET_CLAP_CALL pluginDeactivate(const Plugin* plugin) {
    if (Instance* self = Instance::of(plugin)) self->deactivate();
}

bool KAVET_CLAP_CALL pluginStartProcessing(const Plugin* plugin) {
    Instance* self = Instance::of(plugin);
    return self != nullptr && self->startProcessing();
}

void KAVET_CLAP_CALL pluginStopProcessing(const Plugin* plugin) {
    if (Instance* self = Instance::of(plugin)) self->stopProcessing();
}

void KAVET_CLAP_CALL pluginReset(const Plugin* plugin) {
    if (Instance* self = Instance::of(plugin)) self->reset();
}

ProcessStatus KAVET_CLAP_CALL pluginProcess(const Plugin* plugin, const Process* process) {
    Instance* self = Instance::of(plugin);
    return self != nullptr ? self->process(process) : kProcessError;
}

const void* KAVET_CLAP_CALL pluginExtension(const Plugin* plugin, const char* id) {
    const Instance* self = Instance::of(plugin);
    return self != nullptr ? self->extension(id) : nullptr;
}

// Nothing is ever asked for through request_callback.
void KAVET_CLAP_CALL pluginOnMainThread(const Plugin* plugin) {
    if (const Instance* self = Instance::of(plugin))
        self->expect(Instance::Thread::main, "on_main_thread");
}

template <class Extension> const Extension* hostExtension(const Host* host, const char* id) {
    if (host->get_extension == nullptr) return nullptr;
    return static_cast<const Extension*>(host->get_extension(host, id));
}

} // namespace

const Plugin* Instance::create(const Host* host, const PluginDescriptor* descriptor) {
    auto* plug = static_cast<Plug*>(createEffectInstance(hostCallback));
    if (plug == nullptr) return nullptr;
    auto* instance = new (std::nothrow) Instance(host, descriptor, plug);
    if (instance == nullptr) {
        delete plug;
        return nullptr;
    }
    return &instance->plugin_;
}

Instance* Instance::of(const Plugin* plugin) {
    return plugin != nullptr ? static_cast<Instance*>(plugin->plugin_data) : nullptr;
}

Instance::Instance(const Host* host, const PluginDescriptor* descriptor, Plug* plug)
    : plugin_{descriptor,
              this,
              pluginInit,
              pluginDestroy,
              pluginActivate,
              pluginDeactivate,
              pluginStartProcessing,
              pluginStopProcessing,
              pluginReset,
              pluginProcess,
              pluginExtension,
              pluginOnMainThread},
      host_(host), plug_(plug) {}

Instance::~Instance() {
    delete plug_;
}

bool Instance::init() {
    if (initialised_) {
        misbehaving("init", "called twice");
        return true;
    }
    // Thread-check and log first: the checks of every later call, this one's included, use them.
    threadCheck_ = hostExtension<HostThreadCheck>(host_, kExtThreadCheck);
    if (threadCheck_ != nullptr &&
        (threadCheck_->is_main_thread == nullptr || threadCheck_->is_audio_thread == nullptr))
        threadCheck_ = nullptr;
    log_ = hostExtension<HostLog>(host_, kExtLog);
    if (log_ != nullptr && log_->log == nullptr) log_ = nullptr;
    expect(Thread::main, "init");
    hostParams_ = hostExtension<HostParams>(host_, kExtParams);
    hostState_ = hostExtension<HostState>(host_, kExtState);
    hostTimer_ = hostExtension<HostTimerSupport>(host_, kExtTimerSupport);
    hostFd_ = hostExtension<HostPosixFdSupport>(host_, kExtPosixFdSupport);
    initialised_ = true;
    return true;
}

void Instance::destroy() {
    expect(Thread::main, "destroy");
    if (active_.load(std::memory_order_acquire)) {
        misbehaving("destroy", "called while active");
        deactivate();
    }
    if (guiCreated_) guiDestroy();
    delete this;
}

bool Instance::activate(double sampleRate, uint32 minFrames, uint32 maxFrames) {
    expect(Thread::main, "activate");
    if (active_.load(std::memory_order_acquire)) {
        misbehaving("activate", "called while active");
        return false;
    }
    if (!(sampleRate >= kMinSampleRate && sampleRate <= kMaxSampleRate) || minFrames > maxFrames)
        return false;
    plug_->setSampleRate(static_cast<float>(sampleRate));
    plug_->resume();
    // The host's first values come with the first block: it resumes once more after taking
    // them, so that the gains start there, as for a VST 2.4 host that sets the parameters
    // before it resumes.
    resumeDue_ = true;
    active_.store(true, std::memory_order_release);
    return true;
}

void Instance::deactivate() {
    expect(Thread::main, "deactivate");
    if (!active_.load(std::memory_order_acquire)) {
        misbehaving("deactivate", "called while not active");
        return;
    }
    processing_.store(false, std::memory_order_release);
    active_.store(false, std::memory_order_release);
    plug_->suspend();
}

bool Instance::startProcessing() {
    expect(Thread::audio, "start_processing");
    if (!active_.load(std::memory_order_acquire)) {
        misbehaving("start_processing", "called while not active");
        return false;
    }
    processing_.store(true, std::memory_order_release);
    return true;
}

void Instance::stopProcessing() {
    expect(Thread::audio, "stop_processing");
    processing_.store(false, std::memory_order_release);
}

// The next block starts from the gains' targets, as after activation.
void Instance::reset() {
    expect(Thread::audio, "reset");
    if (active_.load(std::memory_order_acquire)) resumeDue_ = true;
}

const void* Instance::extension(const char* id) const {
    if (id == nullptr) return nullptr;
    const bool x11 = hostwindow::systemWindowKind() == hostwindow::SystemWindow::x11;
    if (std::strcmp(id, kExtAudioPorts) == 0) return &kAudioPortsExtension;
    if (std::strcmp(id, kExtParams) == 0) return &kParamsExtension;
    if (std::strcmp(id, kExtState) == 0) return &kStateExtension;
    if (std::strcmp(id, kExtLatency) == 0) return &kLatencyExtension;
    if (std::strcmp(id, kExtGui) == 0) return &kGuiExtension;
    // The editor's idle and input come from the host's loop on X11 only.
    if (x11 && std::strcmp(id, kExtTimerSupport) == 0) return &kTimerExtension;
    if (x11 && std::strcmp(id, kExtPosixFdSupport) == 0) return &kPosixFdExtension;
    return nullptr;
}

bool Instance::paramValue(Id id, double& value) {
    expect(Thread::main, "params.get_value");
    if (id >= static_cast<Id>(kNumParams)) return false;
    value = plug_->getParameter(static_cast<VstInt32>(id));
    return true;
}

double Instance::trimRange() {
    return trimRangeDb(plug_->getPrefs()->get(kPrefTrimRange));
}

bool Instance::save(const OutputStream* stream) {
    expect(Thread::main, "state.save");
    void* data = nullptr;
    const VstInt32 size = plug_->getChunk(&data, false);
    if (size != kChunkBytes || data == nullptr) return false;
    return writeState(stream, data, size);
}

// Only a whole chunk of this configuration is taken: a shorter or longer stream, or one that
// fails, leaves the effect as it was.
bool Instance::load(const InputStream* stream) {
    expect(Thread::main, "state.load");
    unsigned char bytes[kChunkBytes];
    if (readState(stream, bytes, kChunkBytes) != kChunkBytes) return false;
    if (plug_->setChunk(bytes, kChunkBytes, false) != kChunkBytes) return false;
    // The values changed, and with the trim range so may the texts.
    if (hostParams_ != nullptr && hostParams_->rescan != nullptr)
        hostParams_->rescan(host_, kParamRescanValues | kParamRescanText);
    return true;
}

void Instance::changedByUser(int index, float value) {
    if (isValidParam(index)) queueEdit(Edit{Edit::Kind::value, static_cast<uint32>(index), value});
}

void Instance::beginGesture(int index) {
    if (isValidParam(index)) queueEdit(Edit{Edit::Kind::begin, static_cast<uint32>(index), 0.0});
}

void Instance::endGesture(int index) {
    if (isValidParam(index)) queueEdit(Edit{Edit::Kind::end, static_cast<uint32>(index), 0.0});
}

// The edit waits for the host's next process() or flush, which the host is asked for. A full
// ring (a host that neither processes nor flushes) drops the edit: the effect has the value
// already, only the host's record misses it.
void Instance::queueEdit(const Edit& edit) {
    if (!edits_.push(edit)) misbehaving("params.flush", "not called: an edit was dropped");
    if (hostParams_ != nullptr && hostParams_->request_flush != nullptr)
        hostParams_->request_flush(host_);
    else if (host_->request_process != nullptr)
        host_->request_process(host_);
}

void Instance::expect(Thread thread, const char* call) const {
    if (threadCheck_ == nullptr) return;
    if (thread == Thread::flush)
        thread = active_.load(std::memory_order_acquire) ? Thread::audio : Thread::main;
    if (thread == Thread::main && !threadCheck_->is_main_thread(host_))
        misbehaving(call, "called off the main thread");
    else if (thread == Thread::audio && !threadCheck_->is_audio_thread(host_))
        misbehaving(call, "called off the audio thread");
}

void Instance::misbehaving(const char* call, const char* what) const {
    if (log_ == nullptr) return;
    const std::uintptr_t mistake =
        reinterpret_cast<std::uintptr_t>(call) * 31 + reinterpret_cast<std::uintptr_t>(what);
    bool first = false;
    for (std::atomic<std::uintptr_t>& slot : reported_) {
        std::uintptr_t held = slot.load(std::memory_order_relaxed);
        if (held == mistake) return;
        if (held == 0 && slot.compare_exchange_strong(held, mistake)) {
            first = true;
            break;
        }
        if (held == mistake) return; // another thread took the slot for it
    }
    if (!first) return; // every slot taken: enough has been said
    char message[160];
    std::snprintf(message, sizeof message, "%s: %s %s", plugin_.desc->name, call, what);
    log_->log(host_, kLogHostMisbehaving, message);
}

} // namespace kavet::clapplugin
