#include "AppTestSupport.h"

#include "ReadoutFormat.h"
#include "Simulation.h"

#include <QElapsedTimer>
#include <QSignalSpy>

using apptest::outlet;

class TestMasterViewController : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startUpTexts();
    void startUpCopiesTheRun();
    void playStartsThePreciseTimer();
    void fullPlaybackByTicks();
    void pauseAndResumeKeepTheClock();
    void restartAfterTheEnd();
    void scrubToEnds_data();
    void scrubToEnds();
    void scrubDuringPlaybackLeavesTheClock();
    void findIndexWithPercent_data();
    void findIndexWithPercent();
    void curveSwitches_data();
    void curveSwitches();
    void realTimePlaybackMovesTheMarker();
    void ticksMissedDuringAStallFollowAtOnce();

private:
    QString text(const char* field) const { return outlet<QLabel>(*m_app, field)->text(); }
    QStringList readouts() const
    {
        return {text("runTimeField"), text("densityRatioField"), text("q0Field"), text("xi0Field")};
    }
    int lastIndex() const { return static_cast<int>(m_controller->timeArray().size()) - 1; }

    std::unique_ptr<AppDelegate> m_app;
    MasterViewController* m_controller = nullptr;
    RealSlider* m_slider = nullptr;
    QPushButton* m_play = nullptr;
    MyOpenGLView* m_view = nullptr;
};

void TestMasterViewController::init()
{
    m_app = apptest::launch();
    QVERIFY(m_app);
    m_controller = m_app->masterViewController();
    m_slider = outlet<RealSlider>(*m_app, "timeSlider");
    m_play = outlet<QPushButton>(*m_app, "playButton");
    m_view = outlet<MyOpenGLView>(*m_app, "openGLView");
    QVERIFY(m_slider && m_play && m_view);
}

void TestMasterViewController::cleanup()
{
    m_app.reset();
}

void TestMasterViewController::startUpTexts()
{
    QCOMPARE(text("runTimeField"), QStringLiteral("0.0100 Years"));
    QCOMPARE(text("densityRatioField"), QStringLiteral("D Ratio = 0.99999812"));
    QCOMPARE(text("q0Field"), QStringLiteral("0.250"));
    QCOMPARE(text("xi0Field"), QStringLiteral("-0.125"));
    QCOMPARE(m_controller->simIndex(), 0);
    QVERIFY(m_controller->clock() == 0.0);
    QVERIFY(!m_controller->timer().isActive());
    QVERIFY(!m_controller->isRunning());
    QVERIFY(m_controller->isPaused());
}

void TestMasterViewController::startUpCopiesTheRun()
{
    cosmophase::Simulation run;
    run.initialize();
    run.runSimulation();
    QCOMPARE(m_controller->z2Array(), run.getz2Data());
    QCOMPARE(m_controller->w0Array(), run.getw0Data());
    QCOMPARE(m_controller->w2Array(), run.getw2Data());
    QCOMPARE(m_controller->timeArray(), run.getTimeData());
}

void TestMasterViewController::playStartsThePreciseTimer()
{
    m_slider->setDoubleValue(40);
    QTest::mouseClick(m_play, Qt::LeftButton);
    QCOMPARE(m_play->text(), QStringLiteral("Pause"));
    const QTimer& timer = m_controller->timer();
    QVERIFY(timer.isActive());
    QCOMPARE(timer.interval(), 25);
    QCOMPARE(timer.timerType(), Qt::PreciseTimer);
    QVERIFY(!timer.isSingleShot());
    QVERIFY(m_slider->doubleValue() == 0.0);
    QVERIFY(m_controller->isRunning());
    QVERIFY(!m_controller->isPaused());
    // Starting does not move the marker or touch the read-outs; the first
    // tick does.
    QCOMPARE(text("runTimeField"), QStringLiteral("0.0100 Years"));
}

void TestMasterViewController::fullPlaybackByTicks()
{
    const QStringList startTexts = readouts();
    m_controller->simToggle();

    m_controller->timerFired();
    QCOMPARE(m_controller->simIndex(), 17);
    QCOMPARE(m_view->simIndex(), 17);
    QVERIFY(readouts() != startTexts);

    int previous = m_controller->simIndex();
    for (int tick = 2; tick <= 800; ++tick) {
        m_controller->timerFired();
        QVERIFY(m_controller->simIndex() >= previous);
        previous = m_controller->simIndex();
        QVERIFY(m_controller->isRunning());
    }
    QVERIFY(m_controller->clock() == 19.999999999999932);
    QCOMPARE(m_controller->simIndex(), lastIndex());

    m_controller->timerFired(); // the 801st advancing tick
    QVERIFY(m_controller->clock() == 20.02499999999993);
    QVERIFY(m_controller->isRunning());
    QVERIFY(m_controller->timer().isActive());
    QCOMPARE(m_play->text(), QStringLiteral("Pause"));
    QVERIFY(m_slider->doubleValue() == 100.0);

    const QStringList endTexts = readouts();
    m_controller->timerFired(); // the 802nd ends playback
    QVERIFY(!m_controller->isRunning());
    QVERIFY(!m_controller->isPaused());
    QVERIFY(!m_controller->timer().isActive());
    QCOMPARE(m_play->text(), QStringLiteral("Play"));
    QCOMPARE(m_controller->simIndex(), lastIndex());
    QCOMPARE(m_view->simIndex(), lastIndex());
    QVERIFY(m_slider->doubleValue() == 100.0);
    QCOMPARE(readouts(), endTexts);
    QCOMPARE(text("q0Field"), QStringLiteral("0.425"));
    QCOMPARE(text("xi0Field"), QStringLiteral("0.359"));

    // Later ticks change nothing.
    m_controller->timerFired();
    QVERIFY(m_controller->clock() == 20.02499999999993);
}

