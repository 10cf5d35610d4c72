#include "AppCommands.h"
#include "AppTestSupport.h"
#include "CommandLine.h"
#include "EmbeddedRecord.h"
#include "PhasePlaneInteraction.h"
#include "PlotNavigation.h"
#include "RecentSessions.h"
#include "SessionFile.h"
#include "SessionFiles.h"
#include "SessionState.h"

#include <QCloseEvent>
#include <QDir>
#include <QMimeData>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>

using cosmophase::Session;
using Answer = SessionFiles::Answer;

namespace {

QString text(const Session& session)
{
    return QString::fromStdString(cosmophase::sessionText(session));
}

bool write(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QByteArray sessionWith(const char* keys)
{
    return QByteArray(R"({"format": "cosmophase-session", "version": 1)") + (*keys ? ", " : "") + keys + "}";
}

} // namespace

class TestSessionFiles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void badFileKeepsTheSession_data();
    void badFileKeepsTheSession();
    void openedFileIsSavedState();
    void unsavedFollowsTheState();
    void askBeforeLosingChanges_data();
    void askBeforeLosingChanges();
    void recentFiles();
    void launchWithFile();
    void picturesCarryTheWindowAndOpenUntitled();

private:
    // Waits until an open's session is applied or refused.
    bool openAndWait(const QString& path);
    void edit() { m_app.delegate->phasePlaneInteraction()->traceFrom({0.5, 0.5}); }

    apptest::App m_app;
    SessionFiles* m_files = nullptr;
    SessionState* m_state = nullptr;
    QTemporaryDir m_dir;
    QStringList m_errors;
    QList<Answer> m_answers; // the unsaved prompt's answers, in turn
    QStringList m_questions;
    QString m_save_path; // what the save dialog answers; empty cancels
};

void TestSessionFiles::initTestCase()
{
    // The recent files go to a settings file of the tests' own.
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("tst_sessionfiles"));
    QSettings().clear();
    QVERIFY(apptest::launch(m_app));
    m_files = m_app.delegate->sessionFiles();
    m_state = m_app.delegate->sessionState();
    m_files->setErrorSink([this](const QString&, const QString& line) { m_errors << line; });
    m_files->setUnsavedPrompt([this](const QString& question) {
        m_questions << question;
        return m_answers.isEmpty() ? Answer::Cancel : m_answers.takeFirst();
    });
    m_app.delegate->commands()->setPathPrompt([this](const QString&, const QString&, const QString&) {
        return m_save_path;
    });
    m_app.delegate->commands()->setErrorSink([this](const QString&, const QString& line) { m_errors << line; });
}

void TestSessionFiles::init()
{
    m_errors.clear();
    m_questions.clear();
    m_answers.clear();
}

bool TestSessionFiles::openAndWait(const QString& path)
{
    QSignalSpy opened(m_files, &SessionFiles::opened);
    const int errors = m_errors.size();
    if (!m_files->openFile(path))
        return false;
    return QTest::qWaitFor([&] { return !opened.isEmpty() || m_errors.size() > errors; }, 20000)
        && !opened.isEmpty();
}

void TestSessionFiles::badFileKeepsTheSession_data()
{
    QTest::addColumn<QByteArray>("contents"); // written to the file unless null
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty") << QByteArray(" ") << "s.cosmophase" << "the file is empty";
    QTest::newRow("not JSON") << QByteArray("{\"format\": ") << "s.cosmophase" << "s.cosmophase";
    QTest::newRow("newer version")
        << QByteArray(R"({"format": "cosmophase-session", "version": 2})") << "s.cosmophase" << "version";
    QTest::newRow("q outside") << sessionWith(R"("q": "1.4")") << "s.cosmophase" << "q '1.4'";
    QTest::newRow("traces of the wrong shape") << sessionWith(R"("traces": [[0.5, 0.5]])") << "s.cosmophase"
                                               << "s.cosmophase";
    // Known only once the run is computed: refused then, the window as it was.
    QTest::newRow("marker beyond the run") << sessionWith(R"("q": "0.9999", "marker": 99999)") << "s.cosmophase"
                                           << "marker 99999 is beyond the run";
    // The run shown first is replaced back, which is no session opened.
    QTest::newRow("marker beyond another run") << sessionWith(R"("q": "0.999", "marker": 99999)") << "s.cosmophase"
                                               << "marker 99999 is beyond the run";
    QTest::newRow("missing") << QByteArray() << "missing.cosmophase" << "missing.cosmophase";
    QTest::newRow("folder") << QByteArray() << "" << "is a folder";
    QTest::newRow("newline in the path") << QByteArray() << "a\nb.cosmophase" << "a\\x0ab.cosmophase";
}

