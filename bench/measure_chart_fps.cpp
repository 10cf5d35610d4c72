// The phase plane's frame rate with the time-series chart shown against
// hidden, in one run of the application during playback (the chart's marker
// moves on every tick). The plot's own cost changes along the run, so short
// phases of 250 ms go shown, hidden, hidden, shown, and again, through 16 s
// of the playback; the first 60 ms after each switch are skipped. Prints the
// frame rate over all frames of each (frames / their total duration) and the
// median of the window title's figure, and the ratios. Prints the median title figure of each and their
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

constexpr int kPhases = 64;
constexpr qint64 kPhaseMillis = 250;
constexpr qint64 kSkipMillis = 60;

bool chartShownIn(int phase)
{
    return ((phase + 1) / 2) % 2 == 0;
}

struct Frames {
    std::vector<int> titleFigures;
    qint64 nanos = 0;

    double rate() const { return nanos > 0 ? titleFigures.size() / (nanos / 1e9) : 0.0; }
};

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
    TimeSeriesChart& chart = *controller.additions().timeSeriesChart();
    QMainWindow& window = *delegate.window();

    Frames shown;
    Frames hidden;
    QElapsedTimer phaseClock;
    QElapsedTimer frameClock;
    int phase = -1;
    QObject::connect(controller.openGLView(), &QOpenGLWidget::frameSwapped, &app, [&] {
        if (phase < 0) {
            // Start once the chart is filled, as a user would find it.
            if (chart.series().time.empty())
                return;
            controller.simToggle();
            phase = 0;
            phaseClock.start();
            frameClock.start();
            return;
        }
        if (phaseClock.elapsed() >= kPhaseMillis) {
            if (++phase == kPhases) {
                QApplication::quit();
                return;
            }
            chart.setVisible(chartShownIn(phase));
            phaseClock.start();
            return;
        }
        const qint64 interval = frameClock.nsecsElapsed();
        frameClock.start();
        if (phaseClock.elapsed() >= kSkipMillis) {
            Frames& frames = chartShownIn(phase) ? shown : hidden;
            frames.titleFigures.push_back(window.windowTitle().section(QLatin1Char(' '), 0, 0).toInt());
            frames.nanos += interval;
        }
    });
    QApplication::exec();

    for (const auto& [name, frames] : {std::pair{"shown: ", &shown}, std::pair{"hidden:", &hidden}})
        std::printf("chart %s %.1f fps over %zu frames, median title %d fps\n", name, frames->rate(),
                    frames->titleFigures.size(), median(frames->titleFigures));
    const int hiddenMedian = median(hidden.titleFigures);
    std::printf("ratio shown/hidden: %.1f%% (frames), %.1f%% (median titles)\n",
                hidden.rate() > 0 ? 100.0 * shown.rate() / hidden.rate() : 0.0,
                hiddenMedian > 0 ? 100.0 * median(shown.titleFigures) / hiddenMedian : 0.0);
    return 0;
}
