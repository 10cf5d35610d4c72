#include "AppTestSupport.h"

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
    void init() { QVERIFY(apptest::launch(m_app) && (m_ctl = m_app.controller)); }
    void cleanup() { m_app.delegate.reset(); }

    // Play, 120 ticks, a pause of 50, scrubs ahead of and behind the clock,
    // on to the 802nd tick, and Play again. Pauses and scrubs leave the clock.
    void playbackByTicks()
    {
        const QTimer& timer = m_ctl->timer();
        const auto title = [this] { return m_app.play->text(); };
        ticks(1); // stopped: a stray tick changes nothing
        QVERIFY(m_ctl->clock() == 0.0 && m_ctl->simIndex() == 0 && !timer.isActive());
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
        // setValue is what a drag does. Ahead of the clock, the marker stays
        // ahead; behind it, the next tick brings the marker forward.
        m_app.slider->setValue(90 * RealSlider::kStepsPerPercent);
        const int ahead = m_ctl->simIndex();
        ticks(1);
        QVERIFY(ahead == m_ctl->findIndexWithPercent(90) && m_ctl->simIndex() == ahead && m_ctl->isRunning());
        QVERIFY(qAbs(m_app.slider->doubleValue() - 5 * m_ctl->clock()) <= 0.5 / RealSlider::kStepsPerPercent);
        m_app.slider->setValue(0);
        QCOMPARE(m_ctl->simIndex(), 0);
        ticks(1);
        QVERIFY(m_ctl->simIndex() > 0 && m_ctl->simIndex() == m_ctl->findIndexWithPercent(5 * m_ctl->clock()));
        for (int tick = 123, before = m_ctl->simIndex(); tick <= 800; ++tick, before = m_ctl->simIndex()) {
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

    // The curve switches flip only their curve and leave the read-outs; drags
    // (QSlider::setValue) to 100 and 0 give the last sample and sample 0.
    void switchesAndScrubsWhileStopped()
    {
        const QStringList labels{"Stable manifold", "Unstable manifold", "Family curve"};
        for (int box = 0; box < 3; ++box) {
            QList<bool> expected{true, true, true};
            expected[box] = false;
            // On the box itself: a click beside a short label misses the button.
            QTest::mouseClick(m_app.boxes[box], Qt::LeftButton, {}, QPoint(6, m_app.boxes[box]->height() / 2));
            QVERIFY(m_app.boxes[box]->text() == labels[box] && !m_app.boxes[box]->isChecked());
            QCOMPARE(m_app.flags(), expected);
            QCOMPARE(m_app.readouts(), (QStringList{"0.0100 Years", "D Ratio = 0.99999812", "0.250", "-0.125"}));
            m_app.boxes[box]->click();
        }
        QCOMPARE(m_app.flags(), (QList<bool>{true, true, true}));
        for (const int percent : {100, 0}) {
            m_app.slider->setValue(percent * RealSlider::kStepsPerPercent);
            const int expected = percent == 0 ? 0 : m_app.last();
            QVERIFY(m_ctl->simIndex() == expected && m_app.view->simIndex() == expected);
            QVERIFY(m_ctl->clock() == 0.0 && !m_ctl->isRunning());
            QCOMPARE(m_app.readouts(), m_app.readoutsAt(expected));
        }
        QCOMPARE(m_app.text("runTimeField"), QStringLiteral("0 Years"));
    }

    // A real-time smoke test; then the event loop is held up, as by a slow frame,
    // and the next timeout delivers the ticks it held back, up to a bound.
    void realTimePlaybackCatchesUpAfterAStall()
    {
        QSignalSpy frames(m_app.view, &QOpenGLWidget::frameSwapped);
        QTest::mouseClick(m_app.play, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(m_app.text("runTimeField") != "0.0100 Years" && m_app.view->simIndex() > 0
                                      && m_app.slider->doubleValue() > 0 && !frames.isEmpty(),
                                  true, 5000);
        const double before = m_ctl->clock();
        QElapsedTimer stall;
        stall.start();
        while (stall.elapsed() < 150) {
        }
        QSignalSpy timeouts(&m_ctl->timer(), &QTimer::timeout);
        QVERIFY(timeouts.wait(2000));
        const double caughtUp = (m_ctl->clock() - before) / MasterViewController::kClockStep;
        QVERIFY2(caughtUp >= 5 && caughtUp <= WallClockTicks::kMaxCatchUpTicks + 1.001,
                 qPrintable(QString::number(caughtUp)));
    }
};

QTEST_MAIN(TestMasterViewController)
#include "tst_masterviewcontroller.moc"
