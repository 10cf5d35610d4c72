#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace cosmophase::studies {

// One self-overwriting line on a terminal: rows done of the total, the rate
// and the time left. Redrawn at most ten times a second; silent when the
// stream is not a terminal, so logs and pipes get nothing.
class ProgressBar {
public:
    ProgressBar(std::FILE* stream, std::uint64_t total);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void update(std::uint64_t done);
    // Clears the line, leaving the terminal as it was.
    void finish();

    // The line for `done` of `total` rows after `seconds`, without the
    // carriage return; exposed for its tests.
    static std::string line(std::uint64_t done, std::uint64_t total, double seconds, int width = 24);

private:
    using Clock = std::chrono::steady_clock;
    std::FILE* m_stream = nullptr;
    std::uint64_t m_total = 0;
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_last_draw{};
    bool m_enabled = false;
    bool m_drawn = false;
};

} // namespace cosmophase::studies
