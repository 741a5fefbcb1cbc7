// A progress bar on standard error, shown only when that is a terminal and the work has
// taken more than a second.
#pragma once

#include <chrono>
#include <cstdint>

namespace kavet::cli {

class Progress {
public:
    explicit Progress(std::uint64_t total);
    ~Progress() { clear(); }

    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void update(std::uint64_t done);
    // Removes the bar from the terminal (before any other message is printed).
    void clear();

private:
    using Clock = std::chrono::steady_clock;

    std::uint64_t total_;
    bool enabled_;
    bool shown_ = false;
    Clock::time_point start_;
    Clock::time_point lastDrawn_;
};

} // namespace kavet::cli
