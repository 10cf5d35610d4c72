#include "ProgressBar.h"

#include <unistd.h>

#include <cmath>

namespace cosmophase::studies {

namespace {

std::string duration(double seconds)
{
    const auto whole = static_cast<long long>(std::ceil(seconds));
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

} // namespace

ProgressBar::ProgressBar(std::FILE* stream, std::uint64_t total)
    : m_stream(stream)
    , m_total(total)
    , m_enabled(stream != nullptr && isatty(fileno(stream)) == 1)
{
}

ProgressBar::~ProgressBar()
{
    finish();
}

std::string ProgressBar::line(std::uint64_t done, std::uint64_t total, double seconds, int width)
{
    const double fraction = total == 0 ? 1.0 : static_cast<double>(done) / static_cast<double>(total);
    const int filled = static_cast<int>(fraction * width);
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(static_cast<std::size_t>(width), '.');
    char text[160];
    if (done == 0 || seconds <= 0) {
        std::snprintf(text, sizeof text, "[%s] %llu/%llu rows", bar.c_str(), static_cast<unsigned long long>(done),
                      static_cast<unsigned long long>(total));
        return text;
    }
    const double rate = static_cast<double>(done) / seconds;
    const double left = static_cast<double>(total - done) / rate;
    std::snprintf(text, sizeof text, "[%s] %llu/%llu rows, %.0f rows/s, %s left", bar.c_str(),
                  static_cast<unsigned long long>(done), static_cast<unsigned long long>(total), rate,
                  duration(left).c_str());
    return text;
}

void ProgressBar::update(std::uint64_t done)
{
    if (!m_enabled)
        return;
    const Clock::time_point now = Clock::now();
    if (m_drawn && now - m_last_draw < std::chrono::milliseconds(100) && done < m_total)
        return;
    m_last_draw = now;
    const double seconds = std::chrono::duration<double>(now - m_start).count();
    // Erase to the end of the line: the new text may be shorter.
    std::fprintf(m_stream, "\r%s\033[K", line(done, m_total, seconds).c_str());
    std::fflush(m_stream);
    m_drawn = true;
}

void ProgressBar::finish()
{
    if (!m_drawn)
        return;
    std::fputs("\r\033[K", m_stream);
    std::fflush(m_stream);
    m_drawn = false;
}

} // namespace cosmophase::studies
