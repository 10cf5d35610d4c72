#pragma once

// Shared set-up for the GUI tests: the launched application and its outlets.

#include "AppDelegate.h"
#include "MasterViewController.h"
#include "MenuActions.h"
#include "MyOpenGLView.h"
#include "Observables.h"
#include "ReadoutFormat.h"
#include "RealSlider.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace apptest {

struct App {
    std::unique_ptr<AppDelegate> delegate;
    MasterViewController* controller = nullptr;
    RealSlider* slider = nullptr;
    QPushButton* play = nullptr;
    MyOpenGLView* view = nullptr;
    QList<QCheckBox*> boxes; // stable, unstable, family

    template <typename T = QLabel> T* get(const char* name) const { return delegate->window()->findChild<T*>(name); }
    QString text(const char* field) const { return get(field)->text(); }
    QStringList readouts() const { return {text("runTimeField"), text("densityRatioField"), text("q0Field"), text("xi0Field")}; }
    QList<bool> flags() const { return {view->showStableManifold(), view->showUnstableManifold(), view->showFamilyCurve()}; }
    QList<QAction*> menuActions() const { return ::menuActions(*delegate->window()->menuBar()); }
    QAction* menuAction(const QString& text) const { return ::menuAction(*delegate->window()->menuBar(), text); }
    int last() const { return static_cast<int>(controller->timeArray().size()) - 1; }
    // What the read-outs show for sample i once the marker has moved there.
    QStringList readoutsAt(int i) const
    {
        using namespace cosmophase;
        const MasterViewController& c = *controller;
        const PresentDay present = presentDayParameters(c.z2Array()[i], c.w0Array()[i], c.w2Array()[i]);
        const std::string texts[] = {elapsedYearsText(c.timeArray()[i]), densityRatioText(densityRatio(c.z2Array()[i])),
                                     threeDecimalText(present.q0), threeDecimalText(present.xi0)};
        return {QString::fromStdString(texts[0]), QString::fromStdString(texts[1]),
                QString::fromStdString(texts[2]), QString::fromStdString(texts[3])};
    }
};

// Launches the application and waits until its window is active and the plot
// has drawn a frame (the title shows the frame rate), so the view is set up.
inline bool launch(App& app)
{
    app.delegate = std::make_unique<AppDelegate>();
    app.delegate->applicationDidFinishLaunching();
    QMainWindow* window = app.delegate->window();
    window->activateWindow();
    if (!QTest::qWaitForWindowExposed(window)
        || !QTest::qWaitFor([window] { return window->windowTitle().endsWith(QLatin1String(" fps")); }, 20000))
        return false;
    QApplication::setActiveWindow(window);
    app.controller = app.delegate->masterViewController();
    app.slider = app.get<RealSlider>("timeSlider");
    app.play = app.get<QPushButton>("playButton");
    app.view = app.get<MyOpenGLView>("openGLView");
    app.boxes = {app.get<QCheckBox>("stableCheckBox"), app.get<QCheckBox>("unstableCheckBox"),
                 app.get<QCheckBox>("familyCheckBox")};
    return app.slider && app.play && app.view && !app.boxes.contains(nullptr) && QTest::qWaitForWindowActive(window);
}

} // namespace apptest
