// Save Figure at 1x, as the menu command does it for the opening picture:
// the phase plane with its axes painted from the prepared frame content,
// encoded as SVG, PDF or PNG and written atomically. The SVG's size is
// reported as a counter. Needs no display (Qt's offscreen platform).
#include "CurveSet.h"
#include "FigureWriter.h"
#include "FrameContent.h"
#include "PhasePlaneFigure.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QPainter>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

constexpr int kSide = 630;

const cosmophase::plot::FrameContent& startupContent()
{
    static const cosmophase::plot::FrameContent content = [] {
        cosmophase::CurveSet curves;
        curves.initialize();
        cosmophase::plot::FrameContent built;
        built.setCurves(curves);
        built.setVisibility({true, true, true});
        built.setMarker({curves.trajectory().x.front(), curves.trajectory().y.front()});
        return built;
    }();
    return content;
}

void BM_SaveFigure(benchmark::State& state, const char* name)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(name));
    const cosmophase::plot::FrameContent& content = startupContent();
    for (auto _ : state) {
        const PhasePlaneFigure figure(content, kSide, QGuiApplication::font());
        const cosmophase::WriteResult result = cosmophase::writeFigure(
            path, figure.size(), [&figure](QPainter& painter) { figure.paint(painter); }, QStringLiteral("bench"));
        if (!result.ok)
            state.SkipWithError(result.error.c_str());
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(path).size());
}
BENCHMARK_CAPTURE(BM_SaveFigure, svg, "figure.svg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveFigure, pdf, "figure.pdf")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveFigure, png, "figure.png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveFigure, png_4x, "figure@4x.png")->Unit(benchmark::kMillisecond);

} // namespace
