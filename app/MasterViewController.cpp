#include "MasterViewController.h"

#include "MyOpenGLView.h"
#include "ParametersPanel.h"
#include "Observables.h"
#include "ReadoutFormat.h"
#include "ReferenceReadouts.h"
#include "RunComparison.h"
#include "SampleNavigator.h"
#include "Simulation.h"
#include "TimeSeriesChart.h"
#include "ui_MasterViewController.h"

#include <QWidget>

namespace {

QString qt(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

MasterViewController::MasterViewController(QObject* parent)
    : QObject(parent)
    , m_ui(std::make_unique<Ui::MasterViewController>())
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kTickMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &MasterViewController::deliverDueTicks);
}

MasterViewController::~MasterViewController()
{
    // The window deletes the view if it goes first; otherwise it is ours.
    delete m_view.data();
}

MyOpenGLView* MasterViewController::openGLView() const
{
    return m_ui->openGLView;
}

TimeSeriesChart* MasterViewController::timeSeriesChart() const
{
    return m_ui->timeSeriesChart;
}

PanelLayout MasterViewController::panelLayout() const
{
    return {m_ui->rootLayout, m_ui->plotFrame, m_ui->sidePanel, m_ui->sidePanelLayout, m_ui->timeSeriesChart};
}

ReferenceComputation* MasterViewController::referenceComputation() const
{
    return m_comparison->computation();
}

ReferenceReadouts* MasterViewController::referenceReadouts() const
{
    return m_comparison->readouts();
}

ParametersPanel* MasterViewController::parametersPanel() const
{
    return m_ui->parametersPanel;
}

QWidget* MasterViewController::view()
{
    if (m_view)
        return m_view;

    m_view = new QWidget;
    m_ui->setupUi(m_view);
    connect(m_ui->playButton, &QPushButton::clicked, this, &MasterViewController::simToggle);
    connect(m_ui->timeSlider, &RealSlider::scrubbed, this, &MasterViewController::sliderMoved);
    connect(m_ui->stableCheckBox, &QCheckBox::clicked, this, &MasterViewController::showStable);
    connect(m_ui->unstableCheckBox, &QCheckBox::clicked, this, &MasterViewController::showUnstable);
    connect(m_ui->familyCheckBox, &QCheckBox::clicked, this, &MasterViewController::showFamily);
    connect(m_ui->openGLView, &MyOpenGLView::plotWindowChanged, m_ui->plotFrame, &PlotAxesFrame::setPlotWindow);
    CurveSwitches::bind(m_curve_switches.stable(), *m_ui->stableCheckBox);
    CurveSwitches::bind(m_curve_switches.unstable(), *m_ui->unstableCheckBox);
    CurveSwitches::bind(m_curve_switches.family(), *m_ui->familyCheckBox);
    connect(&m_curve_switches.stable(), &QAction::triggered, this, &MasterViewController::showStable);
    connect(&m_curve_switches.unstable(), &QAction::triggered, this, &MasterViewController::showUnstable);
    connect(&m_curve_switches.family(), &QAction::triggered, this, &MasterViewController::showFamily);
    QAction& nullclines = m_curve_switches.nullclines();
    nullclines.setChecked(m_ui->openGLView->showNullclines());
    connect(&nullclines, &QAction::toggled, m_ui->openGLView, &MyOpenGLView::setShowNullclines);
    TimeSeriesChart* chart = m_ui->timeSeriesChart;
    connect(this, &MasterViewController::markerMoved, chart, &TimeSeriesChart::setMarkerIndex);
    connect(chart, &TimeSeriesChart::sampleRequested, this, &MasterViewController::goToSample);
    m_comparison = new RunComparison(*chart, *m_ui->readoutsLayout, m_view);
    connect(this, &MasterViewController::markerMoved, m_comparison->readouts(), &ReferenceReadouts::setMarkerIndex);
    // Filled once the plot has shown its first frame, so start-up never waits for it.
    connect(m_ui->openGLView, &QOpenGLWidget::frameSwapped, this, &MasterViewController::refillChart,
            Qt::SingleShotConnection);
    initialize();
    return m_view;
}

