// The true peak of each channel: the largest magnitude of the band-limited signal between
// the samples, read from the signal oversampled 16 times by libsoxr as it streams through.
#pragma once

#include <cstddef>
#include <vector>

#include <soxr.h>

namespace kavet::cli {

class TruePeakMeter {
public:
    // With factor k, a sinusoid of frequency f whose crest falls midway between two of the
    // k·fs samples reads low by 20·log10(cos(π·f / (k·fs))). Up to the end of the
    // resampler's passband (kPassbandEnd, 0.97 of Nyquist, f = 0.485·fs), that is 0.65 dB at
    // 4x, 0.16 dB at 8x (8x stays within 0.05 dB only up to 0.546 of Nyquist), 0.040 dB at
    // 16x, and 0.042 dB at Nyquist itself. 16x is the smallest power of two within 0.05 dB
    // over the whole passband, at any sample rate (the error depends on f/fs alone).
    static constexpr int kOversampling = 16;
    static constexpr double kPassbandEnd = 0.97; // of Nyquist; the stopband from 1.03
    // The most the reading can lie below the real inter-sample peak inside the passband: the
    // 0.040 dB above and the resampler's passband roll-off (SOXR_ROLLOFF_SMALL, at most
    // 0.01 dB). A gain set against a ceiling leaves this much room.
    static constexpr double kUnderReadDb = 0.05;

    // Throws HostError when the resampler cannot be made for the shape.
    TruePeakMeter(int channels, int sampleRate);
    ~TruePeakMeter();
    TruePeakMeter(const TruePeakMeter&) = delete;
    TruePeakMeter& operator=(const TruePeakMeter&) = delete;

    // Adds `frames` interleaved frames. Nothing may be added after finish().
    void add(const float* interleaved, std::size_t frames);
    void add(const double* interleaved, std::size_t frames);

    // Ends the stream: the resampler's last output (its filter delay, about 19 ms of
    // audio, and the ringing after the last sample) is drained into the peaks. Idempotent.
    void finish();

    // The largest magnitude of each channel (linear; 0 for silence). Complete after finish().
    // A NaN sample is passed over (as the sample peak passes it over); an infinite one
    // reads infinite.
    const std::vector<double>& peaks() const { return peaks_; }

private:
    std::size_t chunkFrames() const; // input frames per resampler call
    std::size_t outFrames() const;   // room for one call's output, per channel
    std::vector<float*> channelOutputs();
    void feed(const float* interleaved, std::size_t frames);
    // `interleaved`, or a copy with its non-finite samples taken out.
    const float* finite(const float* interleaved, std::size_t frames);
    void scan(std::size_t outFrames);

    soxr_t resampler_ = nullptr;
    std::size_t channels_;
    std::vector<float> out_;
    std::vector<float> converted_; // double input in single precision, the resampler's own
    std::vector<float> cleaned_;
    std::vector<double> peaks_;
    bool finished_ = false;
};

} // namespace kavet::cli
