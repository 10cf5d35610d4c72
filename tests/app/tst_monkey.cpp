// Random-input test: thousands of random user actions on the launched
// application, with the controller's invariants checked after every one.
//
// One run uses a fixed seed, one a seed from the clock; both seeds are
// printed, and COSMOPHASE_MONKEY_SEED=<n> replays a single seed.

#include "AppTestSupport.h"

#include "Observables.h"
#include "ReadoutFormat.h"

#include <QDateTime>
#include <QSignalSpy>
#include <QTimer>

#include <cmath>
#include <limits>
#include <random>

using apptest::outlet;

namespace {

// COSMOPHASE_MONKEY_ACTIONS lowers the count where each action is costly
// (the sanitizer build); the plain build always runs the full 10,000.
int actionCount()
{
    bool ok = false;
    const int fromEnv = qEnvironmentVariableIntValue("COSMOPHASE_MONKEY_ACTIONS", &ok);
    return ok && fromEnv > 0 ? fromEnv : 10000;
}
constexpr quint64 kFixedSeed = 20260705;

QString qt(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

class TestMonkey : public QObject {
    Q_OBJECT

private slots:
    void randomActionsKeepTheInvariants_data();
    void randomActionsKeepTheInvariants();

private:
    // One random action, or a run of ticks; adds what it did to `done`.
    void act(int& done);
    void tick();
    void checkInvariants(const QString& action);

    QString text(const char* field) const { return outlet<QLabel>(*m_app, field)->text(); }
    double anyPercent();

    std::unique_ptr<AppDelegate> m_app;
    MasterViewController* m_controller = nullptr;
    RealSlider* m_slider = nullptr;
    QPushButton* m_play = nullptr;
    MyOpenGLView* m_view = nullptr;
    QList<QCheckBox*> m_boxes;
    std::mt19937_64 m_random;
    QString m_startupTime;
    // Set by the first tick or scrub: from then on the read-outs describe
    // the sample the marker was last moved to.
    bool m_moved = false;
};

void TestMonkey::randomActionsKeepTheInvariants_data()
{
    QTest::addColumn<quint64>("seed");
    bool overridden = false;
    const quint64 fromEnv = qEnvironmentVariable("COSMOPHASE_MONKEY_SEED").toULongLong(&overridden);
    if (overridden) {
        QTest::newRow("seed from COSMOPHASE_MONKEY_SEED") << fromEnv;
        return;
    }
    QTest::newRow("fixed seed") << kFixedSeed;
    QTest::newRow("seed from the clock")
        << static_cast<quint64>(QDateTime::currentMSecsSinceEpoch());
}

void TestMonkey::randomActionsKeepTheInvariants()
{
    QFETCH(quint64, seed);
    qInfo("monkey seed %llu, %d actions (replay with COSMOPHASE_MONKEY_SEED=%llu)",
          static_cast<unsigned long long>(seed), actionCount(), static_cast<unsigned long long>(seed));
    m_random.seed(seed);

    m_app = apptest::launch();
    QVERIFY(m_app);
    m_controller = m_app->masterViewController();
    m_slider = outlet<RealSlider>(*m_app, "timeSlider");
    m_play = outlet<QPushButton>(*m_app, "playButton");
    m_view = outlet<MyOpenGLView>(*m_app, "openGLView");
    m_boxes = {outlet<QCheckBox>(*m_app, "stableCheckBox"),
               outlet<QCheckBox>(*m_app, "unstableCheckBox"),
               outlet<QCheckBox>(*m_app, "familyCheckBox")};
    QVERIFY(m_slider && m_play && m_view && !m_boxes.contains(nullptr));
    m_startupTime = text("runTimeField");
    m_moved = false;

    const int actions = actionCount();
    for (int done = 0; done < actions;) {
        act(done);
        if (QTest::currentTestFailed()) {
            qWarning("monkey: failed after %d actions with seed %llu", done,
                     static_cast<unsigned long long>(seed));
            break;
        }
    }
    m_app.reset();
}

double TestMonkey::anyPercent()
{
    static const double special[] = {0,    100,   -0.0, -1,   101,  50,
                                     1e308, -1e308, std::numeric_limits<double>::infinity(),
                                     -std::numeric_limits<double>::infinity(),
                                     std::numeric_limits<double>::quiet_NaN(), 1e-300};
    std::uniform_int_distribution<int> pick(0, 3);
    if (pick(m_random) == 0)
        return special[std::uniform_int_distribution<std::size_t>(0, std::size(special) - 1)(m_random)];
    return std::uniform_real_distribution<double>(-20, 120)(m_random);
}

void TestMonkey::tick()
{
    const double clockBefore = m_controller->clock();
    m_controller->timerFired();
    if (m_controller->clock() != clockBefore)
        m_moved = true;
    checkInvariants(QStringLiteral("tick"));
}

void TestMonkey::act(int& done)
{
    QWidget* window = m_app->window();
    auto uniform = [this](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(m_random);
    };
    QSignalSpy scrubs(m_slider, &RealSlider::scrubbed);
    const double clockBefore = m_controller->clock();
    QString action;
    ++done;

    // Actions by kind, in percent. Frames cost far more than anything else
    // under software OpenGL, and a mouse click lets one through, so clicks
    // and event-loop passes are kept rare.
    enum Kind { Play, Box, SliderClick, Scrub, SetValue, SliderAction, SetDouble, Resize, Key,
                Tick, Ticks, Events };
    static const int weights[] = {2, 3, 6, 12, 10, 10, 6, 4, 22, 21, 1, 3};
    int roll = uniform(0, 99);
    int kind = 0;
    while (roll >= weights[kind])
        roll -= weights[kind++];
    switch (kind) {
    case Play:
        action = QStringLiteral("click Play/Pause");
        QTest::mouseClick(m_play, Qt::LeftButton);
        break;
    case Box: {
        QCheckBox* box = m_boxes[uniform(0, 2)];
        action = QStringLiteral("click ") + box->objectName();
        const bool stable = m_view->showStableManifold();
        const bool unstable = m_view->showUnstableManifold();
        const bool family = m_view->showFamilyCurve();
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        // Exactly the clicked box's curve flips.
        QCOMPARE(m_view->showStableManifold(), stable != (box == m_boxes[0]));
        QCOMPARE(m_view->showUnstableManifold(), unstable != (box == m_boxes[1]));
        QCOMPARE(m_view->showFamilyCurve(), family != (box == m_boxes[2]));
        break;
    }
    case SliderClick: {
        const QPoint at(uniform(-5, m_slider->width() + 5), uniform(0, m_slider->height()));
        action = QStringLiteral("click slider at %1,%2").arg(at.x()).arg(at.y());
        QTest::mouseClick(m_slider, Qt::LeftButton, {}, at);
        break;
    }
    case Scrub: {
        const double percent = anyPercent();
        action = QStringLiteral("scrub to %1%").arg(percent);
        m_controller->scrubTo(percent);
        m_moved = true;
        break;
    }
    case SetValue: {
        // Through the plain QSlider interface, as a user drag would.
        const int value = uniform(-10000, 110000);
        action = QStringLiteral("QSlider::setValue(%1)").arg(value);
        m_slider->setValue(value);
        break;
    }
    case SliderAction: {
        static const QAbstractSlider::SliderAction moves[] = {
            QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub,
            QAbstractSlider::SliderPageStepAdd, QAbstractSlider::SliderPageStepSub,
            QAbstractSlider::SliderToMinimum, QAbstractSlider::SliderToMaximum};
        const auto move = moves[uniform(0, 5)];
        action = QStringLiteral("slider action %1").arg(move);
        m_slider->triggerAction(move);
        break;
    }
    case SetDouble: {
        // Programmatic, as playback sets it: moves the handle only.
        const double percent = anyPercent();
        action = QStringLiteral("setDoubleValue(%1)").arg(percent);
        m_slider->setDoubleValue(percent);
        break;
    }
    case Resize: {
        static const QSize special[] = {{0, 0}, {1, 1}, {1, 4000}, {4000, 1}, {8000, 6000}};
        const QSize size = uniform(0, 1) == 0 ? special[uniform(0, 4)]
                                              : QSize(uniform(0, 1600), uniform(0, 1200));
        action = QStringLiteral("resize to %1x%2").arg(size.width()).arg(size.height());
        window->resize(size);
        break;
    }
    case Key: {
        static const int keys[] = {Qt::Key_Space, Qt::Key_Left,  Qt::Key_Right, Qt::Key_Home,
                                   Qt::Key_End,   Qt::Key_Tab,   Qt::Key_Up,    Qt::Key_Down,
                                   Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Return,
                                   Qt::Key_Escape, Qt::Key_A,    Qt::Key_F1,    Qt::Key_Backtab};
        QWidget* targets[] = {window, m_slider, m_play, m_view, m_boxes[0]};
        QWidget* target = targets[uniform(0, 4)];
        if (uniform(0, 3) == 0) {
            const char character = static_cast<char>(uniform(0x20, 0x7e));
            action = QStringLiteral("character '%1' to %2").arg(character).arg(target->objectName());
            QTest::keyClick(target, character);
        } else {
            const int key = keys[uniform(0, 14)];
            action = QStringLiteral("key 0x%1 to %2").arg(key, 0, 16).arg(target->objectName());
            QTest::keyClick(target, static_cast<Qt::Key>(key));
        }
        break;
    }
    case Tick: {
        action = QStringLiteral("tick");
        m_controller->timerFired();
        break;
    }
    case Ticks: {
        // A run of ticks, so that playbacks also reach their end.
        const int ticks = uniform(1, 100);
        for (int i = 0; i < ticks && !QTest::currentTestFailed(); ++i)
            tick();
        done += ticks - 1;
        return;
    }
    case Events:
    default:
        // Let queued events, frames and real timer ticks through, without
        // waiting for any.
        action = QStringLiteral("process events");
        QCoreApplication::processEvents();
        break;
    }

    // The key shortcuts scrub without the slider's signal; they show in the
    // elapsed-time read-out, which only a marker move sets.
    if (m_controller->clock() != clockBefore || !scrubs.isEmpty()
        || text("runTimeField") != m_startupTime)
        m_moved = true;
    checkInvariants(action);
}

void TestMonkey::checkInvariants(const QString& action)
{
    const QByteArray where = action.toUtf8();
    const int n = static_cast<int>(m_controller->timeArray().size());
    const int index = m_controller->simIndex();
    QVERIFY2(index >= 0 && index < n, where);
    QVERIFY2(m_view->simIndex() >= 0 && m_view->simIndex() < n, where);

    // Play leaves the marker's reset to the first tick; otherwise the view
    // shows the controller's marker.
    const bool resetPending = m_controller->isRunning() && m_controller->clock() == 0;
    if (!resetPending)
        QVERIFY2(m_view->simIndex() == index, where);

    if (m_moved) {
        const auto at = static_cast<std::size_t>(m_view->simIndex());
        const double z2 = m_controller->z2Array()[at];
        const cosmophase::PresentDay present = cosmophase::presentDayParameters(
            z2, m_controller->w0Array()[at], m_controller->w2Array()[at]);
        const QString expected[] = {
            qt(cosmophase::elapsedYearsText(m_controller->timeArray()[at])),
            qt(cosmophase::densityRatioText(cosmophase::densityRatio(z2))),
            qt(cosmophase::threeDecimalText(present.q0)),
            qt(cosmophase::threeDecimalText(present.xi0))};
        const char* fields[] = {"runTimeField", "densityRatioField", "q0Field", "xi0Field"};
        for (int i = 0; i < 4; ++i) {
            QVERIFY2(text(fields[i]) == expected[i],
                     qPrintable(action + QStringLiteral(": ") + QLatin1String(fields[i]) + QStringLiteral(" shows ")
                                + text(fields[i]) + QStringLiteral(", sample %1 is ").arg(at)
                                + expected[i]));
        }
    }

    const bool playing = m_controller->isRunning() && !m_controller->isPaused();
    QVERIFY2(m_play->text() == (playing ? QStringLiteral("Pause") : QStringLiteral("Play")), where);

    // At most one timer: the playback timer, active exactly while a
    // playback is under way (paused included).
    int active = m_controller->timer().isActive() ? 1 : 0;
    for (const QTimer* timer : m_controller->findChildren<QTimer*>())
        active += timer != &m_controller->timer() && timer->isActive();
    QVERIFY2(active <= 1, where);
    QVERIFY2(m_controller->timer().isActive() == m_controller->isRunning(), where);
}

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
