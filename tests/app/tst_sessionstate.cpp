#include "AppTestSupport.h"
#include "LegendOverlay.h"
#include "ParametersPanel.h"
#include "PhasePlaneInteraction.h"
#include "PlotNavigation.h"
#include "SessionFile.h"
#include "SessionState.h"
#include "StudyGridForm.h"
#include "TimeSeriesChart.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTabWidget>

#include <functional>
#include <vector>

using cosmophase::ChartTab;
using cosmophase::Session;

Q_DECLARE_METATYPE(cosmophase::Session)

namespace {

QString text(const Session& session)
{
    return QString::fromStdString(cosmophase::sessionText(session));
}

Session withRun(const char* q, std::int32_t T, std::size_t marker)
{
    Session session;
    session.q = q;
    session.T = T;
    session.marker = marker;
    return session;
}

} // namespace

class TestSessionState : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void refusedSessionKeepsTheWindow_data();
    void refusedSessionKeepsTheWindow();
    void studyGridFollowsTheForm();
    void changedFollowsEdits();
    void appliedBeforeTheFirstFrame();

private:
    // Applies and waits for the outcome; true when applied.
    bool applyAndWait(const Session& session);

    apptest::App m_app;
    SessionState* m_state = nullptr;
};

void TestSessionState::initTestCase()
{
    QVERIFY(apptest::launch(m_app));
    m_state = m_app.delegate->sessionState();
    QVERIFY(m_state);
    // A fresh window is the empty session.
    QCOMPARE(text(m_state->capture()), text(Session{}));
}

bool TestSessionState::applyAndWait(const Session& session)
{
    QSignalSpy applied(m_state, &SessionState::applied);
    QSignalSpy failed(m_state, &SessionState::applyFailed);
    m_state->apply(session);
    if (!QTest::qWaitFor([&] { return applied.count() + failed.count() > 0; }, 20000))
        return false;
    return applied.count() == 1 && failed.isEmpty();
}

void TestSessionState::roundTrip_data()
{
    QTest::addColumn<Session>("session");

    QTest::newRow("start-up state") << Session{};
    // Kept as typed, not in its shortest form; the run needs no worker.
    QTest::newRow("q as typed, marker") << withRun("0.99990", 9000, 1234);
    QTest::newRow("other T, last sample") << withRun("0.999999426", 12000, 2000);
    // A run near the pole finishes on a worker; the marker waits for it.
    QTest::newRow("run on a worker") << withRun("1.311", 9000, 40);

    Session zoomed;
    zoomed.view = {0.125, -0.25, 0.0625};
    zoomed.layers = {false, true, false, false, false, false, true};
    zoomed.chartTab = ChartTab::State;
    QTest::newRow("zoom, every layer flipped, state tab") << zoomed;

    Session traced = withRun("0.9999", 9000, 77);
    traced.traces = {{0.5, 0.5}, {-0.25, 1.0 / 3}, {1.5, -1.75}};
    traced.layers.legend = true;
    traced.layers.defaultRun = false;
    traced.chartTab = ChartTab::Error;
    traced.studyGrid = "0.9:0.99:10";
    QTest::newRow("traces, no default run, error tab, grid") << traced;

    Session runs = withRun("0.9999", 9000, 10);
    runs.pinnedRuns = {{"0.99", 9000, "#8c510a", true}, {"0.999999426", 12000, "#5a00c8", false}};
    runs.family = cosmophase::SessionFamily{"0.999999999:0.999:5:log", 9000};
    QTest::newRow("pinned runs and a family") << runs;

    // Back from all that to the start-up state.
    QTest::newRow("start-up state again") << Session{};
}

void TestSessionState::roundTrip()
{
    QFETCH(Session, session);
    QVERIFY(applyAndWait(session));
    QCOMPARE(text(m_state->capture()), text(session));
    // What the window shows agrees with what was captured.
    QCOMPARE(m_app.controller->simIndex(), static_cast<int>(session.marker));
    QCOMPARE(m_app.view->plotWindow().halfSide(), session.view.halfSide);
    QCOMPARE(m_app.boxes[0]->isChecked(), session.layers.stableManifold);
    QCOMPARE(m_app.delegate->legend()->isShownOnPlot(), session.layers.legend);
    QCOMPARE(m_app.view->frameContent().layer(cosmophase::plot::FrameContent::Traces).shown, !session.traces.empty());
    // Computed side by side, each trace is the one computed alone, bit for bit.
    const std::vector<cosmophase::SolutionTrace>& traces = m_app.delegate->phasePlaneInteraction()->traces().traces();
    for (std::size_t i = 0; i < traces.size(); ++i) {
        const cosmophase::SolutionTrace alone = cosmophase::traceThrough(session.traces[i].z2, session.traces[i].w0);
        QVERIFY(traces[i].forward.x == alone.forward.x && traces[i].forward.y == alone.forward.y);
        QVERIFY(traces[i].backward.x == alone.backward.x && traces[i].backward.y == alone.backward.y);
    }
}

