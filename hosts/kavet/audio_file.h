// Audio files through libsndfile: WAV, AIFF and FLAC in, and out in the format that the
// output file's extension names (32-bit float WAV and AIFF, 24-bit FLAC).
#pragma once

#include "pending_file.h"

#include <cstdint>
#include <sndfile.h>
#include <string>

namespace kavet::cli {

struct AudioShape {
    int sampleRate = 0;
    int channels = 0;
    std::int64_t frames = 0;
};

class InputFile {
public:
    // Throws HostError when the file is missing or not a readable audio file.
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const AudioShape& shape() const { return shape_; }
    // Reads up to `frames` interleaved frames; answers the count read (0 at the end).
    // Integer formats come as -1..1. Throws HostError on a read error.
    std::size_t read(float* interleaved, std::size_t frames);
    std::size_t read(double* interleaved, std::size_t frames);

private:
    std::string path_;
    SNDFILE* file_ = nullptr;
    AudioShape shape_;
};

// The libsndfile format for an output path, from its extension (.wav, .aif, .aiff,
// .flac, any case). Throws HostError for any other extension.
int outputFormatFor(const std::string& path);

class OutputFile {
public:
    // Checks that the format takes this shape and opens a pending file. Throws HostError.
    OutputFile(const std::string& path, int sampleRate, int channels);
    ~OutputFile(); // an uncommitted file is removed

    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Writes all `frames` interleaved frames; throws HostError when they do not fit.
    // Samples beyond -1..1 are clipped in integer formats.
    void write(const float* interleaved, std::size_t frames);
    void write(const double* interleaved, std::size_t frames);
    // Completes the file and moves it to its path. Throws HostError for a FLAC file without
    // a frame: its encoder writes no stream for one, which no reader takes.
    void commit();

private:
    void checkWritten(sf_count_t written, std::size_t frames);

    PendingFile pending_;
    SNDFILE* file_ = nullptr;
    int format_ = 0;
    std::int64_t framesWritten_ = 0;
};

} // namespace kavet::cli