void TestMasterViewController::pauseAndResumeKeepTheClock()
{
    QTest::mouseClick(m_play, Qt::LeftButton);
    for (int tick = 0; tick < 120; ++tick)
        m_controller->timerFired();
    const double clock = m_controller->clock();
    const int index = m_controller->simIndex();
    const QStringList texts = readouts();

    QTest::mouseClick(m_play, Qt::LeftButton);
    QCOMPARE(m_play->text(), QStringLiteral("Play"));
    QVERIFY(m_controller->isPaused());
    QVERIFY(m_controller->isRunning());
    QVERIFY(m_controller->timer().isActive()); // keeps firing, ticks do nothing
    for (int tick = 0; tick < 50; ++tick)
        m_controller->timerFired();
    QVERIFY(m_controller->clock() == clock);
    QCOMPARE(m_controller->simIndex(), index);
    QCOMPARE(readouts(), texts);

    QTest::mouseClick(m_play, Qt::LeftButton);
    QCOMPARE(m_play->text(), QStringLiteral("Pause"));
    m_controller->timerFired();
    QVERIFY(m_controller->clock() == clock + 0.025);
}

void TestMasterViewController::restartAfterTheEnd()
{
    m_controller->simToggle();
    for (int tick = 0; tick < 802; ++tick)
        m_controller->timerFired();
    QVERIFY(!m_controller->isRunning());

    m_controller->simToggle();
    QVERIFY(m_controller->clock() == 0.0);
    QCOMPARE(m_controller->simIndex(), 0);
    QVERIFY(m_slider->doubleValue() == 0.0);
    QCOMPARE(m_play->text(), QStringLiteral("Pause"));
    QVERIFY(m_controller->timer().isActive());
    m_controller->timerFired();
    QCOMPARE(m_controller->simIndex(), 17);
}

void TestMasterViewController::scrubToEnds_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<bool>("last");

    QTest::newRow("to 0") << 50.0 << 0.0 << false;
    QTest::newRow("to 100") << 50.0 << 100.0 << true;
}

void TestMasterViewController::scrubToEnds()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(bool, last);
    m_slider->setDoubleValue(from);
    // setValue is what a drag does: the user path, not the programmatic one.
    m_slider->setValue(static_cast<int>(to * RealSlider::kStepsPerPercent));

    const int expected = last ? lastIndex() : 0;
    QCOMPARE(m_controller->simIndex(), expected);
    QCOMPARE(m_view->simIndex(), expected);
    if (last) {
        QCOMPARE(text("q0Field"), QStringLiteral("0.425"));
        QCOMPARE(text("xi0Field"), QStringLiteral("0.359"));
        QVERIFY(text("runTimeField").startsWith(QStringLiteral("13,14")));
    } else {
        QCOMPARE(text("runTimeField"), QStringLiteral("0 Years"));
        QCOMPARE(text("densityRatioField"), QStringLiteral("D Ratio = 0.99999812"));
    }
    QVERIFY(m_controller->clock() == 0.0);
    QVERIFY(!m_controller->isRunning());
}

void TestMasterViewController::scrubDuringPlaybackLeavesTheClock()
{
    m_controller->simToggle();
    for (int tick = 0; tick < 200; ++tick)
        m_controller->timerFired();
    const double clock = m_controller->clock();

    // Ahead of the clock: the marker stays ahead until the target passes it.
    m_slider->setValue(90 * RealSlider::kStepsPerPercent);
    const int ahead = m_controller->simIndex();
    QCOMPARE(ahead, m_controller->findIndexWithPercent(90));
    QVERIFY(m_controller->clock() == clock);
    QVERIFY(m_controller->isRunning() && !m_controller->isPaused());
    QVERIFY(m_controller->timer().isActive());
    m_controller->timerFired();
    QCOMPARE(m_controller->simIndex(), ahead);
    QVERIFY(qAbs(m_slider->doubleValue() - (100 * m_controller->clock()) / 20) <= 0.5 / RealSlider::kStepsPerPercent);

    // Behind the clock: the next tick brings it forward to the target.
    m_slider->setValue(0);
    QCOMPARE(m_controller->simIndex(), 0);
    m_controller->timerFired();
    QCOMPARE(m_controller->simIndex(), m_controller->findIndexWithPercent(100 * m_controller->clock() / 20));
    QVERIFY(m_controller->simIndex() > 0);
}

