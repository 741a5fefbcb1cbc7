// One plug-in: the effect (Plug) of this part's channel configuration driven through CLAP.
// The host calls the plug-in and its extensions through the tables in instance.cpp,
// extensions.cpp, process.cpp and gui.cpp, each of which lands on a member here. Threads as
// CLAP assigns them: [main thread] for the life cycle, parameters' info and texts, state and
// the editor; [audio thread] for processing (and flush while active).
#pragma once

#include "gesture_queue.h"

#include "clap/all.h"
#include "core/host_link.h"
#include "core/prefs.h"

#include <atomic>
#include <cstdint>

namespace kavet {
class Plug;
}

namespace kavet::clapplugin {

class Instance final : private HostLink {
public:
    // A new plug-in for `host`, not yet initialised; null when allocation fails.
    static const clap::Plugin* create(const clap::Host* host,
                                      const clap::PluginDescriptor* descriptor);
    // The instance behind a plug-in this part made; null for null.
    static Instance* of(const clap::Plugin* plugin);

    // The plug-in's own calls.
    bool init();
    void destroy();
    bool activate(double sampleRate, clap::uint32 minFrames, clap::uint32 maxFrames);
    void deactivate();
    bool startProcessing();
    void stopProcessing();
    void reset();
    clap::ProcessStatus process(const clap::Process* process);
    const void* extension(const char* id) const;

    // params
    bool paramValue(clap::Id id, double& value);
    double trimRange(); // dB, the effect's preference in force
    void flush(const clap::InputEvents* in, const clap::OutputEvents* out);
    // state
    bool save(const clap::OutputStream* stream);
    bool load(const clap::InputStream* stream);
    // gui, timer-support, posix-fd-support
    bool guiCreate(const char* api, bool floating);
    void guiDestroy();
    bool guiSize(clap::uint32& width, clap::uint32& height);
    bool guiSetParent(const clap::Window* window);
    bool guiShow(bool shown); // false before set_parent
    void onTimer(clap::Id timer);
    void onFd(int fd);

    // The interface's two threads, as the host's thread-check tells them.
    enum class Thread { main, audio, flush };
    // Whether the caller of `call` is on `thread` (flush: the audio thread while active, else
    // the main thread), as far as the host's thread-check tells; a host's mistake is reported.
    // Every build checks: one call to the host per plug-in call.
    void expect(Thread thread, const char* call) const;
    // `call` broke the interface's rules (`what`), told to the host's log once per call and
    // instance and mistake, so that a host repeating one on its audio thread is not logging
    // there at every block.
    void misbehaving(const char* call, const char* what) const;

private:
    Instance(const clap::Host* host, const clap::PluginDescriptor* descriptor, Plug* plug);
    ~Instance();

    // HostLink: the editor's edits [main thread], queued for the host.
    void changedByUser(int index, float value) override;
    void beginGesture(int index) override;
    void endGesture(int index) override;
    void queueEdit(const Edit& edit);

    // [audio thread] The input events applied at their times, the effect run between them.
    template <class Sample> void run(const clap::Process& process, Sample** in, Sample** out);
    void applyEvent(const clap::EventHeader* event);
    void sendEdits(const clap::OutputEvents* out); // [the edits' consumer]
    bool startIdle();                              // false when no timer can be had
    // [main thread] After the editor's idle: preferences the options page changed are part
    // of the state (the host is told it is dirty), and the trim range changes the texts.
    void notePreferences();
    void stopIdle();
    void closeEditor();

    clap::Plugin plugin_; // what the host holds; plugin_data is this
    const clap::Host* host_;
    const clap::HostThreadCheck* threadCheck_ = nullptr; // the host's extensions, from init
    const clap::HostLog* log_ = nullptr;
    // The mistakes already reported: their call's and text's addresses (literals) combined;
    // first come first kept.
    mutable std::atomic<std::uintptr_t> reported_[16] = {};
    const clap::HostParams* hostParams_ = nullptr;
    const clap::HostState* hostState_ = nullptr;
    const clap::HostTimerSupport* hostTimer_ = nullptr;
    const clap::HostPosixFdSupport* hostFd_ = nullptr;
    Plug* plug_;
    bool initialised_ = false;
    std::atomic<bool> active_{false};
    std::atomic<bool> processing_{false};
    bool resumeDue_ = false; // [audio thread] the first block after activation resumes
    EditQueue<1024> edits_;
    // The editor [main thread].
    bool guiCreated_ = false;
    Plug* shown_ = nullptr; // the effect whose editor is open
    bool ownTimer_ = false;
    clap::Id timerId_ = clap::kInvalidId; // the host's timer, while registered
    int watchedFd_ = -1;                  // the descriptor the host watches, while registered
    PrefValues shownPrefs_{};             // the preferences when the editor last idled
};

// The extensions' tables.
extern const clap::PluginAudioPorts kAudioPortsExtension;
extern const clap::PluginParams kParamsExtension;
extern const clap::PluginState kStateExtension;
extern const clap::PluginLatency kLatencyExtension;
extern const clap::PluginGui kGuiExtension;
extern const clap::PluginTimerSupport kTimerExtension;
extern const clap::PluginPosixFdSupport kPosixFdExtension;

} // namespace kavet::clapplugin
