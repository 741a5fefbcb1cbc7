// One CLAP plug-in of a loaded module, driven as a host drives it: created through the
// factory with this host's object and initialised on the main thread (the thread that makes
// it), activated, its processing started, stopped and its blocks processed on the host's
// audio thread, its state saved and loaded through memory streams, its parameters flushed,
// its editor created and parented; the host's loop serves its timers, descriptors and
// callbacks. Calls the interface does not allow in the plug-in's state are refused here,
// before the plug-in sees them; the *Unchecked calls make them anyway (to provoke one).
#pragma once

#include "clap_audio_thread.h"
#include "clap_events.h"
#include "clap_host.h"
#include "clap_module.h"
#include "clap_run_loop.h"
#include "clap_streams.h"

#include "clap/all.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kavet::host {

struct ClapProcessResult {
    bool called = false;                              // the host made the call
    clap::ProcessStatus status = clap::kProcessError; // the plug-in's answer
    clap::uint64 constantMask = 0;                    // the output port's, as the plug-in left it
};

class ClapPlugin final : private RunLoopClient {
public:
    // Creates the plug-in `id` and calls init; the extensions are read after it. Throws
    // HostError when the factory makes none or init answers false (the plug-in destroyed).
    ClapPlugin(std::shared_ptr<const ClapModule> module, const std::string& id);
    // Destroys the editor when one was created, stops, deactivates, destroys the plug-in;
    // then only the host's records remain. Once.
    void close();
    ~ClapPlugin() override; // close()
    ClapPlugin(const ClapPlugin&) = delete;
    ClapPlugin& operator=(const ClapPlugin&) = delete;

    const clap::Plugin* plugin() const { return plugin_; }
    ClapHost& host() { return host_; }
    RunLoop& loop() { return loop_; }
    AudioThread& audioThread() { return audio_; }

    // The plug-in's extensions, or null when it has none.
    const clap::PluginParams* params() const { return params_; }
    const clap::PluginAudioPorts* audioPorts() const { return audioPorts_; }
    const clap::PluginState* state() const { return state_; }
    const clap::PluginLatency* latency() const { return latency_; }
    const clap::PluginGui* gui() const { return gui_; }
    const clap::PluginTimerSupport* timerSupport() const { return timerSupport_; }
    const clap::PluginPosixFdSupport* posixFdSupport() const { return posixFdSupport_; }

    // The main ports' channels (0 without one) and whether both take 64-bit samples.
    clap::uint32 inputChannels() const { return inputChannels_; }
    clap::uint32 outputChannels() const { return outputChannels_; }
    bool takes64Bits() const { return takes64Bits_; }

    // [main thread] Refused while active or for a block range outside [1, 2^31 - 1].
    [[nodiscard]] bool activate(double sampleRate, clap::uint32 minFrames, clap::uint32 maxFrames);
    void deactivate(); // stops processing first
    // [audio thread] start_processing while active and not processing; and back.
    [[nodiscard]] bool startProcessing();
    void stopProcessing();
    void reset();
    bool active() const { return active_; }
    bool processing() const { return processing_; }

    // One block of `frames` samples on the main ports with `events` [audio thread]: refused
    // (not called) unless processing, for more frames than activated, or 64-bit samples the
    // ports do not take. What the plug-in pushes goes to outputEvents().
    ClapProcessResult process(const float* const* inputs, float* const* outputs,
                              clap::uint32 frames, const EventList& events);
    ClapProcessResult process(const double* const* inputs, double* const* outputs,
                              clap::uint32 frames, const EventList& events);
    // The same call on the calling thread, whatever the plug-in's state.
    ClapProcessResult processUnchecked(const float* const* inputs, float* const* outputs,
                                       clap::uint32 frames, const EventList& events);

    // params.flush with `events`: on the audio thread while active, else here. What the
    // plug-in pushes goes to outputEvents(). False without params.
    bool flush(const EventList& events);
    // The events the plug-in pushed in the last process or flush.
    const EventList& outputEvents() const { return outputEvents_; }

    // The parameters' information, in the plug-in's order; a value (nothing when refused).
    std::vector<clap::ParamInfo> paramInfos() const;
    std::optional<double> value(clap::Id id) const;

    // state.save into a memory stream; nothing when the plug-in answers false.
    std::optional<std::vector<unsigned char>> saveState(StreamFaults faults = {}) const;
    // state.load from a memory stream of `bytes`; the plug-in's answer.
    bool loadState(const std::vector<unsigned char>& bytes, StreamFaults faults = {}) const;

    // The editor: create (embedded in a window of `api`), set_parent, show, hide, destroy.
    bool guiCreate(const char* api);
    bool guiSetParent(const clap::Window& window) const;
    bool guiShow() const;
    bool guiHide() const;
    void guiDestroy();
    bool guiCreated() const { return guiCreated_; }

private:
    void onTimer(clap::Id id) override;
    void onFd(int fd, clap::uint32 flags) override;
    void onMainThread() override;

    template <class Sample>
    ClapProcessResult processOnThisThread(const Sample* const* inputs, Sample* const* outputs,
                                          clap::uint32 frames, const EventList& events);
    template <class Sample>
    ClapProcessResult processBlock(const Sample* const* inputs, Sample* const* outputs,
                                   clap::uint32 frames, const EventList& events);
    template <class T> const T* extension(const char* id) const;
    void readPorts();

    std::shared_ptr<const ClapModule> module_;
    RunLoop loop_;
    ClapHost host_;
    AudioThread audio_;
    const clap::Plugin* plugin_ = nullptr;
    const clap::PluginParams* params_ = nullptr;
    const clap::PluginAudioPorts* audioPorts_ = nullptr;
    const clap::PluginState* state_ = nullptr;
    const clap::PluginLatency* latency_ = nullptr;
    const clap::PluginGui* gui_ = nullptr;
    const clap::PluginTimerSupport* timerSupport_ = nullptr;
    const clap::PluginPosixFdSupport* posixFdSupport_ = nullptr;
    clap::uint32 inputChannels_ = 0, outputChannels_ = 0;
    bool takes64Bits_ = false;
    bool active_ = false, processing_ = false, guiCreated_ = false, closed_ = false;
    clap::uint32 maxFrames_ = 0;
    clap::int64 steadyTime_ = 0;
    EventList outputEvents_;
    std::vector<void*> inputPointers_, outputPointers_; // sized once: no allocation per block
};

} // namespace kavet::host
