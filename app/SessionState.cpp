#include "SessionState.h"

#include "FormAdditions.h"
#include "MarkerNavigation.h"
#include "MasterViewController.h"
#include "MyOpenGLView.h"
#include "ParameterRuns.h"
#include "ParametersPanel.h"
#include "PhasePlaneInteraction.h"
#include "RunReplacement.h"
#include "RunsInPlane.h"
#include "StudyGridForm.h"
#include "TimeSeriesChart.h"
#include "TraceBatch.h"

#include <QAction>
#include <QLineEdit>
#include <QTabWidget>

#include <algorithm>
#include <utility>
#include <vector>

namespace plot = cosmophase::plot;

SessionState::SessionState(const Parts& parts, QObject* parent)
    : QObject(parent)
    , m_parts(parts)
{
    MasterViewController& controller = m_parts.controller;
    FormAdditions& additions = controller.additions();
    MyOpenGLView& view = *controller.openGLView();
    connect(&additions.runs(), &RunReplacement::runReplaced, this, &SessionState::runShown);
    connect(&m_parts.runs, &ParameterRuns::runRefused, this, &SessionState::runRefused);
    // An edit while a session waits for its run wins over the session.
    connect(additions.parametersPanel(), &ParametersPanel::runRequested, this, &SessionState::abandonPending);

    // Also after a text typed for the same q, which runs again.
    connect(&additions.runs(), &RunReplacement::runReplaced, this, &SessionState::changed);
    connect(&controller, &MasterViewController::markerMoved, this, &SessionState::changed);
    connect(&view, &MyOpenGLView::plotWindowChanged, this, &SessionState::changed);
    connect(&view, &MyOpenGLView::layersChanged, this, &SessionState::changed);
    for (QAction* action : {&m_parts.legend, &m_parts.defaultRun})
        connect(action, &QAction::toggled, this, &SessionState::changed);
    connect(additions.timeSeriesChart()->tabs(), &QTabWidget::currentChanged, this, &SessionState::changed);
}

std::vector<plot::Point> SessionState::traceStarts(const cosmophase::Session& session)
{
    std::vector<plot::Point> starts;
    starts.reserve(session.traces.size());
    for (const cosmophase::SessionTrace& trace : session.traces)
        starts.push_back({trace.z2, trace.w0});
    return starts;
}

cosmophase::Session SessionState::capture() const
{
    const MasterViewController& controller = m_parts.controller;
    const FormAdditions& additions = controller.additions();
    const MyOpenGLView& view = *controller.openGLView();
    const cosmophase::RunParameters& run = additions.runs().parameters();

    cosmophase::Session session;
    session.q = additions.parametersPanel()->accelerationText(run.q).toStdString();
    session.T = run.T;
    session.marker = static_cast<std::size_t>(std::max(controller.simIndex(), 0));
    const plot::PlotWindow& window = view.plotWindow();
    session.view = {window.centre().x, window.centre().y, window.halfSide()};
    session.layers.directionField = view.showDirectionField();
    session.layers.legend = m_parts.legend.isChecked();
    session.layers.stableManifold = view.showStableManifold();
    session.layers.unstableManifold = view.showUnstableManifold();
    session.layers.familyCurve = view.showFamilyCurve();
    session.layers.defaultRun = m_parts.defaultRun.isChecked();
    session.layers.nullclines = view.showNullclines();
    for (const cosmophase::SolutionTrace& trace : m_parts.interaction.traces().traces())
        session.traces.push_back({trace.z2, trace.w0});
    session.chartTab = static_cast<cosmophase::ChartTab>(additions.timeSeriesChart()->tabs()->currentIndex());
    session.studyGrid = m_study_grid ? m_study_grid->accelerationGrid().toStdString() : m_kept_study_grid;
    if (m_runs_in_plane)
        m_runs_in_plane->captureInto(session);
    return session;
}

void SessionState::apply(const cosmophase::Session& session)
{
    const cosmophase::RunParameters parameters = session.parameters();
    m_pending.reset();
    m_before_pending.reset();
    m_reverting = false;
    if (parameters == m_parts.controller.additions().runs().parameters() && !m_parts.runs.isRunningInBackground()) {
        finishApply(session);
        return;
    }
    m_before_pending = capture();
    m_pending = session;
    // Shows the run at once, or later from a worker: runShown() takes it up.
    m_parts.runs.start(parameters);
}

void SessionState::runShown(const cosmophase::RunParameters& parameters)
{
    if (!m_pending)
        return;
    if (m_pending->parameters() != parameters) {
        abandonPending();
        return;
    }
    const cosmophase::Session session = std::move(*m_pending);
    m_pending.reset();
    finishApply(session);
}

