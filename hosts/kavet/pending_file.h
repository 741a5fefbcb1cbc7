// An output file written under a temporary name beside its final path and renamed into
// place only when complete, so that a failed or interrupted run never leaves a partial
// file behind.
#pragma once

#include <string>

namespace kavet::cli {

// Installs the handlers that remove every pending temporary file when the process is
// interrupted, terminated or crashes, before it dies of the signal as it would have.
void removePendingFilesOnSignals();

class PendingFile {
public:
    // Creates the temporary file (readable as a normal new file would be). Throws HostError
    // when the folder of `finalPath` cannot take it.
    explicit PendingFile(const std::string& finalPath);
    // Removes the temporary file unless committed.
    ~PendingFile();

    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // The open descriptor of the temporary file; the caller takes it over.
    [[nodiscard]] int takeDescriptor();
    // Renames the temporary file to the final path. Throws HostError on failure (the
    // temporary file is then removed by the destructor).
    void commit();

    const std::string& finalPath() const { return finalPath_; }

private:
    std::string finalPath_;
    std::string tempPath_;
    int descriptor_ = -1;
    int slot_ = -1;
    bool committed_ = false;
};

} // namespace kavet::cli
