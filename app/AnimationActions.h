#pragma once

#include "MovieRequest.h"

#include <QObject>

#include <functional>

class AnimationExportDialog;
class AppCommands;
class MasterViewController;
class MovieExport;
class PacedPlayback;
class QAction;
class QMainWindow;
class QMenu;
class QProgressBar;
class QToolButton;
namespace cosmophase {
struct MovieResult;
}

// File ▸ Export Animation… and Playback ▸ Pace. The movie shows the plot as
// it is when the dialog is accepted (run, view, layers, legend, traces) and
// is written in the background, its progress and Cancel in the status bar.
class AnimationActions : public QObject {
    Q_OBJECT

public:
    // Shows the dialog and returns whether it was accepted.
    using DialogRunner = std::function<bool(AnimationExportDialog& dialog)>;
    // Tells the user that the movie could not be written.
    using ErrorSink = std::function<void(const QString& title, const QString& text)>;
    // The window's state as a session: the plot the movie shows.
    using SessionCapture = std::function<cosmophase::Session()>;

    static constexpr const char* kDefaultFileName = "cosmophase-playback.mp4";

    AnimationActions(MasterViewController& controller, AppCommands& commands, QMainWindow& window,
                     SessionCapture capture);
    ~AnimationActions() override;

    void addExportAction(QMenu& file);
    void addPaceMenu(QMenu& playback);

    void setDialogRunner(DialogRunner runner) { m_run_dialog = std::move(runner); }
    void setErrorSink(ErrorSink sink) { m_error_sink = std::move(sink); }

    PacedPlayback& pacedPlayback() const { return *m_paced; }
    MovieExport& movieExport() const { return *m_export; }

    // Asks for the movie and starts writing it.
    void exportAnimation();

signals:
    void saved(const QString& path);

private:
    void showProgress(int done, int total);
    void exportFinished(const QString& path, const cosmophase::MovieResult& result);

    AppCommands& m_commands;
    QMainWindow& m_window;
    SessionCapture m_capture;
    PacedPlayback* m_paced = nullptr;
    MovieExport* m_export = nullptr;
    QAction* m_export_action = nullptr;
    // In the status bar while a movie is written.
    QProgressBar* m_progress = nullptr;
    QToolButton* m_cancel = nullptr;
    // The dialog's last values, so that a second movie starts from them.
    cosmophase::MovieRequest m_last;
    DialogRunner m_run_dialog;
    ErrorSink m_error_sink;
};