void MasterViewController::initialize()
{
    m_pause = true;
    m_run = false;

    {
        cosmophase::Simulation simulation;
        simulation.initialize();
        simulation.runSimulation();
        m_z2_array = simulation.getz2Data();
        m_w0_array = simulation.getw0Data();
        m_w2_array = simulation.getw2Data();
        m_time_array = simulation.getTimeData();
        m_comparison->setRun(simulation, /*deferred=*/true);
    }

    // The run always records its starting state, so sample 0 exists.
    m_z2_end = m_z2_array[0];
    m_w0_end = m_w0_array[0];
    m_w2_end = m_w2_array[0];

    computeRedShiftVsLuminosity();
    m_ui->runTimeField->setText(qt(cosmophase::startupYearsText(cosmophase::startupRunTimeFigure())));
    m_ui->densityRatioField->setText(qt(cosmophase::densityRatioText(cosmophase::densityRatio(m_z2_end))));
}

cosmophase::RunStatus MasterViewController::rerunWith(const cosmophase::RunParameters& parameters)
{
    cosmophase::Simulation simulation;
    simulation.initialize(parameters);
    const cosmophase::RunStatus status = simulation.runSimulationBounded();
    if (status == cosmophase::RunStatus::Ok)
        showRun(parameters, simulation);
    return status;
}

void MasterViewController::showRun(const cosmophase::RunParameters& parameters, const cosmophase::Simulation& simulation)
{
    // The first sample stays the first, whatever the new time offset.
    const double percent = m_sim_index > 0 && hasSample(m_sim_index)
                               ? cosmophase::percentOfRun(m_time_array[m_sim_index], m_time_array.back())
                               : 0;
    m_parameters = parameters;
    m_z2_array = simulation.getz2Data();
    m_w0_array = simulation.getw0Data();
    m_w2_array = simulation.getw2Data();
    m_time_array = simulation.getTimeData();
    m_ui->openGLView->setTrajectory({m_z2_array, m_w0_array});
    m_comparison->setRun(simulation);
    moveMarkerTo(percent > 0 ? findIndexWithPercent(percent) : 0);
    // A new run at its first sample reads as start-up does, in its own
    // first time: back at the defaults, exactly the start-up texts.
    if (m_sim_index == 0)
        m_ui->runTimeField->setText(qt(cosmophase::startupYearsText(m_time_array[0])));
    emit runReplaced(parameters);
}

void MasterViewController::refillChart()
{
    m_comparison->refillChart({m_z2_array, m_w0_array, m_w2_array, m_time_array});
}

void MasterViewController::computeRedShiftVsLuminosity()
{
    const cosmophase::PresentDay present = cosmophase::presentDayParameters(
        static_cast<double>(m_z2_end), static_cast<double>(m_w0_end), static_cast<double>(m_w2_end));
    m_ui->q0Field->setText(qt(cosmophase::threeDecimalText(present.q0)));
    m_ui->xi0Field->setText(qt(cosmophase::threeDecimalText(present.xi0)));
}

void MasterViewController::updateDisplayValues()
{
    computeRedShiftVsLuminosity();
    m_ui->densityRatioField->setText(qt(cosmophase::densityRatioText(cosmophase::densityRatio(m_z2_end))));
    // Without a sample at the marker there is no time to show.
    if (hasSample(m_sim_index))
        m_ui->runTimeField->setText(qt(cosmophase::elapsedYearsText(m_time_array[m_sim_index])));
}

std::int32_t MasterViewController::findIndexWithPercent(double percent) const
{
    const auto n = static_cast<std::int32_t>(m_time_array.size());
    if (n == 0)
        return -1;
    const double target = (percent / kSliderScale) * m_time_array[n - 1];
    std::int32_t i = 0;
    while (target > m_time_array[i]) {
        ++i;
        if (i >= n)
            break;
    }
    return i >= n ? n - 1 : i;
}

void MasterViewController::simToggle()
{
    if (!m_run) {
        startPlayback();
    } else if (!m_pause) {
        m_pause = true;
        m_ui->playButton->setText(QStringLiteral("Play"));
    } else {
        m_pause = false;
        m_ui->playButton->setText(QStringLiteral("Pause"));
    }
}

