#pragma once

#include <QList>
#include <QString>

#include <functional>

class QAction;
class QMainWindow;
class QSettings;
class QWidget;

// What a user expects to find as they left it, kept through QSettings: the
// window's size, place and bars, the folder each file dialog last used and
// the View menu's switches. Restored before the window is shown, saved as
// the application quits.
class Preferences {
public:
    using ReadFolder = std::function<QString()>;
    using ApplyFolder = std::function<void(const QString&)>;

    explicit Preferences(QSettings& settings);

    // A checkable action kept under "view/<key>".
    void addSwitch(const QString& key, QAction& action);
    // A dialog's last folder kept under "folders/<key>"; a saved folder
    // that no longer exists is not applied.
    void addFolder(const QString& key, ReadFolder read, ApplyFolder apply);

    // The window's size and place, before it is first shown. The saved
    // geometry is kept within the screen it lands on (or the primary one),
    // so a window saved on a bigger screen stays reachable.
    void restoreGeometry(QWidget& window) const;
    // The rest, once the window's bars and actions exist.
    void restore(QMainWindow& window) const;
    void save(const QMainWindow& window) const;

private:
    struct Folder {
        QString key;
        ReadFolder read;
        ApplyFolder apply;
    };
    struct Switch {
        QString key;
        QAction* action = nullptr;
    };

    QSettings& m_settings;
    QList<Switch> m_switches;
    QList<Folder> m_folders;
};
