// Processor time of one phase-plane frame with the full curve set, drawn
// the way MyOpenGLView::paintGL draws it, into an 800 x 600 framebuffer;
// argument 1 adds 50 traces spread over the square and the nullclines,
// 2 a family of 50 runs, 3 ten pinned runs.
// The zoomed frames are drawn from the full point lists cut to the window.
// Needs a display: run under xvfb-run with LIBGL_ALWAYS_SOFTWARE=1.
#include "BenchRuns.h"
#include "CurveSet.h"
#include "FrameContent.h"
#include "PhasePlaneRenderer.h"
#include "PlotGeometry.h"
#include "PlotWindow.h"
#include "RunCurvesRenderer.h"
#include "SolutionTrace.h"
#include "WindowedContent.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// One GL context with a depth-buffered framebuffer and a prepared renderer.
class Scene {
public:
    Scene()
    {
        QSurfaceFormat fmt;
        fmt.setProfile(QSurfaceFormat::CompatibilityProfile);
        fmt.setDepthBufferSize(24);
        m_surface.setFormat(fmt);
        m_surface.create();
        m_context.setFormat(fmt);
        m_context.create();
        m_context.makeCurrent(&m_surface);
        m_fbo = std::make_unique<QOpenGLFramebufferObject>(
            kWidth, kHeight, QOpenGLFramebufferObject::CombinedDepthStencil);
        m_fbo->bind();
        m_curves.initialize();
        m_renderer.createGL();
        m_plain.setCurves(m_curves);
        m_plain.setVisibility({true, true, true});
        m_added = m_plain;
        cosmophase::PhasePlaneRenderer::setUpSurface(kWidth, kHeight);
        std::vector<cosmophase::SolutionTrace> traces;
        for (int i = 0; i < 10; ++i)
            for (int j = 0; j < 5; ++j)
                traces.push_back(cosmophase::traceThrough(-1.9 + 0.38 * (i + 0.5), -1.9 + 0.76 * (j + 0.5)));
        m_added.setTraces(traces);
        m_added.setShowNullclines(true);
        m_family = benchRunsOf("0.9999999:0.5:50:log", false);
        m_family.layOut({});
        m_pinned = benchRunsOf("0.9999999:0.5:10:log", true);
        m_pinned.layOut({});
    }
    ~Scene()
    {
        m_renderer.releaseGL();
        m_fbo.reset();
        m_context.doneCurrent();
    }

    // Moving the marker is part of every frame's cost, as in the view.
    void drawFrame(int index, int added)
    {
        const cosmophase::Curve& t = m_curves.trajectory();
        const auto i = static_cast<std::size_t>(index) % t.size();
        cosmophase::plot::FrameContent& content = added == 1 ? m_added : m_plain;
        content.setMarker({t.x[i], t.y[i]});
        if (added < 2) {
            m_renderer.drawFrame(content);
            return;
        }
        const cosmophase::plot::RunCurves& runs = added == 2 ? m_family : m_pinned;
        m_renderer.drawFrame(content, [&runs] { cosmophase::RunCurvesRenderer::draw(runs); });
    }

    // Zoomed `factor` times about `centre`, as the view draws once zoomed;
    // the projection is set once, as on a zoom.
    void zoomTo(cosmophase::plot::Point centre, double factor)
    {
        cosmophase::plot::PlotWindow window;
        window.zoomAbout(centre, factor);
        m_windowed.rebuild(m_plain, m_curves, {}, window);
        cosmophase::PhasePlaneRenderer::setUpSurface(kWidth, kHeight, window);
    }
    void drawZoomedFrame(int index)
    {
        const cosmophase::Curve& t = m_curves.trajectory();
        const auto i = static_cast<std::size_t>(index) % t.size();
        m_plain.setMarker({t.x[i], t.y[i]});
        m_renderer.drawFrame(m_windowed.content(m_plain));
    }
    void unzoom() { cosmophase::PhasePlaneRenderer::setUpSurface(kWidth, kHeight); }
    void rebuild(cosmophase::plot::Point centre, double factor) { zoomTo(centre, factor); }

private:
    QOffscreenSurface m_surface;
    QOpenGLContext m_context;
    std::unique_ptr<QOpenGLFramebufferObject> m_fbo;
    cosmophase::CurveSet m_curves;
    cosmophase::PhasePlaneRenderer m_renderer;
    cosmophase::plot::FrameContent m_plain;
    cosmophase::plot::FrameContent m_added;
    cosmophase::plot::WindowedContent m_windowed;
    cosmophase::plot::RunCurves m_family;
    cosmophase::plot::RunCurves m_pinned;
};

Scene* scene = nullptr;

// What paintGL spends: issuing the frame, ending with glFlush.
void BM_PaintFrame(benchmark::State& state)
{
    int index = 0;
    for (auto _ : state)
        scene->drawFrame(index++, static_cast<int>(state.range(0)));
    glFinish();
}
BENCHMARK(BM_PaintFrame)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// The same frame waited for until rasterised, for comparison.
void BM_PaintFrameFinished(benchmark::State& state)
{
    int index = 0;
    for (auto _ : state) {
        scene->drawFrame(index++, static_cast<int>(state.range(0)));
        glFinish();
    }
}
BENCHMARK(BM_PaintFrameFinished)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// Zoomed frames: argument 0 the saddle 25 times, 1 the middle of the run
// 4 times, 2 the saddle 2,000 times.
const cosmophase::plot::Point kZoomCentres[] = {{0, 0}, {-0.7, 0.25}, {0, 0}};
const double kZoomFactors[] = {25, 4, 2000};

void BM_PaintZoomedFrame(benchmark::State& state)
{
    const auto k = static_cast<std::size_t>(state.range(0));
    scene->zoomTo(kZoomCentres[k], kZoomFactors[k]);
    int index = 0;
    for (auto _ : state)
        scene->drawZoomedFrame(index++);
    glFinish();
    scene->unzoom();
}
BENCHMARK(BM_PaintZoomedFrame)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// What one wheel notch costs before the next frame: cutting every curve to
// the new window and laying out the grid and the field.
void BM_RebuildZoomedContent(benchmark::State& state)
{
    const auto k = static_cast<std::size_t>(state.range(0));
    for (auto _ : state)
        scene->rebuild(kZoomCentres[k], kZoomFactors[k]);
    scene->unzoom();
}
BENCHMARK(BM_RebuildZoomedContent)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Scene built;
    scene = &built;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
