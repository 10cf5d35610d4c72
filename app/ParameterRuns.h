#pragma once

#include "RunParameters.h"

#include <QObject>

class MasterViewController;
class ParametersPanel;
class QAction;

// Runs what the Parameters group asks for on the controller and tells the
// group whether the run was taken. While the parameters differ from the
// defaults, the default run's trajectory stays on the plot as a faint
// curve, switched by `showDefaultRun` (a View menu action).
class ParameterRuns : public QObject {
    Q_OBJECT

public:
    ParameterRuns(MasterViewController& controller, QAction& showDefaultRun, QObject* parent = nullptr);

    // As if the parameters had been typed: the command line's --q and --T.
    void start(const cosmophase::RunParameters& parameters);

private:
    void run(const cosmophase::RunParameters& parameters);
    void updateDefaultTrajectory();

    MasterViewController& m_controller;
    ParametersPanel& m_panel;
    QAction& m_show_default_run;
};
