// Processor time the application uses while nothing happens, with View ▸
// Redraw When Idle on (the continuous redraw) and off: launches the window,
// lets start-up settle, then reads this process's CPU time (every thread,
// Mesa's rasteriser included) over a stretch of wall-clock time. Run it
// through scripts/measure-idle-cpu (under Xvfb).
// Usage: measure_idle_cpu on|off [SECONDS]

#include "AppDelegate.h"
#include "MasterViewController.h"
#include "MyOpenGLView.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QSurfaceFormat>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace

int main(int argc, char* argv[])
{
    QSurfaceFormat::setDefaultFormat(MyOpenGLView::defaultSurfaceFormat());
    QApplication app(argc, argv);
    const bool redraw = argc < 2 || std::strcmp(argv[1], "off") != 0;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    delegate.masterViewController()->openGLView()->setRedrawWhenIdle(redraw);

    double startCpu = 0;
    QElapsedTimer wall;
    // Start-up (the model runs, the chart fills) is over after a few seconds.
    QTimer::singleShot(4000, &app, [&] {
        startCpu = cpuSeconds();
        wall.start();
        QTimer::singleShot(seconds * 1000, &app, [&] {
            const double share = (cpuSeconds() - startCpu) / (static_cast<double>(wall.nsecsElapsed()) / 1e9);
            std::printf("redraw when idle %s: %.1f%% of one core over %d s idle (title \"%s\")\n",
                        redraw ? "on" : "off", 100 * share, seconds,
                        qPrintable(delegate.window()->windowTitle()));
            QApplication::quit();
        });
    });
    return QApplication::exec();
}
