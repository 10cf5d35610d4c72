#include "Autosave.h"

#include "OneLine.h"
#include "Session.h"
#include "SessionFile.h"

#include <QFile>
#include <QMetaObject>

#include <algorithm>

Autosave::Autosave(const cosmophase::AutosaveFolder& folder, Capture capture, QObject* parent)
    : QObject(parent)
    , m_folder(folder)
    , m_capture(std::move(capture))
    , m_writer(std::make_unique<cosmophase::BackgroundWriter>(
          [this](const std::string& path, const cosmophase::WriteResult& result) { finished(path, result); }))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Autosave::saveNow);
}

Autosave::~Autosave()
{
    m_writer.reset();
}

void Autosave::setQuietMs(int quietMs)
{
    m_maxWaitMs = std::max(1, quietMs * kMaxWaitMs / kQuietMs);
    m_quietMs = std::max(1, quietMs);
}

void Autosave::setSavedState(const cosmophase::Session& saved)
{
    m_saved = cosmophase::sessionText(saved);
    m_savedMarker = saved.marker;
    noteChange();
}

void Autosave::noteChange()
{
    if (!m_firstUnsaved.isValid())
        m_firstUnsaved.start();
    const qint64 left = m_maxWaitMs - m_firstUnsaved.elapsed();
    // Past the longest wait the pending timer is left alone: edits that come
    // faster than the event loop turns would otherwise push it on forever.
    if (left <= 0 && m_timer.isActive())
        return;
    m_timer.start(static_cast<int>(std::clamp<qint64>(left, 0, m_quietMs)));
}

void Autosave::setOrigin(const QString& path)
{
    const std::string origin = QFile::encodeName(path).toStdString();
    if (origin == m_origin)
        return;
    m_origin = origin;
    // Only while there is an autosave for it to belong to.
    if (isKept())
        m_writer->write(m_folder.originPath(), m_origin + '\n');
}

void Autosave::saveNow()
{
    m_timer.stop();
    m_firstUnsaved.invalidate();
    cosmophase::Session session = m_capture();
    std::string text = cosmophase::sessionText(session);
    // Where the marker rests is kept, but is no change of its own.
    session.marker = m_savedMarker;
    if (cosmophase::sessionText(session) == m_saved) {
        if (isKept())
            discard();
        return;
    }
    if (text == m_written)
        return;
    if (!isKept() && !m_origin.empty())
        m_writer->write(m_folder.originPath(), m_origin + '\n');
    m_written = text;
    m_writer->write(m_folder.sessionPath(), std::move(text));
}

void Autosave::discard()
{
    m_timer.stop();
    m_firstUnsaved.invalidate();
    m_written.clear();
    m_writer->remove(m_folder.sessionPath());
    m_writer->remove(m_folder.originPath());
}

void Autosave::waitForWrites()
{
    m_writer->wait();
}

// On the writer's thread: the news goes to the UI thread.
void Autosave::finished(const std::string&, const cosmophase::WriteResult& result)
{
    QMetaObject::invokeMethod(
        this,
        [this, ok = result.ok, error = QString::fromStdString(cosmophase::escapeControlCharacters(result.error))] {
            if (ok) {
                m_lastFailure.clear();
            } else if (error != m_lastFailure) {
                m_lastFailure = error;
                emit failed(tr("Autosave failed: %1").arg(error));
            }
        },
        Qt::QueuedConnection);
}
