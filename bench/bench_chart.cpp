// What the time-series chart costs the user-interface thread: moving its
// marker line, as every playback tick and scrub does (the setter alone, and
// with the repaint it causes), and filling it once after start-up. Needs a
// display (xvfb-run -a with LIBGL_ALWAYS_SOFTWARE=1 and QT_QPA_PLATFORM=xcb).
#include "Simulation.h"
#include "TimeSeries.h"
#include "TimeSeriesChart.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>

namespace {

const cosmophase::TimeSeries& runSeries()
{
    static const cosmophase::TimeSeries series = [] {
        cosmophase::Simulation simulation;
        simulation.initialize();
        simulation.runSimulation();
        return cosmophase::timeSeriesOf({simulation.getz2Data(), simulation.getw0Data(), simulation.getw2Data(),
                                         simulation.getTimeData()});
    }();
    return series;
}

void settle(int millis)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < millis)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Shown at about its size in the default window, filled and laid out.
TimeSeriesChart& shownChart()
{
    static TimeSeriesChart* chart = [] {
        auto* shown = new TimeSeriesChart;
        shown->resize(650, 530);
        shown->setSeries(runSeries());
        shown->show();
        settle(500);
        return shown;
    }();
    return *chart;
}

// Playback moves the marker a few samples at a time through the run.
int nextIndex(int index)
{
    return (index + 7) % static_cast<int>(runSeries().time.size());
}

void BM_MoveMarker(benchmark::State& state)
{
    TimeSeriesChart& chart = shownChart();
    int index = 0;
    for (auto _ : state) {
        chart.setMarkerIndex(index);
        index = nextIndex(index);
    }
    settle(50);
}
BENCHMARK(BM_MoveMarker);

void BM_MoveMarkerAndRepaint(benchmark::State& state)
{
    TimeSeriesChart& chart = shownChart();
    int index = 0;
    for (auto _ : state) {
        chart.setMarkerIndex(index);
        QCoreApplication::processEvents();
        index = nextIndex(index);
    }
}
BENCHMARK(BM_MoveMarkerAndRepaint);

void BM_FillChart(benchmark::State& state)
{
    TimeSeriesChart& chart = shownChart();
    for (auto _ : state) {
        chart.setSeries(runSeries());
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_FillChart)->Unit(benchmark::kMillisecond);

// The refill alone, without the repaint it causes.
void BM_RefillSeries(benchmark::State& state)
{
    TimeSeriesChart& chart = shownChart();
    for (auto _ : state)
        chart.setSeries(runSeries());
    settle(50);
}
BENCHMARK(BM_RefillSeries)->Unit(benchmark::kMillisecond);

// What the empty chart adds to the window's first paint.
void BM_BuildAndPaintEmptyChart(benchmark::State& state)
{
    for (auto _ : state) {
        TimeSeriesChart chart;
        chart.resize(650, 530);
        benchmark::DoNotOptimize(chart.grab());
    }
}
BENCHMARK(BM_BuildAndPaintEmptyChart)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
