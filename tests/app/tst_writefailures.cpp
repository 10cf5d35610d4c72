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
    void initTestCase();
    void cleanupTestCase();
    void unwritableTargets_data();
    void unwritableTargets();

private:
    std::unique_ptr<AppDelegate> m_app;
    QStringList m_errors;
};

void TestWriteFailures::initTestCase()
{
    m_app = apptest::launch();
    QVERIFY(m_app);
    m_app->commands()->setErrorSink(
        [this](const QString& title, const QString& text) { m_errors << title + QLatin1Char('|') + text; });
}

void TestWriteFailures::cleanupTestCase()
{
    m_app.reset();
}

void TestWriteFailures::unwritableTargets_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("target");

    for (const char* command : {"image", "samples"}) {
        // "@" stands for the scratch folder.
        QTest::addRow("%s: path is a folder", command) << command << "@";
        QTest::addRow("%s: full disk", command) << command << "/dev/full";
    }
}

void TestWriteFailures::unwritableTargets()
{
    QFETCH(QString, command);
    QFETCH(QString, target);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = target == QLatin1String("@") ? dir.path() : target;
    const QFileInfo before(path);

    m_errors.clear();
    AppCommands* commands = m_app->commands();
    const bool written = command == QLatin1String("image") ? commands->savePlotImage(path)
                                                           : commands->exportSamples(path);
    QVERIFY(!written);
    QCOMPARE(m_errors.size(), 1);
    QVERIFY2(m_errors[0].contains(QDir::toNativeSeparators(path)), qPrintable(m_errors[0]));
    // The target is what it was, and no temporary file is left beside it.
    const QFileInfo after(path);
    QCOMPARE(after.isDir(), before.isDir());
    QCOMPARE(after.isFile(), before.isFile());
    QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    if (target == QLatin1String("/dev/full")) {
        // Still the device: not replaced by a file renamed over it.
        QVERIFY(!after.isFile() && after.exists());
        const QStringList strays = QDir(QStringLiteral("/dev")).entryList({QStringLiteral("full?*")},
                                                                          QDir::AllEntries | QDir::Hidden);
        QVERIFY2(strays.isEmpty(), qPrintable(strays.join(QLatin1Char(' '))));
    }
}

QTEST_MAIN(TestWriteFailures)
#include "tst_writefailures.moc"
