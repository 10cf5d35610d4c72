#pragma once

#include "RunParameters.h"

#include <QObject>
#include <QTimer>

class MasterViewController;
class ParametersPanel;
class QAction;

// Runs what the Parameters group asks for on the controller and tells the
// group whether the run was taken. While the parameters differ from the
// defaults, the default run's trajectory stays on the plot as a faint
// curve, switched by `showDefaultRun` (a View menu action).
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

    // As if the parameters had been typed: the command line's --q and --T.
    void start(const cosmophase::RunParameters& parameters);

private:
    void run(const cosmophase::RunParameters& parameters);
    void updateDefaultTrajectory();
    void refillChartIfPending();

    MasterViewController& m_controller;
    ParametersPanel& m_panel;
    QAction& m_show_default_run;
    QTimer m_chart_refill;
    bool m_refill_after_frame = false;
};
