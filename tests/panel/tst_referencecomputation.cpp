#include "ReferenceComputation.h"

#include "Simulation.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

#include <memory>

// Off the UI thread, one at a time, and a replaced run's result never shows.
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
    // Quick edits: at most one computation runs, on a thread of its own
    // rather than the global pool, the latest run takes the waiting slot,
    // and only its result is delivered.
    void editsInARowDeliverOnlyTheLast()
    {
        ReferenceComputation computation;
        QSignalSpy started(&computation, &ReferenceComputation::started);
        QSignalSpy ready(&computation, &ReferenceComputation::ready);
        const double starts[] = {-1e-6, -2e-6, -3e-6, -4e-6};
        for (const double z2 : starts) {
            computation.setRun(runFrom(z2));
            computation.compute();
            QCOMPARE(QThreadPool::globalInstance()->activeThreadCount(), 0);
        }
        QCOMPARE(started.count(), 4);
        QVERIFY(computation.isComputing());
        QVERIFY(!computation.result());
        QTRY_COMPARE(ready.count(), 1);
        QTest::qWait(100);
        QCOMPARE(ready.count(), 1);

        const cosmophase::Simulation last = runFrom(starts[3]);
        const auto result = computation.result();
        QVERIFY(result && result->presentDay);
        const auto expected = cosmophase::referencePresentDay(cosmophase::ReferenceStart::of(last));
        QCOMPARE(static_cast<double>(result->presentDay->q0), static_cast<double>(expected->q0));
        QCOMPARE(result->reference.q0.size(), last.getTimeData().size());
        QCOMPARE(result->run.time, last.getTimeData());
    }

    // Deleted while computing: it waits, and nothing is delivered after.
    void deletedWhileComputing()
    {
        auto computation = std::make_unique<ReferenceComputation>();
        QSignalSpy ready(computation.get(), &ReferenceComputation::ready);
        computation->setRun(runFrom(-1e-6));
        computation->compute();
        computation.reset();
        QTest::qWait(50);
        QCOMPARE(ready.count(), 0);
    }
};

QTEST_MAIN(TestReferenceComputation)
#include "tst_referencecomputation.moc"
