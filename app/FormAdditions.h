#pragma once

#include "CurveSwitches.h"
#include "PanelLayout.h"

#include <QObject>

class MarkerNavigation;
class MasterViewController;
class ParametersPanel;
class QWidget;
class RunComparison;
class RunReplacement;
class TimeSeriesChart;
namespace Ui {
class MasterViewController;
}

// What the window adds to the controller's form, made with it before the
// start-up run: the curve switches as menu actions, the plot's axes, the
// chart beside the reference, marker navigation and reruns.
class FormAdditions : public QObject {
    Q_OBJECT

public:
    FormAdditions(MasterViewController& controller, const Ui::MasterViewController& form, QWidget& view);

    // The curve switches the form's check boxes are bound to, for the menu.
    CurveSwitches& curveSwitches() { return m_curve_switches; }
    MarkerNavigation& markers() const { return *m_markers; }
    // The chart and the reference lines.
    RunComparison& comparison() const { return *m_comparison; }
    RunReplacement& runs() const { return *m_runs; }
    TimeSeriesChart* timeSeriesChart() const { return m_chart; }
    ParametersPanel* parametersPanel() const { return m_parameters_panel; }
    // The form's parts that the window's additions arrange.
    const PanelLayout& panelLayout() const { return m_panel_layout; }

private:
    CurveSwitches m_curve_switches;
    TimeSeriesChart* m_chart = nullptr;
    ParametersPanel* m_parameters_panel = nullptr;
    PanelLayout m_panel_layout;
    MarkerNavigation* m_markers = nullptr;
    RunComparison* m_comparison = nullptr;
    RunReplacement* m_runs = nullptr;
};
