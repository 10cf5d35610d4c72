// Processor time of one phase-plane frame with the full curve set, drawn
// the way MyOpenGLView::paintGL draws it, into an 800 x 600 framebuffer;
// argument 1 adds 50 traces spread over the square and the nullclines.
// Needs a display: run under xvfb-run with LIBGL_ALWAYS_SOFTWARE=1.
#include "CurveSet.h"
#include "FrameContent.h"
#include "PhasePlaneRenderer.h"
#include "PlotGeometry.h"
#include "SolutionTrace.h"

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
    }
    ~Scene()
    {
        m_renderer.releaseGL();
        m_fbo.reset();
        m_context.doneCurrent();
    }

    // Moving the marker is part of every frame's cost, as in the view.
    void drawFrame(int index, bool withOverlays)
    {
        const cosmophase::Curve& t = m_curves.trajectory();
        const auto i = static_cast<std::size_t>(index) % t.size();
        cosmophase::plot::FrameContent& content = withOverlays ? m_added : m_plain;
        content.setMarker({t.x[i], t.y[i]});
        m_renderer.drawFrame(content);
    }

private:
    QOffscreenSurface m_surface;
    QOpenGLContext m_context;
    std::unique_ptr<QOpenGLFramebufferObject> m_fbo;
    cosmophase::CurveSet m_curves;
    cosmophase::PhasePlaneRenderer m_renderer;
    cosmophase::plot::FrameContent m_plain;
    cosmophase::plot::FrameContent m_added;
};

Scene* scene = nullptr;

// What paintGL spends: issuing the frame, ending with glFlush.
void BM_PaintFrame(benchmark::State& state)
{
    int index = 0;
    for (auto _ : state)
        scene->drawFrame(index++, state.range(0) != 0);
    glFinish();
}
BENCHMARK(BM_PaintFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same frame waited for until rasterised, for comparison.
void BM_PaintFrameFinished(benchmark::State& state)
{
    int index = 0;
    for (auto _ : state) {
        scene->drawFrame(index++, state.range(0) != 0);
        glFinish();
    }
}
BENCHMARK(BM_PaintFrameFinished)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

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
