#include "AppTestSupport.h"

#include "AppCommands.h"
#include "ReadoutFormat.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenuBar>
#include <QTemporaryDir>

using apptest::outlet;

class TestAppDelegate : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void spaceTogglesPlaybackFromAnyFocus();
    void arrowHomeAndEndScrub();
    void savePlotImageWritesAPng();
    void savePlotImageFromTheMenuAsksForAPath();
    void failedWritesReportThePathAndLeaveNothing_data();
    void failedWritesReportThePathAndLeaveNothing();
    void exportSamplesWritesTheCsv();
    void copyPutsTheMarkerRowOnTheClipboard();

private:
    void press(QKeySequence keys);

    std::unique_ptr<AppDelegate> m_app;
    MasterViewController* m_controller = nullptr;
    QStringList m_errors;
};

void TestAppDelegate::init()
{
    m_app = apptest::launch();
    QVERIFY(m_app);
    m_controller = m_app->masterViewController();
    m_errors.clear();
    m_app->commands()->setErrorSink(
        [this](const QString& title, const QString& text) { m_errors << title + QLatin1Char('|') + text; });
    QApplication::setActiveWindow(m_app->window());
    QVERIFY(QTest::qWaitForWindowActive(m_app->window()));
}

void TestAppDelegate::cleanup()
{
    m_app.reset();
}

void TestAppDelegate::press(QKeySequence keys)
{
    const QKeyCombination combination = keys[0];
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : m_app->window();
    QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
}

void TestAppDelegate::spaceTogglesPlaybackFromAnyFocus()
{
    auto* play = outlet<QPushButton>(*m_app, "playButton");
    auto* family = outlet<QCheckBox>(*m_app, "familyCheckBox");
    auto* view = outlet<MyOpenGLView>(*m_app, "openGLView");

    press(Qt::Key_Space);
    QCOMPARE(play->text(), QStringLiteral("Pause"));
    QVERIFY(m_controller->isRunning() && !m_controller->isPaused());

    // With a check box focused, Space still means play/pause.
    family->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(family->hasFocus());
    press(Qt::Key_Space);
    QCOMPARE(play->text(), QStringLiteral("Play"));
    QVERIFY(m_controller->isPaused());
    QVERIFY(family->isChecked());
    QVERIFY(view->showFamilyCurve());

    // And with the slider focused.
    outlet<RealSlider>(*m_app, "timeSlider")->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Space);
    QCOMPARE(play->text(), QStringLiteral("Pause"));

    // Clicks do not move the focus to the button, so it cannot swallow Space.
    QCOMPARE(play->focusPolicy(), Qt::TabFocus);
}

void TestAppDelegate::arrowHomeAndEndScrub()
{
    auto* slider = outlet<RealSlider>(*m_app, "timeSlider");
    const int last = static_cast<int>(m_controller->timeArray().size()) - 1;

    press(Qt::Key_Right);
    QVERIFY(slider->doubleValue() == 1.0);
    QCOMPARE(m_controller->simIndex(), m_controller->findIndexWithPercent(1));
    QVERIFY(m_controller->simIndex() > 0);
    QVERIFY(outlet<QLabel>(*m_app, "runTimeField")->text() != QStringLiteral("0.0100 Years"));

    press(Qt::Key_End);
    QVERIFY(slider->doubleValue() == 100.0);
    QCOMPARE(m_controller->simIndex(), last);
    press(Qt::Key_Right); // stays clamped at the end
    QCOMPARE(m_controller->simIndex(), last);
    press(Qt::Key_Left);
    QVERIFY(slider->doubleValue() == 99.0);
    QCOMPARE(m_controller->simIndex(), m_controller->findIndexWithPercent(99));

    press(Qt::Key_Home);
    QVERIFY(slider->doubleValue() == 0.0);
    QCOMPARE(m_controller->simIndex(), 0);
    QCOMPARE(outlet<QLabel>(*m_app, "runTimeField")->text(), QStringLiteral("0 Years"));
    // Scrubbing never starts playback or moves the clock.
    QVERIFY(!m_controller->isRunning());
    QVERIFY(m_controller->clock() == 0.0);
}

