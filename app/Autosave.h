#pragma once

#include "AutosaveFolder.h"
#include "BackgroundWriter.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace cosmophase {
struct Session;
}

// Keeps this instance's unsaved work in its autosave file while it differs
// from the last save: a while after the edits settle, and at the latest a
// few seconds after the first unkept one, so a steady stream of edits is
// still kept. The session is captured and turned into text on the UI thread
// (microseconds); the file is written off it, atomically, so an autosave
// never holds up a frame. Once the work matches the saved state again (saved,
// or edited back; the marker may rest elsewhere) the autosave goes.
class Autosave : public QObject {
    Q_OBJECT

public:
    using Capture = std::function<cosmophase::Session()>;
    // Quiet time after the last edit, and the longest an edit waits.
    static constexpr int kQuietMs = 2000;
    static constexpr int kMaxWaitMs = 5000;

    // `folder` must be claimed and outlive this.
    Autosave(const cosmophase::AutosaveFolder& folder, Capture capture, QObject* parent = nullptr);
    // Finishes the writes under way.
    ~Autosave() override;

    // Shorter delays, for tests; the longest wait keeps its ratio.
    void setQuietMs(int quietMs);

    // The state last saved (or opened, or the start-up state): what the
    // window is compared with.
    void setSavedState(const cosmophase::Session& saved);
    // An edit: schedules a look at the state.
    void noteChange();
    // The session file the work came from or was last saved as, kept
    // beside the autosave so a restore can offer to save back there.
    void setOrigin(const QString& path);
    // Captures the state now: its text goes to the writer if it differs
    // from the saved state and from the last autosave; the autosave goes if
    // it is the saved state.
    void saveNow();
    // Removes the autosave: a clean exit.
    void discard();
    // An autosave is in place or on its way.
    bool isKept() const { return !m_written.empty(); }
    // Blocks until the writes asked for are done (exit, tests).
    void waitForWrites();

signals:
    // An autosave could not be written: one line, said once until one works.
    void failed(const QString& message);

private:
    void finished(const std::string& path, const cosmophase::WriteResult& result);

    const cosmophase::AutosaveFolder& m_folder;
    Capture m_capture;
    QTimer m_timer;
    QElapsedTimer m_firstUnsaved; // valid while an edit waits to be kept
    int m_quietMs = kQuietMs;
    int m_maxWaitMs = kMaxWaitMs;
    std::string m_saved; // the saved state's text
    std::size_t m_savedMarker = 0;
    std::string m_written; // the text last handed to the writer; empty: no autosave
    std::string m_origin;
    QString m_lastFailure;
    // Last: its thread stops, finishing its writes, before the rest goes.
    std::unique_ptr<cosmophase::BackgroundWriter> m_writer;
};
