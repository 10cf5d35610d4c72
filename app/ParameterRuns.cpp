#include "ParameterRuns.h"

#include "MasterViewController.h"
#include "MyOpenGLView.h"
#include "ParametersPanel.h"

#include <QAction>
#include <QOpenGLWidget>
#include <QTimer>

ParameterRuns::ParameterRuns(MasterViewController& controller, QAction& showDefaultRun, QObject* parent)
    : QObject(parent)
    , m_controller(controller)
    , m_panel(*controller.parametersPanel())
    , m_show_default_run(showDefaultRun)
{
    connect(&m_panel, &ParametersPanel::runRequested, this, &ParameterRuns::run);
    connect(&m_show_default_run, &QAction::toggled, this, &ParameterRuns::updateDefaultTrajectory);
    m_chart_refill.setSingleShot(true);
    m_chart_refill.setInterval(kDragRestMilliseconds);
    connect(&m_chart_refill, &QTimer::timeout, &m_controller, &MasterViewController::refillChart);
    connect(&m_panel, &ParametersPanel::sliderReleased, this, &ParameterRuns::refillChartIfPending);
    // The plane shows a new run in its next frame; the chart, which takes
    // far longer to refill, follows just after it.
    connect(m_controller.openGLView(), &QOpenGLWidget::frameSwapped, this, [this] {
        if (m_refill_after_frame) {
            m_refill_after_frame = false;
            // After the frame's other receivers, from the event loop.
            QTimer::singleShot(0, &m_controller, &MasterViewController::refillChart);
        }
    });
}

void ParameterRuns::refillChartIfPending()
{
    if (!m_chart_refill.isActive())
        return;
    m_chart_refill.stop();
    m_controller.refillChart();
}

void ParameterRuns::start(const cosmophase::RunParameters& parameters)
{
    m_panel.showParameters(parameters);
    run(parameters);
}

void ParameterRuns::run(const cosmophase::RunParameters& parameters)
{
    const cosmophase::RunStatus status = m_controller.rerunWith(parameters);
    if (status == cosmophase::RunStatus::Ok) {
        m_panel.showRunAccepted(parameters);
        m_chart_refill.stop();
        if (m_panel.sliderDragged())
            m_chart_refill.start();
        else
            m_refill_after_frame = true;
    } else {
        m_panel.showRunRefused(QString::fromStdString(cosmophase::statusReason(status)));
    }
    updateDefaultTrajectory();
}

void ParameterRuns::updateDefaultTrajectory()
{
    m_controller.openGLView()->setShowDefaultTrajectory(m_show_default_run.isChecked() &&
                                                        !m_controller.parameters().isDefault());
}
