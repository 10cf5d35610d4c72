#pragma once

#include "PlotLayerActions.h"

#include <QObject>

#include <functional>
#include <memory>

class AnimationActions;
class AppCommands;
class FieldFocus;
class LegendOverlay;
class MasterViewController;
class MarkerStateReadout;
class ParameterRuns;
class ParameterStudyWindow;
class Preferences;
class PhasePlaneInteraction;
class PlotNavigation;
class QAction;
class QMainWindow;
class SamplesTableActions;
class RunsInPlane;
class SessionFiles;
class SessionState;
class QMenu;

// Owns the main window, its menu and the controller of its content.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    // Room for a phase plane of at least 630 px square with the controls and
    // the time-series chart beside it. Smaller screens get a smaller window.
    static constexpr int kDefaultWidth = 1340;
    static constexpr int kDefaultHeight = 728;
    // How long the status bar confirms a save.
    static constexpr int kSavedMessageMs = 5000;

    explicit AppDelegate(QObject* parent = nullptr);
    ~AppDelegate() override;

    // Preferences restored as the window is built, before its session's
    // start-up state is taken; none (the default) keeps the defaults.
    void setPreferences(Preferences* preferences) { m_preferences = preferences; }

    // Creates the controller (which runs the model and fills the read-outs),
    // puts its view into the window, builds the menu, and only then shows the
    // window, so that the first paint already has the start-up read-outs.
    // `beforeShown` runs just before that: what it changes (the command
    // line's run or session) is in the first frame too.
    void applicationDidFinishLaunching(const std::function<void(AppDelegate&)>& beforeShown = {});

    QMainWindow* window() const { return m_window.get(); }
    MasterViewController* masterViewController() const { return m_master_view_controller.get(); }
    AppCommands* commands() const { return m_commands.get(); }
    PhasePlaneInteraction* phasePlaneInteraction() const { return m_phase_plane_interaction.get(); }
    PlotNavigation* plotNavigation() const { return m_plot_navigation.get(); }
    AnimationActions* animation() const { return m_animation; }
    LegendOverlay* legend() const { return m_legend; }
    MarkerStateReadout* markerStateReadout() const { return m_marker_state; }
    ParameterRuns* parameterRuns() const { return m_parameter_runs.get(); }
    RunsInPlane* runsInPlane() const { return m_runs_in_plane.get(); }
    // The window's state as a session.
    SessionState* sessionState() const { return m_session_state.get(); }
    // The session as a file: the File menu's session commands.
    SessionFiles* sessionFiles() const { return m_session_files.get(); }
    // The View menu's layer switches.
    const PlotLayerSwitches& layerSwitches() const { return m_layer_switches; }
    // Null until first opened from the View menu.
    ParameterStudyWindow* parameterStudy() const { return m_parameter_study; }
    SamplesTableActions* samplesTable() const { return m_samples_table.get(); }

private:
    // The default size where it fits the screen's free area, centred there.
    void placeWindow();
    void buildMenus();
    // The additions around the controller's form: zoom, legend, the full
    // state read-out and the layout rules.
    void addPlotTools();
    // Opens the study window, or brings it forward when already open; it
    // follows the main window's runs and asks ParameterRuns for new ones.
    void showParameterStudy();

    // Confirms in the status bar, as every save does.
    void showSaved(const QString& path);

    // Declared in this order so that the controller, and with it the
    // central view, goes before the window.
    std::unique_ptr<QMainWindow> m_window;
    std::unique_ptr<MasterViewController> m_master_view_controller;
    std::unique_ptr<PhasePlaneInteraction> m_phase_plane_interaction;
    std::unique_ptr<AppCommands> m_commands;
    std::unique_ptr<PlotNavigation> m_plot_navigation;
    // Children of the form, deleted with it.
    LegendOverlay* m_legend = nullptr;
    MarkerStateReadout* m_marker_state = nullptr;
    // The View menu's switch of the default run's curve, which the runs
    // follow; a child of the window.
    QAction* m_default_run = nullptr;
    std::unique_ptr<ParameterRuns> m_parameter_runs;
    std::unique_ptr<FieldFocus> m_field_focus;
    std::unique_ptr<RunsInPlane> m_runs_in_plane;
    PlotLayerSwitches m_layer_switches;
    std::unique_ptr<SessionState> m_session_state;
    std::unique_ptr<SessionFiles> m_session_files;
    // A child of the menu bar.
    QMenu* m_file_menu = nullptr;
    // Export Animation and Pace; a child of the window.
    AnimationActions* m_animation = nullptr;
    // A child of the window, hidden rather than deleted when closed.
    ParameterStudyWindow* m_parameter_study = nullptr;
    Preferences* m_preferences = nullptr;
    std::unique_ptr<SamplesTableActions> m_samples_table;
};
