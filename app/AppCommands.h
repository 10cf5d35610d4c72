#pragma once

#include "Session.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <string>

class EquilibriaDialog;
class LegendOverlay;
class MasterViewController;
class QWidget;
namespace cosmophase {
class PhasePlaneTraces;
struct WriteResult;
}

// The menu's file, clipboard, equilibria and about commands. Dialogs go through two
// replaceable hooks so that the commands can run without a modal window.
class AppCommands : public QObject {
    Q_OBJECT

public:
    // Asks where to save; an empty result cancels.
    using PathPrompt = std::function<QString(const QString& caption, const QString& suggestedPath,
                                             const QString& filter)>;
    // Tells the user that something failed.
    using ErrorSink = std::function<void(const QString& title, const QString& text)>;

    // `legend` decides whether a saved figure has the key.
    AppCommands(const MasterViewController& controller, const cosmophase::PhasePlaneTraces& traces,
                const LegendOverlay& legend, QWidget* dialogParent, QObject* parent = nullptr);

    void setPathPrompt(PathPrompt prompt) { m_path_prompt = std::move(prompt); }
    void setErrorSink(ErrorSink sink) { m_error_sink = std::move(sink); }
    // The window's session when a picture is saved, which the picture then
    // carries (with the run's digest) so that it reopens as the window was.
    using SessionSource = std::function<cosmophase::Session()>;
    void setSessionSource(SessionSource source) { m_session_source = std::move(source); }

    // Each writes the whole file or nothing; a failure, or a warning about a
    // saved file, is reported through the error sink with the path.
    bool savePlotImage(const QString& path);
    bool exportSamples(const QString& path);
    bool exportTraces(const QString& path);
    // What the window shows, in the format of the path's extension
    // (FigureFormat): the phase plane with its axes, or the chart's open tab.
    bool saveFigure(const QString& path);
    bool saveChart(const QString& path);

    // A save for another window, asked for and reported as the menu's are:
    // `write` writes the whole file or nothing. Returns whether it was saved.
    using Writer = std::function<cosmophase::WriteResult(const QString& path)>;
    bool saveAs(const QString& caption, const QString& fileName, const QString& filter, const QString& notSaved,
                const Writer& write);

    QString readoutRow() const;
    // Where the next dialog starts: the folder of the last file chosen, the
    // home folder before that (or the one the preferences kept).
    const QString& lastFolder() const { return m_last_folder; }
    // The next dialog starts in the folder of `path`, a file chosen elsewhere.
    void rememberFolderOf(const QString& path);
    void setLastFolder(const QString& folder) { m_last_folder = folder; }
    QString aboutText() const;

signals:
    // After each file written through a dialog.
    void saved(const QString& path);

public slots:
    void savePlotImageAs();
    void exportSamplesAs();
    void exportTracesAs();
    void saveFigureAs();
    void saveChartAs();
    void copyReadouts();
    void showAbout();
    // Opens the equilibria window, or brings it forward when already open.
    void showEquilibria();

private:
    // Asks for a path, suggesting `fileName` in the last folder, and saves
    // there with `save` unless the user cancels.
    void promptAndSave(const QString& caption, const QString& fileName, const QString& filter,
                       bool (AppCommands::*save)(const QString&));
    // Tells the user of a failed write (after `notSaved`) or of a file saved
    // with a warning; returns whether the file was saved.
    bool reported(const QString& title, const QString& notSaved, const cosmophase::WriteResult& result);
    void reportWriteFailure(const QString& title, const QString& path, const QString& reason);
    // What a saved picture carries; empty without a session source.
    std::string pictureRecord() const;

    const MasterViewController& m_controller;
    const cosmophase::PhasePlaneTraces& m_traces;
    const LegendOverlay& m_legend;
    QWidget* m_dialog_parent = nullptr;
    PathPrompt m_path_prompt;
    ErrorSink m_error_sink;
    SessionSource m_session_source;
    QPointer<EquilibriaDialog> m_equilibria;
    QString m_last_folder;
};
