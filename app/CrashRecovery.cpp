#include "CrashRecovery.h"

#include "SessionFile.h"
#include "SessionFiles.h"
#include "SessionState.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

namespace {

// Restore or Discard; closing the question keeps the autosave for the next
// launch rather than losing it, so it is taken as Restore.
bool askWithMessageBox(QWidget* parent, const QDateTime& when)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Cosmophase"), CrashRecovery::question(when),
                    QMessageBox::NoButton, parent);
    box.setInformativeText(QObject::tr("Cosmophase did not close normally, and this work was never saved."));
    QPushButton* restore = box.addButton(QObject::tr("&Restore"), QMessageBox::AcceptRole);
    box.addButton(QObject::tr("&Discard"), QMessageBox::DestructiveRole);
    box.setDefaultButton(restore);
    box.setEscapeButton(restore);
    box.exec();
    return box.clickedButton() == restore;
}

} // namespace

CrashRecovery::CrashRecovery(SessionState& state, const QString& folder, QWidget* dialogParent, QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_folder(QFile::encodeName(folder).toStdString())
    , m_ask([dialogParent](const QDateTime& when) { return askWithMessageBox(dialogParent, when); })
{
    if (const std::string error = m_folder.claim(); !error.empty()) {
        // Said once the window can show it.
        QTimer::singleShot(0, this, [this, message = QString::fromStdString(error)] { emit failed(message); });
        return;
    }
    m_autosave = std::make_unique<Autosave>(m_folder, [&state] { return state.capture(); });
    m_autosave->setSavedState(state.capture());
    connect(&state, &SessionState::changed, m_autosave.get(), &Autosave::noteChange);
    connect(m_autosave.get(), &Autosave::failed, this, &CrashRecovery::failed);
    connect(&state, &SessionState::applied, this, [this] {
        if (!m_restoring)
            return;
        // Kept by this instance before the dead one's file goes.
        m_autosave->saveNow();
        m_autosave->waitForWrites();
        m_folder.discard(*m_restoring);
        const QString origin = QFile::decodeName(QByteArray::fromStdString(m_restoring->origin));
        m_restoring.reset();
        emit restored(origin);
    });
    connect(&state, &SessionState::applyFailed, this, [this](const QString& reason) {
        if (!m_restoring)
            return;
        // Kept for a later launch, which may run it where this one could not.
        m_restoring.reset();
        emit failed(tr("The autosaved session cannot be restored: %1").arg(reason));
    });
}

CrashRecovery::~CrashRecovery() = default;

void CrashRecovery::follow(SessionFiles& files)
{
    connect(this, &CrashRecovery::restored, &files, &SessionFiles::adoptRestored);
    Autosave* autosave = m_autosave.get();
    if (!autosave)
        return;
    const auto follow = [autosave, &files] {
        autosave->setSavedState(files.savedSession());
        autosave->setOrigin(files.currentPath());
    };
    follow();
    connect(&files, &SessionFiles::opened, autosave, follow);
    connect(&files, &SessionFiles::saved, autosave, follow);
    connect(&files, &SessionFiles::unsavedChanged, autosave, follow);
}

QString CrashRecovery::standardFolder()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
    const QString state = QStandardPaths::writableLocation(QStandardPaths::GenericStateLocation);
#else
    // What later Qt versions give as GenericStateLocation.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
#endif
    return state + QStringLiteral("/cosmophase");
}

QString CrashRecovery::question(const QDateTime& when)
{
    return tr("Restore the unsaved session from %1?").arg(QLocale().toString(when, QLocale::ShortFormat));
}

bool CrashRecovery::offerRestore()
{
    if (!m_autosave)
        return false;
    for (const cosmophase::AutosaveFolder::Orphan& orphan : m_folder.orphans()) {
        const cosmophase::SessionReadResult read = cosmophase::readSessionFile(orphan.path);
        // Written whole by this program, so only a newer version's may not
        // read: left for that version.
        if (!read.ok())
            continue;
        if (!m_ask(QDateTime::fromMSecsSinceEpoch(orphan.modifiedMs))) {
            m_folder.discard(orphan);
            continue;
        }
        m_restoring = orphan;
        m_state.apply(*read.session);
        return true;
    }
    return false;
}

void CrashRecovery::finish()
{
    if (m_autosave) {
        m_autosave->discard();
        m_autosave->waitForWrites();
    }
}
