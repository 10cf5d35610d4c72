#include "ReferenceComputation.h"

#include "Simulation.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

// Off the UI thread, and a replaced run's result never shows.
class TestReferenceComputation : public QObject {
    Q_OBJECT

    static cosmophase::Simulation runFrom(double z2)
    {
        cosmophase::Simulation run;
        run.initialize();
        run.setz2(z2);
        run.runSimulation();
        return run;
    }

private slots:
    void aReplacedRunsResultIsDropped()
    {
        ReferenceComputation computation;
        QSignalSpy started(&computation, &ReferenceComputation::started);
        QSignalSpy ready(&computation, &ReferenceComputation::ready);
        computation.setRun(runFrom(-1e-6));
        computation.compute();
        const cosmophase::Simulation second = runFrom(-3e-6);
        computation.setRun(second);
        computation.compute();
        QCOMPARE(started.count(), 2);
        QVERIFY(computation.isComputing());
        QTRY_COMPARE(ready.count(), 1);
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QCOMPARE(ready.count(), 1);

        const auto result = computation.result();
        QVERIFY(result && result->presentDay);
        const auto expected = cosmophase::referencePresentDay(cosmophase::ReferenceStart::of(second));
        QCOMPARE(static_cast<double>(result->presentDay->q0), static_cast<double>(expected->q0));
        QCOMPARE(result->reference.q0.size(), second.getTimeData().size());
        QCOMPARE(result->run.time, second.getTimeData());
    }
};

QTEST_MAIN(TestReferenceComputation)
#include "tst_referencecomputation.moc"
