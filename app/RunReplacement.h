#pragma once

#include "RunParameters.h"
#include "RunStatus.h"

#include <QObject>

class MasterViewController;
class RunComparison;
namespace cosmophase {
class Simulation;
}

// Puts runs at new parameters in place of the controller's, and keeps the
// parameters of the run on screen. The chart, far slower to refill than
// the run, follows when refillChart() is called: first after the plane's
// first frame, so start-up never waits for it, then as the caller decides.
class RunReplacement : public QObject {
    Q_OBJECT

public:
    RunReplacement(MasterViewController& controller, RunComparison& comparison, QObject* parent = nullptr);

    // Replaces the run with one at `parameters` when that run reaches the
    // present day: the plane and the read-outs follow, the marker keeps its
    // share of the elapsed time and playback goes on. Otherwise the current
    // run stays; the status says why.
    cosmophase::RunStatus rerunWith(const cosmophase::RunParameters& parameters);
    // The second half of rerunWith(): puts `run`, initialized with
    // `parameters` and run to the present day, on screen.
    void showRun(const cosmophase::RunParameters& parameters, const cosmophase::Simulation& run);
    const cosmophase::RunParameters& parameters() const { return m_parameters; }
    // The chart from the controller's samples.
    void refillChart();

signals:
    // After a new run is on screen.
    void runReplaced(const cosmophase::RunParameters& parameters);

private:
    MasterViewController& m_controller;
    RunComparison& m_comparison;
    cosmophase::RunParameters m_parameters;
};
