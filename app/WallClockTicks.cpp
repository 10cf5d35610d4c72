#include "WallClockTicks.h"

#include <QTimer>

#include <utility>

WallClockTicks::WallClockTicks(QTimer& timer, int periodMilliseconds, std::function<void()> tick)
    : m_timer(timer)
    , m_period_nanoseconds(qint64{periodMilliseconds} * 1000000)
    , m_tick(std::move(tick))
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(periodMilliseconds);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { deliverDueTicks(); });
}

void WallClockTicks::start()
{
    m_schedule.start();
    m_delivered = 0;
}

void WallClockTicks::deliverDueTicks()
{
    // A timeout is at least one tick; the ticks due since a stall follow at once.
    const qint64 due = m_schedule.nsecsElapsed() / m_period_nanoseconds;
    int delivered = 0;
    do {
        m_tick();
        ++m_delivered;
        ++delivered;
    } while (m_timer.isActive() && m_delivered < due && delivered < kMaxCatchUpTicks);
    // After a longer stall, carry on from now rather than racing ahead.
    if (m_delivered < due)
        m_delivered = due;
}