void TestMasterViewController::findIndexWithPercent_data()
{
    QTest::addColumn<double>("percent");

    QTest::newRow("below 0") << -5.0;
    QTest::newRow("0") << 0.0;
    QTest::newRow("first tick") << 0.125;
    QTest::newRow("1%") << 1.0;
    QTest::newRow("middle") << 50.0;
    QTest::newRow("99.999") << 99.999;
    QTest::newRow("100") << 100.0;
    QTest::newRow("beyond") << 250.0;
}

void TestMasterViewController::findIndexWithPercent()
{
    QFETCH(double, percent);
    const std::vector<double>& time = m_controller->timeArray();
    const int i = m_controller->findIndexWithPercent(percent);
    QVERIFY(i >= 0 && i <= lastIndex());
    // The first sample whose time reaches the target, else the last one.
    const double target = (percent / 100) * time.back();
    if (i > 0)
        QVERIFY(time[i - 1] < target);
    if (i < lastIndex())
        QVERIFY(time[i] >= target);
    if (percent >= 100)
        QCOMPARE(i, lastIndex());
    if (percent <= 0)
        QCOMPARE(i, 0);
}

void TestMasterViewController::curveSwitches_data()
{
    QTest::addColumn<QString>("checkBox");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("flag");

    QTest::newRow("stable") << "stableCheckBox" << "Stable manifold" << 0;
    QTest::newRow("unstable") << "unstableCheckBox" << "Unstable manifold" << 1;
    QTest::newRow("family") << "familyCheckBox" << "Family curve" << 2;
}

void TestMasterViewController::curveSwitches()
{
    QFETCH(QString, checkBox);
    QFETCH(QString, label);
    QFETCH(int, flag);
    auto* box = m_app->window()->findChild<QCheckBox*>(checkBox);
    QVERIFY(box);
    QCOMPARE(box->text(), label);
    QVERIFY(box->isChecked());

    const auto flags = [this] {
        return QList<bool>{m_view->showStableManifold(), m_view->showUnstableManifold(),
                           m_view->showFamilyCurve()};
    };
    QCOMPARE(flags(), (QList<bool>{true, true, true}));

    m_controller->timerFired(); // not playing: nothing happens
    m_slider->setValue(30 * RealSlider::kStepsPerPercent);
    const QStringList texts = readouts();
    const int index = m_controller->simIndex();

    // On the box itself: a click beside a short label misses the button.
    const QPoint indicator(6, box->height() / 2);
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator);
    QList<bool> expected{true, true, true};
    expected[flag] = false;
    QCOMPARE(flags(), expected);
    QVERIFY(!box->isChecked());
    QCOMPARE(readouts(), texts);
    QCOMPARE(m_controller->simIndex(), index);
    QVERIFY(!m_controller->isRunning());

    QTest::mouseClick(box, Qt::LeftButton, {}, indicator);
    QCOMPARE(flags(), (QList<bool>{true, true, true}));
}

void TestMasterViewController::realTimePlaybackMovesTheMarker()
{
    QSignalSpy frames(m_view, &QOpenGLWidget::frameSwapped);
    QTest::mouseClick(m_play, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(m_controller->simIndex() > 0, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(m_view->simIndex() > 0, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(m_slider->doubleValue() > 0, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(text("runTimeField").endsWith(QStringLiteral(" Years")) &&
                                  text("runTimeField") != QStringLiteral("0.0100 Years"),
                              true, 5000);
    QVERIFY(frames.count() > 0);
}

void TestMasterViewController::ticksMissedDuringAStallFollowAtOnce()
{
    m_controller->simToggle();
    QTRY_VERIFY(m_controller->clock() > 0);
    const double before = m_controller->clock();
    // The user-interface thread is held up, as by a slow frame.
    QElapsedTimer stall;
    stall.start();
    while (stall.elapsed() < 150) {
    }
    QSignalSpy timeouts(&m_controller->timer(), &QTimer::timeout);
    QVERIFY(timeouts.wait(2000));
    // One timeout delivered the ticks the stall held back, one at a time.
    QVERIFY2(m_controller->clock() >= before + 5 * MasterViewController::kClockStep,
             qPrintable(QString::number(m_controller->clock() - before)));
    QVERIFY(m_controller->clock() <= before + (MasterViewController::kMaxCatchUpTicks + 1) * 0.025 + 1e-9);
}

QTEST_MAIN(TestMasterViewController)
#include "tst_masterviewcontroller.moc"
