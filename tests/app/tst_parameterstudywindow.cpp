// The parameter study window: the grid is typed in 1 - q or q, the curves
// are computeStudyPoint's values, a cancelled study leaves the pool free and
// the curves as they were, a hover reads a point out and a click runs the
// main window at that q, and the CSV is the sweep's.

#include "AppTestSupport.h"

#include "AppCommands.h"
#include "ParameterRuns.h"
#include "ParameterGrid.h"
#include "ParameterStudy.h"
#include "ParameterStudyWindow.h"
#include "StudyCharts.h"
#include "StudyGridForm.h"
#include "StudyPoint.h"
#include "SweepFormat.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHelpEvent>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolTip>
#include <QLineEdit>
#include <QLineSeries>
#include <QProgressBar>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>

using cosmophase::RunParameters;
using cosmophase::studies::computeStudyPoint;
using cosmophase::studies::PresentDayValues;

class TestParameterStudyWindow : public QObject {
    Q_OBJECT

    // In 1 - q, the window's default variable.
    static constexpr const char* kSmallGrid = "1e-8:1e-4:5:log";

    apptest::App m_app;
    ParameterStudyWindow* m_window = nullptr;

    StudyCharts* charts() const { return m_window->charts(); }
    // The small grid's q values at the main window's T: 1 - q evenly in log10
    // from 1e-8 to 1e-4, as the sweep's --q takes them.
    std::vector<RunParameters> smallGrid() const
    {
        const auto grid = cosmophase::studies::GridParse::acceleration("0.99999999:0.9999:5:log").grid;
        std::vector<RunParameters> points;
        for (std::size_t i = 0; i < grid->size(); ++i)
            points.push_back({(*grid)[i], m_app.controller->additions().runs().parameters().T});
        return points;
    }
    bool computeSmallGrid()
    {
        m_window->gridForm()->setVariable(StudyGridForm::OneMinusQ);
        m_window->gridForm()->gridField()->setText(QLatin1String(kSmallGrid));
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

    // The grid in either variable, from the fields or the text; a switch of
    // variable rewrites the text in the other, and back to what was typed.
    void gridInEitherVariable_data()
    {
        QTest::addColumn<int>("variable");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<double>>("q"); // the ends, or every value of a list
        QTest::addColumn<int>("count");      // 0: an error
        const auto oneMinus = StudyGridForm::OneMinusQ;
        QTest::newRow("log in 1 - q") << int(oneMinus) << "1e-9:1e-3:200:log" << QList<double>{1 - 1e-9, 1 - 1e-3} << 200;
        QTest::newRow("log in q") << int(StudyGridForm::Q) << "0.999999999:0.999:200:log" << QList<double>{1 - 1e-9, 1 - 1e-3} << 200;
        QTest::newRow("linear in 1 - q") << int(oneMinus) << "0.5:-0.25:4" << QList<double>{0.5, 1.25} << 4;
        QTest::newRow("list in 1 - q") << int(oneMinus) << " 1e-6, 0.001 " << QList<double>{1 - 1e-6, 0.999} << 2;
        QTest::newRow("log through zero") << int(oneMinus) << "0:1e-3:5:log" << QList<double>{} << 0;
        QTest::newRow("not a number") << int(oneMinus) << "1e-9:x:5" << QList<double>{} << 0;
        QTest::newRow("empty") << int(oneMinus) << "" << QList<double>{} << 0;
    }
    void gridInEitherVariable()
    {
        QFETCH(int, variable);
        QFETCH(QString, text);
        QFETCH(QList<double>, q);
        QFETCH(int, count);
        StudyGridForm form(ParameterStudyWindow::kMaxPoints);
        form.setVariable(StudyGridForm::Variable(variable));
        form.gridField()->setText(text);
        const cosmophase::studies::GridParse parsed = form.parse();
        if (count == 0) {
            QVERIFY(!parsed.grid && !parsed.error.empty());
            return;
        }
        QVERIFY2(parsed.grid, parsed.error.c_str());
        QCOMPARE(int(parsed.grid->size()), count);
        QCOMPARE((*parsed.grid)[0], q.first());
        QCOMPARE((*parsed.grid)[parsed.grid->size() - 1], q.last());

        const auto other = StudyGridForm::Variable(1 - variable);
        form.setVariable(other);
        QCOMPARE(form.variableBox()->currentIndex(), int(other));
        QCOMPARE(int(form.parse().grid->size()), count);
        QCOMPARE((*form.parse().grid)[0], q.first());
        form.variableBox()->setCurrentIndex(variable);
        QCOMPARE(form.gridField()->text().remove(QLatin1Char(' ')), text.remove(QLatin1Char(' ')));
    }

    // From, To, Points and Log write the text, and a spaced grid typed as
    // text fills them.
    void fieldsAndTextFollowEachOther()
    {
        StudyGridForm form(ParameterStudyWindow::kMaxPoints);
        QCOMPARE(form.variable(), StudyGridForm::OneMinusQ);
        QCOMPARE(form.gridField()->text(), QLatin1String(StudyGridForm::kDefaultGrid));
        QCOMPARE(form.fromField()->text(), QStringLiteral("1e-9"));
        QVERIFY(form.logBox()->isChecked() && form.pointsBox()->value() == 200);
        form.toField()->clear();
        QTest::keyClicks(form.toField(), QStringLiteral("1e-2"));
        form.pointsBox()->setValue(30);
        form.logBox()->setChecked(false);
        QCOMPARE(form.gridField()->text(), QStringLiteral("1e-9:1e-2:30"));
        QSignalSpy submitted(&form, &StudyGridForm::submitted);
        form.gridField()->clear();
        QTest::keyClicks(form.gridField(), QStringLiteral("1e-7:1e-5:12:log"));
        QTest::keyClick(form.gridField(), Qt::Key_Return);
        QCOMPARE(submitted.count(), 1);
        QVERIFY(form.fromField()->text() == QStringLiteral("1e-7") && form.toField()->text() == QStringLiteral("1e-5"));
        QVERIFY(form.pointsBox()->value() == 12 && form.logBox()->isChecked());
    }

    void curvesAreTheStudyPoints()
    {
        const std::vector<RunParameters> grid = smallGrid();
        for (std::size_t i = 0; i < grid.size(); ++i)
            QCOMPARE(m_window->study().points()[i].parameters, grid[i]);
        const struct { StudyCurves::Quantity quantity; double (*value)(const PresentDayValues&); } rows[] = {
            {StudyCurves::Age, [](const PresentDayValues& v) { return v.elapsedYears / 1e9; }},
            {StudyCurves::Q0, [](const PresentDayValues& v) { return v.q0; }},
            {StudyCurves::Xi0, [](const PresentDayValues& v) { return v.xi0; }},
            {StudyCurves::DensityRatio, [](const PresentDayValues& v) { return v.densityRatio; }}};
        for (const std::size_t i : {std::size_t{0}, std::size_t{3}}) {
            const cosmophase::studies::StudyPoint expected = computeStudyPoint(grid[i], true);
            QVERIFY(expected.run && expected.reference);
            for (const auto& row : rows) {
                const QPointF run = charts()->runCurve(row.quantity)->at(static_cast<int>(i));
                const QPointF reference = charts()->referenceCurve(row.quantity)->at(static_cast<int>(i));
                QCOMPARE(run, QPointF(1.0 - grid[i].q, charts()->plotted(row.quantity, row.value(*expected.run))));
                QCOMPARE(reference,
                         QPointF(1.0 - grid[i].q, charts()->plotted(row.quantity, row.value(*expected.reference))));
                QCOMPARE(charts()->runCurve(row.quantity)->count(), 5);
            }
        }
        // The default q (1 - q = 5.74e-7) lies inside the grid: marked.
        const QLineSeries* marker = charts()->currentMarker(StudyCurves::Q0);
        QCOMPARE(marker->count(), 2);
        QCOMPARE(marker->at(0).x(), 1.0 - m_app.controller->additions().runs().parameters().q);
        QVERIFY(m_window->exportCsvButton()->isEnabled());
    }

    // Cancel frees the pool at once (a small grid then computes without
    // queuing behind a hundred thousand points) and keeps the last curves.
    void cancelStopsTheComputation()
    {
        m_window->gridForm()->gridField()->setText(QStringLiteral("1e-9:1e-3:100000:log"));
        m_window->compute();
        QTRY_VERIFY(m_window->progressBar()->value() > 0);
        QVERIFY(m_window->cancelButton()->isEnabled());
        QTest::mouseClick(m_window->cancelButton(), Qt::LeftButton);
        QVERIFY(!m_window->study().isComputing() && !m_window->cancelButton()->isEnabled());
        QCOMPARE(charts()->runCurve(StudyCurves::Age)->count(), 5);
        QVERIFY(computeSmallGrid());
    }

    void clickRunsTheMainWindowAtThatQ()
    {
        const RunParameters target = smallGrid()[3];
        const StudyCurves::Quantity quantity = StudyCurves::Age;
        QChartView* view = charts()->chartView(quantity);
        QLineSeries* run = charts()->runCurve(quantity);
        // A little beside the point: the nearest grid point is taken.
        const QPointF onChart = view->chart()->mapToPosition(run->at(3) * 1.05, run) + QPointF(0, 10);
        QSignalSpy replaced(&m_app.controller->additions().runs(), &RunReplacement::runReplaced);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(view->chart()->mapToScene(onChart)));
        QCOMPARE(replaced.count(), 1);
        QCOMPARE(m_app.controller->additions().runs().parameters(), target);
        QCOMPARE(m_app.get<QLineEdit>("qParameterField")->text(),
                 QString::fromStdString(cosmophase::accelerationText(target.q)));
        QCOMPARE(charts()->currentMarker(quantity)->at(0).x(), 1.0 - target.q);
    }

