#include <QDir>
#include "HeadlessRun.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// `cosmophase FILE --save-figure OUT` run as a user would, with no display.
class TestSessionFigure : public QObject {
    Q_OBJECT

    static QString session(const QByteArray& keys)
    {
        return QStringLiteral(R"({"format": "cosmophase-session", "version": 1%1})")
            .arg(keys.isEmpty() ? QString() : QStringLiteral(", ") + QString::fromUtf8(keys));
    }

    static bool write(const QString& path, const QString& text)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size();
    }

    // The PNG that these arguments draw, in a fresh folder.
    static QImage figure(const QTemporaryDir& dir, const QString& name, QStringList arguments)
    {
        const QString path = dir.filePath(name + QStringLiteral(".png"));
        arguments << QStringLiteral("--save-figure") << path << QStringLiteral("--size") << QStringLiteral("300");
        const apptest::HeadlessRun run = apptest::runHeadless(arguments);
        if (run.status != 0)
            qWarning("%s", qPrintable(run.err));
        return QImage(path);
    }

private slots:
    // A session that sets only the run draws what the options draw.
    void sameAsTheOptions()
    {
        QTemporaryDir dir;
        QVERIFY(write(dir.filePath("q.cosmophase"), session(R"("q": "0.9999", "T": 1000)")));
        QVERIFY(write(dir.filePath("plain.cosmophase"), session("")));
        const QImage options = figure(dir, "options", {"--q", "0.9999", "--T", "1000"});
        QVERIFY(!options.isNull());
        QCOMPARE(figure(dir, "q", {dir.filePath("q.cosmophase")}), options);
        QCOMPARE(figure(dir, "plain", {dir.filePath("plain.cosmophase")}), figure(dir, "default", {}));
    }

    // What a session adds shows, and --position moves the marker as the slider does.
    void viewLayersTracesAndMarker()
    {
        QTemporaryDir dir;
        const QImage plain = figure(dir, "plain", {});
        const struct { const char* name; QByteArray keys; } changes[] = {
            {"zoom", R"("view": {"z2": 0.1, "w0": 0, "half_side": 0.5})"},
            {"legend", R"("layers": {"legend": true})"},
            {"no field", R"("layers": {"direction_field": false})"},
            {"trace", R"("traces": [{"z2": 0.5, "w0": 1.2}])"},
            {"marker", R"("marker": 5922)"},
        };
        for (const auto& change : changes) {
            QVERIFY(write(dir.filePath("s.cosmophase"), session(change.keys)));
            QVERIFY2(figure(dir, change.name, {dir.filePath("s.cosmophase")}) != plain, change.name);
        }
        QVERIFY(write(dir.filePath("end.cosmophase"), session(R"("marker": 5922)")));
        const QImage end = figure(dir, "end", {dir.filePath("end.cosmophase")});
        QCOMPARE(figure(dir, "at100", {"--position", "100"}), end);
        QCOMPARE(figure(dir, "at0", {dir.filePath("end.cosmophase"), "--position", "0"}), plain);
        const QImage half = figure(dir, "at50", {"--position", "50"});
        QVERIFY(half != plain && half != end);
    }

    // Pinned runs in their colours, hidden ones not; a family with its
    // colour bar, whose darkest end is the family's first colour.
    void pinnedRunsAndFamily()
    {
        QTemporaryDir dir;
        const auto count = [](const QImage& image, QRgb colour) {
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    n += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff) ? 1 : 0;
            return n;
        };
        const QRgb marked = qRgb(0x5a, 0x00, 0xc8);
        const QRgb violet = qRgb(68, 1, 84); // viridis' first colour
        const struct { const char* name; QByteArray keys; int marked; bool bar; } cases[] = {
            {"none", "", 0, false},
            // Not raw strings: moc reads the '#' in one as a directive.
            {"pinned", "\"pinned_runs\": [{\"q\": \"0.5\", \"T\": 9000, \"colour\": \"#5a00c8\"}]", 1, false},
            {"hidden", "\"pinned_runs\": [{\"q\": \"0.5\", \"T\": 9000, \"colour\": \"#5a00c8\", \"shown\": false}]",
             0, false},
            {"family", R"("family": {"q": "0.9999999:0.5:8:log", "T": 9000})", 0, true},
        };
        for (const auto& c : cases) {
            QVERIFY(write(dir.filePath("s.cosmophase"), session(c.keys)));
            const QImage image = figure(dir, c.name, {dir.filePath("s.cosmophase")}).convertToFormat(QImage::Format_RGB32);
            QVERIFY2(!image.isNull(), c.name);
            QVERIFY2((count(image, marked) > 20) == (c.marked > 0), c.name);
            QVERIFY2((count(image, violet) > 5) == c.bar, c.name);
        }
    }

    // A bad file or option: status 2, one line on standard error, no figure.
    // (The reader's refusals are tested one by one with the reader.)
    void badInputWritesNothing_data()
    {
        QTest::addColumn<QString>("contents"); // written to {}/s.cosmophase unless empty
        QTest::addColumn<QStringList>("arguments"); // {} stands for the folder
        QTest::addColumn<QString>("error");
        const QStringList file{"{}/s.cosmophase"};
        QTest::newRow("empty") << " " << file << "the file is empty";
        QTest::newRow("q outside") << session(R"("q": "1.4")") << file << "q '1.4': q must be above 0";
        QTest::newRow("marker beyond") << session(R"("marker": 5923)") << file << "marker 5923 is beyond the run";
        QTest::newRow("folder") << "" << QStringList{"{}"} << "is a folder";
        QTest::newRow("newline") << "" << QStringList{"{}/a\nb"} << "a\\\\x0ab: No such file";
        QTest::newRow("with --q") << session("") << (file + QStringList{"--q", "1"}) << "--q conflicts";
        // Opened in the window: refused before a display is looked for.
        QTest::newRow("to open") << " " << QStringList{"{}/s.cosmophase", "--no-figure"} << "the file is empty";
        for (const char* position : {"101", "half"})
            QTest::addRow("--position %s", position) << "" << QStringList{"--position", position}
                                                     << "--position must be a percentage";
    }

    void badInputWritesNothing()
    {
        QFETCH(QString, contents);
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        QTemporaryDir dir;
        if (!contents.isEmpty())
            QVERIFY(write(dir.filePath("s.cosmophase"), contents));
        for (QString& argument : arguments)
            argument.replace(QLatin1String("{}"), dir.path());
        if (!arguments.removeOne(QStringLiteral("--no-figure")))
            arguments << QStringLiteral("--save-figure") << dir.filePath("f.png");
        const apptest::HeadlessRun run = apptest::runHeadless(arguments);
        QCOMPARE(run.status, 2);
        // Qt may warn about the environment first; the program's own word is one last line.
        const QString line = run.err.trimmed().section('\n', -1);
        QVERIFY2(line.startsWith(QLatin1String("cosmophase: ")) && run.err.endsWith(line + '\n'), qPrintable(run.err));
        QVERIFY2(QRegularExpression(error).match(line).hasMatch(), qPrintable(line));
        QVERIFY(!QFile::exists(dir.filePath("f.png")));
    }
};

QTEST_GUILESS_MAIN(TestSessionFigure)
#include "tst_session_figure.moc"
