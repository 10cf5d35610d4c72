// The menu's file writes against targets that cannot take the file: each
// fails with one message naming the path, and leaves nothing behind.

#include "AppTestSupport.h"

#include "AppCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

class TestWriteFailures : public QObject {
    Q_OBJECT

private slots:
    void unwritableTargets()
    {
        apptest::App app;
        QVERIFY(apptest::launch(app));
        QStringList errors;
        AppCommands* commands = app.delegate->commands();
        commands->setErrorSink([&](const QString& title, const QString& text) { errors << title + '|' + text; });
        // "@" stands for a scratch folder.
        for (const QString target : {"@", "/dev/full", "@/missing/out.file"})
            for (const QString title : {"Save Plot Image", "Export Samples", "Export Traces"}) {
                QTemporaryDir dir;
                const QString path = QString(target).replace('@', dir.path());
                const QFileInfo before(path);
                errors.clear();
                QVERIFY(!(title == "Export Samples" ? commands->exportSamples(path)
                          : title == "Export Traces" ? commands->exportTraces(path) : commands->savePlotImage(path)));
                QVERIFY2(errors.size() == 1 && errors[0].startsWith(title + '|') && errors[0].contains(path),
                         qPrintable(path + ": " + errors.join('\n')));
                // The target is what it was (a device stays a device); no temporary file is left.
                const QFileInfo after(path);
                QVERIFY(after.exists() == before.exists() && after.isDir() == before.isDir() && after.isFile() == before.isFile());
                QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
                QCOMPARE(QDir("/dev").entryList({"full?*"}, QDir::AllEntries | QDir::Hidden), QStringList());
            }
    }
};

QTEST_MAIN(TestWriteFailures)
#include "tst_writefailures.moc"
