#include "AppTestSupport.h"
#include "DataFormat.h"
#include "ParameterRuns.h"
#include "ParametersPanel.h"
#include "Simulation.h"
#include "TimeSeriesChart.h"

#include <QAction>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>

#include <functional>

using namespace cosmophase;

class TestParametersPanel : public QObject {
    Q_OBJECT

    apptest::App m_app;
    QLineEdit* m_q = nullptr;
    QLineEdit* m_t = nullptr;

    std::string digest() const
    {
        const MasterViewController& c = *m_app.controller;
        return samplesDigest({c.z2Array(), c.w0Array(), c.w2Array(), c.timeArray()});
    }
    static std::string digestOf(const RunParameters& parameters)
    {
        Simulation run;
        run.initialize(parameters);
        run.runSimulationBounded();
        return samplesDigest({run.getz2Data(), run.getw0Data(), run.getw2Data(), run.getTimeData()});
    }
    void type(QLineEdit* field, const QString& text)
    {
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    QString message() const { return m_app.text("parameterMessage"); }

private slots:
    void initTestCase()
    {
        QVERIFY(apptest::launch(m_app));
        m_q = m_app.get<QLineEdit>("qParameterField");
        m_t = m_app.get<QLineEdit>("temperatureParameterField");
        QVERIFY(m_q && m_t);
        QCOMPARE(m_q->text(), QStringLiteral("0.999999426"));
    }
    void cleanupTestCase() { m_app.delegate.reset(); }

    // Each edit reruns at once; a refused one, or a run that cannot reach the
    // present day, keeps the run on screen and says why.
    void typedValues_data()
    {
        QTest::addColumn<QString>("q");
        QTest::addColumn<QString>("T");
        QTest::addColumn<bool>("runs");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("background");
        QTest::newRow("q") << "0.99999" << "9000" << true << "" << false;
        QTest::newRow("T") << "0.999999426" << "1000" << true << "" << false;
        QTest::newRow("q = 1") << "1" << "9000" << true << "" << false;
        QTest::newRow("spaces around") << " 0.99999 " << " 9000 " << true << "" << false;
        QTest::newRow("beyond the pole") << "1.4" << "9000" << false << "q must be above 0" << false;
        QTest::newRow("not a number") << "0.9x" << "9000" << false << "finite decimal" << false;
        QTest::newRow("T zero") << "0.999999426" << "0" << false << "T must be" << false;
        // The full budget of steps, a quarter of a second: off the UI thread.
        QTest::newRow("out of steps") << "1.3113" << "9000" << false << "Still showing q = " << true;
    }

    void typedValues()
    {
        QFETCH(QString, q);
        QFETCH(QString, T);
        QFETCH(bool, runs);
        QFETCH(QString, message);
        QFETCH(bool, background);
        m_app.controller->additions().runs().rerunWith(RunParameters{0.9999, 2000});
        m_app.controller->additions().parametersPanel()->showParameters(RunParameters{0.9999, 2000});
        type(m_t, T);
        // Every keystroke that leaves valid text runs; the last one decides.
        type(m_q, q.chopped(1));
        const std::string before = digest();
        QSignalSpy replaced(&m_app.controller->additions().runs(), &RunReplacement::runReplaced);
        QTest::keyClick(m_q, q.back().toLatin1());
        QCOMPARE(m_app.delegate->parameterRuns()->isRunningInBackground(), background);
        QTRY_VERIFY(!m_app.delegate->parameterRuns()->isRunningInBackground());
        const RunParameters typed{q.toDouble(), T.toInt()};
        QCOMPARE(digest(), runs ? digestOf(typed) : before);
        QCOMPARE(replaced.isEmpty(), !runs);
        if (runs) {
            QCOMPARE(m_app.controller->additions().runs().parameters(), typed);
            QCOMPARE(m_app.view->curves().trajectory().x, m_app.controller->z2Array());
            // The chart follows just after the plane's next frame.
            QTRY_VERIFY(m_app.controller->additions().timeSeriesChart()->series().time
                        == m_app.controller->timeArray());
        }
        QVERIFY2(message.isEmpty() || this->message().contains(message), qPrintable(this->message()));
    }

    // A later edit wins over a run still under way, whose outcome is dropped.
    void laterEditReplacesABackgroundRun()
    {
        ParameterRuns* runs = m_app.delegate->parameterRuns();
        type(m_q, QStringLiteral("1.3113"));
        QVERIFY(runs->isRunningInBackground());
        type(m_q, QStringLiteral("0.99"));
        QTRY_VERIFY(!runs->isRunningInBackground());
        QCOMPARE(m_app.controller->additions().runs().parameters().q, 0.99);
        QVERIFY2(!message().contains(QStringLiteral("Still showing")), qPrintable(message()));
    }

    // The marker keeps its share of the elapsed time, the read-outs and the
    // chart follow, and playback goes on.
    void rerunDuringPlayback()
    {
        m_app.controller->additions().parametersPanel()->restoreDefaults();
        QTest::mouseClick(m_app.play, Qt::LeftButton);
        QVERIFY(m_app.controller->isRunning());
        m_app.controller->simToggle(); // paused: the marker stays put for the check
        m_app.controller->additions().markers().scrubTo(50);
        const int index = m_app.controller->simIndex();
        const double share = m_app.controller->timeArray()[index] / m_app.controller->timeArray().back();
        type(m_q, QStringLiteral("0.99999"));
        const int moved = m_app.controller->simIndex();
        const auto& time = m_app.controller->timeArray();
        QVERIFY(time[moved] >= share * time.back() && time[moved - 1] < share * time.back());
        QCOMPARE(m_app.view->simIndex(), moved);
        QCOMPARE(m_app.readouts().mid(1), m_app.readoutsAt(moved).mid(1));
        QVERIFY(m_app.controller->isRunning() && m_app.controller->timer().isActive());
        const double clock = m_app.controller->clock();
        m_app.controller->simToggle();
        QTRY_VERIFY(m_app.controller->clock() > clock);
    }

    // A field keeps the keys only while typed in: Enter, Escape or a press
    // elsewhere in the window hands them to the plot, where Space plays.
    void fieldsHandTheKeysBack()
    {
        QWidget* window = m_app.delegate->window();
        QWidget* tabs = m_app.controller->additions().timeSeriesChart()->tabs()->tabBar();
        const std::function<void()> leaves[] = {
            [&] { apptest::keyClick(m_t, Qt::Key_Return); }, [&] { apptest::keyClick(m_t, Qt::Key_Escape); },
            [&] { QTest::mouseClick(m_app.play, Qt::LeftButton); }, [&] { QTest::mouseClick(tabs, Qt::LeftButton, {}, QPoint(5, 5)); },
            [&] {
                QTest::mouseClick(m_app.controller->additions().parametersPanel(), Qt::LeftButton, {}, QPoint(2, 2));
            }};
        for (const auto& leave : leaves) {
            m_t->setFocus(Qt::MouseFocusReason);
            QVERIFY(window->focusWidget() == m_t);
            leave();
            QCOMPARE(window->focusWidget(), static_cast<QWidget*>(m_app.view));
            const bool running = m_app.controller->isRunning() && !m_app.controller->isPaused();
            apptest::keyClick(m_app.view, Qt::Key_Space);
            QCOMPARE(m_app.controller->isRunning() && !m_app.controller->isPaused(), !running);
        }
        // Clicking one field from another moves the keys there, not to the plot.
        m_q->setFocus(Qt::MouseFocusReason);
        QTest::mouseClick(m_t, Qt::LeftButton);
        QCOMPARE(window->focusWidget(), static_cast<QWidget*>(m_t));
        if (m_app.controller->isRunning() && !m_app.controller->isPaused())
            m_app.controller->simToggle();
    }

    // The slider sets 1 - q in decades and writes the exact q into the field;
    // while it is held the chart waits for the drag to rest.
    void sliderAndDefaults()
    {
        auto* slider = m_app.get<QSlider>("qParameterSlider");
        const auto* chart = m_app.controller->additions().timeSeriesChart();
        slider->setSliderDown(true);
        slider->setValue(-600);
        QCOMPARE(m_app.controller->additions().runs().parameters().q, 1 - std::pow(10.0, -6.0));
        QCOMPARE(m_q->text().toDouble(), 1 - std::pow(10.0, -6.0));
        QCOMPARE(m_app.view->curves().trajectory().x, m_app.controller->z2Array());
        QVERIFY(chart->series().time != m_app.controller->timeArray());
        QTRY_VERIFY(chart->series().time == m_app.controller->timeArray());
        slider->setValue(-400);
        slider->setSliderDown(false);
        QVERIFY(chart->series().time == m_app.controller->timeArray());
        QVERIFY(m_app.view->frameContent().showDefaultTrajectory());
        QAction* action = m_app.menuAction(QStringLiteral("Default Run"));
        action->trigger();
        QVERIFY(!m_app.view->frameContent().showDefaultTrajectory());
        action->trigger();

        QTest::mouseClick(m_app.get<QPushButton>("parameterDefaultsButton"), Qt::LeftButton);
        QCOMPARE(digest(), digestOf(RunParameters{}));
        QCOMPARE(m_q->text(), QStringLiteral("0.999999426"));
        QCOMPARE(m_t->text(), QStringLiteral("9000"));
        QVERIFY(!m_app.view->frameContent().showDefaultTrajectory());
        QVERIFY(!m_app.view->frameContent().hasOverlays());
    }
};

QTEST_MAIN(TestParametersPanel)
#include "tst_parameterspanel.moc"
