// The parameter study window: the curves are computeStudyPoint's values, a
// cancelled study leaves the pool free and the curves as they were, a click
// runs the main window at that q, and the CSV is the sweep's.

#include "AppTestSupport.h"

#include "AppCommands.h"
#include "ParameterRuns.h"
#include "ParameterGrid.h"
#include "ParameterStudy.h"
#include "ParameterStudyWindow.h"
#include "StudyPoint.h"
#include "SweepFormat.h"

#include <QChart>
#include <QChartView>
#include <QFile>
#include <QLineEdit>
#include <QLineSeries>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>

using cosmophase::RunParameters;
using cosmophase::studies::computeStudyPoint;
using cosmophase::studies::PresentDayValues;

class TestParameterStudyWindow : public QObject {
    Q_OBJECT

    static constexpr const char* kSmallGrid = "0.99999999:0.9999:5:log";

    apptest::App m_app;
    ParameterStudyWindow* m_window = nullptr;

    // The grid's q values at the main window's T, as the sweep would take them.
    std::vector<RunParameters> gridOf(const char* text) const
    {
        const auto grid = cosmophase::studies::GridParse::acceleration(text).grid;
        std::vector<RunParameters> points;
        for (std::size_t i = 0; i < grid->size(); ++i)
            points.push_back({(*grid)[i], m_app.controller->parameters().T});
        return points;
    }
    bool computeSmallGrid()
    {
        m_window->gridField()->setText(QLatin1String(kSmallGrid));
        m_window->compute();
        return QTest::qWaitFor([this] { return !m_window->study().isComputing(); }, 20000)
               && m_window->study().points().size() == 5;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(apptest::launch(m_app));
        QAction* open = m_app.menuAction(QString::fromUtf8("Parameter Study\u2026"));
        QVERIFY(open);
        open->trigger(), open->trigger();
        const auto windows = m_app.delegate->window()->findChildren<ParameterStudyWindow*>();
        QVERIFY(windows.size() == 1 && windows[0]->isVisible() && !windows[0]->isModal());
        m_window = windows[0];
        // Opening computes the default grid; a new grid replaces it.
        QVERIFY(m_window->study().isComputing());
        QVERIFY(computeSmallGrid());
    }

    void curvesAreTheStudyPoints()
    {
        const std::vector<RunParameters> grid = gridOf(kSmallGrid);
        const struct { ParameterStudyWindow::Quantity quantity; double (*value)(const PresentDayValues&); } rows[] = {
            {ParameterStudyWindow::Age, [](const PresentDayValues& v) { return v.elapsedYears / 1e9; }},
            {ParameterStudyWindow::Q0, [](const PresentDayValues& v) { return v.q0; }},
            {ParameterStudyWindow::Xi0, [](const PresentDayValues& v) { return v.xi0; }},
            {ParameterStudyWindow::DensityRatio, [](const PresentDayValues& v) { return v.densityRatio; }}};
        for (const std::size_t i : {std::size_t{0}, std::size_t{3}}) {
            const cosmophase::studies::StudyPoint expected = computeStudyPoint(grid[i], true);
            QVERIFY(expected.run && expected.reference);
            for (const auto& row : rows) {
                const QPointF run = m_window->runCurve(row.quantity)->at(static_cast<int>(i));
                const QPointF reference = m_window->referenceCurve(row.quantity)->at(static_cast<int>(i));
                QCOMPARE(run, QPointF(1.0 - grid[i].q, row.value(*expected.run)));
                QCOMPARE(reference, QPointF(1.0 - grid[i].q, row.value(*expected.reference)));
                QCOMPARE(m_window->runCurve(row.quantity)->count(), 5);
            }
        }
        // The default q (1 - q = 5.74e-7) lies inside the grid: marked.
        const QLineSeries* marker = m_window->currentMarker(ParameterStudyWindow::Q0);
        QCOMPARE(marker->count(), 2);
        QCOMPARE(marker->at(0).x(), 1.0 - m_app.controller->parameters().q);
        QVERIFY(m_window->exportCsvButton()->isEnabled());
    }