void TestAppDelegate::savePlotImageWritesAPng()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("plot.png"));
    QVERIFY(m_app->commands()->savePlotImage(path));
    QVERIFY(m_errors.isEmpty());

    QImage image;
    QVERIFY(image.load(path, "PNG"));
    auto* view = outlet<MyOpenGLView>(*m_app, "openGLView");
    QCOMPARE(image.size(), view->size() * view->devicePixelRatio());
    // A drawn plot, not a blank image.
    QVERIFY(image.pixel(0, 0) != image.pixel(image.width() / 2, image.height() / 2) ||
            image.pixel(0, 0) != image.pixel(image.width() / 4, image.height() / 3));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"plot.png"});
}

void TestAppDelegate::savePlotImageFromTheMenuAsksForAPath()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chosen.png"));
    QString askedCaption;
    m_app->commands()->setPathPrompt([&](const QString& caption, const QString&, const QString&) {
        askedCaption = caption;
        return path;
    });
    QAction* save = nullptr;
    for (QAction* action : m_app->window()->menuBar()->findChildren<QAction*>()) {
        if (action->text().startsWith(QStringLiteral("&Save Plot Image")))
            save = action;
    }
    QVERIFY(save);
    save->trigger();
    QCOMPARE(askedCaption, QStringLiteral("Save Plot Image"));
    QVERIFY(QImage(path).width() > 0);

    // Cancelling the dialog writes nothing.
    m_app->commands()->setPathPrompt([](const QString&, const QString&, const QString&) { return QString(); });
    QFile::remove(path);
    save->trigger();
    QVERIFY(!QFile::exists(path));
    QVERIFY(m_errors.isEmpty());
}

void TestAppDelegate::failedWritesReportThePathAndLeaveNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("title");

    QTest::newRow("plot image") << "image" << "Save Plot Image";
    QTest::newRow("samples") << "samples" << "Export Samples";
}

void TestAppDelegate::failedWritesReportThePathAndLeaveNothing()
{
    QFETCH(QString, command);
    QFETCH(QString, title);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing-folder/out.file"));

    AppCommands* commands = m_app->commands();
    const bool written = command == QLatin1String("image") ? commands->savePlotImage(path)
                                                           : commands->exportSamples(path);
    QVERIFY(!written);
    QCOMPARE(m_errors.size(), 1);
    QVERIFY(m_errors[0].startsWith(title + QLatin1Char('|')));
    QVERIFY2(m_errors[0].contains(QDir::toNativeSeparators(path)), qPrintable(m_errors[0]));
    QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

void TestAppDelegate::exportSamplesWritesTheCsv()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("samples.csv"));
    QVERIFY(m_app->commands()->exportSamples(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    QCOMPARE(lines.size(), static_cast<qsizetype>(m_controller->timeArray().size()) + 1);
    QVERIFY(lines[0].startsWith("index,"));
    // Row k describes sample k.
    const QList<QByteArray> last = lines.last().split(',');
    QCOMPARE(last[0].toInt(), static_cast<int>(m_controller->timeArray().size()) - 1);
    QVERIFY(last[1].toDouble() == m_controller->timeArray().back());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"samples.csv"});
}

void TestAppDelegate::copyPutsTheMarkerRowOnTheClipboard()
{
    m_controller->scrubTo(37);
    const int index = m_controller->simIndex();
    QVERIFY(index > 0);
    press(QKeySequence::Copy);

    const QStringList fields = QGuiApplication::clipboard()->text().split(QLatin1Char('\t'));
    QCOMPARE(fields.size(), 8);
    QCOMPARE(fields[0].toInt(), index);
    const auto at = static_cast<std::size_t>(index);
    QVERIFY(fields[1].toDouble() == m_controller->timeArray()[at]);
    QVERIFY(fields[2].toDouble() == m_controller->z2Array()[at]);
    QVERIFY(fields[3].toDouble() == m_controller->w0Array()[at]);
    QVERIFY(fields[4].toDouble() == m_controller->w2Array()[at]);
    // The full-precision numbers agree with what the read-outs show.
    QCOMPARE(QString::fromStdString(cosmophase::densityRatioText(fields[5].toDouble())),
             outlet<QLabel>(*m_app, "densityRatioField")->text());
    QCOMPARE(QString::fromStdString(cosmophase::threeDecimalText(fields[6].toDouble())),
             outlet<QLabel>(*m_app, "q0Field")->text());
    QCOMPARE(QString::fromStdString(cosmophase::threeDecimalText(fields[7].toDouble())),
             outlet<QLabel>(*m_app, "xi0Field")->text());
}

QTEST_MAIN(TestAppDelegate)
#include "tst_appdelegate.moc"
