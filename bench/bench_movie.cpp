// What a movie's frame costs before the encoder, at --size 720: painting it
// (a copy of the still part, the marker, the equilibria), against painting
// the whole figure as a PNG does, and converting it to YUV 4:2:0 (only the
// rows that differ from the first frame) or to the GIF palette. The frames
// step through the run as a 600-frame movie does. Needs no display.
#include "FrameConverter.h"
#include "GifPalette.h"
#include "MovieFrames.h"
#include "MovieRequest.h"
#include "SessionFigure.h"
#include "Simulation.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>

namespace {

constexpr int kSide = 720;
constexpr int kFrames = 600;

cosmophase::Simulation defaultRun()
{
    cosmophase::Simulation run;
    run.initialize(cosmophase::Session{}.parameters());
    run.runSimulationBounded();
    return run;
}

struct Movie {
    cosmophase::plot::Point marker(int frame) const
    {
        cosmophase::MovieRequest request;
        const std::size_t sample = request.frameSample(times, frame);
        return {trajectory.x[sample], trajectory.y[sample]};
    }
    cosmophase::Simulation run = defaultRun();
    cosmophase::Curve trajectory{run.getz2Data(), run.getw0Data()};
    const std::vector<double>& times = run.getTimeData();
    cosmophase::SessionScene scene{cosmophase::Session{}, trajectory, kSide, QGuiApplication::font()};
};

const Movie& movie()
{
    static const Movie made;
    return made;
}

void BM_PaintWholeFigure(benchmark::State& state)
{
    const PhasePlaneFigure& figure = movie().scene.figure();
    for (auto _ : state) {
        QImage image(figure.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        figure.paint(painter);
    }
}
BENCHMARK(BM_PaintWholeFigure)->Unit(benchmark::kMillisecond);

void BM_PaintFrame(benchmark::State& state)
{
    const cosmophase::MovieFrames frames(movie().scene.figure(), movie().scene.figure().size());
    int frame = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(frames.frame(movie().marker(frame++ % kFrames)));
}
BENCHMARK(BM_PaintFrame)->Unit(benchmark::kMicrosecond);

void BM_ConvertFrame(benchmark::State& state, bool gif)
{
    const cosmophase::MovieFrames frames(movie().scene.figure(), movie().scene.figure().size());
    std::vector<QImage> pictures;
    for (int frame = 0; frame < kFrames; frame += 20)
        pictures.push_back(frames.frame(movie().marker(frame)));
    const std::unique_ptr<cosmophase::FrameConverter> converter =
        gif ? std::unique_ptr<cosmophase::FrameConverter>(std::make_unique<cosmophase::GifPalette>(
                  16, [&pictures](int i) { return pictures[static_cast<std::size_t>(i)]; }))
            : std::make_unique<cosmophase::YuvConverter>(pictures.front());
    std::size_t next = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(converter->convert(pictures[next++ % pictures.size()]));
}
BENCHMARK_CAPTURE(BM_ConvertFrame, yuv, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ConvertFrame, gif, true)->Unit(benchmark::kMicrosecond);

} // namespace
