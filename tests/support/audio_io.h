// Small audio files for the tests, written and read with libsndfile.
#pragma once

#include <string>
#include <vector>

namespace kavet::test {

struct Audio {
    int sampleRate = 48000;
    int channels = 1;
    int format = 0;             // libsndfile format of the file read
    std::vector<float> samples; // interleaved

    std::size_t frames() const { return samples.size() / static_cast<std::size_t>(channels); }
    float at(std::size_t frame, int channel) const {
        return samples[frame * static_cast<std::size_t>(channels) +
                       static_cast<std::size_t>(channel)];
    }
};

// Writes `audio` as a 32-bit float WAV unless another libsndfile format is given.
void writeAudio(const std::string& path, const Audio& audio, int format = 0);
// Reads a whole file; fails the calling test (and answers empty audio) when it cannot.
Audio readAudio(const std::string& path);

// Deterministic test material: every channel a different mix of two sines and noise,
// peaks below 0.9, no two channels alike.
Audio testSignal(int channels, std::size_t frames, int sampleRate = 48000);
// A sine of `hz` in every channel, in segments of (seconds, dBFS peak) one after another,
// starting at `phase` (radians): the EBU loudness test signals.
struct SineSegment {
    double seconds;
    double dbfs;
};
Audio sineSegments(const std::vector<SineSegment>& segments, double hz, int channels = 2,
                   int sampleRate = 48000, double phase = 0.0);
// A square wave of `amplitude` with a period of 100 samples in every channel.
Audio squareWave(int channels, std::size_t frames, float amplitude);

} // namespace kavet::test
