// The audio side of "kavet editor --window": a thread of its own that runs a signal through
// an effect in blocks, paced by the steady clock as an audio device paces a host, and over
// again from the start when it ends. The output goes nowhere; the effect's meters show it.
#pragma once

#include "hosts/common/vst_plugin.h"
#include "strip_options.h"

#include <atomic>
#include <optional>
#include <thread>
#include <vector>

namespace kavet::cli {

class AudioLoop {
public:
    // Starts the thread. The effect must be set up and resumed at `rate` (the signal's, when
    // there is one) with a block size of at least `blockSize`. Without a signal, or with an
    // empty one, the effect is given silence.
    AudioLoop(host::VstPlugin& plugin, std::optional<Signal> signal, int rate, int blockSize);
    ~AudioLoop(); // stops
    AudioLoop(const AudioLoop&) = delete;
    AudioLoop& operator=(const AudioLoop&) = delete;

    // Ends the thread: once this returns, the effect is not processed any more.
    void stop();

private:
    void run();
    // The next `frames` frames of the signal into the effect's inputs, from `position_` on.
    void fill(std::vector<std::vector<float>>& inputs, int frames);

    host::VstPlugin& plugin_;
    const std::optional<Signal> signal_;
    const int rate_;
    const int blockSize_;
    std::size_t position_ = 0; // the audio thread's own
    std::atomic<bool> stopping_{false};
    std::thread thread_; // last: started once everything above is set
};

} // namespace kavet::cli
