#pragma once

#include "RunParameters.h"
#include "RunStatus.h"

#include <QObject>
#include <QTimer>

#include <cstdint>

class LatestJobRunner;
class MasterViewController;
class ParametersPanel;
class RunReplacement;
class QAction;
namespace cosmophase {
class Simulation;
}

// Runs what the Parameters group asks for on the controller and tells the
// group whether the run was taken. While the parameters differ from the
// defaults, the default run's trajectory stays on the plot as a faint
// curve, switched by `showDefaultRun` (a View menu action).
//
// A run is tried on the UI thread with a budget of steps that takes a few
// milliseconds; one that needs more (near the pole, q about 1.311, a run
// may take the full budget, a quarter of a second) runs again on a worker
// thread while the last run stays on screen, and a later edit replaces it.
//
// Refilling the chart costs far more than the run (tens of milliseconds for
// its six curves), so while the q slider is dragged the plot and the
// read-outs follow every position and the chart follows once the drag rests
// or ends.
class ParameterRuns : public QObject {
    Q_OBJECT

public:
    ParameterRuns(MasterViewController& controller, QAction& showDefaultRun, QObject* parent = nullptr);

    static constexpr int kDragRestMilliseconds = 150;
    // Steps a run may take on the UI thread: about 20 ms; ordinary runs
    // take 6,000 to 27,000.
    static constexpr std::int32_t kInstantSteps = 50000;

    // As if the parameters had been typed: the command line's --q and --T.
    void start(const cosmophase::RunParameters& parameters);
    // A run too long for the UI thread is under way.
    bool isRunningInBackground() const;

signals:
    // A run asked for that could not be shown; the last run stays.
    void runRefused(const cosmophase::RunParameters& parameters, const QString& reason);

private:
    void run(const cosmophase::RunParameters& parameters);
    void finish(const cosmophase::RunParameters& parameters, cosmophase::RunStatus status,
                const cosmophase::Simulation& simulation);
    void updateDefaultTrajectory();
    void refillChartIfPending();

    MasterViewController& m_controller;
    RunReplacement& m_runs;
    ParametersPanel& m_panel;
    QAction& m_show_default_run;
    QTimer m_chart_refill;
    bool m_refill_after_frame = false;
    LatestJobRunner* m_worker = nullptr;
    // Counts the runs asked for; a background run's result is taken only
    // while it is the latest.
    std::uint64_t m_request = 0;
};
