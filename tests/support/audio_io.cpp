// Small audio files for the tests (audio_io.h).
#include "audio_io.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <numbers>
#include <sndfile.h>

namespace kavet::test {

void writeAudio(const std::string& path, const Audio& audio, int format) {
    SF_INFO info{};
    info.samplerate = audio.sampleRate;
    info.channels = audio.channels;
    info.format = format != 0 ? format : (SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
    const auto frames = static_cast<sf_count_t>(audio.frames());
    EXPECT_EQ(sf_writef_float(file, audio.samples.data(), frames), frames);
    sf_close(file);
}

Audio readAudio(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    Audio audio;
    EXPECT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
    if (file == nullptr) return audio;
    audio.sampleRate = info.samplerate;
    audio.channels = info.channels;
    audio.format = info.format;
    audio.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    EXPECT_EQ(sf_readf_float(file, audio.samples.data(), info.frames), info.frames);
    sf_close(file);
    return audio;
}

Audio testSignal(int channels, std::size_t frames, int sampleRate) {
    Audio audio{sampleRate, channels, 0,
                std::vector<float>(frames * static_cast<std::size_t>(channels))};
    std::uint32_t noise = 12345;
    for (std::size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            noise = noise * 1664525u + 1013904223u;
            const double t = static_cast<double>(i) / sampleRate;
            const double hz = 220.0 * (c + 1);
            const double value = 0.5 * std::sin(2 * std::numbers::pi * hz * t) +
                                 0.2 * std::sin(2 * std::numbers::pi * 3.7 * hz * t + c) +
                                 0.1 * (static_cast<double>(noise >> 8) / 8388608.0 - 1.0);
            audio.samples[i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] =
                static_cast<float>(value);
        }
    }
    return audio;
}

Audio sineSegments(const std::vector<SineSegment>& segments, double hz, int channels,
                   int sampleRate, double phase) {
    Audio audio{sampleRate, channels, 0, {}};
    const double pi = std::acos(-1.0);
    std::size_t n = 0;
    for (const SineSegment& segment : segments) {
        const double amplitude = std::pow(10.0, segment.dbfs / 20.0);
        const auto frames = static_cast<std::size_t>(std::llround(segment.seconds * sampleRate));
        for (std::size_t i = 0; i < frames; ++i, ++n) {
            const auto x = static_cast<float>(
                amplitude * std::sin(2.0 * pi * hz * static_cast<double>(n) / sampleRate + phase));
            audio.samples.insert(audio.samples.end(), static_cast<std::size_t>(channels), x);
        }
    }
    return audio;
}

Audio squareWave(int channels, std::size_t frames, float amplitude) {
    Audio audio{48000, channels, 0,
                std::vector<float>(frames * static_cast<std::size_t>(channels))};
    for (std::size_t i = 0; i < audio.samples.size(); ++i) {
        const std::size_t frame = i / static_cast<std::size_t>(channels);
        audio.samples[i] = (frame % 100) < 50 ? amplitude : -amplitude;
    }
    return audio;
}

} // namespace kavet::test
