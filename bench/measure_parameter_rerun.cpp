// What a change of the parameters costs in the running application, under
// a display (scripts/measure-parameter-rerun uses Xvfb):
//  - from a changed value to the frame that shows the new run: the q slider
//    is set to a new position (the run, the view's trajectory and the
//    chart's refill happen in that call) and the clock stops at the plot's
//    next swapped frame; 40 changes, median and worst;
//  - a drag of the q slider: held down, a new position every 16 ms for 4 s,
//    counting the plot's frames (the chart follows when the drag rests).
#include "AppDelegate.h"
#include "MasterViewController.h"
#include "MyOpenGLView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QSlider>
#include <QSurfaceFormat>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void settle(int millis)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < millis)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
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
    return 0;
}
