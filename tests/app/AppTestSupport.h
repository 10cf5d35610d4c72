#pragma once

// Shared set-up for the GUI tests: a launched application whose window is on
// screen and whose plot has drawn at least one frame.

#include "AppDelegate.h"
#include "MasterViewController.h"
#include "MyOpenGLView.h"
#include "RealSlider.h"

#include <QCheckBox>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <memory>

namespace apptest {

inline bool showsFrameRate(const QWidget* window)
{
    static const QRegularExpression fps(QStringLiteral("^\\d+ fps$"));
    return fps.match(window->windowTitle()).hasMatch();
}

// Launches the application and waits until the plot has been drawn, so the
// view's curves exist and its flags have their start-up values.
inline std::unique_ptr<AppDelegate> launch()
{
    auto delegate = std::make_unique<AppDelegate>();
    delegate->applicationDidFinishLaunching();
    QMainWindow* window = delegate->window();
    window->activateWindow();
    if (!QTest::qWaitForWindowExposed(window))
        return nullptr;
    if (!QTest::qWaitFor([window] { return showsFrameRate(window); }, 20000))
        return nullptr;
    return delegate;
}

template <typename T>
T* outlet(const AppDelegate& delegate, const char* name)
{
    return delegate.window()->findChild<T*>(QString::fromLatin1(name));
}

} // namespace apptest