void TestSessionFiles::badFileKeepsTheSession()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, name);
    QFETCH(QString, error);
    const QString good = m_dir.filePath(QStringLiteral("good.cosmophase"));
    QVERIFY(write(good, sessionWith(R"("q": "0.99990", "marker": 12, "traces": [{"z2": 0.25, "w0": 0.5}])")));
    QVERIFY(openAndWait(good));
    const QString before = text(m_state->capture());

    const QString path = m_dir.filePath(name);
    QVERIFY(contents.isNull() || write(path, contents));
    QVERIFY(!openAndWait(path));
    QTRY_VERIFY_WITH_TIMEOUT(!m_state->isApplying(), 20000);
    QCOMPARE(m_errors.size(), 1);
    QVERIFY2(m_errors.first().contains(error) && !m_errors.first().contains('\n'), qPrintable(m_errors.first()));
    QCOMPARE(text(m_state->capture()), before);
    QCOMPARE(m_files->currentPath(), good);
    QVERIFY(!m_files->isUnsaved());
}

void TestSessionFiles::openedFileIsSavedState()
{
    // Saving what was opened gives the same bytes; unknown keys are warned of.
    const QByteArray saved = cosmophase::sessionText([] {
        Session session;
        session.q = "0.9999";
        session.marker = 40;
        session.view = {0.25, 0.25, 0.5};
        session.traces = {{0.5, -0.5}};
        return session;
    }()).c_str();
    const QString path = m_dir.filePath(QStringLiteral("round.cosmophase"));
    QVERIFY(write(path, QByteArray(saved).replace("\"version\": 1,", "\"version\": 1,\n  \"tilt\": 3,")));
    QSignalSpy opened(m_files, &SessionFiles::opened);
    QVERIFY(openAndWait(path));
    QVERIFY(opened.first().at(1).toString().contains(QStringLiteral("tilt")));
    QVERIFY(m_files->save());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), saved);
}

void TestSessionFiles::unsavedFollowsTheState()
{
    const QString path = m_dir.filePath(QStringLiteral("state.cosmophase"));
    QVERIFY(write(path, sessionWith("")));
    QVERIFY(openAndWait(path));
    QLabel* label = m_files->indicator();
    QCOMPARE(label->text(), QStringLiteral("state.cosmophase"));
    QVERIFY(label->isVisibleTo(m_app.delegate->window()));

    // Moving the marker, as playback does, is no change to save.
    m_app.controller->additions().markers().goToSample(300);
    QVERIFY(!m_files->isUnsaved());
    QSignalSpy unsaved(m_files, &SessionFiles::unsavedChanged);
    edit();
    QVERIFY(m_files->isUnsaved());
    QTRY_COMPARE(label->text(), QStringLiteral("state.cosmophase \u2014 unsaved changes"));
    // Undone, the state is the saved one again.
    m_app.delegate->phasePlaneInteraction()->undoTrace();
    QVERIFY(!m_files->isUnsaved());
    QTRY_COMPARE(label->text(), QStringLiteral("state.cosmophase"));
    QCOMPARE(unsaved.count(), 2);
    // The title stays the frame rate's.
    QVERIFY(m_app.delegate->window()->windowTitle().endsWith(QLatin1String(" fps")));
}

void TestSessionFiles::askBeforeLosingChanges_data()
{
    QTest::addColumn<bool>("titled");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("pathGiven"); // the save dialog, when asked
    QTest::addColumn<bool>("proceeds");
    QTest::addColumn<bool>("written");

    QTest::newRow("cancel") << true << Answer::Cancel << true << false << false;
    QTest::newRow("discard") << true << Answer::Discard << true << true << false;
    QTest::newRow("save to its file") << true << Answer::Save << true << true << true;
    QTest::newRow("save, untitled, a path given") << false << Answer::Save << true << true << true;
    QTest::newRow("save, untitled, dialog cancelled") << false << Answer::Save << false << false << false;
}

