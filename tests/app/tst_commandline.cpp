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

    // --save-animation with no display: a small movie, or a bad request
    // refused with status 2, one line, and nothing written.
    void saveAnimation_data()
    {
        QTest::addColumn<QStringList>("arguments"); // {} stands for the folder
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("file");  // written, relative to the folder; empty: none
        QTest::addColumn<QByteArray>("magic"); // from the file's fifth byte for MP4, else its first
        QTest::addColumn<QString>("error"); // expected last line of stderr (regular expression)

        const QString ok = QStringLiteral("^(?!cosmophase:)");
        const QStringList small{"--size", "64", "--fps", "5", "--duration", "1"};
        QTest::newRow("gif") << QStringList{"--save-animation", "{}/m.gif"} + small << 0 << "m.gif"
                             << QByteArray("GIF89a") << ok;
        QTest::newRow("mp4 of a session, log pace")
            << QStringList{"{}/s.cosmophase", "--save-animation={}/m.mp4", "--pace", "log", "--from", "5", "--to",
                           "6"} + small
            << 0 << "m.mp4" << QByteArray("ftyp") << ok;

        const auto refused = [](const char* name, QStringList arguments, const char* error) {
            QTest::newRow(name) << arguments << 2 << "" << QByteArray() << QStringLiteral("^cosmophase: %1").arg(error);
        };
        const auto movie = [](QStringList options) { return QStringList{"--save-animation", "{}/m.mp4"} + options; };
        refused("other extension", {"--save-animation", "{}/m.avi"}, "Cannot save a movie as '.*m\\.avi'.*--help\\.$");
        refused("no extension", {"--save-animation", "{}/mp4"}, "Cannot save a movie");
        for (const char* fps : {"0", "-3", "2.5", "121", "many"})
            refused(qPrintable(QStringLiteral("--fps %1").arg(fps)), movie({"--fps", fps}), "--fps must be a whole number");
        refused("gif too fast", {"--save-animation", "{}/m.gif", "--fps", "51"},
                "an animated GIF plays at most 50 frames per second, not 51");
        for (const char* duration : {"0", "-1", "nan", "inf", "3601", "long"})
            refused(qPrintable(QStringLiteral("--duration %1").arg(duration)), movie({"--duration", duration}),
                    "--duration must be a number of seconds");
        refused("no frame at all", movie({"--duration", "0.01"}), "a movie of 0.01 s at 30 frames per second has no frame");
        for (const char* size : {"15", "0", "4097", "big"})
            refused(qPrintable(QStringLiteral("--size %1").arg(size)), movie({"--size", size}), "--size of a movie must be");
        refused("from = to", movie({"--from", "40", "--to", "40"}), "--from \\(40\\) must be below --to \\(40\\)");
        refused("from > to", movie({"--from", "60", "--to", "40"}), "--from \\(60\\) must be below");
        refused("from below 0", movie({"--from", "-1"}), "--from must be a percentage");
        refused("to beyond 100", movie({"--to", "100.5"}), "--to must be a percentage");
        refused("to not a number", movie({"--to", "end"}), "--to must be a percentage");
        refused("unknown pace", movie({"--pace", "fast"}), "--pace must be time, log or samples, not 'fast'");
        refused("missing folder", {"--save-animation", "{}/missing/m.mp4"}, ".*missing/m\\.mp4: cannot write in .*No such file");
        refused("bad session", {"{}/bad.cosmophase", "--save-animation", "{}/m.mp4"}, ".*bad\\.cosmophase");
        refused("an option of movies alone", {"--fps", "10"}, "--fps needs --save-animation");
        refused("figure and movie", {"--save-figure", "{}/f.png", "--save-animation", "{}/m.mp4"},
                "--save-figure and --save-animation cannot go together");
        refused("position in a movie", movie({"--position", "50"}), "--position needs --save-figure");
        QTest::newRow("run out of steps") << QStringList{"--q", "1.3113", "--save-animation", "{}/m.gif"} << 3 << ""
                                          << QByteArray() << "^cosmophase: q = 1.3113, T = 9000: the run did not";
        QTest::newRow("a folder") << QStringList{"--save-animation", "{}/sub.gif"} + small << 1 << "" << QByteArray()
                                  << "^cosmophase: .*sub\\.gif: cannot write: Is a directory";
    }

    void saveAnimation()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, file);
        QFETCH(QByteArray, magic);
        QFETCH(QString, error);

        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub.gif")));
        const auto write = [&dir](const char* name, const QByteArray& text) {
            QFile session(dir.filePath(QLatin1String(name)));
            return session.open(QIODevice::WriteOnly) && session.write(text) == text.size();
        };
        QVERIFY(write("s.cosmophase", R"({"format": "cosmophase-session", "version": 1, "layers": {"legend": true}})"));
        QVERIFY(write("bad.cosmophase", R"({"format": "cosmophase-session", "version": 7})"));
        for (QString& argument : arguments)
            argument.replace(QLatin1String("{}"), dir.path());
        const apptest::HeadlessRun run = apptest::runHeadless(arguments);
        const QString err = run.err.trimmed().section('\n', -1);
        QCOMPARE(run.status, status);
        QVERIFY2(QRegularExpression(error).match(err).hasMatch(), qPrintable(err));
        QVERIFY2(!run.err.contains(QLatin1String("cosmophase:")) || run.err.count('\n') <= 2, qPrintable(run.err));

        QStringList expected{"bad.cosmophase", "s.cosmophase", "sub.gif"};
        if (!file.isEmpty())
            expected.append(file);
        expected.sort();
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
                 expected);
        QFile written(dir.filePath(file));
        QVERIFY(file.isEmpty() ||
                (written.open(QIODevice::ReadOnly) && written.peek(16).mid(file.endsWith(".mp4") ? 4 : 0, magic.size()) == magic));
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
