#include "PacedPlayback.h"

#include "MarkerNavigation.h"
#include "MasterViewController.h"

#include <algorithm>

PacedPlayback::PacedPlayback(MasterViewController& controller, MarkerNavigation& markers, QObject* parent)
    : QObject(parent)
    , m_controller(controller)
    , m_markers(markers)
{
}

void PacedPlayback::setPace(cosmophase::PlaybackPace pace)
{
    if (pace == m_pace)
        return;
    m_pace = pace;
    disconnect(m_following);
    if (pace != cosmophase::PlaybackPace::Time) {
        // A playback under way goes on from the new pace's sample for its clock.
        m_last_clock = m_controller.clock();
        m_last_running = m_controller.isRunning();
        m_held = 0;
        m_following = connect(&m_controller, &MasterViewController::markerMoved, this, &PacedPlayback::follow);
    }
    emit paceChanged(pace);
}

void PacedPlayback::follow(int index)
{
    if (m_moving)
        return;
    const double clock = m_controller.clock();
    const bool tick = clock != m_last_clock;
    if (tick && (!m_last_running || clock < m_last_clock))
        m_held = 0; // a new playback starts at sample 0
    m_last_clock = clock;
    m_last_running = m_controller.isRunning();
    if (!tick) {
        m_held = index; // a scrub, a key or a rerun moved it
        return;
    }
    const double percent = (MasterViewController::kSliderScale * clock) / MasterViewController::kClockEnd;
    m_held = std::max(m_held, cosmophase::sampleAtPace(m_controller.timeArray(), percent, m_pace));
    m_moving = true;
    m_markers.goToSample(m_held);
    m_moving = false;
}
