#include "AppTestSupport.h"

#include "ParameterRuns.h"
#include "ReferenceComputation.h"
#include "ReferenceReadouts.h"
#include "ReferenceSamples.h"
#include "TimeSeriesChart.h"

#include <QLineEdit>
#include <QLineSeries>
#include <QSlider>

#include <map>

using namespace cosmophase;
using Row = ReferenceReadouts::Row;

// After any change of the parameters, every reference line and every
// reference curve on screen belongs to the run on screen, or says that it is
// being computed; and the new reference follows the run within a frame.
class TestRunReference : public QObject {
    Q_OBJECT

    apptest::App m_app;
    ReferenceReadouts* m_readouts = nullptr;
    // q0 of the reference at each sample, per run, computed here.
    std::map<std::pair<double, std::int32_t>, std::vector<double>> m_expected;

    const std::vector<double>& expectedQ0(const RunParameters& parameters)
    {
        std::vector<double>& q0 = m_expected[{parameters.q, parameters.T}];
        if (q0.empty()) {
            Simulation run;
            run.initialize(parameters);
            run.runSimulationBounded();
            const ReferenceSolution solution(ReferenceStart::of(run), sampleModelTimes(run).back());
            q0 = referenceAtSamples(solution, sampleModelTimes(run)).q0;
        }
        return q0;
    }

    // What the reference line under q0 and the chart's dashed q0 curve may
    // show for the run on screen.
    void checkShownReferenceBelongsToTheRun()
    {
        const MasterViewController& c = *m_app.controller;
        const std::vector<double>& q0 = expectedQ0(c.additions().runs().parameters());
        const int index = c.simIndex();
        const QString line = m_readouts->referenceField(Row::Q0)->text();
        if (line != QStringLiteral("computing…") && index < m_app.last())
            QCOMPARE(line, QString::number(q0[static_cast<std::size_t>(index)], 'f', 6));
        const TimeSeriesChart& chart = *c.additions().timeSeriesChart();
        const QLineSeries* dashed = chart.referenceCurves(TimeSeriesChart::Observables)[0];
        if (dashed && dashed->count() > 0) {
            QCOMPARE(static_cast<std::size_t>(dashed->count()), q0.size());
            QCOMPARE(dashed->at(dashed->count() / 2).y(), q0[q0.size() / 2]);
        }
    }

    // Runs the event loop for `millis`, checking after every event.
    void watch(int millis)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < millis && !QTest::currentTestFailed()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            checkShownReferenceBelongsToTheRun();
        }
    }

    // Waits for the reference of the run on screen, checking all along.
    bool referenceFollows(int millis)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < millis && !QTest::currentTestFailed()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            checkShownReferenceBelongsToTheRun();
            if (m_readouts->referenceField(Row::Q0)->text() != QStringLiteral("computing…")
                && m_app.controller->additions().timeSeriesChart()->hasReference())
                return true;
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(apptest::launch(m_app));
        m_readouts = m_app.controller->additions().comparison().readouts();
        QVERIFY(referenceFollows(20000));
    }
    void cleanupTestCase() { m_app.delegate.reset(); }

    // From a run far from the defaults: typed, then Defaults, then typed
    // again while the last reference is still being computed.
    void typedAndDefaults()
    {
        auto* q = m_app.get<QLineEdit>("qParameterField");
        m_app.delegate->parameterRuns()->start(RunParameters{0.9999, 9000});
        m_app.controller->additions().markers().scrubTo(40);
        QVERIFY(referenceFollows(20000));
        QTest::mouseClick(m_app.get<QPushButton>("parameterDefaultsButton"), Qt::LeftButton);
        QCOMPARE(m_app.controller->additions().runs().parameters(), RunParameters{});
        checkShownReferenceBelongsToTheRun();
        QVERIFY2(referenceFollows(2000), "the reference of the default run did not follow");
        for (const char* text : {"0.99", "0.999", "0.9999", "0.99999"}) {
            q->selectAll();
            QTest::keyClicks(q, QString::fromLatin1(text));
            checkShownReferenceBelongsToTheRun();
            watch(20);
        }
        QVERIFY(referenceFollows(2000));
    }

    // The slider held and moved: the plot and the read-outs follow every
    // position, and no reference of an earlier position is ever shown.
    void sliderDrag()
    {
        auto* slider = m_app.get<QSlider>("qParameterSlider");
        slider->setSliderDown(true);
        for (int position = -800; position <= -400; position += 50) {
            slider->setValue(position);
            checkShownReferenceBelongsToTheRun();
            watch(40);
        }
        slider->setSliderDown(false);
        QVERIFY(referenceFollows(2000));
    }
};

QTEST_MAIN(TestRunReference)
#include "tst_runreference.moc"
