// The models behind the Pinned Runs panel, without a window: the pinned
// runs' edits and their undo, a family superseded, cancelled or destroyed
// while its workers run, and the colour bar's labels.
#include "FamilyColourBar.h"
#include "PinnedRuns.h"
#include "RunFamily.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

std::shared_ptr<const cosmophase::Curve> noCurve()
{
    return std::make_shared<const cosmophase::Curve>();
}

} // namespace

class TestPinnedRuns : public QObject {
    Q_OBJECT

private slots:
    // A script of edits, one letter each: pN pins q = 0.N, rN removes the
    // N-th, u undoes a removal; the qs left, in order.
    void edits_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("left");
        QTest::newRow("pins in order") << "p1 p2 p3" << "1 2 3";
        QTest::newRow("a run pinned twice is kept once") << "p1 p2 p1" << "1 2";
        QTest::newRow("undo puts it back where it was") << "p1 p2 p3 r1 u" << "1 2 3";
        QTest::newRow("undos go back in turn") << "p1 p2 p3 r0 r0 u u" << "1 2 3";
        QTest::newRow("undo with nothing removed") << "p1 u" << "1";
        QTest::newRow("pinned again before the undo") << "p1 p2 r0 p1 u" << "2 1";
        QTest::newRow("a removal beyond the list does nothing") << "p1 r5 u" << "1";
    }
    void edits()
    {
        QFETCH(QString, script);
        QFETCH(QString, left);
        PinnedRuns runs;
        for (const QString& step : script.split(QLatin1Char(' '))) {
            const int n = step.mid(1).toInt();
            if (step[0] == QLatin1Char('p'))
                runs.pin({n / 10.0, 9000}, noCurve());
            else if (step[0] == QLatin1Char('r'))
                runs.remove(static_cast<std::size_t>(n));
            else
                runs.undoRemove();
        }
        QStringList qs;
        for (const PinnedRun& run : runs.runs())
            qs << QString::number(run.parameters.q * 10);
        QCOMPARE(qs.join(QLatin1Char(' ')), left);
    }

    void coloursAndLimit()
    {
        PinnedRuns runs;
        for (std::size_t i = 0; i < PinnedRuns::kMaxRuns; ++i)
            QVERIFY(runs.pin({0.5 + static_cast<double>(i) / 1000, 9000}, noCurve()));
        QVERIFY(!runs.pin({0.9, 9000}, noCurve()));
        QCOMPARE(runs.runs()[1].colour, PinnedRuns::paletteColour(1));
        QVERIFY(runs.runs()[0].colour != runs.runs()[1].colour);
        // Full: an undo would go beyond the limit, so it waits.
        runs.remove(0);
        QVERIFY(runs.pin({0.9, 9000}, noCurve()));
        QVERIFY(!runs.undoRemove());
        runs.replaceAll({});
        QVERIFY(!runs.canUndoRemove());
    }

    void aLaterFamilyReplacesOneUnderWay()
    {
        RunFamily family;
        QSignalSpy changed(&family, &RunFamily::changed);
        QVERIFY(family.start("0.999999999:0.999:40:log", 9000).isEmpty());
        QVERIFY(family.start("0.9,0.99", 12000).isEmpty());
        QCOMPARE(family.shownGrid(), std::string("0.9,0.99"));
        QTRY_COMPARE(changed.size(), 1);
        QCOMPARE(family.members().size(), std::size_t{2});
        QCOMPARE(family.members()[1].parameters.T, 12000);
        QTest::qWait(50);
        QCOMPARE(changed.size(), 1); // nothing of the first arrives late
    }

    void refusedGridsSayWhy_data()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("T");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a grid") << "0.9:x" << 9000 << "";
        QTest::newRow("too many") << "0.9:0.99:501" << 9000 << "at most 500";
        QTest::newRow("T") << "0.9" << 0 << "T";
    }
    void refusedGridsSayWhy()
    {
        QFETCH(QString, grid);
        QFETCH(int, T);
        QFETCH(QString, message);
        RunFamily family;
        const QString refused = family.start(grid.toStdString(), T);
        QVERIFY(!refused.isEmpty());
        QVERIFY2(refused.contains(message), qPrintable(refused));
        QVERIFY(!refused.contains(QLatin1Char('\n')));
        QVERIFY(!family.isComputing());
    }

    // Closing the window while a family computes: the workers stop and are
    // joined, nothing arrives at the object that is gone.
    void destroyedWhileComputing()
    {
        auto family = std::make_unique<RunFamily>();
        QVERIFY(family->start("0.999999999:0.999:500:log", 9000).isEmpty());
        QTest::qWait(5);
        family.reset();
        QTest::qWait(20);
    }

    void colourBarLabels_data()
    {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<QString>("labels");
        // At most five whole numbers between the ends, every second, third...
        QTest::newRow("every second decade") << -9.0 << -3.0 << "-9 -7 -5 -3";
        // ... and none too near an end for its label.
        QTest::newRow("none crowding an end") << -7.0 << -0.301 << "-7 -5 -3 -0.301";
        QTest::newRow("every third when many") << -15.0 << -1.0 << "-15 -12 -9 -6 -1";
        QTest::newRow("one value") << -4.0 << -4.0 << "-4";
    }
    void colourBarLabels()
    {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(QString, labels);
        QStringList shown;
        for (double v : FamilyColourBar::labelledValues({low, high, {}}))
            shown << QString::number(v, 'g', 3);
        QCOMPARE(shown.join(QLatin1Char(' ')), labels);
    }
};

QTEST_GUILESS_MAIN(TestPinnedRuns)
#include "tst_pinnedruns.moc"