void SessionState::abandonPending()
{
    if (!m_pending)
        return;
    m_pending.reset();
    m_before_pending.reset();
    m_reverting = false;
    emit applyFailed(tr("another run was asked for before the session's was shown"));
}

void SessionState::runRefused(const cosmophase::RunParameters& parameters, const QString& reason)
{
    if (!m_pending || m_pending->parameters() != parameters)
        return;
    m_pending.reset();
    m_reverting = false;
    // The fields go back to the run that stays, as its q was typed.
    ParametersPanel& panel = *m_parts.controller.additions().parametersPanel();
    panel.showParameters(m_parts.controller.additions().runs().parameters());
    if (const std::optional<cosmophase::Session> before = std::exchange(m_before_pending, std::nullopt))
        panel.showAccelerationText(QString::fromStdString(before->q));
    emit applyFailed(tr("q = %1, T = %2: %3")
             .arg(QString::fromStdString(cosmophase::accelerationText(parameters.q)))
             .arg(parameters.T)
             .arg(reason));
}

void SessionState::finishApply(const cosmophase::Session& session)
{
    MasterViewController& controller = m_parts.controller;
    FormAdditions& additions = controller.additions();
    const std::string markerError = cosmophase::checkMarker(session.marker, controller.timeArray().size());
    if (!markerError.empty()) {
        std::optional<cosmophase::Session> before = std::exchange(m_before_pending, std::nullopt);
        // Back to what was shown, run and all, when this session's run
        // replaced it: a step back, not a session applied. Its run starts
        // from the event loop, once the one just shown is wholly in place.
        if (before) {
            m_reverting = true;
            m_pending = std::move(before);
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_pending && m_reverting)
                        m_parts.runs.start(m_pending->parameters());
                },
                Qt::QueuedConnection);
        }
        emit applyFailed(QString::fromStdString(markerError));
        return;
    }
    m_before_pending.reset();

    additions.parametersPanel()->showAccelerationText(QString::fromStdString(session.q));
    MyOpenGLView& view = *controller.openGLView();
    const cosmophase::SessionLayers& layers = session.layers;
    setCurveSwitch(additions.curveSwitches().stable(), layers.stableManifold);
    setCurveSwitch(additions.curveSwitches().unstable(), layers.unstableManifold);
    setCurveSwitch(additions.curveSwitches().family(), layers.familyCurve);
    additions.curveSwitches().nullclines().setChecked(layers.nullclines);
    m_parts.directionField.setChecked(layers.directionField);
    m_parts.legend.setChecked(layers.legend);
    m_parts.defaultRun.setChecked(layers.defaultRun);

    const std::vector<plot::Point> starts = traceStarts(session);
    const std::vector<cosmophase::SolutionTrace>& shown = m_parts.interaction.traces().traces();
    const bool sameTraces = std::equal(starts.begin(), starts.end(), shown.begin(), shown.end(),
                                       [](const plot::Point& a, const cosmophase::SolutionTrace& b) {
                                           return a.x == b.z2 && a.y == b.w0;
                                       });
    if (!sameTraces)
        m_parts.interaction.replaceTraces(TraceBatch(starts, TraceBatch::Cores::All).take());

    const plot::PlotWindow window = plot::PlotWindow::centredAt({session.view.z2, session.view.w0},
                                                                session.view.halfSide);
    const plot::PlotWindow& current = view.plotWindow();
    if (window.centre().x != current.centre().x || window.centre().y != current.centre().y
        || window.halfSide() != current.halfSide())
        view.setPlotWindow(window);

    if (static_cast<std::size_t>(controller.simIndex()) != session.marker)
        additions.markers().goToSample(static_cast<std::int32_t>(session.marker));
    additions.timeSeriesChart()->tabs()->setCurrentIndex(static_cast<int>(session.chartTab));
    m_kept_study_grid = session.studyGrid;
    if (m_study_grid)
        m_study_grid->setAccelerationGrid(QString::fromStdString(session.studyGrid));
    if (m_runs_in_plane)
        m_runs_in_plane->applyFrom(session);
    emit changed();
    if (!std::exchange(m_reverting, false))
        emit applied();
}

void SessionState::attachStudyGrid(StudyGridForm& form)
{
    m_study_grid = &form;
    form.setAccelerationGrid(QString::fromStdString(m_kept_study_grid));
    connect(form.gridField(), &QLineEdit::textChanged, this, &SessionState::changed);
    connect(&form, &QObject::destroyed, this, [this] { m_study_grid = nullptr; });
}

void SessionState::attachRuns(RunsInPlane& runs)
{
    m_runs_in_plane = &runs;
    connect(&runs, &RunsInPlane::changed, this, &SessionState::changed);
}

void SessionState::setCurveSwitch(QAction& action, bool on)
{
    // The manifolds and the family curve flip on a trigger, not on a check.
    if (action.isChecked() != on)
        action.trigger();
}