    // Below q = 0.5, 1 - (1 - q) need not be q: a click asks for the grid's
    // own q all the same.
    void clickAsksForTheGridsOwnQ()
    {
        // The later tests' grid again, even after a failure.
        const auto restore = qScopeGuard([this] { QVERIFY(computeSmallGrid()); });
        m_window->gridForm()->setVariable(StudyGridForm::Q);
        m_window->gridForm()->gridField()->setText(QStringLiteral("0.1,0.3"));
        m_window->compute();
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->study().isComputing(), 20000);
        QVERIFY(1.0 - (1.0 - 0.1) != 0.1);
        QChartView* view = charts()->chartView(StudyCurves::Age);
        const QRectF area = view->chart()->plotArea();
        QSignalSpy asked(m_window, &ParameterStudyWindow::runRequested);
        // The right end of the axis is 1 - q = 0.9, at q = 0.1.
        const QPointF right(area.right() - 1, area.center().y());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(view->chart()->mapToScene(right)));
        QCOMPARE(asked.count(), 1);
        // Exactly: QCOMPARE would take a double within 1e-12 as equal.
        const double q = asked[0][0].value<RunParameters>().q;
        QVERIFY2(q == 0.1, qPrintable(QString::number(q, 'g', 17)));
    }

    // Resting the pointer on a plot reads out the nearest point's values.
    void hoverReadsOutTheNearestPoint()
    {
        const StudyCurves::Quantity quantity = StudyCurves::Xi0;
        QChartView* view = charts()->chartView(quantity);
        QLineSeries* run = charts()->runCurve(quantity);
        const QPoint at = view->mapFromScene(view->chart()->mapToScene(view->chart()->mapToPosition(run->at(2), run)));
        QHelpEvent help(QEvent::ToolTip, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &help);
        const double xi0 = computeStudyPoint(smallGrid()[2], true).run->xi0;
        const QString text = QToolTip::text();
        QVERIFY2(text.contains(QString::fromUtf8("1 \u2212 q = 1e-06")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("run %1").arg(xi0, 0, 'g', 9)), qPrintable(text));
        QToolTip::hideText();
    }

    // Values of both signs over decades get a symmetric-log axis labelled
    // with the real values; positive ones over decades a logarithmic one;
    // narrow ones a linear one whose labels tell the ticks apart.
    void axesChosenFromTheValues_data()
    {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("firstDistance"); // 1 - q, a decade apart from point to point
        QTest::addColumn<double>("distanceStep");
        const double decade = 10;
        QTest::newRow("xi0 near q = 1") << QList<double>{-3.5, 0.2, 50, 4e3, 5e6} << int(QAbstractAxis::AxisTypeCategory) << 1e-9 << decade;
        QTest::newRow("positive over decades") << QList<double>{1e-3, 0.5, 20} << int(QAbstractAxis::AxisTypeLogValue) << 1e-9 << decade;
        QTest::newRow("nearly flat") << QList<double>{14.38000001, 14.38000004, 14.38000009} << int(QAbstractAxis::AxisTypeValue) << 1e-9 << decade;
        QTest::newRow("huge") << QList<double>{1e21, 2e21, 4e21} << int(QAbstractAxis::AxisTypeValue) << 1e-9 << decade;
        // q from 1e-9 to 1e-3 typed where 1 - q was meant: 1 - q within a
        // decade, which a logarithmic axis would leave without a label.
        QTest::newRow("1 - q within a decade") << QList<double>{14.38, 14.381, 14.382} << int(QAbstractAxis::AxisTypeValue) << 0.999 << 1.0005;
    }
    void axesChosenFromTheValues()
    {
        QFETCH(QList<double>, values);
        QFETCH(int, type);
        QFETCH(double, firstDistance);
        QFETCH(double, distanceStep);
        StudyCharts charts;
        StudyCurves curves;
        for (qsizetype i = 0; i < values.size(); ++i) {
            curves.distance.push_back(firstDistance * std::pow(distanceStep, double(i)));
            for (auto* side : {&curves.run, &curves.reference})
                for (auto& quantity : *side)
                    quantity.push_back(values[i]);
        }
        charts.setCurves(curves);
        QAbstractAxis* axis = charts.valueAxis(StudyCurves::Xi0);
        QCOMPARE(int(axis->type()), type);
        QStringList labels;
        if (auto* categories = qobject_cast<QCategoryAxis*>(axis)) {
            labels = categories->categoriesLabels();
            QVERIFY(labels.contains(QStringLiteral("0")) && labels.contains(QString::fromUtf8("10\u2076")));
            // Every point keeps its own height, however small.
            for (qsizetype i = 1; i < values.size(); ++i)
                QVERIFY(charts.runCurve(StudyCurves::Xi0)->at(i).y() - charts.runCurve(StudyCurves::Xi0)->at(i - 1).y() > 0.1);
        } else if (auto* linear = qobject_cast<QValueAxis*>(axis)) {
            for (int k = 0; k < linear->tickCount(); ++k)
                labels << QString::asprintf(linear->labelFormat().toLatin1().constData(),
                                            linear->min() + (linear->max() - linear->min()) * k / (linear->tickCount() - 1));
        }
        for (const QString& label : labels)
            QVERIFY2(labels.count(label) == 1 && label.size() < 16, qPrintable(labels.join(QLatin1Char(' '))));
        if (distanceStep < 10) {
            const auto* distance = qobject_cast<QValueAxis*>(charts.distanceAxis(StudyCurves::Xi0));
            QVERIFY(distance);
            QStringList ticks;
            for (int k = 0; k < distance->tickCount(); ++k)
                ticks << QString::asprintf(distance->labelFormat().toLatin1().constData(),
                                           distance->min() + (distance->max() - distance->min()) * k / (distance->tickCount() - 1));
            QCOMPARE(QSet<QString>(ticks.cbegin(), ticks.cend()).size(), ticks.size());
        }
    }

    // A new T in the main window computes the grid afresh at that T; closing
    // the window cancels.
    void followsTheMainWindowsTemperature()
    {
        const RunParameters current = m_app.controller->additions().runs().parameters();
        m_app.delegate->parameterRuns()->start({current.q, 8000});
        QVERIFY(m_window->study().isComputing());
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->study().isComputing(), 20000);
        QCOMPARE(m_window->study().points().back().parameters, (RunParameters{smallGrid().back().q, 8000}));
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
        for (const RunParameters& p : smallGrid())
            cosmophase::studies::appendSweepCsvRow(expected, computeStudyPoint(p, true), true);
        QFile csv(asked);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll().toStdString(), expected);
        // Confirmed where the user is looking: in the study window.
        QVERIFY(m_window->statusBar()->currentMessage().startsWith(QStringLiteral("Saved ")));
        QVERIFY(m_window->statusBar()->currentMessage().endsWith(QStringLiteral("study.csv")));
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