void MasterViewController::startPlayback()
{
    m_clock = 0;
    m_sim_index = 0;
    // One timer for every playback: restarting it is the only scheduling.
    m_timer.start();
    m_tick_schedule.start();
    m_ticks_delivered = 0;
    m_ui->timeSlider->setIntegerValue(0);
    m_run = true;
    m_pause = false;
    m_ui->playButton->setText(QStringLiteral("Pause"));
}

void MasterViewController::deliverDueTicks()
{
    // A timeout is at least one tick. While a frame holds up the event loop
    // the timer cannot fire, so the ticks due since then follow at once.
    const qint64 due = m_tick_schedule.nsecsElapsed() / (qint64{kTickMilliseconds} * 1000000);
    int delivered = 0;
    do {
        timerFired();
        ++m_ticks_delivered;
        ++delivered;
    } while (m_timer.isActive() && m_ticks_delivered < due && delivered < kMaxCatchUpTicks);
    // After a longer stall, carry on from now rather than racing ahead.
    if (m_ticks_delivered < due)
        m_ticks_delivered = due;
}

void MasterViewController::timerFired()
{
    if (m_pause)
        return;
    if (m_clock >= kClockEnd) {
        m_timer.stop();
        m_ui->playButton->setText(QStringLiteral("Play"));
        m_run = false;
        return;
    }

    // Accumulated, never recomputed from a tick count: 801 advancing ticks
    // depend on the rounding of this running sum.
    m_clock = m_clock + kClockStep;
    const auto n = static_cast<std::int32_t>(m_time_array.size());
    if (n > 0) {
        const double target = (m_clock / kClockEnd) * m_time_array[n - 1];
        // Resumes at the marker, so a whole playback compares each sample
        // about once and the marker never moves back.
        while (m_sim_index < n && target > m_time_array[m_sim_index])
            ++m_sim_index;
        if (m_sim_index >= n)
            m_sim_index = n - 1;
    }
    m_ui->timeSlider->setDoubleValue((kSliderScale * m_clock) / kClockEnd);
    m_ui->openGLView->setSimIndex(m_sim_index);
    loadMarkerState();
    updateDisplayValues();
    emit markerMoved(m_sim_index);
}

void MasterViewController::sliderMoved()
{
    moveMarkerTo(findIndexWithPercent(m_ui->timeSlider->doubleValue()));
}

void MasterViewController::scrubTo(double percent)
{
    m_ui->timeSlider->setDoubleValue(percent);
    sliderMoved();
}

void MasterViewController::scrubBy(double deltaPercent)
{
    scrubTo(m_ui->timeSlider->doubleValue() + deltaPercent);
}

void MasterViewController::goToSample(std::int32_t index)
{
    const cosmophase::SampleNavigator samples(m_time_array);
    const std::int32_t held = samples.step(index, 0);
    m_ui->timeSlider->setDoubleValue(samples.percentOf(held));
    moveMarkerTo(held);
}

void MasterViewController::stepSamples(std::int32_t delta)
{
    goToSample(cosmophase::SampleNavigator(m_time_array).step(m_sim_index, delta));
}

void MasterViewController::moveMarkerTo(std::int32_t index)
{
    m_sim_index = index;
    m_ui->openGLView->setSimIndex(index);
    loadMarkerState();
    updateDisplayValues();
    emit markerMoved(index);
}

void MasterViewController::loadMarkerState()
{
    if (!hasSample(m_sim_index))
        return;
    m_z2_end = m_z2_array[m_sim_index];
    m_w0_end = m_w0_array[m_sim_index];
    m_w2_end = m_w2_array[m_sim_index];
}

bool MasterViewController::hasSample(std::int32_t index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < m_time_array.size();
}

void MasterViewController::showStable()
{
    m_ui->openGLView->toggleShowStable();
}

void MasterViewController::showUnstable()
{
    m_ui->openGLView->toggleShowUnstable();
}

void MasterViewController::showFamily()
{
    m_ui->openGLView->toggleShowFamily();
}
