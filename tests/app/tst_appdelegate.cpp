#include "AppTestSupport.h"
#include "ReferenceComputation.h"
#include "TimeSeriesChart.h"

#include "AppCommands.h"
#include "WindowPlacement.h"
#include "MarkerStateReadout.h"

#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>

#include <functional>
#include <utility>

class TestAppDelegate : public QObject {
    Q_OBJECT

    apptest::App m_app;

private slots:
    void init() { QVERIFY(apptest::launch(m_app)); }
    void cleanup() { m_app.delegate.reset(); }

    void startUpReadoutsComeBeforeTheWindowShows()
    {
        apptest::App fresh;
        fresh.delegate = std::make_unique<AppDelegate>();
        QVERIFY(!fresh.delegate->window()->isVisible());
        fresh.delegate->applicationDidFinishLaunching();
        // Shown, but not painted before the event loop runs: the first paint has these.
        QVERIFY(fresh.delegate->window()->isVisible());
        QCOMPARE(fresh.readouts(), (QStringList{"0.0100 Years", "D Ratio = 0.99999812", "0.250", "-0.125"}));
    }

    // Read-outs of any width, with or without their reference, leave the
    // Playback and Curves groups where they are across the row.
    void controlsStayPutAsReadoutsChange()
    {
        const QWidget* playback = m_app.get<QWidget>("playbackBox");
        const QWidget* curves = m_app.get<QWidget>("curvesBox");
        QTRY_VERIFY(m_app.controller->additions().comparison().computation()->result());
        QTRY_VERIFY(m_app.controller->additions().timeSeriesChart()->hasReference());
        const auto across = [](const QWidget* box) { return std::pair{box->x(), box->width()}; };
        m_app.controller->additions().markers().scrubTo(0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const std::pair<int, int> places[] = {across(playback), across(curves)};
        for (const double percent : {100.0, 37.0, 0.0}) {
            m_app.controller->additions().markers().scrubTo(percent);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            QCOMPARE(across(playback), places[0]);
            QCOMPARE(across(curves), places[1]);
        }
    }

    // 1340x728 at first where the screen has room for it, else what fits; the
    // content fills the window between the menu bar and the status bar, the
    // plot stays square with its axes around it, at any size.
    void windowLayout()
    {
        QMainWindow* window = m_app.delegate->window();
        const QRect available = window->screen()->availableGeometry();
        QVERIFY(available.contains(QRect(window->pos(), window->size())));
        if (available.width() >= 1348 && available.height() >= 768) {
            QCOMPARE(window->size(), QSize(1340, 728));
            QVERIFY2(m_app.view->width() >= 630 && m_app.view->height() == m_app.view->width(),
                     qPrintable(QStringLiteral("%1x%2").arg(m_app.view->width()).arg(m_app.view->height())));
        }
        window->resize(1200, 900);
        QTRY_COMPARE(window->size(), QSize(1200, 900));
        const QRect content = window->centralWidget()->geometry();
        QVERIFY(content.width() == 1200 && content.bottom() + 1 == window->statusBar()->geometry().top());
        QTRY_VERIFY(m_app.view->width() == m_app.view->height() && m_app.view->width() >= 350);
        // At its smallest the window keeps the plot as large as the side panel is wide.
        window->resize(400, 300);
        const int panel = m_app.get<QWidget>("sidePanel")->minimumWidth();
        QTRY_VERIFY(m_app.view->width() == m_app.view->height() && m_app.view->width() >= panel);
        // Without the chart the plot takes its room and stays square; it grows
        // where the width, not the height, held it.
        window->resize(1400, 1250);
        QTRY_COMPARE(window->size(), QSize(1400, 1250));
        QTRY_VERIFY(m_app.view->width() == m_app.view->height());
        const int withChart = m_app.view->width();
        m_app.menuAction(QStringLiteral("Time Series"))->trigger();
        QTRY_VERIFY(m_app.view->width() > withChart && m_app.view->width() == m_app.view->height());
        m_app.menuAction(QStringLiteral("Time Series"))->trigger();
        QTRY_COMPARE(m_app.view->width(), withChart);
        window->resize(1340, 728);
    }

    // The opening size and the frame's place on screens of every size.
    void placementFitsTheScreen_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("framePosition");
        QTest::newRow("large") << QRect(0, 0, 1920, 1080) << QSize(1340, 728) << QPoint(286, 156);
        QTest::newRow("1366x768, top panel") << QRect(0, 32, 1366, 736) << QSize(1340, 696) << QPoint(9, 32);
        QTest::newRow("1024x600") << QRect(0, 0, 1024, 600) << QSize(1016, 560) << QPoint(0, 0);
        QTest::newRow("second screen") << QRect(1920, 0, 1280, 1024) << QSize(1272, 728) << QPoint(1920, 128);
    }

