// What the Samples window costs the user-interface thread: building it over
// the default run's 5,923 samples and painting it (what View ▸ Samples does
// before the window system shows it), and following the marker as every
// playback tick does, alone and with the repaint it causes, and scrolling a
// page with its repaint. Processor time
// is the figure to read on a shared machine. Needs a display (xvfb-run -a
// with QT_QPA_PLATFORM=xcb).
#include "SamplesWindow.h"
#include "Simulation.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTableView>

namespace {

const cosmophase::Simulation& defaultRun()
{
    static const cosmophase::Simulation* run = [] {
        auto* simulation = new cosmophase::Simulation;
        simulation->initialize();
        simulation->runSimulation();
        return simulation;
    }();
    return *run;
}

SamplesWindow* newWindow()
{
    const cosmophase::Simulation& run = defaultRun();
    auto* window = new SamplesWindow(run.getz2Data(), run.getw0Data(), run.getw2Data(), run.getTimeData());
    window->resize(700, 728);
    return window;
}

void settle(int millis)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < millis)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

void BM_BuildAndPaint(benchmark::State& state)
{
    for (auto _ : state) {
        SamplesWindow* window = newWindow();
        window->showMarker(2554);
        benchmark::DoNotOptimize(window->grab());
        delete window;
    }
}
BENCHMARK(BM_BuildAndPaint)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

SamplesWindow& shownWindow()
{
    static SamplesWindow* window = [] {
        SamplesWindow* shown = newWindow();
        shown->show();
        settle(500);
        return shown;
    }();
    return *window;
}

// Playback moves the marker a few samples at a time through the run.
int nextIndex(int index)
{
    return (index + 7) % static_cast<int>(defaultRun().getTimeData().size());
}

void BM_FollowMarker(benchmark::State& state)
{
    SamplesWindow& window = shownWindow();
    int index = 0;
    for (auto _ : state) {
        window.showMarker(index);
        index = nextIndex(index);
    }
    settle(50);
}
BENCHMARK(BM_FollowMarker)->MeasureProcessCPUTime();

void BM_FollowMarkerAndRepaint(benchmark::State& state)
{
    SamplesWindow& window = shownWindow();
    int index = 0;
    for (auto _ : state) {
        window.showMarker(index);
        QCoreApplication::processEvents();
        index = nextIndex(index);
    }
}
BENCHMARK(BM_FollowMarkerAndRepaint)->MeasureProcessCPUTime();

// A page of new rows, as a drag of the scroll bar shows them.
void BM_ScrollPageAndRepaint(benchmark::State& state)
{
    QScrollBar& bar = *shownWindow().table()->verticalScrollBar();
    int direction = 1;
    for (auto _ : state) {
        if (bar.value() == (direction > 0 ? bar.maximum() : bar.minimum()))
            direction = -direction;
        bar.setValue(bar.value() + direction * bar.pageStep());
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ScrollPageAndRepaint)->MeasureProcessCPUTime();

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
