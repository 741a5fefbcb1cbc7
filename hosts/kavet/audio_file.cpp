#include "audio_file.h"

#include "hosts/common/host_error.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace kavet::cli {

namespace {

using host::HostError;

std::string lowerExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

std::string formatName(int format) {
    switch (format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
        return "WAV";
    case SF_FORMAT_AIFF:
        return "AIFF";
    case SF_FORMAT_FLAC:
        return "FLAC";
    default:
        return "audio";
    }
}

} // namespace

InputFile::InputFile(const std::string& path) : path_(path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) throw HostError("'" + path + "': no such file");
    if (std::filesystem::is_directory(status))
        throw HostError("'" + path + "' is a folder, not an audio file");
    SF_INFO info{};
    file_ = sf_open(path.c_str(), SFM_READ, &info);
    if (file_ == nullptr) throw HostError("cannot read '" + path + "': " + sf_strerror(nullptr));
    shape_ = {info.samplerate, info.channels, info.frames};
    if (shape_.sampleRate <= 0 || shape_.channels <= 0) {
        sf_close(file_); // the destructor does not run for a constructor that throws
        throw HostError("cannot read '" + path + "': no channels or no sample rate");
    }
}

InputFile::~InputFile() {
    sf_close(file_);
}

std::size_t InputFile::read(float* interleaved, std::size_t frames) {
    const sf_count_t got = sf_readf_float(file_, interleaved, static_cast<sf_count_t>(frames));
    if (got <= 0 && sf_error(file_) != SF_ERR_NO_ERROR)
        throw HostError("cannot read '" + path_ + "': " + sf_strerror(file_));
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

std::size_t InputFile::read(double* interleaved, std::size_t frames) {
    const sf_count_t got = sf_readf_double(file_, interleaved, static_cast<sf_count_t>(frames));
    if (got <= 0 && sf_error(file_) != SF_ERR_NO_ERROR)
        throw HostError("cannot read '" + path_ + "': " + sf_strerror(file_));
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

int outputFormatFor(const std::string& path) {
    const std::string extension = lowerExtension(path);
    if (extension == ".wav") return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    if (extension == ".aif" || extension == ".aiff") return SF_FORMAT_AIFF | SF_FORMAT_FLOAT;
    if (extension == ".flac") return SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
    throw HostError("'" + path + "': unknown output format (use .wav, .aiff or .flac)");
}

namespace {

// The format is checked before the pending file exists, so a refusal leaves nothing.
PendingFile checkedPendingFile(const std::string& path, int sampleRate, int channels) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = outputFormatFor(path);
    // libsndfile stores an AIFF rate of 2^30 Hz or more as another rate (its 80-bit float
    // conversion keeps 30 bits): such a rate is refused like any other the format cannot hold.
    constexpr int kMaxAiffRate = (1 << 30) - 1;
    const bool aiff = (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_AIFF;
    if (sf_format_check(&info) == SF_FALSE || (aiff && sampleRate > kMaxAiffRate))
        throw HostError("'" + path + "': " + formatName(info.format) + " cannot hold " +
                        std::to_string(channels) + " channels at " + std::to_string(sampleRate) +
                        " Hz");
    return PendingFile(path);
}

} // namespace

OutputFile::OutputFile(const std::string& path, int sampleRate, int channels)
    : pending_(checkedPendingFile(path, sampleRate, channels)), format_(outputFormatFor(path)) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = format_;
    file_ = sf_open_fd(pending_.takeDescriptor(), SFM_WRITE, &info, SF_TRUE);
    if (file_ == nullptr) throw HostError("cannot write '" + path + "': " + sf_strerror(nullptr));
    if ((info.format & SF_FORMAT_SUBMASK) != SF_FORMAT_FLOAT)
        sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

OutputFile::~OutputFile() {
    if (file_ != nullptr) sf_close(file_);
}

void OutputFile::checkWritten(sf_count_t written, std::size_t frames) {
    if (written != static_cast<sf_count_t>(frames))
        throw HostError("cannot write '" + pending_.finalPath() + "': " + sf_strerror(file_));
    framesWritten_ += written;
}

void OutputFile::write(const float* interleaved, std::size_t frames) {
    checkWritten(sf_writef_float(file_, interleaved, static_cast<sf_count_t>(frames)), frames);
}

void OutputFile::write(const double* interleaved, std::size_t frames) {
    checkWritten(sf_writef_double(file_, interleaved, static_cast<sf_count_t>(frames)), frames);
}

void OutputFile::commit() {
    if ((format_ & SF_FORMAT_TYPEMASK) == SF_FORMAT_FLAC && framesWritten_ == 0)
        throw HostError("'" + pending_.finalPath() + "': FLAC cannot hold an empty file");
    const int status = sf_close(file_);
    file_ = nullptr;
    if (status != 0)
        throw HostError("cannot write '" + pending_.finalPath() + "': " + sf_error_number(status));
    pending_.commit();
}

} // namespace kavet::cli