void TestSessionFiles::askBeforeLosingChanges()
{
    QFETCH(bool, titled);
    QFETCH(Answer, answer);
    QFETCH(bool, pathGiven);
    QFETCH(bool, proceeds);
    QFETCH(bool, written);

    // Both ways of losing the changes: opening another session and closing.
    const QString other = m_dir.filePath(QStringLiteral("other.cosmophase"));
    QVERIFY(write(other, sessionWith(R"("layers": {"legend": true})")));
    for (const bool closing : {false, true}) {
        const QString mine = m_dir.filePath(QStringLiteral("mine.cosmophase"));
        QVERIFY(write(mine, sessionWith("")));
        QVERIFY(openAndWait(mine));
        if (!titled) {
            // An untitled session (an empty path) with a change.
            m_files->show(QString(), Session{}, {});
            QTRY_VERIFY(!m_state->isApplying());
        }
        edit();
        const QString edited = text(m_state->capture());
        QVERIFY(m_files->isUnsaved());
        const QString target = titled ? mine : m_dir.filePath(QStringLiteral("new.cosmophase"));
        QFile::remove(m_dir.filePath(QStringLiteral("new.cosmophase")));
        const QByteArray mineBefore = sessionWith("");
        m_save_path = pathGiven ? target : QString();
        m_answers = {answer};
        m_questions.clear();

        bool went = false;
        if (closing) {
            QCloseEvent close;
            QApplication::sendEvent(m_app.delegate->window(), &close);
            went = close.isAccepted();
        } else {
            m_files->setOpenPrompt([&](const QString&, const QString&, const QString&) { return other; });
            m_files->openSession();
            QTRY_VERIFY(!m_state->isApplying());
            went = m_files->currentPath() == other;
        }
        QCOMPARE(m_questions.size(), 1);
        QCOMPARE(went, proceeds);
        QFile saved(target);
        const QByteArray contents = saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
        QCOMPARE(contents == edited.toUtf8(), written);
        QVERIFY(written || !titled || contents == mineBefore);
        if (!closing && !proceeds)
            QCOMPARE(text(m_state->capture()), edited);
    }
    // Closing unasked once the changes are saved.
    m_save_path = m_dir.filePath(QStringLiteral("new.cosmophase"));
    QVERIFY(m_files->save());
    m_questions.clear();
    QCloseEvent close;
    QApplication::sendEvent(m_app.delegate->window(), &close);
    QVERIFY(m_questions.isEmpty());
    m_app.delegate->window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_app.delegate->window()));
}

void TestSessionFiles::recentFiles()
{
    RecentSessions& recent = m_files->recent();
    recent.clear();
    QStringList paths;
    for (int i = 0; i < RecentSessions::kMaxFiles + 2; ++i) {
        paths << m_dir.filePath(QStringLiteral("r%1.cosmophase").arg(i));
        QVERIFY(write(paths.last(), sessionWith("")));
    }
    // Most recent first, once each, at most kMaxFiles, whichever way a path is spelled.
    for (const QString& path : paths)
        recent.add(path);
    recent.add(m_dir.path() + QStringLiteral("/./r5.cosmophase"));
    QStringList expected = paths.mid(2);
    std::reverse(expected.begin(), expected.end());
    expected.move(expected.indexOf(paths[5]), 0);
    QCOMPARE(recent.files(), expected);
    // Kept for the next run.
    QCOMPARE(RecentSessions().files(), expected);

    // The menu lists them in that order; a missing file chosen is dropped with a message.
    const QMenu* menu = m_app.delegate->window()->findChild<QMenu*>(QStringLiteral("openRecentMenu"));
    QVERIFY(menu && menu->isEnabled());
    QCOMPARE(menu->actions().first()->data().toString(), paths[5]);
    QVERIFY(QFile::remove(paths[9]));
    m_files->openRecent(paths[9]);
    QCOMPARE(m_errors.size(), 1);
    QVERIFY(m_errors.first().contains(QStringLiteral("r9.cosmophase")));
    QVERIFY(!recent.files().contains(paths[9]));
    // Opening and saving put a file first.
    QVERIFY(openAndWait(paths[3]));
    QCOMPARE(recent.files().first(), paths[3]);
    menu->actions().last()->trigger(); // Clear Menu
    QVERIFY(recent.files().isEmpty() && !menu->isEnabled());
    QVERIFY(RecentSessions().files().isEmpty());
}

