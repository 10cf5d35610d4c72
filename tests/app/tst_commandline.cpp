#include "CommandLine.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace cosmophase;

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    // The program itself, with no display at all: what it prints, where,
    // and its exit status.
    void withoutDisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output"); // expected stdout (regular expression)
        QTest::addColumn<QString>("error");  // expected stderr (regular expression)

        const QString usage = QStringLiteral("^Usage: cosmophase \\[options\\]\\n(.|\\n)*--help(.|\\n)*--version");
        const QString version = QStringLiteral("^cosmophase " COSMOPHASE_VERSION "\\n$");
        const QString none = QStringLiteral("^$");
        auto oneLine = [](const char* text) {
            return QStringLiteral("^cosmophase: %1[^\\n]*--help\\.\\n$").arg(QLatin1String(text));
        };
        QTest::newRow("--help") << QStringList{"--help"} << 0 << usage << none;
        QTest::newRow("-h") << QStringList{"-h"} << 0 << usage << none;
        QTest::newRow("--version") << QStringList{"--version"} << 0 << version << none;
        QTest::newRow("-v") << QStringList{"-v"} << 0 << version << none;
        QTest::newRow("help wins") << QStringList{"--version", "--help"} << 0 << usage << none;
        QTest::newRow("unknown") << QStringList{"--frobnicate"} << 2 << none << oneLine("Unknown option 'frobnicate'");
        QTest::newRow("unknown before help") << QStringList{"--frobnicate", "--help"} << 2 << none
                                             << oneLine("Unknown option 'frobnicate'");
        QTest::newRow("bundled short") << QStringList{"-hv"} << 2 << none << oneLine("Unknown option 'hv'");
        QTest::newRow("argument") << QStringList{"file.csv"} << 2 << none << oneLine("Unexpected argument 'file.csv'");
        QTest::newRow("value on flag") << QStringList{"--version=1"} << 2 << none << oneLine("Unexpected value");
        QTest::newRow("missing value") << QStringList{"-style"} << 2 << none << oneLine("Missing value");
        QTest::newRow("qt option, no display") << QStringList{"-style", "Fusion"} << 1 << none
                                               << QStringLiteral("^cosmophase: no display found");
    }

    void withoutDisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, output);
        QFETCH(QString, error);

        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(COSMOPHASE_APP_BINARY), arguments);
        QVERIFY(process.waitForFinished(20000));
        const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);
        QVERIFY2(QRegularExpression(output).match(out).hasMatch(), qPrintable(out));
        QVERIFY2(QRegularExpression(error).match(err).hasMatch(), qPrintable(err));
    }

    // Qt's own options are left for the QApplication, which reads them from
    // the same argv; the session manager restarts programs with -session.
    void qtOptionsPassOn()
    {
        const QStringList arguments{"cosmophase", "-platform", "offscreen", "-session", "1a2b",
                                    "-style=Fusion", "-reverse", "--qwindowtitle", "Plot"};
        const ApplicationArguments parsed = parseApplicationArguments(arguments);
        QCOMPARE(parsed.action, ApplicationArguments::Action::Run);
        QVERIFY(parsed.text.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
