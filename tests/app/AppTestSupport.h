#pragma once

// Shared set-up for the GUI tests: the launched application and its outlets.

#include "AppDelegate.h"
#include "MarkerNavigation.h"
#include "MasterViewController.h"
#include "MenuActions.h"
#include "MyOpenGLView.h"
#include "Observables.h"
#include "ReadoutFormat.h"
#include "RealSlider.h"
#include "RunComparison.h"
#include "RunReplacement.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
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

// Several test programs share one display, and with it one pointer and one
// keyboard focus: a test that moved the pointer or activated its window
// would change what the others see. So the tests never do either; they
// send events to widgets and set Qt's own idea of the active window.

// Launches the application and waits until its window is exposed and the
// plot has drawn a frame (the title shows the frame rate), so the view is
// set up.
inline bool launch(App& app)
{
    app.delegate = std::make_unique<AppDelegate>();
    app.delegate->applicationDidFinishLaunching();
    QMainWindow* window = app.delegate->window();
    if (!QTest::qWaitForWindowExposed(window)
        || !QTest::qWaitFor([window] { return window->windowTitle().endsWith(QLatin1String(" fps")); }, 20000))
        return false;
    app.controller = app.delegate->masterViewController();
    app.slider = app.get<RealSlider>("timeSlider");
    app.play = app.get<QPushButton>("playButton");
    app.view = app.get<MyOpenGLView>("openGLView");
    app.boxes = {app.get<QCheckBox>("stableCheckBox"), app.get<QCheckBox>("unstableCheckBox"),
                 app.get<QCheckBox>("familyCheckBox")};
    return app.slider && app.play && app.view && !app.boxes.contains(nullptr);
}

// A key pressed while `target`'s window is active, as a user types it:
// window shortcuts first. The window is made active in Qt's state just
// before, since another program may have taken the display's focus.
inline void keyClick(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QApplication::setActiveWindow(target->window());
    QTest::keyClick(target, key, modifiers);
}

inline void keyClicks(QWidget* target, const QString& text)
{
    QApplication::setActiveWindow(target->window());
    QTest::keyClicks(target, text);
}

// The pointer moving over `widget` at `at` with no button held, delivered
// to the widget. (QTest::mouseMove would move the display's pointer.)
inline void hover(QWidget* widget, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace apptest