    void placementFitsTheScreen()
    {
        QFETCH(QRect, available);
        QFETCH(QSize, size);
        QFETCH(QPoint, framePosition);
        const WindowPlacement placement = WindowPlacement::within(available, QMargins(4, 36, 4, 4), QSize(1340, 728));
        QCOMPARE(placement.size, size);
        QCOMPARE(placement.framePosition, framePosition);
    }

    // Every shortcut the menus offer is a key the man page lists, and the
    // page lists no key the menus lack, as man_cosmophase checks --help.
    void menuShortcutsAreInTheManPage()
    {
        QFile page(QStringLiteral(COSMOPHASE_MAN_PAGE));
        QVERIFY(page.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString keys = QString::fromUtf8(page.readAll()).section(QStringLiteral("\n.SH KEYS\n"), 1).section(QStringLiteral("\n.SH "), 0, 0);
        // A tag's keys are its bold words: all of .B, the odd arguments of .BR.
        QStringList listed;
        static const QRegularExpression tag(QStringLiteral("(?:^|\n)\\.TP\n\\.(BR?) ([^\n]*)"));
        static const QRegularExpression argument(QStringLiteral("\"([^\"]*)\"|(\\S+)"));
        for (const QRegularExpressionMatch& match : tag.globalMatch(keys)) {
            int position = 0;
            for (const QRegularExpressionMatch& arg : argument.globalMatch(match.captured(2))) {
                if (match.captured(1) == QLatin1String("B") || position++ % 2 == 0)
                    listed += arg.captured(0).remove(QLatin1Char('"')).replace(QStringLiteral("\\-"), QStringLiteral("-"));
            }
        }
        QStringList offered;
        for (const QAction* action : m_app.menuActions())
            for (const QKeySequence& shortcut : action->shortcuts())
                offered += shortcut.toString(QKeySequence::PortableText);
        QVERIFY(offered.size() >= 10);
        listed.sort();
        offered.sort();
        QCOMPARE(offered, listed);
    }

    // Space plays and pauses wherever the focus is but in a text field,
    // without toggling a focused control; the arrows, Home and End scrub through the slider's path.
    void keyboardShortcuts()
    {
        const struct { const char* focus; double from; Qt::Key key; double to; const char* title; } rows[] = {
            {"", 0, Qt::Key_Right, 1, "Play"}, {"timeSlider", 20, Qt::Key_Right, 21, "Play"},
            {"", 100, Qt::Key_Left, 99, "Play"}, {"familyCheckBox", 50, Qt::Key_Home, 0, "Play"},
            {"", 50, Qt::Key_End, 100, "Play"}, {"", 0, Qt::Key_Space, 0, "Pause"},
            {"playButton", 0, Qt::Key_Space, 0, "Play"}, {"familyCheckBox", 0, Qt::Key_Space, 0, "Pause"},
            {"timeSlider", 0, Qt::Key_Space, 0, "Play"}};
        for (const auto& row : rows) {
            QWidget* target = *row.focus ? m_app.get<QWidget>(row.focus) : m_app.delegate->window();
            target->setFocus(Qt::TabFocusReason);
            QVERIFY(!*row.focus || m_app.delegate->window()->focusWidget() == target);
            m_app.controller->additions().markers().scrubTo(row.from);
            apptest::keyClick(target, row.key);
            QVERIFY(m_app.flags() == (QList<bool>{true, true, true}) && m_app.boxes[2]->isChecked());
            QCOMPARE(m_app.play->text(), QLatin1String(row.title));
            const int index = m_app.controller->simIndex();
            QVERIFY2(row.key == Qt::Key_Space || (m_app.slider->doubleValue() == row.to && !m_app.controller->isRunning()
                     && index == m_app.controller->findIndexWithPercent(row.to) && m_app.readouts() == m_app.readoutsAt(index)),
                     qPrintable(QStringLiteral("key %1, slider at %2").arg(row.key).arg(m_app.slider->doubleValue())));
        }
    }

    // The state at the marker reads back to the samples' doubles and can be
    // selected; it follows every way the marker moves.
    void markerStateReadsBackExactly()
    {
        const MarkerStateReadout& state = *m_app.delegate->markerStateReadout();
        const auto& c = *m_app.controller;
        const std::function<void()> moves[] = {[&] { m_app.controller->additions().markers().goToSample(17); },
                                               [&] { m_app.controller->additions().markers().scrubTo(62); },
                                               [&] { m_app.controller->additions().markers().stepSamples(-1); }};
        for (const auto& move : moves) {
            move();
            const auto i = static_cast<std::size_t>(c.simIndex());
            QCOMPARE(state.text(0), QString::number(i));
            for (const auto& [row, column] : {std::pair{1, &c.z2Array()}, {2, &c.w0Array()}, {3, &c.w2Array()}})
                QVERIFY2(state.text(row).toDouble() == (*column)[i], qPrintable(state.text(row)));
        }
        QVERIFY(state.findChild<QLabel*>()->textInteractionFlags() & Qt::TextSelectableByMouse);
    }

    void menuCommands()
    {
        QTemporaryDir dir;
        bool cancel = true; // a cancelled dialog writes nothing
        m_app.delegate->commands()->setPathPrompt([&](const QString& caption, const QString&, const QString&) {
            return cancel ? QString() : dir.filePath(caption);
        });
        for (const bool cancelled : {true, false}) {
            cancel = cancelled;
            apptest::keyClick(m_app.delegate->window(), Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
            apptest::keyClick(m_app.delegate->window(), Qt::Key_E, Qt::ControlModifier);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                     cancelled ? QStringList() : (QStringList{"Export Samples", "Save Plot Image"}));
        }
        QImage image;
        QVERIFY(image.load(dir.filePath("Save Plot Image"), "PNG"));
        QCOMPARE(image.size(), m_app.view->size() * m_app.view->devicePixelRatio());
        // A drawn plot, not a blank image.
        QVERIFY(image.pixel(0, 0) != image.pixel(image.width() / 2, image.height() / 2)
                || image.pixel(0, 0) != image.pixel(image.width() / 4, image.height() / 3));
        QFile csv(dir.filePath("Export Samples"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = csv.readAll().trimmed().split('\n');
        const QList<QByteArray> last = lines.last().split(','); // row k describes sample k
        QVERIFY(lines.size() == m_app.last() + 2 && lines[0].startsWith("index,") && last[0].toInt() == m_app.last());
        QVERIFY(last[1].toDouble() == m_app.controller->timeArray().back());

        // Copy puts the marker's row on the clipboard.
        m_app.controller->additions().markers().scrubTo(37);
        apptest::keyClick(m_app.delegate->window(), Qt::Key_C, Qt::ControlModifier);
        const QStringList fields = QGuiApplication::clipboard()->text().split(QLatin1Char('\t'));
        const MasterViewController& c = *m_app.controller;
        const int i = c.simIndex();
        const auto present = cosmophase::presentDayParameters(c.z2Array()[i], c.w0Array()[i], c.w2Array()[i]);
        // Full precision: every number reads back to the same double.
        const double expected[] = {double(i), c.timeArray()[i], c.z2Array()[i], c.w0Array()[i], c.w2Array()[i],
                                   cosmophase::densityRatio(c.z2Array()[i]), present.q0, present.xi0};
        QVERIFY(i > 0 && fields.size() == 8);
        for (int k = 0; k < 8; ++k)
            QVERIFY2(fields[k].toDouble() == expected[k], qPrintable(fields[k]));
    }
};

QTEST_MAIN(TestAppDelegate)
#include "tst_appdelegate.moc"
