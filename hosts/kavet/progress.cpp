#include "progress.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace kavet::cli {

namespace {

constexpr auto kDelay = std::chrono::seconds(1);
constexpr auto kRedraw = std::chrono::milliseconds(100);
constexpr int kWidth = 40;

} // namespace

Progress::Progress(std::uint64_t total)
    : total_(total), enabled_(total > 0 && isatty(STDERR_FILENO) == 1), start_(Clock::now()) {}

void Progress::update(std::uint64_t done) {
    if (!enabled_) return;
    const auto now = Clock::now();
    if (now - start_ < kDelay || (shown_ && now - lastDrawn_ < kRedraw)) return;
    lastDrawn_ = now;
    shown_ = true;
    const double fraction = std::min(1.0, static_cast<double>(done) / static_cast<double>(total_));
    const int filled = static_cast<int>(fraction * kWidth);
    const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                            std::string(static_cast<std::size_t>(kWidth - filled), '.');
    std::fprintf(stderr, "\r[%s] %3d%%", bar.c_str(), static_cast<int>(fraction * 100.0));
    std::fflush(stderr);
}

void Progress::clear() {
    if (!shown_) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    shown_ = false;
}

} // namespace kavet::cli
