#pragma once

#include <QAction>
#include <QObject>
#include <QPointer>

class MasterViewController;
class QMenu;
class SamplesWindow;

// The Samples window and the menu actions that open it: View ▸ Samples…
// and Playback ▸ Go to Sample… / Go to Time…. The window is made at its
// first opening and then follows the controller: its run, its reference
// and its marker, both ways.
class SamplesTableActions : public QObject {
    Q_OBJECT

public:
    // `mainWindow` is the window's parent and the screen it is placed on.
    SamplesTableActions(MasterViewController& controller, QWidget& mainWindow, QObject* parent = nullptr);

    QAction& showSamples() { return m_show; }
    QAction& goToSample() { return m_go_to_sample; }
    QAction& goToTime() { return m_go_to_time; }
    // Main-window actions whose keys work in the Samples window too; given
    // before it first opens.
    void shareWithWindow(const QList<QAction*>& actions);
    // Null until first opened.
    SamplesWindow* window() const;

private:
    SamplesWindow& openWindow();

    MasterViewController& m_controller;
    QWidget& m_main_window;
    QAction m_show;
    QAction m_go_to_sample;
    QAction m_go_to_time;
    QList<QAction*> m_shared;
    // A child of the main window, hidden rather than deleted when closed.
    QPointer<SamplesWindow> m_window;
};
