#include "RunReplacement.h"

#include "MasterViewController.h"
#include "MyOpenGLView.h"
#include "RunComparison.h"
#include "Simulation.h"
#include "TimeSeries.h"

#include <vector>

RunReplacement::RunReplacement(MasterViewController& controller, RunComparison& comparison, QObject* parent)
    : QObject(parent)
    , m_controller(controller)
    , m_comparison(comparison)
{
    connect(m_controller.openGLView(), &QOpenGLWidget::frameSwapped, this, &RunReplacement::refillChart,
            Qt::SingleShotConnection);
}

cosmophase::RunStatus RunReplacement::rerunWith(const cosmophase::RunParameters& parameters)
{
    cosmophase::Simulation simulation;
    simulation.initialize(parameters);
    const cosmophase::RunStatus status = simulation.runSimulationBounded();
    if (status == cosmophase::RunStatus::Ok)
        showRun(parameters, simulation);
    return status;
}

void RunReplacement::showRun(const cosmophase::RunParameters& parameters, const cosmophase::Simulation& run)
{
    MasterViewController& c = m_controller;
    const std::vector<double>& time = c.timeArray();
    // The first sample stays the first, whatever the new time offset.
    const double percent = c.simIndex() > 0 && static_cast<std::size_t>(c.simIndex()) < time.size()
                               ? cosmophase::percentOfRun(time[c.simIndex()], time.back())
                               : 0;
    m_parameters = parameters;
    c.copySamples(run);
    c.openGLView()->setTrajectory({c.z2Array(), c.w0Array()});
    m_comparison.setRun(run);
    c.moveMarkerTo(percent > 0 ? c.findIndexWithPercent(percent) : 0);
    // Back at its first sample a run reads as start-up does, in its own first time.
    if (c.simIndex() == 0)
        c.showStartupTime(time[0]);
    emit runReplaced(parameters);
}

void RunReplacement::refillChart()
{
    const MasterViewController& c = m_controller;
    m_comparison.refillChart({c.z2Array(), c.w0Array(), c.w2Array(), c.timeArray()});
}
