// File ▸ Export Animation…: the dialog's refusals, a movie written from the
// menu while the window plays on, and a cancel that leaves no file.

#include "AnimationActions.h"
#include "AnimationExportDialog.h"
#include "AppCommands.h"
#include "AppTestSupport.h"
#include "LegendOverlay.h"
#include "MovieExport.h"
#include "PacedPlayback.h"
#include "PhasePlaneInteraction.h"
#include "PlotNavigation.h"
#include "SessionFile.h"
#include "SessionState.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

QLineEdit* field(const AnimationExportDialog& dialog, const QString& name)
{
    return dialog.findChild<QLineEdit*>(name);
}

bool okEnabled(const AnimationExportDialog& dialog)
{
    return dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled();
}

QStringList folderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestAnimationExport : public QObject {
    Q_OBJECT

    // Launches the window with the dialog answered by `fill`, errors collected.
    void launch(apptest::App& app, std::function<void(AnimationExportDialog&)> fill, QStringList* errors)
    {
        QVERIFY(apptest::launch(app));
        AnimationActions& animation = *app.delegate->animation();
        animation.setDialogRunner([fill](AnimationExportDialog& dialog) {
            fill(dialog);
            return okEnabled(dialog);
        });
        animation.setErrorSink([errors](const QString&, const QString& text) { *errors << text; });
    }

private slots:
    // Each row changes one field of the default request; a refused value
    // disables OK and turns its field red, with one line saying why.
    void refusals_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("refused");
        const QList<std::tuple<const char*, const char*, bool>> rows{
            {"fileField", "@/movie.gif", false},      {"fileField", "@/movie.WEBM", false},
            {"fileField", "@/movie.avi", true},       {"fileField", "@/movie", true},
            {"fileField", "", true},                  {"fileField", "@/missing/movie.mp4", true},
            {"fileField", "@/file.txt/movie.mp4", true}, {"fileField", "relative.gif", false},
            {"sizeField", "16", false},               {"sizeField", "4096", false},
            {"sizeField", "15", true},
            {"sizeField", "0", true},                 {"sizeField", "-5", true},
            {"sizeField", "4097", true},              {"sizeField", "2.5", true},
            {"sizeField", "big", true},               {"fpsField", "1", false},
            {"fpsField", "0", true},                  {"fpsField", "-30", true},
            {"fpsField", "nan", true},                {"fpsField", "29.97", true},
            {"durationField", "0.5", false},          {"durationField", "0", true},
            {"durationField", "0.01", true}, // no frame at 30 fps
            {"durationField", "-1", true},            {"durationField", "nan", true},
            {"durationField", "inf", true},           {"durationField", "", true},
            {"fromField", "99.5", false},             {"fromField", "-0.1", true},
            {"fromField", "100", true},               {"fromField", "nan", true},
            {"toField", "0.001", false},              {"toField", "0", true},
            {"toField", "100.01", true},              {"toField", "ten", true},
        };
        for (const auto& [name, text, refused] : rows)
            QTest::addRow("%s=%s", name, text) << name << text << refused;
    }
    void refusals()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(bool, refused);
        QTemporaryDir dir;
        QFile(dir.filePath("file.txt")).open(QIODevice::WriteOnly);
        AnimationExportDialog dialog;
        cosmophase::MovieRequest defaults;
        defaults.path = QFile::encodeName(dir.filePath("movie.mp4")).toStdString();
        dialog.setRequest(defaults);
        QVERIFY(okEnabled(dialog) && dialog.refusal().isEmpty());
        QLineEdit* edited = field(dialog, name);
        edited->setText(QString(text).replace('@', dir.path()));
        QCOMPARE(okEnabled(dialog), !refused);
        QCOMPARE(dialog.refusal().isEmpty(), !refused);
        QVERIFY(!dialog.refusal().contains('\n'));
        for (QLineEdit* each : dialog.findChildren<QLineEdit*>())
            QCOMPARE(each->palette().color(QPalette::Text) != dialog.palette().color(QPalette::Text),
                     refused && each == edited);
        if (!refused) // a bare name goes in the suggested folder
            QCOMPARE(QFileInfo(QFile::decodeName(dialog.request().path.c_str())).absolutePath(), dir.path());
    }

    // From the menu: the dialog starts from the command line's defaults, the
    // menu's pace and the last folder; the movie of what the plot shows is
    // written while playback goes on, and the status bar confirms it.
    void exportFromTheMenu()
    {
        apptest::App app;
        QStringList errors;
        QStringList opened;
        QTemporaryDir dir;
        const QString path = dir.filePath("tiny.mp4");
        launch(app, [&](AnimationExportDialog& dialog) {
            for (const char* name : {"fileField", "sizeField", "fpsField", "durationField", "fromField", "toField"})
                opened << field(dialog, name)->text();
            opened << dialog.findChild<QComboBox*>()->currentText();
            field(dialog, "fileField")->setText(path);
            field(dialog, "sizeField")->setText("64");
            field(dialog, "fpsField")->setText("5");
            field(dialog, "durationField")->setText("1");
        }, &errors);
        AnimationActions& animation = *app.delegate->animation();
        app.menuAction("Uniform in Samples")->trigger();
        app.delegate->commands()->rememberFolderOf(dir.filePath("x"));
        QSignalSpy saved(&animation, &AnimationActions::saved);
        // The messages as shown: the pointer leaving the plot clears the bar.
        QSignalSpy messages(app.delegate->window()->statusBar(), &QStatusBar::messageChanged);
        QSignalSpy progress(&animation.movieExport(), &MovieExport::progressed);
        QTest::mouseClick(app.play, Qt::LeftButton);
        QAction* exportAction = app.menuAction(QString::fromUtf8("Export Animation\u2026"));
        exportAction->trigger();
        QVERIFY(!exportAction->isEnabled() && animation.movieExport().isRunning());
        QCOMPARE(opened, (QStringList{dir.filePath(AnimationActions::kDefaultFileName), "637", "30", "20", "0", "100", "Uniform in samples"}));
        QVERIFY(saved.wait(20000));
        QCOMPARE(saved.first().first().toString(), path);
        QVERIFY(errors.isEmpty() && exportAction->isEnabled());
        QCOMPARE(progress.last(), (QVariantList{5, 5}));
        QVERIFY(QFileInfo(path).size() > 0);
        QCOMPARE(folderEntries(dir.path()), QStringList{"tiny.mp4"});
        QMainWindow& window = *app.delegate->window();
        QVERIFY(messages.contains(QVariantList{"Saved " + QDir::toNativeSeparators(path)}));
        QVERIFY(!window.statusBar()->findChild<QProgressBar*>()->isVisible());
        QVERIFY(app.controller->isRunning() && app.controller->clock() > 0);
        // The dialog opens again with the values just used.
        opened.clear();
        animation.setDialogRunner([&](AnimationExportDialog& dialog) {
            opened << field(dialog, "fileField")->text() << field(dialog, "sizeField")->text();
            return false;
        });
        exportAction->trigger();
        QCOMPARE(opened, (QStringList{path, "64"}));
    }

    // Cancel in the status bar stops the writer: no file, and a file that
    // was there keeps its bytes. A failed writer leaves one line.
    void cancelAndFailure()
    {
        apptest::App app;
        QStringList errors;
        QTemporaryDir dir;
        const QString path = dir.filePath("kept.mp4");
        launch(app, [&](AnimationExportDialog& dialog) {
            field(dialog, "fileField")->setText(path);
            field(dialog, "sizeField")->setText("64");
            // Far more frames than can be written before the cancel comes.
            field(dialog, "fpsField")->setText("120");
            field(dialog, "durationField")->setText("3600");
        }, &errors);
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old bytes") == 9);
        }
        AnimationActions& animation = *app.delegate->animation();
        QMainWindow& window = *app.delegate->window();
        auto* cancel = window.statusBar()->findChild<QToolButton*>();
        connect(&animation.movieExport(), &MovieExport::progressed, cancel, &QToolButton::click,
                Qt::SingleShotConnection);
        QSignalSpy finished(&animation.movieExport(), &MovieExport::finished);
        QSignalSpy messages(window.statusBar(), &QStatusBar::messageChanged);
        app.menuAction(QString::fromUtf8("Export Animation\u2026"))->trigger();
        QVERIFY(cancel->isVisible());
        QVERIFY(finished.wait(20000));
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char(10))));
        QVERIFY(messages.contains(
            QVariantList{"Export cancelled; " + QDir::toNativeSeparators(path) + " was not written."}));
        QFile kept(path);
        QVERIFY(kept.open(QIODevice::ReadOnly) && kept.readAll() == "old bytes");
        QCOMPARE(folderEntries(dir.path()), QStringList{"kept.mp4"});

        animation.movieExport().setWriter([](const cosmophase::MovieRequest&, const cosmophase::MovieProgress&,
                                             const std::atomic<bool>*) {
            return cosmophase::MovieResult{cosmophase::MovieResult::Status::Failed, "kept.mp4: disk full", {}};
        });
        app.menuAction(QString::fromUtf8("Export Animation\u2026"))->trigger();
        QVERIFY(finished.wait(20000));
        QCOMPARE(errors, QStringList{"The animation was not exported: kept.mp4: disk full"});
    }

    // The movie shows the window's session as it is at OK: layers, legend,
    // view and traces.
    void movieOfTheWindowsSession()
    {
        apptest::App app;
        QStringList errors;
        QTemporaryDir dir;
        launch(app, [&](AnimationExportDialog& dialog) { field(dialog, "fileField")->setText(dir.filePath("s.mp4")); },
               &errors);
        app.menuAction("Legend")->trigger();
        app.menuAction("Nullclines")->trigger();
        app.delegate->plotNavigation()->zoomIn();
        app.delegate->phasePlaneInteraction()->traceFrom({0.5, -0.25});
        std::optional<cosmophase::Session> written;
        AnimationActions& animation = *app.delegate->animation();
        animation.movieExport().setWriter([&written](const cosmophase::MovieRequest& request,
                                                     const cosmophase::MovieProgress&, const std::atomic<bool>*) {
            written = request.session;
            return cosmophase::MovieResult{cosmophase::MovieResult::Status::Written, {}, {}};
        });
        QSignalSpy saved(&animation, &AnimationActions::saved);
        animation.exportAnimation();
        QVERIFY(saved.wait(5000) && written);
        const cosmophase::Session shown = app.delegate->sessionState()->capture();
        QVERIFY(written->layers.legend && written->layers.nullclines && written->traces.size() == 1);
        QCOMPARE(cosmophase::sessionText(*written), cosmophase::sessionText(shown));
    }
};

QTEST_MAIN(TestAnimationExport)
#include "tst_animationexport.moc"
