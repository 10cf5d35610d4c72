#pragma once

#include <QElapsedTimer>

#include <functional>

class QTimer;

// Drives a repeating timer's ticks on wall-clock time. While a slow frame
// holds up the event loop the timer cannot fire, so the next timeout
// delivers the ticks that came due meanwhile, up to a bound.
class WallClockTicks {
public:
    // Most ticks one timeout may deliver to catch up after a stall.
    static constexpr int kMaxCatchUpTicks = 8;

    // `timer` fires every `periodMilliseconds` and runs `tick` on each
    // delivered tick.
    WallClockTicks(QTimer& timer, int periodMilliseconds, std::function<void()> tick);

    // Tick 0 is now; call with each start of the timer.
    void start();

private:
    void deliverDueTicks();

    QTimer& m_timer;
    qint64 m_period_nanoseconds = 0;
    std::function<void()> m_tick;
    QElapsedTimer m_schedule;
    qint64 m_delivered = 0;
};
