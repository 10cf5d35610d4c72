// The menu's file writes against targets that cannot take the file: each
// fails with one message naming the path, and leaves nothing behind.

#include "AppTestSupport.h"

#include "AppCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

class TestWriteFailures : public QObject {
    Q_OBJECT

    apptest::App m;
    QStringList m_errors;

private slots:
    void initTestCase()
    {
        QVERIFY(apptest::launch(m));
        m.delegate->commands()->setErrorSink([this](const QString& title, const QString& text) {
            m_errors << title + QLatin1Char('|') + text;
        });
    }
    void cleanupTestCase() { m.delegate.reset(); }

    void unwritableTargets_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("target"); // "@" stands for a scratch folder
        for (const char* title : {"Save Plot Image", "Export Samples"}) {
            QTest::addRow("%s: path is a folder", title) << title << "@";
            QTest::addRow("%s: full disk", title) << title << "/dev/full";
            QTest::addRow("%s: missing folder", title) << title << "@/missing/out.file";
        }
    }
    void unwritableTargets()
    {
        QFETCH(QString, title);
        QFETCH(QString, target);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = target.replace(QLatin1Char('@'), dir.path());
        const QFileInfo before(path);
        m_errors.clear();
        AppCommands* commands = m.delegate->commands();
        QVERIFY(!(title == "Export Samples" ? commands->exportSamples(path) : commands->savePlotImage(path)));
        QCOMPARE(m_errors.size(), 1);
        QVERIFY2(m_errors[0].startsWith(title + QLatin1Char('|')) && m_errors[0].contains(QDir::toNativeSeparators(path)),
                 qPrintable(m_errors[0]));
        // The target is what it was (a device stays a device), and no
        // temporary file is left beside it.
        const QFileInfo after(path);
        QVERIFY(after.exists() == before.exists() && after.isDir() == before.isDir() && after.isFile() == before.isFile());
        QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
        const QStringList strays = QDir("/dev").entryList({"full?*"}, QDir::AllEntries | QDir::Hidden);
        QVERIFY2(strays.isEmpty(), qPrintable(strays.join(' ')));
    }
};

QTEST_MAIN(TestWriteFailures)
#include "tst_writefailures.moc"
