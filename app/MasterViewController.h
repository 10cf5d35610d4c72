#pragma once

#include "FormAdditions.h"
#include "WallClockTicks.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <vector>

class MyOpenGLView;
namespace cosmophase {
class Simulation;
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

    explicit MasterViewController(QObject* parent = nullptr);
    ~MasterViewController() override;

    // The form's root; the first call loads and connects it and runs initialize(). The window may own it.
    QWidget* view();

    // Start-up: the model run, the sample copies and the read-outs of sample 0.
    void initialize();
    // For a new run: its samples in place of these, the marker moved to `index`
    // (which may lie outside them), the elapsed time in the start-up form.
    void copySamples(const cosmophase::Simulation& run);
    void moveMarkerTo(std::int32_t index);
    void showStartupTime(double years);

    std::int32_t findIndexWithPercent(double percent) const;
    void updateDisplayValues();
    void computeRedShiftVsLuminosity();

    FormAdditions& additions() const { return *m_additions; }
    MyOpenGLView* openGLView() const;
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
    // After every tick and scrub that moves the marker, once the view and read-outs have it.
    void markerMoved(int index);

public slots:
    void simToggle();
    void sliderMoved();
    void showStable();
    void showUnstable();
    void showFamily();
    void timerFired();

private:
    // The _end fields from the sample at the marker, when there is one.
    void loadMarkerState();
    bool hasSample(std::int32_t index) const { return index >= 0 && std::size_t(index) < m_time_array.size(); }

    // Generated; only the controller sees it.
    std::unique_ptr<Ui::MasterViewController> m_ui;
    QPointer<QWidget> m_view;
    FormAdditions* m_additions = nullptr;
    std::vector<double> m_z2_array;
    std::vector<double> m_w0_array;
    std::vector<double> m_w2_array;
    std::vector<double> m_time_array;
    QTimer m_timer;
    WallClockTicks m_ticks{m_timer, kTickMilliseconds, [this] { timerFired(); }};
    double m_clock = 0;
    long double m_z2_end = 0;
    long double m_w0_end = 0;
    long double m_w2_end = 0;
    bool m_pause = false;
    bool m_run = false;
    std::int32_t m_sim_index = 0;
};
