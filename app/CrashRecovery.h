#pragma once

#include "Autosave.h"
#include "AutosaveFolder.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QWidget;
class SessionFiles;
class SessionState;

// Nothing lost in a crash: this instance's autosave follows the window's
// edits, and at launch the work of instances that died (a crash, a kill, a
// power cut) is offered back. A clean exit removes the autosave.
class CrashRecovery : public QObject {
    Q_OBJECT

public:
    // Asks whether to restore the work autosaved at `when`: true restores,
    // false discards it. Tests replace the question.
    using Ask = std::function<bool(const QDateTime& when)>;

    // Claims this instance's place in `folder`; without one (a folder that
    // cannot be made) nothing is autosaved, and failed() says why once.
    CrashRecovery(SessionState& state, const QString& folder, QWidget* dialogParent, QObject* parent = nullptr);
    ~CrashRecovery() override;

    void setAsk(Ask ask) { m_ask = std::move(ask); }
    // Compares the window with the session file's saved state and names
    // its file beside the autosave; a restored autosave becomes that file's
    // unsaved work.
    void follow(SessionFiles& files);
    // Offers the dead instances' autosaves, newest first, until one is
    // restored; those discarded go. Returns whether one was restored.
    bool offerRestore();

    // Null without a folder.
    Autosave* autosave() const { return m_autosave.get(); }
    const cosmophase::AutosaveFolder& folder() const { return m_folder; }
    // The clean exit: the autosave goes (and its writer finishes first).
    void finish();

    // The user's state folder's "cosmophase": $XDG_STATE_HOME/cosmophase,
    // by default ~/.local/state/cosmophase.
    static QString standardFolder();
    // "Restore the unsaved session from <when>?"
    static QString question(const QDateTime& when);

signals:
    // A restored session is on screen: unsaved, and from the session file
    // at `origin` if it named one (empty otherwise).
    void restored(const QString& origin);
    void failed(const QString& message);

private:
    SessionState& m_state;
    cosmophase::AutosaveFolder m_folder;
    std::unique_ptr<Autosave> m_autosave;
    Ask m_ask;
    // The orphan being restored, discarded once this instance keeps its work.
    std::optional<cosmophase::AutosaveFolder::Orphan> m_restoring;
};
