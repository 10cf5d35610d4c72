#pragma once

#include "CurveSwitches.h"
#include "PanelLayout.h"
#include "RunParameters.h"
#include "RunStatus.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <vector>

class MyOpenGLView;
class ParametersPanel;
class QWidget;
class ReferenceComputation;
class ReferenceReadouts;
class RunComparison;
namespace cosmophase {
class Simulation;
}
class TimeSeriesChart;
namespace Ui {
class MasterViewController;
}

// Controller of the main window's content: runs the model once at start-up,
// keeps its own copy of the samples, and drives the marker from the
// Play/Pause button, its playback timer and the time slider.
class MasterViewController : public QObject {
    Q_OBJECT

public:
    static constexpr int kTickMilliseconds = 25;
    static constexpr double kClockStep = 0.025;
    static constexpr double kClockEnd = 20;
    static constexpr double kSliderScale = 100;
    // Most ticks one timeout may deliver to catch up after a stall.
    static constexpr int kMaxCatchUpTicks = 8;

    explicit MasterViewController(QObject* parent = nullptr);
    ~MasterViewController() override;

    // The root widget of the form. The first call loads the form, connects
    // it and runs initialize(); the window that shows it may take ownership.
    QWidget* view();

    // Start-up: the model run, the sample copies and the read-outs of
    // sample 0.
    void initialize();
    // Replaces the run with one at `parameters` when that run reaches the
    // present day: the view's trajectory and the read-outs follow, the
    // marker keeps its share of the elapsed time and playback goes on; the
    // caller refills the chart (refillChart), at once or when a drag rests.
    // Otherwise the current run stays; the status says why.
    cosmophase::RunStatus rerunWith(const cosmophase::RunParameters& parameters);
    // The second half of rerunWith(): puts `run`, initialized with
    // `parameters` and run to the present day, on screen.
    void showRun(const cosmophase::RunParameters& parameters, const cosmophase::Simulation& run);
    const cosmophase::RunParameters& parameters() const { return m_parameters; }
    // The chart from the samples.
    void refillChart();

    std::int32_t findIndexWithPercent(double percent) const;
    void updateDisplayValues();
    void computeRedShiftVsLuminosity();

    // Scrubs as if the slider had been moved to `percent` (clamped to 0..100).
    void scrubTo(double percent);
    void scrubBy(double deltaPercent);
    // Moves the marker to a sample however early, the slider as near as its
    // steps allow; indices beyond the run are held at its ends.
    void goToSample(std::int32_t index);
    void stepSamples(std::int32_t delta);

    MyOpenGLView* openGLView() const;
    TimeSeriesChart* timeSeriesChart() const;
    // The form's parts that the window's additions arrange.
    PanelLayout panelLayout() const;
    // The curve switches the form's check boxes are bound to, for the menu.
    CurveSwitches& curveSwitches() { return m_curve_switches; }
    ReferenceComputation* referenceComputation() const;
    ReferenceReadouts* referenceReadouts() const;
    ParametersPanel* parametersPanel() const;
    const std::vector<double>& z2Array() const { return m_z2_array; }
    const std::vector<double>& w0Array() const { return m_w0_array; }
    const std::vector<double>& w2Array() const { return m_w2_array; }
    const std::vector<double>& timeArray() const { return m_time_array; }
    const QTimer& timer() const { return m_timer; }
    double clock() const { return m_clock; }
    std::int32_t simIndex() const { return m_sim_index; }
    bool isRunning() const { return m_run; }
    bool isPaused() const { return m_pause; }

signals:
    // After every tick and scrub that moves the marker, once the view and the
    // read-outs have it.
    void markerMoved(int index);
    // After rerunWith() has put a new run on screen.
    void runReplaced(const cosmophase::RunParameters& parameters);

public slots:
    void simToggle();
    void sliderMoved();
    void showStable();
    void showUnstable();
    void showFamily();
    void timerFired();

private:
    void startPlayback();
    void deliverDueTicks();
    void moveMarkerTo(std::int32_t index);
    // The _end fields from the sample at the marker, when there is one.
    void loadMarkerState();
    bool hasSample(std::int32_t index) const;

    // The generated form stays out of this header: only the controller sees it.
    std::unique_ptr<Ui::MasterViewController> m_ui;
    QPointer<QWidget> m_view;
    CurveSwitches m_curve_switches;
    // The chart and the reference lines; made with the form.
    RunComparison* m_comparison = nullptr;
    std::vector<double> m_z2_array;
    std::vector<double> m_w0_array;
    std::vector<double> m_w2_array;
    std::vector<double> m_time_array;
    cosmophase::RunParameters m_parameters;
    QTimer m_timer;
    // Playback time is wall-clock time: when slow frames delay the timer,
    // the missed ticks are delivered on the next timeout.
    QElapsedTimer m_tick_schedule;
    qint64 m_ticks_delivered = 0;
    double m_clock = 0;
    long double m_z2_end = 0;
    long double m_w0_end = 0;
    long double m_w2_end = 0;
    bool m_pause = false;
    bool m_run = false;
    std::int32_t m_sim_index = 0;
};
