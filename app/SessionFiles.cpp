#include "SessionFiles.h"

#include "AppCommands.h"
#include "AtomicWrite.h"
#include "EmbeddedRecord.h"
#include "LaterFolderSyncs.h"
#include "OneLine.h"
#include "RecentSessions.h"
#include "SessionFile.h"
#include "SessionState.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>

namespace {

const QString kOpenTitle = QStringLiteral("Open Session");
const QString kSaveTitle = QStringLiteral("Save Session");

// One line, whatever bytes a path or a file held.
QString oneLine(const std::string& text)
{
    return QString::fromStdString(cosmophase::escapeControlCharacters(text));
}

std::string nativePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// The session as compared for unsaved changes: all of it but the marker.
std::string comparedText(cosmophase::Session session)
{
    session.marker = 0;
    return cosmophase::sessionText(session);
}

SessionFiles::Answer askUnsaved(QWidget* parent, const QString& question)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Cosmophase"), question,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setInformativeText(QObject::tr("Your changes are lost if you don't save them."));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SessionFiles::Answer::Save;
    case QMessageBox::Discard:
        return SessionFiles::Answer::Discard;
    default:
        return SessionFiles::Answer::Cancel;
    }
}

} // namespace

SessionFiles::SessionFiles(SessionState& state, AppCommands& commands, QMainWindow& window, QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_commands(commands)
    , m_window(window)
    , m_recent(new RecentSessions(this))
    , m_folder_syncs(new LaterFolderSyncs(this))
    , m_indicator(new QLabel)
    , m_unsaved_prompt([&window](const QString& question) { return askUnsaved(&window, question); })
    , m_open_prompt([&window](const QString& caption, const QString& folder, const QString& filter) {
        return QFileDialog::getOpenFileName(&window, caption, folder, filter);
    })
    , m_error_sink([&window](const QString& title, const QString& text) {
        QMessageBox::warning(&window, title, text);
    })
{
    connect(m_folder_syncs, &LaterFolderSyncs::warning, this,
            [this](const QString& line) { m_error_sink(kSaveTitle, line); });
    // The window as launched, with the switches the preferences kept, is
    // what an untitled session starts from.
    m_saved = m_state.capture();
    m_indicator->setObjectName(QStringLiteral("sessionIndicator"));
    m_indicator->hide();
    // Permanent: the pointer's read-outs never cover it.
    m_window.statusBar()->addPermanentWidget(m_indicator);
    m_window.installEventFilter(this);
    // Once per burst of changes (an open sets a dozen things, playback moves
    // the marker every tick): comparing means capturing the whole session.
    m_indicator_update.setSingleShot(true);
    m_indicator_update.setInterval(0);
    connect(&m_indicator_update, &QTimer::timeout, this, &SessionFiles::updateIndicator);
    connect(&m_state, &SessionState::changed, &m_indicator_update, qOverload<>(&QTimer::start));
    connect(&m_state, &SessionState::applied, this, &SessionFiles::sessionApplied);
    connect(&m_state, &SessionState::applyFailed, this, &SessionFiles::sessionRefused);
}

SessionFiles::~SessionFiles()
{
    m_window.removeEventFilter(this);
}

void SessionFiles::addTo(QMenu& file)
{
    QAction* first = file.actions().value(0);
    auto* open = new QAction(tr("&Open Session\u2026"), &file);
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, &SessionFiles::openSession);
    m_recent_menu = new QMenu(tr("Open &Recent"), &file);
    m_recent_menu->setObjectName(QStringLiteral("openRecentMenu"));
    auto* save = new QAction(tr("&Save Session"), &file);
    save->setShortcut(QKeySequence::Save);
    connect(save, &QAction::triggered, this, &SessionFiles::save);
    auto* saveAs = new QAction(tr("Save Session &As\u2026"), &file);
    // Some platforms have no Save As key; the desktops that do use this one.
    const QList<QKeySequence> saveAsKeys = QKeySequence::keyBindings(QKeySequence::SaveAs);
    saveAs->setShortcuts(saveAsKeys.isEmpty() ? QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}
                                              : saveAsKeys);
    connect(saveAs, &QAction::triggered, this, &SessionFiles::saveAs);

    file.insertAction(first, open);
    file.insertMenu(first, m_recent_menu);
    file.insertSeparator(first);
    file.insertActions(first, {save, saveAs});
    file.insertSeparator(first);
    connect(m_recent, &RecentSessions::changed, this, &SessionFiles::rebuildRecentMenu);
    rebuildRecentMenu();
}

void SessionFiles::rebuildRecentMenu()
{
    m_recent_menu->clear();
    const QStringList& files = m_recent->files();
    for (int i = 0; i < files.size(); ++i) {
        const QFileInfo info(files[i]);
        // The folder tells apart files of one name; && keeps a & in a name literal.
        const QString text = QStringLiteral("&%1 %2  (%3)")
                                 .arg(i + 1)
                                 .arg(info.fileName().replace(QLatin1Char('&'), QLatin1String("&&")),
                                      QDir::toNativeSeparators(info.path()).replace(QLatin1Char('&'),
                                                                                    QLatin1String("&&")));
        QAction* action = m_recent_menu->addAction(text);
        action->setData(files[i]);
        connect(action, &QAction::triggered, this, [this, path = files[i]] { openRecent(path); });
    }
    m_recent_menu->addSeparator();
    QAction* clear = m_recent_menu->addAction(tr("&Clear Menu"), m_recent, &RecentSessions::clear);
    clear->setEnabled(!files.isEmpty());
    m_recent_menu->setEnabled(!files.isEmpty());
}

