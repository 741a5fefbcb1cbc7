#include "audio_loop.h"

#include <algorithm>
#include <chrono>

namespace kavet::cli {

namespace {

using Clock = std::chrono::steady_clock;

// Behind the clock by more than this (the machine stalled, a debugger stopped the process),
// the loop starts counting again from now instead of processing the missed blocks at once.
constexpr auto kMaxLag = std::chrono::milliseconds(250);

} // namespace

AudioLoop::AudioLoop(host::VstPlugin& plugin, std::optional<Signal> signal, int rate, int blockSize)
    : plugin_(plugin), signal_(signal && signal->frames() > 0 ? std::move(signal) : std::nullopt),
      rate_(rate), blockSize_(blockSize), thread_([this] { run(); }) {}

AudioLoop::~AudioLoop() {
    stop();
}

void AudioLoop::stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
}

void AudioLoop::fill(std::vector<std::vector<float>>& inputs, int frames) {
    if (!signal_) return; // the buffers stay silent
    const Signal& s = *signal_;
    const std::size_t length = s.frames();
    for (int i = 0; i < frames; ++i) {
        const float* frame = s.samples.data() + position_ * static_cast<std::size_t>(s.channels);
        // A mono signal feeds every input; a wider one its first channels.
        for (std::size_t c = 0; c < inputs.size(); ++c)
            inputs[c][static_cast<std::size_t>(i)] =
                frame[std::min<std::size_t>(c, static_cast<std::size_t>(s.channels) - 1)];
        if (++position_ == length) position_ = 0;
    }
}

// The audio thread.
void AudioLoop::run() {
    const auto size = static_cast<std::size_t>(blockSize_);
    std::vector<std::vector<float>> in(static_cast<std::size_t>(plugin_.numInputs()),
                                       std::vector<float>(size));
    std::vector<std::vector<float>> out(static_cast<std::size_t>(plugin_.numOutputs()),
                                        std::vector<float>(size));
    std::vector<float*> inputs, outputs;
    for (auto& channel : in)
        inputs.push_back(channel.data());
    for (auto& channel : out)
        outputs.push_back(channel.data());

    // Block n is due at start + n blocks' time, counted from one start so that rounding
    // never adds up.
    const std::chrono::duration<double> blockTime(static_cast<double>(blockSize_) / rate_);
    Clock::time_point start = Clock::now();
    long long blocks = 0;
    while (!stopping_) {
        fill(in, blockSize_);
        plugin_.process(inputs.data(), outputs.data(), blockSize_,
                        static_cast<int>(outputs.size()));
        ++blocks;
        const auto due = start + std::chrono::duration_cast<Clock::duration>(
                                     blockTime * static_cast<double>(blocks));
        const auto now = Clock::now();
        if (now - due > kMaxLag) {
            start = now;
            blocks = 0;
            continue;
        }
        std::this_thread::sleep_until(due);
    }
}

} // namespace kavet::cli
