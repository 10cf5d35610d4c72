#include "ParameterRuns.h"

#include "MasterViewController.h"
#include "MyOpenGLView.h"
#include "LatestJobRunner.h"
#include "ParametersPanel.h"
#include "RunReplacement.h"
#include "Simulation.h"

#include <QAction>
#include <QOpenGLWidget>
#include <QTimer>

#include <memory>
#include <utility>

ParameterRuns::ParameterRuns(MasterViewController& controller, QAction& showDefaultRun, QObject* parent)
    : QObject(parent)
    , m_controller(controller)
    , m_runs(controller.additions().runs())
    , m_panel(*controller.additions().parametersPanel())
    , m_show_default_run(showDefaultRun)
    , m_worker(new LatestJobRunner(this))
{
    connect(&m_panel, &ParametersPanel::runRequested, this, &ParameterRuns::run);
    connect(&m_show_default_run, &QAction::toggled, this, &ParameterRuns::updateDefaultTrajectory);
    m_chart_refill.setSingleShot(true);
    m_chart_refill.setInterval(kDragRestMilliseconds);
    connect(&m_chart_refill, &QTimer::timeout, &m_runs, &RunReplacement::refillChart);
    connect(&m_panel, &ParametersPanel::sliderReleased, this, &ParameterRuns::refillChartIfPending);
    // The plane shows a new run in its next frame; the chart, which takes
    // far longer to refill, follows just after it.
    connect(m_controller.openGLView(), &QOpenGLWidget::frameSwapped, this, [this] {
        if (m_refill_after_frame) {
            m_refill_after_frame = false;
            // After the frame's other receivers, from the event loop.
            QTimer::singleShot(0, &m_runs, &RunReplacement::refillChart);
        }
    });
}

void ParameterRuns::refillChartIfPending()
{
    if (!m_chart_refill.isActive())
        return;
    m_chart_refill.stop();
    m_runs.refillChart();
}

bool ParameterRuns::isRunningInBackground() const
{
    return m_worker->isBusy();
}

void ParameterRuns::start(const cosmophase::RunParameters& parameters)
{
    m_panel.showParameters(parameters);
    run(parameters);
}

void ParameterRuns::run(const cosmophase::RunParameters& parameters)
{
    const std::uint64_t request = ++m_request;
    cosmophase::Simulation simulation;
    simulation.initialize(parameters);
    const cosmophase::RunStatus status = simulation.runSimulationBounded(kInstantSteps);
    if (status != cosmophase::RunStatus::Budget) {
        finish(parameters, status, simulation);
        return;
    }
    using Outcome = std::pair<cosmophase::RunStatus, std::shared_ptr<const cosmophase::Simulation>>;
    m_worker->submit(
        [parameters]() -> Outcome {
            auto full = std::make_shared<cosmophase::Simulation>();
            full->initialize(parameters);
            const cosmophase::RunStatus fullStatus = full->runSimulationBounded();
            return {fullStatus, std::move(full)};
        },
        [this, request, parameters](const Outcome& outcome) {
            if (request == m_request)
                finish(parameters, outcome.first, *outcome.second);
        });
}

void ParameterRuns::finish(const cosmophase::RunParameters& parameters, cosmophase::RunStatus status,
                           const cosmophase::Simulation& simulation)
{
    if (status == cosmophase::RunStatus::Ok) {
        m_runs.showRun(parameters, simulation);
        m_panel.showRunAccepted(parameters);
        m_chart_refill.stop();
        if (m_panel.sliderDragged())
            m_chart_refill.start();
        else
            m_refill_after_frame = true;
    } else {
        const QString reason = QString::fromStdString(cosmophase::statusReason(status));
        m_panel.showRunRefused(reason);
        emit runRefused(parameters, reason);
    }
    updateDefaultTrajectory();
}

void ParameterRuns::updateDefaultTrajectory()
{
    m_controller.openGLView()->setShowDefaultTrajectory(m_show_default_run.isChecked() &&
                                                        !m_runs.parameters().isDefault());
}
