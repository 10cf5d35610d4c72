#include "Preferences.h"

#include "WindowPlacement.h"

#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QSettings>

namespace {

const QString kGeometry = QStringLiteral("window/geometry");
const QString kState = QStringLiteral("window/state");

QString switchKey(const QString& key)
{
    return QStringLiteral("view/") + key;
}

QString folderKey(const QString& key)
{
    return QStringLiteral("folders/") + key;
}

// Keeps a restored window reachable: Qt puts it back where it was, which
// may be off every screen now, or larger than this one.
void keepOnScreen(QWidget& window)
{
    if (window.isMaximized() || window.isFullScreen())
        return;
    const QRect geometry = window.geometry();
    const QScreen* screen = QGuiApplication::screenAt(geometry.center());
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    // Before the window is shown its frame is unknown: assume what the usual
    // window managers draw, as the first placement does.
    const QMargins assumedFrame(4, 36, 4, 4);
    const WindowPlacement kept = WindowPlacement::keptWithin(screen->availableGeometry(), assumedFrame, geometry);
    window.resize(kept.size);
    window.move(kept.framePosition);
}

} // namespace

Preferences::Preferences(QSettings& settings)
    : m_settings(settings)
{
}

void Preferences::addSwitch(const QString& key, QAction& action)
{
    m_switches.append({key, &action});
}

void Preferences::addFolder(const QString& key, ReadFolder read, ApplyFolder apply)
{
    m_folders.append({key, std::move(read), std::move(apply)});
}

void Preferences::restoreGeometry(QWidget& window) const
{
    if (window.restoreGeometry(m_settings.value(kGeometry).toByteArray()))
        keepOnScreen(window);
}

void Preferences::restore(QMainWindow& window) const
{
    window.restoreState(m_settings.value(kState).toByteArray());
    for (const Switch& entry : m_switches) {
        const QVariant on = m_settings.value(switchKey(entry.key));
        // Through the action, so that whatever follows it follows the switch.
        if (on.isValid() && on.toBool() != entry.action->isChecked())
            entry.action->trigger();
    }
    for (const Folder& folder : m_folders) {
        const QString path = m_settings.value(folderKey(folder.key)).toString();
        if (!path.isEmpty() && QDir(path).exists())
            folder.apply(path);
    }
}

void Preferences::save(const QMainWindow& window) const
{
    m_settings.setValue(kGeometry, window.saveGeometry());
    m_settings.setValue(kState, window.saveState());
    for (const Switch& entry : m_switches)
        m_settings.setValue(switchKey(entry.key), entry.action->isChecked());
    for (const Folder& folder : m_folders)
        m_settings.setValue(folderKey(folder.key), folder.read());
    m_settings.sync();
}
