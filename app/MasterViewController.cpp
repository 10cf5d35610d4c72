#include "MasterViewController.h"

#include "MyOpenGLView.h"
#include "Observables.h"
#include "ReadoutFormat.h"
#include "RunComparison.h"
#include "SampleAtPercent.h"
#include "Simulation.h"
#include "ui_MasterViewController.h"

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
    m_additions = new FormAdditions(*this, *m_ui, *m_view);
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
        copySamples(simulation);
        m_additions->comparison().setRun(simulation, /*deferred=*/true);
    }

    loadMarkerState(); // sample 0, the starting state

    computeRedShiftVsLuminosity();
    showStartupTime(cosmophase::startupRunTimeFigure());
    m_ui->densityRatioField->setText(qt(cosmophase::densityRatioText(cosmophase::densityRatio(m_z2_end))));
}

void MasterViewController::copySamples(const cosmophase::Simulation& run)
{
    m_z2_array = run.getz2Data();
    m_w0_array = run.getw0Data();
    m_w2_array = run.getw2Data();
    m_time_array = run.getTimeData();
}

void MasterViewController::showStartupTime(double years)
{
    m_ui->runTimeField->setText(qt(cosmophase::startupYearsText(years)));
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
    // One rule for the slider and for a figure's --position.
    return cosmophase::sampleAtPercent(m_time_array, percent);
}

void MasterViewController::simToggle()
{
    if (!m_run) {
        m_clock = 0;
        m_sim_index = 0;
        // One timer for every playback: restarting it is the only scheduling.
        m_timer.start();
        m_ticks.start();
        m_ui->timeSlider->setIntegerValue(0);
        m_run = true;
        m_pause = false;
        m_ui->playButton->setText(QStringLiteral("Pause"));
    } else if (!m_pause) {
        m_pause = true;
        m_ui->playButton->setText(QStringLiteral("Play"));
    } else {
        m_pause = false;
        m_ui->playButton->setText(QStringLiteral("Pause"));
    }
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

    // A running sum, never a tick count times the step: the ticks depend on its rounding.
    m_clock = m_clock + kClockStep;
    const auto n = static_cast<std::int32_t>(m_time_array.size());
    if (n > 0) {
        const double target = (m_clock / kClockEnd) * m_time_array[n - 1];
        // From the marker on: a tick never moves it back.
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
