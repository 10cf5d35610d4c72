#include "AppTestSupport.h"

#include "Simulation.h"

#include <QElapsedTimer>
#include <QSignalSpy>

class TestMasterViewController : public QObject {
    Q_OBJECT

    apptest::App m_app;
    MasterViewController* m_ctl = nullptr;
    void ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            m_ctl->timerFired();
    }

private slots:
    void init()
    {
        QVERIFY(apptest::launch(m_app));
        m_ctl = m_app.controller;
    }
    void cleanup() { m_app.delegate.reset(); }

    void startUp()
    {
        const QStringList startUp{"0.0100 Years", "D Ratio = 0.99999812", "0.250", "-0.125"};
        QCOMPARE(m_app.readouts(), startUp);
        cosmophase::Simulation run;
        run.initialize();
        run.runSimulation();
        QVERIFY(m_ctl->z2Array() == run.getz2Data() && m_ctl->w0Array() == run.getw0Data()
                && m_ctl->w2Array() == run.getw2Data() && m_ctl->timeArray() == run.getTimeData());
        ticks(1); // stopped: a stray tick changes nothing
        QVERIFY(m_ctl->clock() == 0.0 && m_ctl->simIndex() == 0 && !m_ctl->timer().isActive());
        QCOMPARE(m_app.readouts(), startUp);
    }

    // Play, 120 ticks, pause for 50, resume, to the 802nd tick, and Play again.
    void playbackByTicks()
    {
        const QTimer& timer = m_ctl->timer();
        const auto title = [this] { return m_app.play->text(); };
        m_app.slider->setDoubleValue(40);
        QTest::mouseClick(m_app.play, Qt::LeftButton);
        QVERIFY(title() == "Pause" && timer.isActive() && !timer.isSingleShot() && timer.interval() == 25);
        QCOMPARE(timer.timerType(), Qt::PreciseTimer);
        QVERIFY(m_app.slider->doubleValue() == 0.0 && m_ctl->isRunning() && !m_ctl->isPaused());
        // The first tick, not the start, moves the marker and the read-outs.
        QCOMPARE(m_app.text("runTimeField"), QStringLiteral("0.0100 Years"));
        ticks(1);
        QCOMPARE(m_ctl->simIndex(), 17);
        ticks(119);
        const double clock = m_ctl->clock();
        const QStringList texts = m_app.readouts();
        QTest::mouseClick(m_app.play, Qt::LeftButton);
        ticks(50); // paused: the timer runs on, its ticks do nothing
        QVERIFY(title() == "Play" && m_ctl->isPaused() && m_ctl->isRunning() && timer.isActive());
        QVERIFY(m_ctl->clock() == clock && m_app.readouts() == texts);
        QTest::mouseClick(m_app.play, Qt::LeftButton);
        for (int tick = 121, before = m_ctl->simIndex(); tick <= 800; ++tick, before = m_ctl->simIndex()) {
            ticks(1);
            QVERIFY(m_ctl->simIndex() >= before);
        }
        QVERIFY(m_ctl->clock() == 19.999999999999932 && m_ctl->simIndex() == m_app.last());
        ticks(1); // the 801st still advances
        QVERIFY(m_ctl->clock() == 20.02499999999993 && m_ctl->isRunning() && timer.isActive() && title() == "Pause");
        ticks(2); // the 802nd ends playback, later ones change nothing
        QVERIFY(m_ctl->clock() == 20.02499999999993 && !m_ctl->isRunning() && !m_ctl->isPaused() && !timer.isActive());
        QVERIFY(title() == "Play" && m_app.view->simIndex() == m_app.last() && m_app.slider->doubleValue() == 100.0);
        QCOMPARE(m_app.readouts(), m_app.readoutsAt(m_app.last()));
        QCOMPARE(m_app.readouts().mid(2), (QStringList{"0.425", "0.359"}));
        m_ctl->simToggle(); // Play after the end starts over
        QVERIFY(m_ctl->clock() == 0.0 && m_app.slider->doubleValue() == 0.0 && timer.isActive());
        ticks(1);
        QCOMPARE(m_ctl->simIndex(), 17);
    }

    void scrubToEnds()
    {
        for (const int percent : {100, 0}) {
            m_app.slider->setDoubleValue(50);
            // setValue is what a drag does: the user path, not the programmatic one.
            m_app.slider->setValue(percent * RealSlider::kStepsPerPercent);
            const int expected = percent == 0 ? 0 : m_app.last();
            QVERIFY(m_ctl->simIndex() == expected && m_app.view->simIndex() == expected);
            QVERIFY(m_ctl->clock() == 0.0 && !m_ctl->isRunning());
            QCOMPARE(m_app.readouts(), m_app.readoutsAt(expected));
        }
        QCOMPARE(m_app.text("runTimeField"), QStringLiteral("0 Years"));
    }

    void scrubDuringPlaybackLeavesTheClock()
    {
        m_ctl->simToggle();
        ticks(200);
        const double clock = m_ctl->clock();
        // Ahead of the clock: the marker stays ahead until the clock passes it.
        m_app.slider->setValue(90 * RealSlider::kStepsPerPercent);
        const int ahead = m_ctl->simIndex();
        QVERIFY(m_ctl->clock() == clock && m_ctl->isRunning() && !m_ctl->isPaused() && m_ctl->timer().isActive());
        ticks(1);
        QCOMPARE(m_ctl->simIndex(), ahead);
        QVERIFY(qAbs(m_app.slider->doubleValue() - 5 * m_ctl->clock()) <= 0.5 / RealSlider::kStepsPerPercent);
        // Behind the clock: the next tick brings the marker forward, to where
        // a scrub to the clock's percentage puts it.
        m_app.slider->setValue(0);
        QCOMPARE(m_ctl->simIndex(), 0);
        ticks(1);
        QVERIFY(m_ctl->simIndex() > 0);
        QCOMPARE(m_ctl->simIndex(), m_ctl->findIndexWithPercent(5 * m_ctl->clock()));
        QCOMPARE(ahead, m_ctl->findIndexWithPercent(90));
    }

    void curveSwitchesFlipTheViewOnly()
    {
        const QStringList labels{"Stable manifold", "Unstable manifold", "Family curve"};
        m_app.slider->setValue(30 * RealSlider::kStepsPerPercent);
        const QStringList texts = m_app.readouts();
        for (int box = 0; box < 3; ++box) {
            QList<bool> expected{true, true, true};
            QVERIFY(m_app.boxes[box]->text() == labels[box] && m_app.flags() == expected);
            // On the box itself: a click beside a short label misses the button.
            QTest::mouseClick(m_app.boxes[box], Qt::LeftButton, {}, QPoint(6, m_app.boxes[box]->height() / 2));
            expected[box] = false;
            QCOMPARE(m_app.flags(), expected);
            QVERIFY(!m_app.boxes[box]->isChecked() && m_app.readouts() == texts && !m_ctl->isRunning());
            m_app.boxes[box]->click();
        }
        QCOMPARE(m_app.flags(), (QList<bool>{true, true, true}));
    }

    void realTimePlaybackCatchesUpAfterAStall()
    {
        QSignalSpy frames(m_app.view, &QOpenGLWidget::frameSwapped);
        QTest::mouseClick(m_app.play, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(m_app.text("runTimeField") != "0.0100 Years" && m_app.view->simIndex() > 0
                                      && m_app.slider->doubleValue() > 0 && !frames.isEmpty(),
                                  true, 5000);
        // The event loop is held up, as by a slow frame; the next timeout
        // delivers the ticks it held back, a bounded number of them.
        const double before = m_ctl->clock();
        QElapsedTimer stall;
        stall.start();
        while (stall.elapsed() < 150) {
        }
        QSignalSpy timeouts(&m_ctl->timer(), &QTimer::timeout);
        QVERIFY(timeouts.wait(2000));
        const double caughtUp = (m_ctl->clock() - before) / MasterViewController::kClockStep;
        QVERIFY2(caughtUp >= 5 && caughtUp <= MasterViewController::kMaxCatchUpTicks + 1.001,
                 qPrintable(QString::number(caughtUp)));
    }
};

QTEST_MAIN(TestMasterViewController)
#include "tst_masterviewcontroller.moc"
