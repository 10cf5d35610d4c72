// Wall-clock length of one uninterrupted playback: from Play to the tick
// that ends it (the 802nd), with the plot drawing continuously as in normal
// use. Timed, so it is a benchmark and not part of the test suite; run it
// through scripts/measure-playback (under Xvfb).

#include "AppDelegate.h"
#include "MasterViewController.h"
#include "MyOpenGLView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QRegularExpression>
#include <QSurfaceFormat>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    QSurfaceFormat::setDefaultFormat(MyOpenGLView::defaultSurfaceFormat());
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 3;

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    MasterViewController& controller = *delegate.masterViewController();

    QElapsedTimer clock;
    int timeouts = 0;
    int done = 0;
    const auto startRun = [&] {
        timeouts = 0;
        clock.start();
        controller.simToggle();
    };
    // Connected after the controller's own slot, so it sees each tick's result.
    QObject::connect(&controller.timer(), &QTimer::timeout, &app, [&] {
        ++timeouts;
        if (controller.isRunning())
            return;
        const double seconds = clock.nsecsElapsed() / 1e9;
        // A late timeout delivers the ticks it missed, so there are at most
        // 802 timeouts for the 802 ticks.
        std::printf("playback %d: %.4f s (%+.2f%% of 20.05 s), %d timer timeouts\n", done + 1,
                    seconds, (seconds / 20.05 - 1) * 100, timeouts);
        std::fflush(stdout);
        if (++done < runs)
            QTimer::singleShot(200, &app, startRun);
        else
            QApplication::exit(0);
    });

    // Start once the plot is drawing, as a user would.
    const QRegularExpression fps(QStringLiteral("^\\d+ fps$"));
    bool started = false;
    QObject::connect(delegate.window(), &QWidget::windowTitleChanged, &app, [&](const QString& title) {
        if (started || !fps.match(title).hasMatch())
            return;
        started = true;
        QTimer::singleShot(500, &app, startRun);
    });
    return QApplication::exec();
}
