// The phase plane's frame rate with the time-series chart shown against
// hidden, in one run of the application during playback (the chart's marker
// moves on every tick). Phases of 2 s alternate shown and hidden; the first
// 0.5 s of each is skipped. Prints the median title figure of each and their
// ratio. Run under a display (scripts/measure-chart-fps uses Xvfb).
#include "AppDelegate.h"
#include "MasterViewController.h"
#include "MyOpenGLView.h"
#include "TimeSeriesChart.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QSurfaceFormat>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kPhases = 8;
constexpr qint64 kPhaseMillis = 2000;
constexpr qint64 kSkipMillis = 500;

int median(std::vector<int> figures)
{
    if (figures.empty())
        return 0;
    std::nth_element(figures.begin(), figures.begin() + figures.size() / 2, figures.end());
    return figures[figures.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    QSurfaceFormat::setDefaultFormat(MyOpenGLView::defaultSurfaceFormat());
    QApplication app(argc, argv);

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    MasterViewController& controller = *delegate.masterViewController();
    TimeSeriesChart& chart = *controller.timeSeriesChart();
    QMainWindow& window = *delegate.window();

    std::vector<int> shown;
    std::vector<int> hidden;
    QElapsedTimer phaseClock;
    int phase = -1;
    QObject::connect(controller.openGLView(), &QOpenGLWidget::frameSwapped, &app, [&] {
        if (phase < 0) {
            // Start once the chart is filled, as a user would find it.
            if (chart.series().time.empty())
                return;
            controller.simToggle();
            phase = 0;
            phaseClock.start();
            return;
        }
        if (phaseClock.elapsed() >= kPhaseMillis) {
            if (++phase == kPhases) {
                QApplication::quit();
                return;
            }
            chart.setVisible(phase % 2 == 0);
            phaseClock.start();
            return;
        }
        if (phaseClock.elapsed() >= kSkipMillis)
            (phase % 2 == 0 ? shown : hidden).push_back(window.windowTitle().section(QLatin1Char(' '), 0, 0).toInt());
    });
    QApplication::exec();

    const int shownFps = median(shown);
    const int hiddenFps = median(hidden);
    std::printf("chart shown:  median %d fps (%zu frames)\n", shownFps, shown.size());
    std::printf("chart hidden: median %d fps (%zu frames)\n", hiddenFps, hidden.size());
    std::printf("ratio: %.1f%%\n", hiddenFps > 0 ? 100.0 * shownFps / hiddenFps : 0.0);
    return 0;
}
