#include "RecentSessions.h"

#include <QDir>
#include <QFileInfo>

namespace {

// One spelling per file, whichever way it was reached.
QString normalized(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

RecentSessions::RecentSessions(QObject* parent)
    : QObject(parent)
{
    // The settings are the user's to edit: take what reads as a list of paths.
    for (const QString& path : m_settings.value(QLatin1String(kSettingsKey)).toStringList())
        if (!path.isEmpty() && !m_files.contains(normalized(path)) && m_files.size() < kMaxFiles)
            m_files.append(normalized(path));
}

void RecentSessions::add(const QString& path)
{
    const QString file = normalized(path);
    if (!m_files.isEmpty() && m_files.first() == file)
        return;
    m_files.removeAll(file);
    m_files.prepend(file);
    while (m_files.size() > kMaxFiles)
        m_files.removeLast();
    store();
}

void RecentSessions::remove(const QString& path)
{
    if (m_files.removeAll(normalized(path)) > 0)
        store();
}

void RecentSessions::clear()
{
    if (m_files.isEmpty())
        return;
    m_files.clear();
    store();
}

void RecentSessions::store()
{
    m_settings.setValue(QLatin1String(kSettingsKey), m_files);
    emit changed();
}