void SessionFiles::openSession()
{
    if (!mayDiscard(tr("opening another session")))
        return;
    const QString folder = m_path.isEmpty() ? m_commands.lastFolder() : QFileInfo(m_path).absolutePath();
    const QString path = m_open_prompt(kOpenTitle, folder, tr(kOpenFilter));
    if (!path.isEmpty())
        openFile(path);
}

void SessionFiles::openChosen(const QString& path)
{
    if (mayDiscard(tr("opening another session")))
        openFile(path);
}

void SessionFiles::openRecent(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        m_recent->remove(path);
        m_error_sink(kOpenTitle, tr("%1 no longer exists; it is removed from Open Recent.")
                                     .arg(oneLine(nativePath(QDir::toNativeSeparators(path)))));
        return;
    }
    if (mayDiscard(tr("opening another session")))
        openFile(path);
}

bool SessionFiles::openFile(const QString& path)
{
    const cosmophase::SessionReadResult read = cosmophase::readSessionOrFigure(nativePath(path));
    if (!read.ok()) {
        m_error_sink(kOpenTitle, oneLine(read.error));
        return false;
    }
    show(path, *read.session, read.unknownKeys);
    return true;
}

void SessionFiles::show(const QString& path, const cosmophase::Session& session,
                        const std::vector<std::string>& unknownKeys, Refusal refused)
{
    m_opening = path;
    m_opening_picture = !path.isEmpty() && cosmophase::isFigureOrMovie(nativePath(path));
    m_opening_warning = oneLine(cosmophase::unknownKeysWarning(unknownKeys));
    m_opening_refused = std::move(refused);
    m_state.apply(session);
}

void SessionFiles::sessionApplied()
{
    if (!m_opening)
        return;
    const QString path = *std::exchange(m_opening, std::nullopt);
    markSaved(m_opening_picture ? QString() : path, m_state.capture());
    emit opened(path, m_opening_warning);
}

void SessionFiles::sessionRefused(const QString& reason)
{
    if (!m_opening)
        return;
    const QString path = *std::exchange(m_opening, std::nullopt);
    const QString line = oneLine(nativePath(QDir::toNativeSeparators(path)) + ": " + reason.toStdString());
    if (const Refusal refused = std::exchange(m_opening_refused, {}))
        refused(line);
    else
        m_error_sink(kOpenTitle, line);
}

bool SessionFiles::save()
{
    if (m_path.isEmpty())
        return saveAs();
    return writeTo(m_path);
}

bool SessionFiles::saveAs()
{
    const QString name = m_path.isEmpty() ? QStringLiteral("untitled.cosmophase") : QFileInfo(m_path).fileName();
    const cosmophase::Session session = m_state.capture();
    QString written;
    // The commands ask, report a failure and confirm in the status bar.
    const bool ok = m_commands.saveAs(tr("Save Session As"), name, tr(kFilter), tr("The session was not saved."),
                                      [&](const QString& path) {
                                          written = path;
                                          const std::string native = nativePath(path);
                                          const cosmophase::WriteResult result = cosmophase::writeSessionFile(
                                              native, session, cosmophase::FolderSync::Later);
                                          if (result.ok)
                                              m_folder_syncs->sync(native);
                                          return result;
                                      });
    if (ok)
        markSaved(written, session);
    return ok;
}

void SessionFiles::adoptRestored(const QString& path)
{
    m_path = path;
    updateIndicator();
}

bool SessionFiles::writeTo(const QString& path)
{
    const cosmophase::Session session = m_state.capture();
    // The folder's sync follows off the UI thread, reported if it fails.
    const cosmophase::WriteResult result =
        cosmophase::writeSessionFile(nativePath(path), session, cosmophase::FolderSync::Later);
    if (result.ok)
        m_folder_syncs->sync(nativePath(path));
    if (!result.ok) {
        m_error_sink(kSaveTitle, tr("The session was not saved.") + QLatin1Char('\n') + oneLine(result.error));
        return false;
    }
    if (!result.warning.empty())
        m_error_sink(kSaveTitle, oneLine(result.warning));
    markSaved(path, session);
    emit saved(path);
    return true;
}

void SessionFiles::markSaved(const QString& path, const cosmophase::Session& session)
{
    m_path = path;
    m_saved = session;
    if (!path.isEmpty())
        m_recent->add(path);
    updateIndicator();
}

bool SessionFiles::isUnsaved() const
{
    return comparedText(m_state.capture()) != comparedText(m_saved);
}

void SessionFiles::updateIndicator()
{
    // While a session waits for its run the window still shows the last.
    if (m_state.isApplying())
        return;
    const bool unsaved = isUnsaved();
    QString text = displayName();
    if (unsaved)
        text = m_path.isEmpty() ? tr("Unsaved changes") : tr("%1 \u2014 unsaved changes").arg(text);
    m_indicator->setText(text);
    m_indicator->setToolTip(QDir::toNativeSeparators(m_path));
    m_indicator->setVisible(!text.isEmpty());
    if (unsaved != m_unsaved) {
        m_unsaved = unsaved;
        emit unsavedChanged(unsaved);
    }
}

QString SessionFiles::displayName() const
{
    return QFileInfo(m_path).fileName();
}

bool SessionFiles::mayDiscard(const QString& action)
{
    if (!isUnsaved())
        return true;
    const QString name = m_path.isEmpty() ? tr("this session") : QStringLiteral("\u201c%1\u201d").arg(displayName());
    switch (m_unsaved_prompt(tr("Save the changes to %1 before %2?").arg(name, action))) {
    case Answer::Save:
        return save();
    case Answer::Discard:
        return true;
    case Answer::Cancel:
        break;
    }
    return false;
}

bool SessionFiles::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && event->type() == QEvent::Close && !mayDiscard(tr("closing"))) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