void TestSessionState::refusedSessionKeepsTheWindow_data()
{
    QTest::addColumn<Session>("session");
    QTest::newRow("marker beyond this run") << withRun("0.999999426", 9000, 999999);
    QTest::newRow("marker beyond another run") << withRun("0.9999", 9000, 999999);
    // Inside the domain, but the run runs out of steps before the present day.
    QTest::newRow("run refused") << withRun("1.32287565", 9000, 0);
}

void TestSessionState::refusedSessionKeepsTheWindow()
{
    QFETCH(Session, session);
    Session before = withRun("0.99990", 9000, 321);
    before.traces = {{0.25, 0.75}};
    before.view = {0.5, 0.5, 0.5};
    QVERIFY(applyAndWait(before));

    QSignalSpy failed(m_state, &SessionState::applyFailed);
    m_state->apply(session);
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 20000);
    QVERIFY(!failed.first().first().toString().isEmpty());
    // A run that had replaced this one is replaced back.
    QTRY_VERIFY_WITH_TIMEOUT(!m_state->isApplying(), 20000);
    QCOMPARE(text(m_state->capture()), text(before));
    QCOMPARE(m_app.get<QLineEdit>("qParameterField")->text(), QStringLiteral("0.99990"));
    // The Parameters group knows the run on screen, so that it reruns from that.
    QVERIFY(m_app.controller->additions().parametersPanel()->parameters()
            == m_app.controller->additions().runs().parameters());
}

void TestSessionState::studyGridFollowsTheForm()
{
    Session session;
    session.studyGrid = "0.5:0.75:5";
    QVERIFY(applyAndWait(session));
    // Shown in 1 - q as the form starts, read back in q.
    StudyGridForm form(100);
    m_state->attachStudyGrid(form);
    QCOMPARE(form.variable(), StudyGridForm::OneMinusQ);
    QCOMPARE(form.gridField()->text(), QStringLiteral("0.5:0.25:5"));
    QCOMPARE(m_state->capture().studyGrid, session.studyGrid);

    QSignalSpy changed(m_state, &SessionState::changed);
    form.gridField()->setText(QStringLiteral("1e-6,1e-5"));
    QVERIFY(!changed.isEmpty());
    QCOMPARE(m_state->capture().studyGrid, std::string("0.999999,0.99999"));
}

void TestSessionState::changedFollowsEdits()
{
    QVERIFY(applyAndWait(Session{}));
    QSignalSpy changed(m_state, &SessionState::changed);
    const auto edits = std::vector<std::function<void()>>{
        [&] { m_app.boxes[1]->click(); },
        [&] { m_app.delegate->plotNavigation()->zoomIn(); },
        [&] { m_app.delegate->phasePlaneInteraction()->traceFrom({0.5, 0.5}); },
        [&] { m_app.delegate->masterViewController()->additions().markers().goToSample(5); },
        [&] { m_app.delegate->layerSwitches().legend->toggle(); },
        [&] { m_app.menuAction(QStringLiteral("Default Run"))->toggle(); },
        [&] { m_app.controller->additions().timeSeriesChart()->tabs()->setCurrentIndex(1); },
    };
    for (std::size_t i = 0; i < edits.size(); ++i) {
        const QString before = text(m_state->capture());
        changed.clear();
        edits[i]();
        QVERIFY2(!changed.isEmpty(), qPrintable(QString::number(i)));
        QVERIFY2(text(m_state->capture()) != before, qPrintable(QString::number(i)));
    }
}

// As `cosmophase FILE` does: the session is in the first frame, and stays
// once the view has set itself up.
void TestSessionState::appliedBeforeTheFirstFrame()
{
    Session session = withRun("0.9999", 9000, 100);
    session.layers = {false, true, false, true, false, true, true};
    session.view = {0.25, 0.25, 0.5};
    session.traces = {{0.5, 0.5}};
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching([&](AppDelegate& launched) { launched.sessionState()->apply(session); });
    QVERIFY(QTest::qWaitForWindowExposed(delegate.window()));
    MyOpenGLView& view = *delegate.masterViewController()->openGLView();
    QTRY_VERIFY(view.curves().isBuilt());
    QCOMPARE(text(delegate.sessionState()->capture()), text(session));
    QCOMPARE((QList<bool>{view.showStableManifold(), view.showUnstableManifold(), view.showFamilyCurve()}),
             (QList<bool>{false, true, false}));
}

QTEST_MAIN(TestSessionState)
#include "tst_sessionstate.moc"
