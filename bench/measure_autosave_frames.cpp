// What autosaving costs the UI thread while the application plays: each
// autosave's part on that thread (capturing the window as a session with
// 100 traces and turning it into text, then handing it to the writer) is
// timed as it runs, with the writes of earlier autosaves under way, and the
// intervals between drawn frames are compared with a playback without
// autosaves. It autosaves every 5 ms, a changed session each time: far
// more often than the application does. Run it through scripts/measure-autosave (under
// Xvfb); it autosaves into a temporary folder.

#include "AppDelegate.h"
#include "Autosave.h"
#include "AutosaveFolder.h"
#include "MasterViewController.h"
#include "MyOpenGLView.h"
#include "PhasePlaneInteraction.h"
#include "Session.h"
#include "SessionState.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QSurfaceFormat>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

struct Figures {
    double median = 0, p99 = 0, max = 0;
};

Figures figuresOf(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values[values.size() * 99 / 100], values.back()};
}

double threadCpuMs()
{
    timespec now {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    QSurfaceFormat::setDefaultFormat(MyOpenGLView::defaultSurfaceFormat());
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    MasterViewController& controller = *delegate.masterViewController();
    SessionState& state = *delegate.sessionState();
    // The most traces the plot keeps: the largest session there is.
    cosmophase::Session full = state.capture();
    for (int i = 0; i < 100; ++i)
        full.traces.push_back({-1.9 + 0.038 * i, 1.0 / (i + 3)});
    state.apply(full);

    QTemporaryDir folderRoot;
    cosmophase::AutosaveFolder folder(QFile::encodeName(folderRoot.path()).toStdString());
    folder.claim();
    std::vector<double> uiThreadMs;
    // Playback is not an edit; a new marker in each capture makes every
    // autosave a write.
    std::size_t captures = 0;
    Autosave autosave(folder, [&state, &captures] {
        cosmophase::Session session = state.capture();
        session.marker = ++captures;
        return session;
    });
    // An autosave every 5 ms, each timed on the UI thread where it runs.
    QElapsedTimer timing;
    QTimer edits;
    // Processor time too: on a busy machine the wall time includes waits
    // for a core that the UI thread would have anyway.
    std::vector<double> uiThreadCpuMs;
    QObject::connect(&edits, &QTimer::timeout, &app, [&] {
        const double cpuStart = threadCpuMs();
        timing.start();
        autosave.saveNow();
        uiThreadMs.push_back(timing.nsecsElapsed() / 1e6);
        uiThreadCpuMs.push_back(threadCpuMs() - cpuStart);
    });
    std::vector<double> frames;
    QElapsedTimer frameClock;
    QObject::connect(controller.openGLView(), &QOpenGLWidget::frameSwapped, &app, [&] {
        if (frameClock.isValid())
            frames.push_back(frameClock.nsecsElapsed() / 1e6);
        frameClock.start();
    });

    const auto play = [&](bool withAutosave, auto then) {
        if (withAutosave)
            edits.start(5);
        frames.clear();
        frameClock.invalidate();
        if (!controller.isRunning())
            controller.simToggle();
        QTimer::singleShot(seconds * 1000, &app, [&controller, &edits, then] {
            edits.stop();
            if (controller.isRunning())
                controller.simToggle();
            then();
        });
    };
    const auto report = [](const char* what, const Figures& f) {
        std::printf("%-40s median %6.3f ms, 99th percentile %6.3f ms, max %6.3f ms\n", what, f.median, f.p99, f.max);
    };
    QTimer::singleShot(1500, &app, [&] {
        play(false, [&] {
            const Figures without = figuresOf(frames);
            play(true, [&, without] {
                autosave.waitForWrites();
                report("frame interval without autosaves:", without);
                report("frame interval with autosaves:", figuresOf(frames));
                report("an autosave's part on the UI thread:", figuresOf(uiThreadMs));
                report("  of which processor time:", figuresOf(uiThreadCpuMs));
                std::printf("%zu autosaves in %d s of playback\n", uiThreadMs.size(), seconds);
                QApplication::exit(0);
            });
        });
    });
    return QApplication::exec();
}