// `cosmophase FILE` opens the session; a marker its run does not have is
// refused once the run is known, as main() exits with it.
void TestSessionFiles::launchWithFile()
{
    const QString path = m_dir.filePath(QStringLiteral("launch.cosmophase"));
    QVERIFY(write(path, sessionWith(R"("q": "0.99990", "marker": 77, "view": {"z2": 0.5, "w0": 0.5, "half_side": 0.25})")));
    const cosmophase::ApplicationArguments arguments =
        cosmophase::parseApplicationArguments({QStringLiteral("cosmophase"), path});
    QCOMPARE(arguments.action, cosmophase::ApplicationArguments::Action::Run);
    QCOMPARE(arguments.sessionPath, path);

    const cosmophase::SessionReadResult read = cosmophase::readSessionFile(path.toStdString());
    QVERIFY(read.ok());
    QStringList refusals;
    m_files->show(path, *read.session, read.unknownKeys, [&](const QString& line) { refusals << line; });
    QTRY_COMPARE(m_files->currentPath(), path);
    QCOMPARE(text(m_state->capture()), text(*read.session));

    Session beyond = *read.session;
    beyond.marker = 1'000'000;
    m_files->show(path, beyond, {}, [&](const QString& line) { refusals << line; });
    QTRY_COMPARE(refusals.size(), 1);
    QVERIFY(refusals.first().startsWith(path + QStringLiteral(": marker 1000000")));
    QVERIFY(m_errors.isEmpty());
}

// Every picture saved from the window carries its session; a picture
// dropped on the window opens that session untitled, so that Save cannot
// write the session over the picture.
void TestSessionFiles::picturesCarryTheWindowAndOpenUntitled()
{
    const QString good = m_dir.filePath(QStringLiteral("pictured.cosmophase"));
    QVERIFY(write(good, sessionWith(R"("q": "0.9999", "marker": 30, "traces": [{"z2": 0.25, "w0": 0.5}])")));
    QVERIFY(openAndWait(good));
    const QString shown = text(m_state->capture());
    AppCommands& commands = *m_app.delegate->commands();
    const QString figure = m_dir.filePath(QStringLiteral("figure.svg"));
    const QString image = m_dir.filePath(QStringLiteral("image.png"));
    const QString chart = m_dir.filePath(QStringLiteral("chart.pdf"));
    QVERIFY(commands.saveFigure(figure));
    QTRY_VERIFY(commands.savePlotImage(image));
    QVERIFY(commands.saveChart(chart));
    for (const QString& picture : {figure, image, chart}) {
        const cosmophase::EmbeddedParseResult read = cosmophase::readEmbedded(QFile::encodeName(picture).toStdString());
        QVERIFY2(read.ok(), read.error.c_str());
        QCOMPARE(text(*cosmophase::parseSession(read.record->sessionText).session), shown);
    }

    const QString plain = m_dir.filePath(QStringLiteral("plain.cosmophase"));
    QVERIFY(write(plain, sessionWith("")));
    QVERIFY(openAndWait(plain));
    QMainWindow& window = *m_app.delegate->window();
    const auto dragged = [&](const QString& path) {
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(path)});
        return data;
    };
    const std::unique_ptr<QMimeData> other(dragged(m_dir.filePath(QStringLiteral("notes.txt"))));
    QDragEnterEvent refused(QPoint(20, 20), Qt::CopyAction, other.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &refused);
    QVERIFY(!refused.isAccepted());

    const QByteArray pngBytes = [&] {
        QFile file(image);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    const std::unique_ptr<QMimeData> png(dragged(image));
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, png.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    QVERIFY(enter.isAccepted());
    QSignalSpy opened(m_files, &SessionFiles::opened);
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, png.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);
    QTRY_COMPARE_WITH_TIMEOUT(opened.size(), 1, 20000);
    QCOMPARE(opened.first().first().toString(), image);
    QCOMPARE(text(m_state->capture()), shown);
    QVERIFY(m_files->currentPath().isEmpty());
    QVERIFY(!m_files->isUnsaved());
    m_save_path.clear(); // Save asks where, and the answer cancels
    QVERIFY(!m_files->save());
    QFile file(image);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), pngBytes);
    QVERIFY(m_errors.isEmpty());
}

QTEST_MAIN(TestSessionFiles)
#include "tst_sessionfiles.moc"
