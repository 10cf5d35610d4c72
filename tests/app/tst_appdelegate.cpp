#include "AppTestSupport.h"

#include "AppCommands.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

class TestAppDelegate : public QObject {
    Q_OBJECT

    apptest::App m_app;

private slots:
    void startUpReadoutsComeBeforeTheWindowShows() // before init() launches anything
    {
        AppDelegate delegate;
        QVERIFY(!delegate.window()->isVisible());
        delegate.applicationDidFinishLaunching();
        // Shown, but not painted before the event loop runs: the first paint has these.
        QVERIFY(delegate.window()->isVisible());
        QCOMPARE(delegate.window()->findChild<QLabel*>("runTimeField")->text(), QStringLiteral("0.0100 Years"));
    }

    void init()
    {
        if (QTest::currentTestFunction() != QLatin1String("startUpReadoutsComeBeforeTheWindowShows")) {
            QVERIFY(apptest::launch(m_app));
            QApplication::setActiveWindow(m_app.delegate->window());
            QVERIFY(QTest::qWaitForWindowActive(m_app.delegate->window()));
        }
    }
    void cleanup() { m_app.delegate.reset(); }

    void windowLayout()
    {
        QMainWindow* window = m_app.delegate->window();
        QVERIFY(window->size() == QSize(900, 700) && window->centralWidget() == m_app.controller->view());
        for (const QSize size : {QSize(1300, 620), QSize(700, 900), QSize(900, 700)}) {
            window->resize(size);
            QTRY_COMPARE(window->size(), size);
            // The content fills the window below the menu bar; the plot stays square.
            const QRect content = window->centralWidget()->geometry();
            QVERIFY(content.width() == window->width() && content.bottom() == window->rect().bottom());
            QTRY_COMPARE(m_app.view->width(), m_app.view->height());
            QVERIFY2(m_app.view->width() >= 400, qPrintable(QString::number(m_app.view->width())));
        }
    }

    void keyboardShortcuts_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<double>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<double>("to"); // slider percent after the key; -1: playing
        // Space plays wherever the focus is, and never toggles a focused control.
        for (const char* focus : {"", "playButton", "familyCheckBox", "timeSlider"})
            QTest::addRow("space, focus on '%s'", focus) << focus << 0.0 << int(Qt::Key_Space) << -1.0;
        QTest::newRow("right") << "" << 0.0 << int(Qt::Key_Right) << 1.0;
        QTest::newRow("right on the slider") << "timeSlider" << 20.0 << int(Qt::Key_Right) << 21.0;
        QTest::newRow("left") << "" << 100.0 << int(Qt::Key_Left) << 99.0;
        QTest::newRow("home") << "familyCheckBox" << 50.0 << int(Qt::Key_Home) << 0.0;
        QTest::newRow("end") << "" << 50.0 << int(Qt::Key_End) << 100.0;
    }
    void keyboardShortcuts()
    {
        QFETCH(QString, focus);
        QFETCH(double, from);
        QFETCH(int, key);
        QFETCH(double, to);
        m_app.controller->scrubTo(from);
        QWidget* target = focus.isEmpty() ? m_app.delegate->window() : m_app.get<QWidget>(qPrintable(focus));
        target->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(focus.isEmpty() || target->hasFocus());
        QTest::keyClick(target, static_cast<Qt::Key>(key));
        QVERIFY(m_app.flags() == (QList<bool>{true, true, true}) && m_app.boxes[2]->isChecked());
        QCOMPARE(m_app.play->text(), to < 0 ? "Pause" : "Play");
        QCOMPARE(m_app.controller->isRunning(), to < 0);
        // Scrubs take the slider's path: the marker and the read-outs follow.
        QVERIFY2(to < 0 || m_app.slider->doubleValue() == to, qPrintable(QString::number(m_app.slider->doubleValue())));
        QVERIFY(to < 0 || m_app.controller->simIndex() == m_app.controller->findIndexWithPercent(to));
        QVERIFY(to < 0 || m_app.readouts() == m_app.readoutsAt(m_app.controller->simIndex()));
    }

    void saveAndExportFromTheMenu()
    {
        QTemporaryDir dir;
        bool cancel = true;
        m_app.delegate->commands()->setPathPrompt([&](const QString& caption, const QString&, const QString&) {
            return cancel ? QString() : dir.filePath(caption);
        });
        QStringList errors;
        m_app.delegate->commands()->setErrorSink([&](const QString&, const QString& text) { errors << text; });
        for (const bool cancelled : {true, false}) { // a cancelled dialog writes nothing
            cancel = cancelled;
            QTest::keyClick(m_app.delegate->window(), Qt::Key_S, Qt::ControlModifier);
            QTest::keyClick(m_app.delegate->window(), Qt::Key_E, Qt::ControlModifier);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                     cancelled ? QStringList() : (QStringList{"Export Samples", "Save Plot Image"}));
        }
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join('\n')));
        QImage image;
        QVERIFY(image.load(dir.filePath("Save Plot Image"), "PNG"));
        QCOMPARE(image.size(), m_app.view->size() * m_app.view->devicePixelRatio());
        // A drawn plot, not a blank image.
        QVERIFY(image.pixel(0, 0) != image.pixel(image.width() / 2, image.height() / 2)
                || image.pixel(0, 0) != image.pixel(image.width() / 4, image.height() / 3));
        QFile csv(dir.filePath("Export Samples"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = csv.readAll().trimmed().split('\n');
        QVERIFY(lines.size() == m_app.last() + 2 && lines[0].startsWith("index,"));
        const QList<QByteArray> last = lines.last().split(','); // row k describes sample k
        QVERIFY(last[0].toInt() == m_app.last() && last[1].toDouble() == m_app.controller->timeArray().back());
    }

    void copyPutsTheMarkerRowOnTheClipboard()
    {
        m_app.controller->scrubTo(37);
        const int i = m_app.controller->simIndex();
        QTest::keyClick(m_app.delegate->window(), Qt::Key_C, Qt::ControlModifier);
        const QStringList fields = QGuiApplication::clipboard()->text().split(QLatin1Char('\t'));
        QVERIFY(i > 0 && fields.size() == 8 && fields[0].toInt() == i);
        const MasterViewController& c = *m_app.controller;
        const auto present = cosmophase::presentDayParameters(c.z2Array()[i], c.w0Array()[i], c.w2Array()[i]);
        // Full precision: every number reads back to the same double.
        const double expected[] = {c.timeArray()[i], c.z2Array()[i], c.w0Array()[i], c.w2Array()[i],
                                   cosmophase::densityRatio(c.z2Array()[i]), present.q0, present.xi0};
        for (int k = 0; k < 7; ++k)
            QVERIFY2(fields[k + 1].toDouble() == expected[k], qPrintable(fields[k + 1]));
    }
};

QTEST_MAIN(TestAppDelegate)
#include "tst_appdelegate.moc"
