#include "AppTestSupport.h"

#include "Accuracy.h"
#include "ReferenceComputation.h"
#include "ReferenceReadouts.h"

#include <algorithm>

using Row = ReferenceReadouts::Row;

// The reference read-outs of the running application: waiting for the first
// frame, then the reference at the marker and the run's correct digits.
class TestReferenceReadouts : public QObject {
    Q_OBJECT

    apptest::App m_app;
    ReferenceReadouts* m_readouts = nullptr;

    QStringList digits() const
    {
        QStringList texts;
        for (int row = 0; row < ReferenceReadouts::kRows; ++row)
            texts << m_readouts->digitsField(Row(row))->text();
        return texts;
    }

private slots:
    void initTestCase()
    {
        m_app.delegate = std::make_unique<AppDelegate>();
        m_app.delegate->applicationDidFinishLaunching();
        MasterViewController* controller = m_app.delegate->masterViewController();
        m_readouts = controller->additions().comparison().readouts();
        // Nothing is computed before the plot's first frame.
        QVERIFY(!controller->additions().comparison().computation()->isComputing());
        QVERIFY(!controller->additions().comparison().computation()->result());
        QCOMPARE(m_readouts->referenceField(Row::Q0)->text(), QStringLiteral("computing…"));
        m_app.delegate.reset();
        QVERIFY(apptest::launch(m_app));
        m_readouts = m_app.controller->additions().comparison().readouts();
        QTRY_VERIFY(m_app.controller->additions().comparison().computation()->result());
    }
    void cleanupTestCase() { m_app.delegate.reset(); }

    // The elapsed time is compared only where the two times measure
    // different things: at the present day. Sample 0 reads the same at
    // start-up and after a run back to the defaults. (First: the start-up
    // state is untouched.)
    void elapsedTimeOnlyAtThePresentDay_data()
    {
        QTest::addColumn<bool>("rerun");
        QTest::addColumn<double>("percent");
        QTest::newRow("start-up, sample 0") << false << -1.0;
        QTest::newRow("middle") << false << 50.0;
        QTest::newRow("back to the defaults, sample 0") << true << 0.0;
    }
    void elapsedTimeOnlyAtThePresentDay()
    {
        QFETCH(bool, rerun);
        QFETCH(double, percent);
        if (rerun) {
            m_app.controller->additions().runs().rerunWith(cosmophase::RunParameters{0.9999, 9000});
            m_app.controller->additions().markers().scrubTo(0);
            m_app.controller->additions().runs().rerunWith(cosmophase::RunParameters{});
            QTRY_VERIFY(m_app.controller->additions().comparison().computation()->result());
        } else if (percent >= 0) {
            m_app.controller->additions().markers().scrubTo(percent);
        }
        if (percent <= 0)
            QCOMPARE(m_app.text("runTimeField"), QStringLiteral("0.0100 Years"));
        QCOMPARE(m_readouts->referenceField(Row::ElapsedTime)->text(), QStringLiteral("present day only"));
        QCOMPARE(digits()[Row::ElapsedTime], QString());
        QVERIFY(!digits()[Row::Q0].isEmpty());
    }

    // At the last sample, the run's present day, the digits are those of
    // `cosmophase-export accuracy`; the read-outs keep their own texts.
    void presentDayDigitsAreTheAccuracyTables()
    {
        apptest::keyClick(m_app.slider, Qt::Key_End);
        QCOMPARE(m_app.controller->simIndex(), m_app.last());
        QCOMPARE(m_app.readouts(), m_app.readoutsAt(m_app.last()));

        cosmophase::Simulation run;
        run.initialize();
        run.runSimulation();
        const auto presentDay = cosmophase::referencePresentDay(cosmophase::ReferenceStart::of(run));
        QVERIFY(presentDay);
        QStringList expected;
        const auto rows = cosmophase::accuracyRows(run, *presentDay);
        for (const char* quantity : {"elapsed_years", "density_ratio", "q0", "xi0"}) {
            const auto row = std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.quantity == quantity; });
            const int count = static_cast<int>(row->digits());
            expected << (count == 1 ? QStringLiteral("1 digit right") : QStringLiteral("%1 digits right").arg(count));
        }
        QCOMPARE(digits(), expected);
        QCOMPARE(m_readouts->referenceField(Row::ElapsedTime)->text().toStdString(),
                 cosmophase::groupedWholeNumber(static_cast<double>(presentDay->elapsedYears)));
    }

    // Elsewhere, at the marker's model time: the state is not exact.
    void atTheMarkersTime()
    {
        m_app.controller->additions().markers().scrubTo(50);
        const int index = m_app.controller->simIndex();
        QVERIFY(index > 0 && index < m_app.last());
        const auto& reference = m_app.controller->additions().comparison().computation()->result()->reference;
        QCOMPARE(m_readouts->referenceField(Row::Q0)->text(), QString::number(reference.q0[index], 'f', 6));
        QVERIFY(digits()[Row::Q0].toInt() < 6);
    }

    // A run far off its reference has no digit right, never fewer.
    void digitsNeverNegative()
    {
        const ReferenceComputation& computation = *m_app.controller->additions().comparison().computation();
        auto result = std::make_shared<ReferenceResult>(*computation.result());
        for (double& q0 : result->reference.q0)
            q0 = q0 * 1e-20 + 1e-30;
        m_readouts->setResult(result);
        m_app.controller->additions().markers().scrubTo(50);
        QCOMPARE(digits()[Row::Q0], QStringLiteral("0 digits right"));
    }
};

QTEST_MAIN(TestReferenceReadouts)
#include "tst_referencereadouts.moc"
