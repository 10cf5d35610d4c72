#include "AppTestSupport.h"

#include "ParameterRuns.h"
#include "ReferenceComputation.h"
#include "DataFormat.h"
#include "TimeSeries.h"
#include "TimeSeriesChart.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QGraphicsLineItem>
#include <QHelpEvent>
#include <QValueAxis>
#include <QLineSeries>
#include <QSignalSpy>
#include <QTabWidget>
#include <QScopeGuard>
#include <QToolTip>

#include <cmath>

using Tab = TimeSeriesChart::Tab;

class TestTimeSeriesChart : public QObject {
    Q_OBJECT

    apptest::App m_app;
    TimeSeriesChart* m_chart = nullptr;
    QList<QList<double>> m_csv; // the export's columns, by header position

    QChart* chart(Tab tab) const { return m_chart->chartView(tab)->chart(); }
    qreal timeToX(Tab tab, double time) const
    {
        return chart(tab)->mapToPosition(QPointF(time, 0), m_chart->curves(tab)[0]).x();
    }
    QPoint viewportPoint(Tab tab, qreal x) const
    {
        const QPointF scene = chart(tab)->mapToScene(QPointF(x, chart(tab)->plotArea().center().y()));
        return m_chart->chartView(tab)->mapFromScene(scene);
    }
    // The marker line stands where the controller's sample is, on both tabs.
    void verifyMarker() const
    {
        const int index = m_app.controller->simIndex();
        QCOMPARE(m_chart->markerIndex(), index);
        for (const Tab tab : {Tab::Observables, Tab::State}) {
            const QGraphicsLineItem* marker = m_chart->markerLine(tab);
            const QLineF line(chart(tab)->mapFromScene(marker->line().p1()), chart(tab)->mapFromScene(marker->line().p2()));
            const QRectF area = chart(tab)->plotArea();
            QVERIFY(marker->isVisible() && line.y1() == area.top() && line.y2() == area.bottom());
            QCOMPARE(line.x1(), timeToX(tab, m_app.controller->timeArray()[index]));
            QCOMPARE(line.x2(), line.x1());
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(apptest::launch(m_app));
        m_chart = m_app.controller->additions().timeSeriesChart();
        QVERIFY(m_chart->isVisible());
        // Filled just after the first frame.
        QTRY_VERIFY(!m_chart->series().time.empty());
        const MasterViewController& c = *m_app.controller;
        const QList<QByteArray> lines = QByteArray::fromStdString(cosmophase::samplesCsv(
            {c.z2Array(), c.w0Array(), c.w2Array(), c.timeArray()})).trimmed().split('\n');
        m_csv.resize(lines[0].count(',') + 1);
        for (qsizetype row = 1; row < lines.size(); ++row) {
            const QList<QByteArray> fields = lines[row].split(',');
            for (qsizetype col = 0; col < fields.size(); ++col)
                m_csv[col].append(fields[col].toDouble()); // %.17g reads back exactly
        }
    }
    void cleanupTestCase() { m_app.delegate.reset(); }

    void seriesEqualTheExportColumns_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("curve");
        QTest::addColumn<int>("column"); // index,time_years,z2,w0,w2,density_ratio,q0,xi0
        QTest::newRow("q0") << int(Tab::Observables) << 0 << 6;
        QTest::newRow("xi0") << int(Tab::Observables) << 1 << 7;
        QTest::newRow("density ratio") << int(Tab::Observables) << 2 << 5;
        QTest::newRow("z2") << int(Tab::State) << 0 << 2;
        QTest::newRow("w0") << int(Tab::State) << 1 << 3;
        QTest::newRow("w2") << int(Tab::State) << 2 << 4;
    }
    void seriesEqualTheExportColumns()
    {
        QFETCH(int, tab);
        QFETCH(int, curve);
        QFETCH(int, column);
        const QList<QPointF> points = m_chart->curves(Tab(tab))[curve]->points();
        QCOMPARE(points.size(), m_csv[1].size());
        QCOMPARE(points.size(), qsizetype(m_app.controller->timeArray().size()));
        for (qsizetype k = 0; k < points.size(); ++k)
            if (points[k].x() != m_csv[1][k] || points[k].y() != m_csv[column][k])
                QFAIL(qPrintable(QStringLiteral("sample %1: (%2, %3) in the chart, (%4, %5) exported").arg(k)
                                     .arg(points[k].x(), 0, 'g', 17).arg(points[k].y(), 0, 'g', 17)
                                     .arg(m_csv[1][k], 0, 'g', 17).arg(m_csv[column][k], 0, 'g', 17)));
        // The time axis spans the run, so the first and last samples sit on the plot's edges.
        const QRectF area = chart(Tab(tab))->plotArea();
        QVERIFY(qAbs(timeToX(Tab(tab), m_csv[1].first()) - area.left()) < 0.5);
        QVERIFY(qAbs(timeToX(Tab(tab), m_csv[1].last()) - area.right()) < 0.5);
    }

