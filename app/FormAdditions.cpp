#include "FormAdditions.h"

#include "MarkerNavigation.h"
#include "MasterViewController.h"
#include "MyOpenGLView.h"
#include "ReferenceReadouts.h"
#include "RunComparison.h"
#include "RunReplacement.h"
#include "TimeSeriesChart.h"
#include "ui_MasterViewController.h"

FormAdditions::FormAdditions(MasterViewController& controller, const Ui::MasterViewController& form, QWidget& view)
    : QObject(&view)
    , m_chart(form.timeSeriesChart)
    , m_parameters_panel(form.parametersPanel)
    , m_panel_layout{form.rootLayout, form.plotFrame, form.sidePanel, form.sidePanelLayout, form.timeSeriesChart}
{
    connect(form.openGLView, &MyOpenGLView::plotWindowChanged, form.plotFrame, &PlotAxesFrame::setPlotWindow);
    m_curve_switches.bind(*form.stableCheckBox, *form.unstableCheckBox, *form.familyCheckBox, *form.openGLView);
    connect(&m_curve_switches.stable(), &QAction::triggered, &controller, &MasterViewController::showStable);
    connect(&m_curve_switches.unstable(), &QAction::triggered, &controller, &MasterViewController::showUnstable);
    connect(&m_curve_switches.family(), &QAction::triggered, &controller, &MasterViewController::showFamily);
    connect(&controller, &MasterViewController::markerMoved, m_chart, &TimeSeriesChart::setMarkerIndex);
    m_markers = new MarkerNavigation(controller, *form.timeSlider, *m_chart, this);
    m_comparison = new RunComparison(*m_chart, *form.readoutsLayout, this);
    connect(&controller, &MasterViewController::markerMoved, m_comparison->readouts(),
            &ReferenceReadouts::setMarkerIndex);
    m_runs = new RunReplacement(controller, *m_comparison, this);
}
