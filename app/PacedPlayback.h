#pragma once

#include "PlaybackPace.h"

#include <QMetaObject>
#include <QObject>

#include <cstdint>

class MarkerNavigation;
class MasterViewController;

// Plays the marker at a pace other than uniform in elapsed time, on the
// controller's own clock, timer and Play/Pause states: after each tick has
// moved the marker to its time target, the marker goes to the pace's sample
// for the same clock instead, and the slider to that sample's share of the
// elapsed time. With the time pace nothing here is connected, so playback is
// the controller's alone.
class PacedPlayback : public QObject {
    Q_OBJECT

public:
    PacedPlayback(MasterViewController& controller, MarkerNavigation& markers, QObject* parent = nullptr);

    cosmophase::PlaybackPace pace() const { return m_pace; }
    void setPace(cosmophase::PlaybackPace pace);

signals:
    void paceChanged(cosmophase::PlaybackPace pace);

private:
    void follow(int index);

    MasterViewController& m_controller;
    MarkerNavigation& m_markers;
    cosmophase::PlaybackPace m_pace = cosmophase::PlaybackPace::Time;
    QMetaObject::Connection m_following;
    // What the last marker move found: a tick is a move with a new clock.
    double m_last_clock = 0;
    bool m_last_running = false;
    // As in the controller, a tick never moves the marker back from where a
    // scrub put it.
    std::int32_t m_held = 0;
    bool m_moving = false;
};
