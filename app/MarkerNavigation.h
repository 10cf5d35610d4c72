#pragma once

#include <QObject>

#include <cstdint>

class MasterViewController;
class RealSlider;
class TimeSeriesChart;

// Moves the controller's marker for the keyboard, the menu and clicks on the
// chart: by a share of the run through the time slider, or to a sample
// however early, the slider then as near as its steps allow.
class MarkerNavigation : public QObject {
    Q_OBJECT

public:
    MarkerNavigation(MasterViewController& controller, RealSlider& slider, const TimeSeriesChart& chart,
                     QObject* parent = nullptr);

    // As if the slider had been moved to `percent` (clamped to 0..100).
    void scrubTo(double percent);
    void scrubBy(double deltaPercent);
    // Indices beyond the run are held at its ends.
    void goToSample(std::int32_t index);
    void stepSamples(std::int32_t delta);

private:
    MasterViewController& m_controller;
    RealSlider& m_slider;
};
