#pragma once

#include <QObject>

#include <memory>

class AppCommands;
class MasterViewController;
class PhasePlaneInteraction;
class QMainWindow;

// Owns the main window, its menu and the controller of its content.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    // Room for a phase plane of at least 630 px square with the controls and
    // the time-series chart beside it. Smaller screens get a smaller window.
    static constexpr int kDefaultWidth = 1340;
    static constexpr int kDefaultHeight = 728;

    explicit AppDelegate(QObject* parent = nullptr);
    ~AppDelegate() override;

    // Creates the controller (which runs the model and fills the read-outs),
    // puts its view into the window, builds the menu, and only then shows the
    // window, so that the first paint already has the start-up read-outs.
    void applicationDidFinishLaunching();

    QMainWindow* window() const { return m_window.get(); }
    MasterViewController* masterViewController() const { return m_master_view_controller.get(); }
    AppCommands* commands() const { return m_commands.get(); }
    PhasePlaneInteraction* phasePlaneInteraction() const { return m_phase_plane_interaction.get(); }

private:
    // The default size where it fits the screen's free area, centred there.
    void placeWindow();
    void buildMenus();

    // Declared in this order so that the controller, and with it the
    // central view, goes before the window.
    std::unique_ptr<QMainWindow> m_window;
    std::unique_ptr<MasterViewController> m_master_view_controller;
    std::unique_ptr<PhasePlaneInteraction> m_phase_plane_interaction;
    std::unique_ptr<AppCommands> m_commands;
};
