#pragma once

#include <QObject>
#include <QSettings>
#include <QStringList>

// The session files opened or saved last, most recent first, kept in the
// user's settings so that File ▸ Open Recent lists them in the next run too.
class RecentSessions : public QObject {
    Q_OBJECT

public:
    static constexpr int kMaxFiles = 8;
    static constexpr const char* kSettingsKey = "recentSessions";

    // Reads the list from the settings.
    explicit RecentSessions(QObject* parent = nullptr);

    const QStringList& files() const { return m_files; }
    // Puts `path` (made absolute) first, once.
    void add(const QString& path);
    void remove(const QString& path);
    void clear();

signals:
    void changed();

private:
    void store();

    // Kept open: a change is written from the event loop, not at once.
    QSettings m_settings;
    QStringList m_files;
};
