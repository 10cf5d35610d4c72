// The autosave follows the window's edits and goes when the work matches the
// saved state or the application exits cleanly; a dead instance's autosave
// is offered at launch and comes back, unsaved, or goes for good.

#include "AppTestSupport.h"
#include "Autosave.h"
#include "AutosaveFolder.h"
#include "CrashRecovery.h"
#include "SessionFile.h"
#include "SessionFiles.h"
#include "SessionState.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using cosmophase::Session;

namespace {

std::string text(const Session& session)
{
    return cosmophase::sessionText(session);
}

QByteArray contents(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Session traced(std::initializer_list<cosmophase::SessionTrace> traces)
{
    Session session;
    session.traces = traces;
    session.view.halfSide = 0.5;
    return session;
}

// An instance that autosaved `session` (from `origin`) and was killed.
void deadInstance(const QString& folder, const Session& session, const std::string& origin)
{
    const pid_t child = ::fork();
    if (child == 0) {
        cosmophase::AutosaveFolder dead(QFile::encodeName(folder).toStdString());
        dead.claim();
        cosmophase::writeSessionFile(dead.sessionPath(), session);
        cosmophase::writeFileAtomically(dead.originPath(), origin + "\n");
        ::raise(SIGKILL);
    }
    ::waitpid(child, nullptr, 0);
}

} // namespace

class TestCrashRecovery : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void editsThatOutrunTheEventLoopAreStillKept();
    void autosaveFollowsTheWorkUntilItMatchesTheSavedState();
    void restoreOffer_data();
    void restoreOffer();

private:
    apptest::App m_app;
    SessionState* m_state = nullptr;
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_folder;
};

void TestCrashRecovery::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(apptest::launch(m_app));
    m_state = m_app.delegate->sessionState();
}

void TestCrashRecovery::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    m_folder = m_root->filePath(QStringLiteral("state/cosmophase"));
    m_state->apply(Session());
}

// Edits that come faster than the event loop turns (each keeps it busy
// longer than the quiet time) once pushed the autosave back for ever; the
// longest wait holds however they come.
void TestCrashRecovery::editsThatOutrunTheEventLoopAreStillKept()
{
    cosmophase::AutosaveFolder folder(QFile::encodeName(m_folder).toStdString());
    QCOMPARE(QString::fromStdString(folder.claim()), QString());
    int edits = 0;
    Autosave autosave(folder, [&edits] {
        Session session;
        session.marker = static_cast<std::size_t>(edits);
        return session;
    });
    autosave.setQuietMs(20);
    QTimer editor;
    connect(&editor, &QTimer::timeout, this, [&] {
        ++edits;
        autosave.noteChange();
        QTest::qSleep(30); // a slow edit: the loop turns only after the quiet time
        autosave.noteChange();
    });
    editor.start(0);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QString::fromStdString(folder.sessionPath())), 2000);
    editor.stop();
}

void TestCrashRecovery::autosaveFollowsTheWorkUntilItMatchesTheSavedState()
{
    {
        CrashRecovery recovery(*m_state, m_folder, m_app.delegate->window());
        Autosave& autosave = *recovery.autosave();
        autosave.setQuietMs(10);
        const std::string path = recovery.folder().sessionPath();
        const Session edited = traced({{0.5, 0.5}});
        m_state->apply(edited);
        QTRY_COMPARE(contents(path), QByteArray::fromStdString(text(edited)));
        autosave.setOrigin(QStringLiteral("/work/saddle.cosmophase"));
        autosave.waitForWrites();
        QCOMPARE(contents(recovery.folder().originPath()), QByteArray("/work/saddle.cosmophase\n"));

        // Edited back to the saved (start-up) state: nothing left to keep.
        m_state->apply(Session());
        QTRY_VERIFY(!QFile::exists(QString::fromStdString(path)));
        // The writer removes the origin after the session: wait for both.
        autosave.waitForWrites();
        QVERIFY(!QFile::exists(QString::fromStdString(recovery.folder().originPath())));
        // The marker alone moved: nothing to keep either.
        Session elsewhere;
        elsewhere.marker = 50;
        m_state->apply(elsewhere);
        autosave.saveNow();
        autosave.waitForWrites();
        QVERIFY(!QFile::exists(QString::fromStdString(path)));

        // Saved: the saved state is what the window shows, so no autosave.
        m_state->apply(edited);
        QTRY_VERIFY(QFile::exists(QString::fromStdString(path)));
        autosave.setSavedState(edited);
        QTRY_VERIFY(!QFile::exists(QString::fromStdString(path)));

        // A clean exit removes what is kept.
        m_state->apply(traced({{-0.5, 0.25}}));
        QTRY_VERIFY(QFile::exists(QString::fromStdString(path)));
        recovery.finish();
        QVERIFY(!QFile::exists(QString::fromStdString(path)));
    }
    QCOMPARE(QDir(m_folder).entryList(QDir::Files), QStringList());
}

void TestCrashRecovery::restoreOffer_data()
{
    QTest::addColumn<bool>("restore");
    QTest::addColumn<QString>("origin");
    QTest::newRow("restore, from a file") << true << QStringLiteral("/work/saddle.cosmophase");
    QTest::newRow("restore, untitled") << true << QString();
    QTest::newRow("discard") << false << QString();
}

void TestCrashRecovery::restoreOffer()
{
    QFETCH(bool, restore);
    QFETCH(QString, origin);
    const Session lost = traced({{0.25, -0.5}, {1, 1}});
    deadInstance(m_folder, lost, QFile::encodeName(origin).toStdString());
    const QDateTime before = QDateTime::currentDateTime().addSecs(-60);

    CrashRecovery recovery(*m_state, m_folder, m_app.delegate->window());
    SessionFiles& files = *m_app.delegate->sessionFiles();
    recovery.follow(files);
    QSignalSpy restored(&recovery, &CrashRecovery::restored);
    QList<QDateTime> asked;
    recovery.setAsk([&](const QDateTime& when) {
        asked.append(when);
        return restore;
    });
    QCOMPARE(recovery.offerRestore(), restore);
    QCOMPARE(asked.size(), 1);
    QVERIFY(asked[0] > before && asked[0] <= QDateTime::currentDateTime());
    QCOMPARE(text(m_state->capture()), text(restore ? lost : Session()));
    QCOMPARE(restored.size(), restore ? 1 : 0);
    if (restore)
        QCOMPARE(restored[0][0].toString(), origin);
    // Restored work is unsaved, and saved to the file it came from.
    QCOMPARE(files.isUnsaved(), restore);
    QCOMPARE(files.currentPath(), restore ? origin : QString());
    // Either way the dead instance's files are gone; a restored session is
    // kept as this instance's own, unsaved, work.
    QVERIFY(recovery.folder().orphans().empty());
    const QString own = QString::fromStdString(recovery.folder().sessionPath());
    QCOMPARE(QFile::exists(own), restore);
    if (restore)
        QCOMPARE(contents(recovery.folder().sessionPath()), QByteArray::fromStdString(text(lost)));
    // Asked once: nothing is offered twice.
    QVERIFY(!recovery.offerRestore());
    QCOMPARE(asked.size(), 1);
}

QTEST_MAIN(TestCrashRecovery)
#include "tst_crashrecovery.moc"