    // Cancel frees the pool at once (a small grid then computes without
    // queuing behind a hundred thousand points) and keeps the last curves.
    void cancelStopsTheComputation()
    {
        m_window->gridField()->setText(QStringLiteral("0.999999999:0.999:100000:log"));
        m_window->compute();
        QTRY_VERIFY(m_window->progressBar()->value() > 0);
        QVERIFY(m_window->cancelButton()->isEnabled());
        QTest::mouseClick(m_window->cancelButton(), Qt::LeftButton);
        QVERIFY(!m_window->study().isComputing() && !m_window->cancelButton()->isEnabled());
        QCOMPARE(m_window->runCurve(ParameterStudyWindow::Age)->count(), 5);
        QVERIFY(computeSmallGrid());
    }

    void clickRunsTheMainWindowAtThatQ()
    {
        const RunParameters target = gridOf(kSmallGrid)[3];
        const ParameterStudyWindow::Quantity quantity = ParameterStudyWindow::Age;
        QChartView* view = m_window->chartView(quantity);
        QLineSeries* run = m_window->runCurve(quantity);
        // A little beside the point: the nearest grid point is taken.
        const QPointF onChart = view->chart()->mapToPosition(run->at(3) * 1.05, run) + QPointF(0, 10);
        QSignalSpy replaced(m_app.controller, &MasterViewController::runReplaced);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(view->chart()->mapToScene(onChart)));
        QCOMPARE(replaced.count(), 1);
        QCOMPARE(m_app.controller->parameters(), target);
        QCOMPARE(m_app.get<QLineEdit>("qParameterField")->text(),
                 QString::fromStdString(cosmophase::accelerationText(target.q)));
        QCOMPARE(m_window->currentMarker(quantity)->at(0).x(), 1.0 - target.q);
    }

    // A new T in the main window computes the grid afresh at that T; closing
    // the window cancels.
    void followsTheMainWindowsTemperature()
    {
        const RunParameters current = m_app.controller->parameters();
        m_app.delegate->parameterRuns()->start({current.q, 8000});
        QVERIFY(m_window->study().isComputing());
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->study().isComputing(), 20000);
        QCOMPARE(m_window->study().points().back().parameters, (RunParameters{gridOf(kSmallGrid).back().q, 8000}));
        m_app.delegate->parameterRuns()->start(current);
        m_window->close();
        QVERIFY(!m_window->study().isComputing());
        m_app.menuAction(QString::fromUtf8("Parameter Study\u2026"))->trigger();
        QVERIFY(computeSmallGrid());
    }

    void savesTheSweepCsvAndAFigure()
    {
        QTemporaryDir folder;
        QString asked;
        m_app.delegate->commands()->setPathPrompt([&](const QString&, const QString&, const QString&) { return asked; });
        QSignalSpy saved(m_app.delegate->commands(), &AppCommands::saved);

        asked = folder.filePath(QStringLiteral("study.csv"));
        QTest::mouseClick(m_window->exportCsvButton(), Qt::LeftButton);
        std::string expected = cosmophase::studies::sweepCsvHeader(true);
        for (const RunParameters& p : gridOf(kSmallGrid))
            cosmophase::studies::appendSweepCsvRow(expected, computeStudyPoint(p, true), true);
        QFile csv(asked);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll().toStdString(), expected);
        QVERIFY(expected.find("reference_density_ratio") != std::string::npos);

        asked = folder.filePath(QStringLiteral("study.svg"));
        QTest::mouseClick(m_window->saveFigureButton(), Qt::LeftButton);
        QFile svg(asked);
        QVERIFY(svg.open(QIODevice::ReadOnly));
        // Four charts of vector curves: a run and a reference each at least.
        const QByteArray text = svg.readAll();
        QVERIFY(text.startsWith("<?xml") && text.count("<polyline") >= 8);
        QCOMPARE(saved.count(), 2);
    }
};

QTEST_MAIN(TestParameterStudyWindow)
#include "tst_parameterstudywindow.moc"
