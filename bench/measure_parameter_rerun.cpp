// What a change of the parameters costs in the running application, under
// a display (scripts/measure-parameter-rerun uses Xvfb):
//  - from a changed value to the frame that shows the new run: the q slider
//    is set to a new position (the run, the view's trajectory and the
//    chart's refill happen in that call) and the clock stops at the plot's
//    next swapped frame; 40 changes, median and worst;
//  - a drag of the q slider: held down, a new position every 16 ms for 4 s,
//    counting the plot's frames (the chart follows when the drag rests);
//  - from a changed value to the reference lines showing the new run's
//    reference, 40 changes;
//  - 20 edits of the q field in one second: the process's processor time
//    (all threads) until the last reference is shown, and the plot's frame
//    rate meanwhile;
//  - a run that takes its full budget of steps (q = 1.3113): how long the
//    keystroke holds the UI thread, and the longest gap between frames
//    until the run is refused.
#include "AppDelegate.h"
#include "MasterViewController.h"
#include "RunComparison.h"
#include "MarkerNavigation.h"
#include "MyOpenGLView.h"
#include "ParameterRuns.h"
#include "ReferenceReadouts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QSlider>
#include <QSurfaceFormat>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <sys/resource.h>

namespace {

void settle(int millis)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < millis)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    QSurfaceFormat::setDefaultFormat(MyOpenGLView::defaultSurfaceFormat());
    QApplication app(argc, argv);
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    MasterViewController& controller = *delegate.masterViewController();
    MyOpenGLView& view = *controller.openGLView();
    auto* slider = delegate.window()->findChild<QSlider*>(QStringLiteral("qParameterSlider"));
    int frames = 0;
    QObject::connect(&view, &QOpenGLWidget::frameSwapped, [&frames] { ++frames; });
    settle(1500);

    std::vector<double> toFrame, synchronous;
    QElapsedTimer clock;
    for (int k = 0; k < 40; ++k) {
        settle(30);
        const int before = frames;
        clock.start();
        slider->setValue(k % 2 == 0 ? -900 + 15 * k : -300 - 15 * k);
        synchronous.push_back(clock.nsecsElapsed() / 1e6);
        while (frames == before)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        toFrame.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("change to frame: median %.2f ms, worst %.2f ms (run, trajectory and chart: median %.2f ms)\n",
                median(toFrame), *std::max_element(toFrame.begin(), toFrame.end()), median(synchronous));

    QTimer drag;
    int position = -900;
    QObject::connect(&drag, &QTimer::timeout, [&] {
        position = position >= -300 ? -900 : position + 3;
        slider->setValue(position);
    });
    const int before = frames;
    slider->setSliderDown(true);
    drag.start(16);
    clock.start();
    settle(4000);
    const double seconds = clock.nsecsElapsed() / 1e9;
    drag.stop();
    slider->setSliderDown(false);
    std::printf("slider drag: %.1f frames per second (%d positions a second asked)\n", (frames - before) / seconds,
                1000 / 16);
    settle(500);

    const QLabel* q0Reference =
        controller.additions().comparison().readouts()->referenceField(ReferenceReadouts::Q0);
    const auto referenceShown = [q0Reference] { return q0Reference->text() != QStringLiteral("computing…"); };
    std::vector<double> toReference;
    for (int k = 0; k < 40; ++k) {
        settle(30);
        clock.start();
        slider->setValue(k % 2 == 0 ? -900 + 15 * k : -300 - 15 * k);
        while (!referenceShown())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        toReference.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("change to reference shown: median %.2f ms, worst %.2f ms\n", median(toReference),
                *std::max_element(toReference.begin(), toReference.end()));

    auto* field = delegate.window()->findChild<QLineEdit*>(QStringLiteral("qParameterField"));
    const char* const edits[] = {"0.9", "0.99", "0.999", "0.9999", "0.99999"};
    const int framesBefore = frames;
    const double processorBefore = processorSeconds();
    clock.start();
    for (int k = 0; k < 20; ++k) {
        field->setText(QString::fromLatin1(edits[k % 5]));
        emit field->textEdited(field->text());
        settle(50);
    }
    const double editSeconds = clock.nsecsElapsed() / 1e9;
    const int editFrames = frames - framesBefore;
    while (!referenceShown())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    std::printf("20 edits in %.2f s: %.2f s of processor time until the last reference showed, "
                "%.1f frames per second\n",
                editSeconds, processorSeconds() - processorBefore, editFrames / editSeconds);

    settle(300);
    qint64 lastFrame = 0, longestGap = 0;
    QElapsedTimer frameClock;
    frameClock.start();
    const auto gaps = QObject::connect(&view, &QOpenGLWidget::frameSwapped, [&] {
        longestGap = std::max(longestGap, frameClock.elapsed() - lastFrame);
        lastFrame = frameClock.elapsed();
    });
    controller.additions().markers().scrubTo(50);
    clock.start();
    field->setText(QStringLiteral("1.3113"));
    emit field->textEdited(field->text());
    const double held = clock.nsecsElapsed() / 1e6;
    lastFrame = frameClock.elapsed();
    longestGap = 0;
    // Keep the plot drawing while the run is under way.
    int step = 0;
    while (delegate.parameterRuns()->isRunningInBackground()) {
        controller.additions().markers().scrubTo(40 + (++step % 20));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    const double decided = clock.nsecsElapsed() / 1e6;
    QObject::disconnect(gaps);
    std::printf("q = 1.3113 (full step budget): UI thread held %.1f ms by the keystroke, refused after %.0f ms, "
                "longest gap between frames meanwhile %lld ms\n",
                held, decided, longestGap);
    return 0;
}
