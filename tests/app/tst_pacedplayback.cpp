#include "AnimationActions.h"
#include "AppTestSupport.h"
#include "PacedPlayback.h"
#include "SampleNavigator.h"

#include <QSignalSpy>

using cosmophase::PlaybackPace;

class TestPacedPlayback : public QObject {
    Q_OBJECT

    apptest::App m_app;
    MasterViewController* m_ctl = nullptr;

    void choose(const QString& paceAction)
    {
        QAction* action = m_app.menuAction(paceAction);
        QVERIFY(action && action->isCheckable());
        action->trigger();
        QVERIFY(action->isChecked());
    }
    double percent() const { return (MasterViewController::kSliderScale * m_ctl->clock()) / MasterViewController::kClockEnd; }
    // How many of the playback's ticks show the run still near the saddle,
    // before z2 reaches -0.5 (about 40 % of the path).
    int ticksNearSaddle()
    {
        m_ctl->simToggle();
        int near = 0;
        while (m_ctl->isRunning()) {
            m_ctl->timerFired();
            if (m_ctl->isRunning() && m_ctl->z2Array()[m_ctl->simIndex()] > -0.5)
                ++near;
        }
        return near;
    }

private slots:
    void init() { QVERIFY(apptest::launch(m_app) && (m_ctl = m_app.controller)); }
    void cleanup() { m_app.delegate.reset(); }

    // Back on the time pace, each of the 802 ticks does what the controller
    // alone does: the first sample reaching clock/20 of the run's last time,
    // the slider at the clock, one marker move per tick.
    void timePaceIsTheControllersOwn()
    {
        choose(QStringLiteral("Uniform in Log Elapsed Time"));
        choose(QStringLiteral("Uniform in Elapsed Time"));
        QCOMPARE(m_app.delegate->animation()->pacedPlayback().pace(), PlaybackPace::Time);
        QSignalSpy moves(m_ctl, &MasterViewController::markerMoved);
        const std::vector<double>& times = m_ctl->timeArray();
        double clock = 0;
        int expected = 0;
        m_ctl->simToggle();
        for (int tick = 1; tick <= 801; ++tick) {
            m_ctl->timerFired();
            clock = clock + MasterViewController::kClockStep;
            const double target = (clock / MasterViewController::kClockEnd) * times.back();
            while (expected < m_app.last() && target > times[expected])
                ++expected;
            QVERIFY2(m_ctl->simIndex() == expected && m_app.view->simIndex() == expected, qPrintable(QString::number(tick)));
            QVERIFY(qAbs(m_app.slider->doubleValue() - std::min(100.0, percent())) <= 0.5 / RealSlider::kStepsPerPercent);
            QCOMPARE(moves.count(), tick);
        }
        m_ctl->timerFired();
        QVERIFY(!m_ctl->isRunning() && moves.count() == 801);
    }

    // A paced playback puts the marker on the pace's sample for the clock
    // and the slider on that sample's share of the elapsed time. Of the 801
    // ticks, the escape from the saddle (to z2 = -0.5) gets about a second's
    // worth in time, most of them in log time, and in samples the 4 % of
    // ticks its 249 of 5,923 samples are due.
    void pacedPlayback_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<PlaybackPace>("pace");
        QTest::addColumn<int>("fewestNearSaddle");
        QTest::addColumn<int>("mostNearSaddle");
        QTest::newRow("time") << "Uniform in Elapsed Time" << PlaybackPace::Time << 40 << 46;
        QTest::newRow("log") << "Uniform in Log Elapsed Time" << PlaybackPace::LogTime << 700 << 730;
        QTest::newRow("samples") << "Uniform in Samples" << PlaybackPace::Samples << 30 << 36;
    }
    void pacedPlayback()
    {
        QFETCH(QString, action);
        QFETCH(PlaybackPace, pace);
        QFETCH(int, fewestNearSaddle);
        QFETCH(int, mostNearSaddle);
        choose(action);
        QCOMPARE(m_app.delegate->animation()->pacedPlayback().pace(), pace);
        const cosmophase::SampleNavigator samples(m_ctl->timeArray());
        m_ctl->simToggle();
        for (int tick = 1; tick <= 801; ++tick) {
            m_ctl->timerFired();
            if (pace == PlaybackPace::Time)
                continue;
            const int at = cosmophase::sampleAtPace(m_ctl->timeArray(), percent(), pace);
            QVERIFY2(m_ctl->simIndex() == at && m_app.view->simIndex() == at, qPrintable(QString::number(tick)));
            QVERIFY(qAbs(m_app.slider->doubleValue() - samples.percentOf(at)) <= 0.5 / RealSlider::kStepsPerPercent);
        }
        QCOMPARE(m_ctl->simIndex(), m_app.last());
        QCOMPARE(m_app.readouts(), m_app.readoutsAt(m_app.last()));
        m_ctl->timerFired(); // the end
        const int near = ticksNearSaddle(); // and once more from the start
        QVERIFY2(near >= fewestNearSaddle && near <= mostNearSaddle, qPrintable(QString::number(near)));
    }

    // As on the time pace, a scrub ahead holds the marker until the pace
    // catches up, one behind is overtaken at the next tick, and Play after
    // the end starts again from the first sample.
    void scrubsDuringAPacedPlayback()
    {
        choose(QStringLiteral("Uniform in Samples"));
        m_app.slider->setValue(30 * RealSlider::kStepsPerPercent); // before Play: Play starts at 0
        const auto paced = [this] { return cosmophase::sampleAtPace(m_ctl->timeArray(), percent(), PlaybackPace::Samples); };
        m_ctl->simToggle();
        m_ctl->timerFired();
        QVERIFY(m_ctl->simIndex() == paced() && paced() < m_ctl->findIndexWithPercent(30));
        for (int tick = 0; tick < 99; ++tick)
            m_ctl->timerFired();
        QCOMPARE(m_ctl->simIndex(), paced());
        m_app.slider->setValue(50 * RealSlider::kStepsPerPercent);
        const int ahead = m_ctl->simIndex();
        QVERIFY(ahead > paced());
        m_ctl->timerFired();
        QCOMPARE(m_ctl->simIndex(), ahead);
        m_app.delegate->masterViewController()->additions().markers().scrubTo(0);
        m_ctl->timerFired();
        QCOMPARE(m_ctl->simIndex(), paced());
        while (m_ctl->isRunning())
            m_ctl->timerFired();
        m_ctl->simToggle();
        m_ctl->timerFired();
        QCOMPARE(m_ctl->simIndex(), paced());
    }
};

QTEST_MAIN(TestPacedPlayback)
#include "tst_pacedplayback.moc"