    // Once computed off the UI thread, the reference is drawn dashed in each
    // curve's colour, and the error tab plots |run - reference| / |reference|
    // wherever a logarithmic axis can place it.
    void referenceDashedAndItsErrorTab_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("curve");
        QTest::newRow("q0") << int(Tab::Observables) << 0;
        QTest::newRow("density ratio") << int(Tab::Observables) << 2;
        QTest::newRow("w2") << int(Tab::State) << 2;
    }
    void referenceDashedAndItsErrorTab()
    {
        QFETCH(int, tab);
        QFETCH(int, curve);
        QTRY_VERIFY(m_chart->hasReference());
        const QLineSeries* dashed = m_chart->referenceCurves(Tab(tab))[curve];
        QVERIFY(dashed);
        QCOMPARE(dashed->pen().style(), Qt::DashLine);
        QCOMPARE(dashed->pen().color(), m_chart->curves(Tab(tab))[curve]->pen().color());
        QCOMPARE(dashed->count(), m_chart->curves(Tab(tab))[curve]->count());

        if (tab != Tab::Observables)
            return;
        const auto& reference = m_app.controller->additions().comparison().computation()->result()->reference;
        const cosmophase::TimeSeries errors = cosmophase::relativeErrorOf(m_chart->series(), reference);
        const std::vector<double>& error = curve == 0 ? errors.q0 : errors.densityRatio;
        const QList<QPointF> points = m_chart->curves(Tab::Error)[curve]->points();
        qsizetype at = 0;
        for (std::size_t k = 0; k < error.size(); ++k) {
            if (!(error[k] > 0))
                continue;
            QVERIFY(at < points.size());
            QCOMPARE(points[at++], QPointF(errors.time[k], error[k]));
        }
        QCOMPARE(at, points.size());
        QVERIFY(points.size() > qsizetype(error.size()) - 10);
    }

    // Ticks, a paused playback's scrubs, the slider and the keys.
    void markerFollowsTicksAndScrubs()
    {
        MasterViewController* c = m_app.controller;
        verifyMarker();
        c->simToggle();
        for (const int count : {1, 1, 150, 300}) {
            for (int i = 0; i < count; ++i)
                c->timerFired();
            verifyMarker();
        }
        c->simToggle(); // paused: the remaining moves are scrubs
        m_app.slider->setValue(30 * RealSlider::kStepsPerPercent);
        verifyMarker();
        for (const Qt::Key key : {Qt::Key_Left, Qt::Key_End, Qt::Key_Home, Qt::Key_Right}) {
            const int before = c->simIndex();
            apptest::keyClick(m_app.delegate->window(), key);
            QVERIFY(c->simIndex() != before);
            verifyMarker();
        }
        c->additions().markers().scrubTo(55);
        verifyMarker();
        // Drawn: the line's pixels are the marker's red.
        const QPointF top = m_chart->markerLine(Tab::Observables)->line().p1();
        const QImage shot = m_chart->chartView(Tab::Observables)->grab().toImage();
        const QColor seen = shot.pixelColor(m_chart->chartView(Tab::Observables)->mapFromScene(top) + QPoint(0, 20));
        QVERIFY2(seen.red() > 150 && seen.green() < 100 && seen.blue() < 100, qPrintable(seen.name()));
    }

    // The sample nearest a time on the logarithmic axis, found the slow way.
    int nearestByLog(double time) const
    {
        int best = 0;
        for (int k = 1; k < m_csv[1].size(); ++k)
            if (qAbs(std::log(m_csv[1][k] / time)) < qAbs(std::log(m_csv[1][best] / time)))
                best = k;
        return best;
    }
    // The time under a viewport point, as the chart's axis maps it, held to the plot.
    double timeAt(Tab tab, QPoint point) const
    {
        const QRectF area = chart(tab)->plotArea();
        const qreal x = qBound(area.left(), chart(tab)->mapFromScene(m_chart->chartView(tab)->mapToScene(point)).x(), area.right());
        return chart(tab)->mapToValue(QPointF(x, area.center().y()), m_chart->curves(tab)[0]).x();
    }
    // The marker, both views and the read-outs on `index`, the slider as near as its steps allow.
    void verifyAtSample(int index) const
    {
        const double slider = std::round(100 * m_csv[1][index] / m_csv[1].last() * RealSlider::kStepsPerPercent)
                              / RealSlider::kStepsPerPercent;
        QCOMPARE(m_app.slider->doubleValue(), slider);
        QVERIFY(m_app.controller->simIndex() == index && m_app.view->simIndex() == index);
        QCOMPARE(m_app.readouts(), m_app.readoutsAt(index));
        verifyMarker();
    }

    // A press in a plot moves the marker to the sample nearest that time; a
    // drag follows the mouse and holds at the edges.
    void clickAndDragScrub_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<double>("from"); // where in the plot area: 0 its left edge, 1 its right
        QTest::addColumn<double>("to");   // where the mouse is released
        // Where samples lie closer than a pixel, the marker lands under the mouse.
        QTest::addColumn<bool>("dense");
        QTest::newRow("left edge") << int(Tab::Observables) << 0.0 << 0.0 << false;
        QTest::newRow("three quarters") << int(Tab::Observables) << 0.75 << 0.75 << false;
        QTest::newRow("dense end") << int(Tab::State) << 0.97 << 0.97 << true;
        QTest::newRow("drag back") << int(Tab::Observables) << 0.99 << 0.93 << true;
        QTest::newRow("drag past the end") << int(Tab::State) << 0.95 << 1.2 << false;
    }
    void clickAndDragScrub()
    {
        QFETCH(int, tab);
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(bool, dense);
        m_chart->tabs()->setCurrentIndex(tab);
        QChartView* view = m_chart->chartView(Tab(tab));
        QTRY_VERIFY(view->isVisible());
        const QRectF area = chart(Tab(tab))->plotArea();
        const auto at = [&](double f) { return viewportPoint(Tab(tab), area.left() + 1 + f * (area.width() - 2)); };
        m_app.controller->additions().markers().scrubTo(50);
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at(from));
        QTest::mouseMove(view->viewport(), at(to));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at(to));

        const int index = nearestByLog(timeAt(Tab(tab), at(to)));
        verifyAtSample(index);
        if (to >= 1)
            QCOMPARE(index, m_app.last());
        else if (to == 0)
            QCOMPARE(index, 0);
        else if (dense)
            QVERIFY(qAbs(chart(Tab(tab))->mapFromScene(m_chart->markerLine(Tab(tab))->line().p1()).x()
                         - chart(Tab(tab))->mapFromScene(view->mapToScene(at(to))).x()) <= 1.5);
        m_chart->tabs()->setCurrentIndex(Tab::Observables);
    }

    // However early: a click at any time from a year to the end lands on the
    // nearest sample, where the slider's steps (0.001 %, about 131,000 years)
    // would all give sample 0.
    void clickAtAnyTimeFindsTheNearestSample_data()
    {
        QTest::addColumn<double>("time");
        for (double t : {1.0, 10.0, 1e3, 1e5, 3e6, 1e8, 1e9})
            QTest::newRow(qPrintable(QString::number(t))) << t;
        QTest::newRow("near the end") << m_csv[1].last() / 1.2;
    }
    void clickAtAnyTimeFindsTheNearestSample()
    {
        QFETCH(double, time);
        const QPoint point = viewportPoint(Tab::Observables, timeToX(Tab::Observables, time));
        m_app.controller->additions().markers().scrubTo(50);
        QTest::mouseClick(m_chart->chartView(Tab::Observables)->viewport(), Qt::LeftButton, {}, point);
        const int index = nearestByLog(timeAt(Tab::Observables, point));
        verifyAtSample(index);
        if (time < 1e5)
            QVERIFY(index > 0);
    }

    // Hovering names the nearest sample, its time and the tab's values.
    void hoverShowsTheNearestSample()
    {
        QChartView* view = m_chart->chartView(Tab::State);
        m_chart->tabs()->setCurrentIndex(Tab::State);
        QTRY_VERIFY(view->isVisible());
        const QPoint point = viewportPoint(Tab::State, timeToX(Tab::State, 1e3));
        const QPoint global = view->viewport()->mapToGlobal(point);
        const int index = nearestByLog(timeAt(Tab::State, point));
        // Sent and read at once, with no event loop between: other tests'
        // windows on the same display may take activation, which hides a
        // tooltip, and the real pointer may be anywhere.
        QMouseEvent move(QEvent::MouseMove, point, global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &move);
        const QString text = QToolTip::text();
        QVERIFY2(text.startsWith(QStringLiteral("Sample %1, ").arg(index)), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("z2 = %1").arg(m_csv[2][index], 0, 'g', 9)), qPrintable(text));
        // Resting there, the tooltip event keeps the read-out rather than a hint.
        QToolTip::hideText();
        QHelpEvent rest(QEvent::ToolTip, point, global);
        QApplication::sendEvent(view->viewport(), &rest);
        QVERIFY2(QToolTip::text().startsWith(QStringLiteral("Sample %1, ").arg(index)), qPrintable(QToolTip::text()));
        QToolTip::hideText();
        m_chart->tabs()->setCurrentIndex(Tab::Observables);
    }

    // Off the default run xi0 reaches 10⁴ (and q0 10²¹ at q = 1.32): a curve
    // that would flatten the others gets its own axis, and huge values are
    // labelled in scientific notation.
    void axesKeepEveryCurveReadable_data()
    {
        QTest::addColumn<double>("q");
        QTest::addColumn<int>("apart"); // the Observables curve on its own axis, -1 for none
        QTest::addColumn<bool>("scientific");
        QTest::newRow("default") << m_app.controller->additions().runs().parameters().q << -1 << false;
        QTest::newRow("q = 0.9999") << 0.9999 << 1 << false;
        QTest::newRow("q = 1.32") << 1.32 << 1 << true;
    }
    void axesKeepEveryCurveReadable()
    {
        QFETCH(double, q);
        QFETCH(int, apart);
        QFETCH(bool, scientific);
        const cosmophase::RunParameters before = m_app.controller->additions().runs().parameters();
        // Back to the run the later tests expect, even after a failure.
        const auto restore = qScopeGuard([&] {
            m_app.delegate->parameterRuns()->start(before);
            QTRY_VERIFY(m_chart->series().time == m_app.controller->timeArray());
        });
        m_app.delegate->parameterRuns()->start({q, before.T});
        QTRY_VERIFY(m_chart->series().time == m_app.controller->timeArray());
        const auto& curves = m_chart->curves(Tab::Observables);
        const auto axisOf = [](QLineSeries* curve) {
            for (QAbstractAxis* axis : curve->attachedAxes())
                if (axis->orientation() == Qt::Vertical)
                    return qobject_cast<QValueAxis*>(axis);
            return static_cast<QValueAxis*>(nullptr);
        };
        QValueAxis* shared = axisOf(curves[apart == 0 ? 1 : 0]);
        QVERIFY(shared && shared->isVisible());
        for (int k = 0; k < TimeSeriesChart::kCurvesPerTab; ++k) {
            QValueAxis* axis = axisOf(curves[k]);
            QCOMPARE(axis == shared, k != apart);
            QVERIFY(axis->isVisible());
            QCOMPARE(axis->labelFormat().endsWith(QLatin1Char('e')), scientific);
            // q0 and xi0 are not flattened: each spans a tenth of its axis at least.
            double low = INFINITY, high = -INFINITY;
            for (const QPointF& p : curves[k]->points())
                low = qMin(low, p.y()), high = qMax(high, p.y());
            if (k < 2)
                QVERIFY2(high - low > 0.1 * (axis->max() - axis->min()),
                         qPrintable(QStringLiteral("%1..%2 on %3..%4").arg(low).arg(high).arg(axis->min()).arg(axis->max())));
        }
        if (apart < 0) {
            // No side axis is left showing.
            int shown = 0;
            for (QAbstractAxis* axis : chart(Tab::Observables)->axes(Qt::Vertical))
                shown += axis->isVisible();
            QCOMPARE(shown, 1);
        }
    }

    // "," and "." step one sample; the slider keeps as close as it can.
    void keysStepOneSample()
    {
        m_app.controller->additions().markers().goToSample(0);
        for (int k = 1; k <= 3; ++k) {
            apptest::keyClick(m_app.delegate->window(), Qt::Key_Period);
            verifyAtSample(k);
        }
        apptest::keyClick(m_app.delegate->window(), Qt::Key_Left, Qt::ShiftModifier);
        verifyAtSample(2);
        apptest::keyClick(m_app.delegate->window(), Qt::Key_Comma);
        apptest::keyClick(m_app.delegate->window(), Qt::Key_Comma);
        apptest::keyClick(m_app.delegate->window(), Qt::Key_Comma);
        verifyAtSample(0);
        m_app.controller->additions().markers().goToSample(m_app.last());
        apptest::keyClick(m_app.delegate->window(), Qt::Key_Right, Qt::ShiftModifier);
        verifyAtSample(m_app.last());
    }

    void pressesOutsideThePlotDoNotScrub()
    {
        m_app.controller->additions().markers().scrubTo(50);
        const int index = m_app.controller->simIndex();
        QChartView* view = m_chart->chartView(Tab::Observables);
        const QRectF area = chart(Tab::Observables)->plotArea();
        for (const QPointF p : {area.topLeft() - QPointF(0, 12), area.bottomLeft() + QPointF(area.width() / 2, 20)})
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(chart(Tab::Observables)->mapToScene(p)));
        QVERIFY(m_app.controller->simIndex() == index && m_app.slider->doubleValue() == 50.0);
    }

    // View > Time Series (Ctrl+T) hides and shows the chart; hidden, the plot
    // stays square and no smaller; shown again it is as it was, pixel for
    // pixel, the read-outs keep their texts and the chart its marker.
    void hidingAndShowingLeaveThePlotAndReadouts()
    {
        QAction* action = m_app.menuAction(QStringLiteral("Time Series"));
        QVERIFY(action && action->isChecked() && action->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_T));
        m_app.controller->additions().markers().scrubTo(40);
        QSignalSpy frames(m_app.view, &QOpenGLWidget::frameSwapped);
        QVERIFY(frames.wait());
        const QImage plot = m_app.view->grabFramebuffer();
        const QStringList readouts = m_app.readouts();
        for (const bool shown : {false, true}) {
            apptest::keyClick(m_app.delegate->window(), Qt::Key_T, Qt::ControlModifier);
            QTRY_COMPARE(m_chart->isVisible(), shown);
            QCOMPARE(action->isChecked(), shown);
            frames.clear();
            QVERIFY(frames.wait());
            if (shown)
                QTRY_COMPARE(m_app.view->grabFramebuffer(), plot);
            else
                QTRY_VERIFY(m_app.view->width() >= plot.width() && m_app.view->width() == m_app.view->height());
            QCOMPARE(m_app.readouts(), readouts);
            if (!shown)
                m_app.controller->additions().markers().scrubTo(40); // a scrub while hidden still reaches the chart
        }
        verifyMarker();
    }
};

QTEST_MAIN(TestTimeSeriesChart)
#include "tst_timeserieschart.moc"
