#include "MyOpenGLView.h"

#include "FrameRate.h"
#include "RunCurvesRenderer.h"

#include <QOpenGLContext>
#include <QString>
#include <QWindow>

#include <utility>

MyOpenGLView::MyOpenGLView(QWidget* parent)
    : QOpenGLWidget(parent)
{
    // Also correct when the application forgot the default format: the
    // widget's own framebuffer then still gets its depth buffer.
    QSurfaceFormat fmt = format();
    fmt.setDepthBufferSize(defaultSurfaceFormat().depthBufferSize());
    setFormat(fmt);
}

MyOpenGLView::~MyOpenGLView()
{
    releaseGL();
    // The base class destroys the context after this object is gone.
    if (QOpenGLContext* const ctx = context())
        disconnect(ctx, nullptr, this, nullptr);
}

QSurfaceFormat MyOpenGLView::defaultSurfaceFormat()
{
    QSurfaceFormat fmt;
    fmt.setRenderableType(QSurfaceFormat::OpenGL);
    fmt.setProfile(QSurfaceFormat::CompatibilityProfile);
    fmt.setSwapInterval(1);
    fmt.setDepthBufferSize(24);
    return fmt;
}

void MyOpenGLView::setSimIndex(int index)
{
    m_sim_index = index;
    if (m_sim_index < 0)
        m_sim_index = 0;
    const auto count = static_cast<std::int64_t>(m_curves.trajectory().size());
    if (count > 0 && m_sim_index >= count)
        m_sim_index = static_cast<std::int32_t>(count - 1);
    updateMarker();
    changed();
}

void MyOpenGLView::toggleShowStable()
{
    m_show_stable_man = !m_show_stable_man;
    updateVisibility();
    changed();
    emit layersChanged();
}

void MyOpenGLView::toggleShowUnstable()
{
    m_show_unstable_man = !m_show_unstable_man;
    updateVisibility();
    changed();
    emit layersChanged();
}

void MyOpenGLView::toggleShowFamily()
{
    m_show_family_curve = !m_show_family_curve;
    updateVisibility();
    changed();
    emit layersChanged();
}

void MyOpenGLView::setTraces(const std::vector<cosmophase::SolutionTrace>& traces)
{
    shareTraces(std::make_shared<const std::vector<cosmophase::SolutionTrace>>(traces));
}

void MyOpenGLView::shareTraces(std::shared_ptr<const std::vector<cosmophase::SolutionTrace>> traces)
{
    m_content.setTraces(*traces);
    m_traces = std::move(traces);
    markWindowedStale();
    changed();
    emit layersChanged();
}

void MyOpenGLView::setShowNullclines(bool show)
{
    m_content.setShowNullclines(show);
    changed();
    emit layersChanged();
}

void MyOpenGLView::setShowDirectionField(bool show)
{
    m_content.setShowDirectionField(show);
    changed();
    emit layersChanged();
}

void MyOpenGLView::setRunCurves(cosmophase::plot::RunCurves runs)
{
    // Runs already shown keep their strips: recolouring one of fifty cuts none.
    runs.layOut(m_window, m_runs);
    m_runs = std::move(runs);
    changed();
    emit layersChanged();
}

void MyOpenGLView::setPlotWindow(const cosmophase::plot::PlotWindow& window)
{
    m_window = window;
    m_projection_stale = true;
    markWindowedStale();
    if (!m_runs.empty())
        m_runs.layOut(m_window);
    update();
    emit plotWindowChanged(m_window);
}

void MyOpenGLView::setRedrawWhenIdle(bool on)
{
    m_redraw_when_idle = on;
    update();
}

const cosmophase::plot::FrameContent& MyOpenGLView::shownContent()
{
    if (m_window.isFull())
        return m_content;
    if (std::exchange(m_windowed_stale, false))
        m_windowed.rebuild(m_content, m_curves, *m_traces, m_window);
    return m_windowed.content(m_content);
}

