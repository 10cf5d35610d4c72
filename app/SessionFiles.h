#pragma once

#include "Session.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class AppCommands;
class LaterFolderSyncs;
class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class RecentSessions;
class SessionState;

// The window's session as a file: File ▸ Open Session…, Open Recent, Save
// Session and Save Session As…, a permanent status-bar label naming the
// file and saying when the window differs from it, and Save / Discard /
// Cancel before closing or opening another session would lose that.
//
// "Unsaved" compares the captured session with the one last saved or
// opened, so an edit undone is no change; where the marker rests is saved
// but, like playback, is not a change on its own. A fresh launch is saved.
// Dialogs go through replaceable hooks so that tests answer them.
class SessionFiles : public QObject {
    Q_OBJECT

public:
    enum class Answer { Save, Discard, Cancel };
    // Asks whether to save first; `question` names the file and the action.
    using UnsavedPrompt = std::function<Answer(const QString& question)>;
    // Asks for a file to open; an empty result cancels.
    using OpenPrompt = std::function<QString(const QString& caption, const QString& folder, const QString& filter)>;
    // Tells the user one line: why a file was not opened or saved.
    using ErrorSink = std::function<void(const QString& title, const QString& text)>;

    static constexpr const char* kFilter = "Cosmophase session (*.cosmophase)";
    // Open Session… also takes the figures and movies that carry a session.
    static constexpr const char* kOpenFilter =
        "Sessions, figures and movies (*.cosmophase *.png *.svg *.pdf *.gif *.mp4 *.webm);;"
        "Cosmophase session (*.cosmophase);;Figures and movies (*.png *.svg *.pdf *.gif *.mp4 *.webm)";

    SessionFiles(SessionState& state, AppCommands& commands, QMainWindow& window, QObject* parent = nullptr);
    ~SessionFiles() override;

    // Open Session…, Open Recent, Save Session and Save Session As…, with
    // a separator, at the top of `file`.
    void addTo(QMenu& file);

    void setUnsavedPrompt(UnsavedPrompt prompt) { m_unsaved_prompt = std::move(prompt); }
    void setOpenPrompt(OpenPrompt prompt) { m_open_prompt = std::move(prompt); }
    void setErrorSink(ErrorSink sink) { m_error_sink = std::move(sink); }

    // Reads `path` (a session file, or a figure or movie carrying one) and
    // shows it; a bad file is reported and changes nothing. A picture's
    // session shows untitled, so that Save never writes over the picture.
    // False when the file could not be read; a session whose run is refused
    // or whose marker is beyond it is reported once its run is known.
    bool openFile(const QString& path);
    // Where a session refused once its run is known is reported: one line
    // naming the file.
    using Refusal = std::function<void(const QString& line)>;
    // A session read already (at launch): shown as if opened from `path`
    // (untitled when empty), with a warning for keys this version does not
    // know. A refusal goes
    // to `refused` when given, to the error sink otherwise.
    void show(const QString& path, const cosmophase::Session& session, const std::vector<std::string>& unknownKeys,
              Refusal refused = {});
    // Save: to the current file, or asking for one when untitled.
    bool save();
    bool saveAs();
    // Work brought back from an autosave after a crash, on screen already:
    // unsaved, and saved to `path`, the file it came from, when not empty.
    void adoptRestored(const QString& path);

    // Empty while untitled.
    const QString& currentPath() const { return m_path; }
    // As last saved or opened: the start-up state until then.
    const cosmophase::Session& savedSession() const { return m_saved; }
    bool isUnsaved() const;
    RecentSessions& recent() const { return *m_recent; }
    QLabel* indicator() const { return m_indicator; }

public slots:
    // The menu's commands.
    void openSession();
    void openRecent(const QString& path);
    // Opens `path` as Open Session… does once a file is chosen (a dropped
    // one): asks first while the window is unsaved.
    void openChosen(const QString& path);

signals:
    // After a session file was written; the status bar confirms it.
    void saved(const QString& path);
    // After a file's session is on screen; `warning` names unknown keys.
    void opened(const QString& path, const QString& warning);
    void unsavedChanged(bool unsaved);

protected:
    // Close of the window: asks first while unsaved.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // False when the user cancels, or chose Save and it was not saved.
    bool mayDiscard(const QString& action);
    bool writeTo(const QString& path);
    void markSaved(const QString& path, const cosmophase::Session& session);
    void sessionApplied();
    void sessionRefused(const QString& reason);
    void updateIndicator();
    void rebuildRecentMenu();
    QString displayName() const;

    SessionState& m_state;
    AppCommands& m_commands;
    QMainWindow& m_window;
    RecentSessions* m_recent = nullptr;
    LaterFolderSyncs* m_folder_syncs = nullptr;
    QMenu* m_recent_menu = nullptr;
    QLabel* m_indicator = nullptr;
    QTimer m_indicator_update;
    UnsavedPrompt m_unsaved_prompt;
    OpenPrompt m_open_prompt;
    ErrorSink m_error_sink;
    QString m_path;
    cosmophase::Session m_saved;
    // A file's session waiting for its run, and what to warn of once shown.
    std::optional<QString> m_opening;
    bool m_opening_picture = false;
    QString m_opening_warning;
    Refusal m_opening_refused;
    bool m_unsaved = false;
};
