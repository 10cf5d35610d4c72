#include "CommandLine.h"
#include "HeadlessRun.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace cosmophase;

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    // What the program prints, where, and its exit status.
    void withoutDisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output"); // expected stdout (regular expression)
        QTest::addColumn<QString>("error");  // expected stderr (regular expression)

        const QString usage = QStringLiteral("^Usage: cosmophase \\[options\\] \\[FILE\\]\\n(.|\\n)*--help(.|\\n)*--version");
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
        QTest::newRow("argument") << QStringList{"a.cosmophase", "b"} << 2 << none << oneLine("Unexpected argument 'b'");
        QTest::newRow("value on flag") << QStringList{"--version=1"} << 2 << none << oneLine("Unexpected value");
        QTest::newRow("newline in option") << QStringList{"--fro\nbnicate"} << 2 << none
                                           << oneLine("Unknown option 'fro\\\\x0abnicate'");
        QTest::newRow("missing value") << QStringList{"-style"} << 2 << none << oneLine("Missing value");
        // Refused like any other bad option, before anything needs a display.
        QTest::newRow("q beyond the pole") << QStringList{"--q", "1.3228756555322954"} << 2 << none
                                           << oneLine("--q '1.3228756555322954': q must be above 0");
        QTest::newRow("q not a number") << QStringList{"--q=0x1p-1"} << 2 << none << oneLine("--q '0x1p-1'");
        QTest::newRow("T negative") << QStringList{"--T", "-3"} << 2 << none << oneLine("--T '-3': T must be");
        QTest::newRow("start time zero") << QStringList{"--q", "1e-320", "--T", "2147483647"} << 2 << none
                                         << oneLine("--q and --T: q is too small");
        QTest::newRow("qt option, no display") << QStringList{"-style", "Fusion"} << 1 << none
                                               << QStringLiteral("^cosmophase: no display found");
    }

    void withoutDisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, output);
        QFETCH(QString, error);

        const apptest::HeadlessRun run = apptest::runHeadless(arguments);
        QCOMPARE(run.status, status);
        QVERIFY2(QRegularExpression(output).match(run.out).hasMatch(), qPrintable(run.out));
        QVERIFY2(QRegularExpression(error).match(run.err).hasMatch(), qPrintable(run.err));
    }

    // --save-figure with no display at all: the file's first bytes, or the
    // one line on standard error and nothing written.
    void saveFigure_data()
    {
        QTest::addColumn<QStringList>("arguments"); // {} stands for the folder
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("file");  // written, relative to the folder; empty: none
        QTest::addColumn<QByteArray>("magic");
        QTest::addColumn<QString>("error"); // expected last line of stderr (regular expression)

        const QString ok = QStringLiteral("^(?!cosmophase:)"); // silent, but for Qt's own warnings
        QTest::newRow("svg") << QStringList{"--save-figure", "{}/f.svg"} << 0 << "f.svg" << QByteArray("<?xml") << ok;
        QTest::newRow("pdf") << QStringList{"--save-figure", "{}/f.pdf"} << 0 << "f.pdf" << QByteArray("%PDF-") << ok;
        QTest::newRow("png, --size") << QStringList{"--save-figure", "{}/f.png", "--size", "300"} << 0 << "f.png"
                                     << QByteArray("\x89PNG") << ok;
        QTest::newRow("png @2x, --size=") << QStringList{"--size=300", "--save-figure={}/f@2x.png"} << 0 << "f@2x.png"
                                          << QByteArray("\x89PNG") << ok;
        QTest::newRow("other extension") << QStringList{"--save-figure", "{}/f.jpg"} << 2 << "" << QByteArray()
                                         << "^cosmophase: Cannot save a figure as '.*f\\.jpg'[^\\n]*--help\\.$";
        QTest::newRow("no extension") << QStringList{"--save-figure", "{}/svg"} << 2 << "" << QByteArray()
                                      << "^cosmophase: Cannot save a figure";
        for (const char* size : {"0", "-5", "4097", "12.5", "big"})
            QTest::addRow("--size %s", size) << QStringList{"--save-figure", "{}/f.svg", "--size", size} << 2 << ""
                                            << QByteArray() << "^cosmophase: --size must be a whole number";
        QTest::newRow("--size alone") << QStringList{"--size", "300"} << 2 << "" << QByteArray()
                                      << "^cosmophase: --size needs --save-figure";
        // The figure of another run; one that cannot reach the present day writes nothing.
        QTest::newRow("--q --T") << QStringList{"--q", "0.9999", "--T", "1000", "--save-figure", "{}/f.svg"} << 0
                                 << "f.svg" << QByteArray("<?xml") << ok;
        QTest::newRow("run out of steps") << QStringList{"--q", "1.3113", "--save-figure", "{}/f.svg"} << 3 << ""
                                          << QByteArray() << "^cosmophase: q = 1.3113, T = 9000: the run did not";
        QTest::newRow("missing folder") << QStringList{"--save-figure", "{}/missing/f.svg"} << 1 << "" << QByteArray()
                                        << "^cosmophase: .*missing/f\\.svg.*No such file";
        QTest::newRow("newline in path") << QStringList{"--save-figure", "{}/new\nline/f.svg"} << 1 << "" << QByteArray()
                                         << "^cosmophase: .*new\\\\x0aline/f\\.svg.*No such file";
        QTest::newRow("a folder") << QStringList{"--save-figure", "{}/sub.svg"} << 1 << "" << QByteArray()
                                  << "^cosmophase: .*sub\\.svg";
    }

    void saveFigure()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, file);
        QFETCH(QByteArray, magic);
        QFETCH(QString, error);

        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub.svg")));
        for (QString& argument : arguments)
            argument.replace(QLatin1String("{}"), dir.path());
        const apptest::HeadlessRun run = apptest::runHeadless(arguments);
        // Qt may warn about the environment first; the program's own word is the last line.
        const QString err = run.err.trimmed().section('\n', -1);
        QCOMPARE(run.status, status);
        QVERIFY2(QRegularExpression(error).match(err).hasMatch(), qPrintable(err));

        const QStringList expected = file.isEmpty() ? QStringList{"sub.svg"} : QStringList{file, "sub.svg"};
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
                 expected);
        QFile written(dir.filePath(file));
        QVERIFY(file.isEmpty() || (written.open(QIODevice::ReadOnly) && written.peek(magic.size()) == magic));
        if (file.endsWith(QLatin1String(".png"))) {
            // A 300 px plot and its axes; @2x twice that.
            const int scale = file.contains('@') ? 2 : 1, width = QImage(dir.filePath(file)).width();
            QVERIFY2(width > 300 * scale && width < 450 * scale && width % scale == 0, qPrintable(QString::number(width)));
        }
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