void MyOpenGLView::markWindowedStale()
{
    // Once, when next shown: a session's zoom, traces and curves arrive
    // one after another before the first frame.
    m_windowed_stale = true;
}

void MyOpenGLView::changed()
{
    if (!m_redraw_when_idle)
        update();
}

void MyOpenGLView::setTrajectory(const cosmophase::Curve& trajectory)
{
    m_replaced_trajectory = trajectory;
    applyReplacedTrajectory();
    markWindowedStale();
    setSimIndex(m_sim_index);
    emit layersChanged();
}

void MyOpenGLView::setShowDefaultTrajectory(bool show)
{
    m_content.setShowDefaultTrajectory(show);
    changed();
    emit layersChanged();
}

void MyOpenGLView::applyReplacedTrajectory()
{
    // Before the first build there is nothing to replace; initialize() applies it.
    if (!m_replaced_trajectory || !m_curves.isBuilt())
        return;
    m_curves.setTrajectory(*m_replaced_trajectory);
    m_content.setTrajectory(m_curves.trajectory());
}

void MyOpenGLView::initializeGL()
{
    // A new context (first show, or a move to another window) needs its own
    // quadric; the old one went with the old context.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &MyOpenGLView::releaseGL);
    m_renderer.createGL();
    applySurfaceSetUp();
    initialize();
}

void MyOpenGLView::initialize()
{
    m_curves.initialize();
    m_content.setCurves(m_curves);
    applyReplacedTrajectory();
    updateVisibility();
    markWindowedStale();
    emit layersChanged();
    setSimIndex(m_sim_index);
}

void MyOpenGLView::updateMarker()
{
    const cosmophase::Curve& trajectory = m_curves.trajectory();
    if (trajectory.empty())
        return;
    const auto index = static_cast<std::size_t>(m_sim_index);
    m_content.setMarker({trajectory.x[index], trajectory.y[index]});
}

void MyOpenGLView::updateVisibility()
{
    m_content.setVisibility({m_show_family_curve, m_show_unstable_man, m_show_stable_man});
}

void MyOpenGLView::releaseGL()
{
    if (!m_renderer.hasGL())
        return;
    makeCurrent();
    m_renderer.releaseGL();
    doneCurrent();
}

void MyOpenGLView::resizeGL(int, int)
{
    applySurfaceSetUp();
}

void MyOpenGLView::applySurfaceSetUp()
{
    // Device pixels, so that the plot fills the widget on a high-density screen.
    const qreal ratio = devicePixelRatioF();
    cosmophase::PhasePlaneRenderer::setUpSurface(static_cast<int>(width() * ratio),
                                                 static_cast<int>(height() * ratio), m_window);
    m_projection_stale = false;
}

void MyOpenGLView::paintGL()
{
    if (m_projection_stale)
        applySurfaceSetUp();
    // Ready before the frame is counted: a zoomed frame's geometry is part of it.
    const cosmophase::plot::FrameContent& content = shownContent();
    updateFrameRateTitle();
    if (m_runs.empty())
        m_renderer.drawFrame(content);
    else
        m_renderer.drawFrame(content, [this] { cosmophase::RunCurvesRenderer::draw(m_runs); });
    if (m_redraw_when_idle)
        update();
}

void MyOpenGLView::updateFrameRateTitle()
{
    const std::int64_t now = cosmophase::microsSinceProgramStart();
    const int fps = cosmophase::framesPerSecond(now - m_lastTicks);
    m_lastTicks = now;
    // Frames drawn on demand are no rate: the title keeps the last one.
    if (!m_redraw_when_idle)
        return;
    // A top-level view is its own window and gets the title. A view that is
    // not part of any on-screen window (never shown, only rendered into an
    // image) has no window to title.
    QWidget* const win = window();
    if (win->windowHandle() == nullptr)
        return;
    win->setWindowTitle(QString::asprintf("%d fps", fps));
}
