// Frame rate of the phase-plane view against a bare GL widget that draws
// only a grid and one dot, both at 800 x 600 and both reporting "N fps" in
// their window title the same way; and of the view with 50 traces and the
// nullclines on against the view without them, and zoomed on the saddle
// against unzoomed, and with a family of 50 runs and with 10 pinned runs
// against the view without them. Prints the median title figure of each over 5 s. Run under a display (scripts/measure-view-fps
// uses Xvfb).
#include "BenchRuns.h"
#include "FrameRate.h"
#include "MyOpenGLView.h"
#include "PhasePlaneRenderer.h"
#include "PlotGeometry.h"
#include "PlotWindow.h"
#include "SolutionTrace.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QOpenGLWidget>
#include <QTimer>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace plot = cosmophase::plot;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr qint64 kMeasureMillis = 5000;
constexpr int kTraceColumns = 10;
constexpr int kTraceRows = 5;

// The baseline: same surface set-up and frame-rate title, minimal content.
class BareView : public QOpenGLWidget {
public:
    ~BareView() override
    {
        makeCurrent();
        gluDeleteQuadric(m_quadric);
        doneCurrent();
    }

protected:
    void initializeGL() override { m_quadric = gluNewQuadric(); }
    void resizeGL(int, int) override
    {
        const qreal ratio = devicePixelRatioF();
        cosmophase::PhasePlaneRenderer::setUpSurface(static_cast<int>(width() * ratio),
                                                     static_cast<int>(height() * ratio));
    }
    void paintGL() override
    {
        const std::int64_t now = cosmophase::microsSinceProgramStart();
        setWindowTitle(QString::asprintf("%d fps", cosmophase::framesPerSecond(now - m_lastTicks)));
        m_lastTicks = now;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glColor3f(1, 0, 0);
        gluDisk(m_quadric, 0, plot::kDotRadius, plot::kDiskSlices, plot::kDiskLoops);
        glColor3f(0.7f, 0.7f, 0.7f);
        glLineWidth(1);
        glLineStipple(plot::kGridStippleFactor, plot::kGridStipple);
        glEnable(GL_LINE_STIPPLE);
        glBegin(GL_LINES);
        for (double v : plot::gridLines()) {
            glVertex2d(v, -2);
            glVertex2d(v, 2);
            glVertex2d(-2, v);
            glVertex2d(2, v);
        }
        glEnd();
        glDisable(GL_LINE_STIPPLE);
        glFlush();
        update();
    }

private:
    GLUquadric* m_quadric = nullptr;
    std::int64_t m_lastTicks = 0;
};

struct FrameRates {
    int medianTitle = 0;
    double counted = 0; // frames drawn over the period, per second
};

// Shows the widget, waits for its first frame, then collects its title
// figure at every frame for the measuring period. The title figure is whole
// milliseconds, so the counted rate resolves smaller differences.
FrameRates measureFps(QOpenGLWidget& widget)
{
    std::vector<int> figures;
    QElapsedTimer clock;
    QEventLoop loop;
    QObject::connect(&widget, &QOpenGLWidget::frameSwapped, &loop, [&] {
        if (!clock.isValid()) {
            clock.start(); // the first frame includes building the curve set
            return;
        }
        figures.push_back(widget.windowTitle().section(QLatin1Char(' '), 0, 0).toInt());
        if (clock.elapsed() >= kMeasureMillis)
            loop.quit();
    });
    widget.resize(kWidth, kHeight);
    widget.show();
    loop.exec();
    widget.hide();
    if (figures.empty())
        return {};
    const double counted = 1000.0 * static_cast<double>(figures.size()) / static_cast<double>(clock.elapsed());
    std::nth_element(figures.begin(), figures.begin() + figures.size() / 2, figures.end());
    return {figures[figures.size() / 2], counted};
}

// Traces from a 10 x 5 grid of points spread over the square.
std::vector<cosmophase::SolutionTrace> spreadTraces()
{
    std::vector<cosmophase::SolutionTrace> traces;
    for (int i = 0; i < kTraceColumns; ++i)
        for (int j = 0; j < kTraceRows; ++j)
            traces.push_back(cosmophase::traceThrough(-1.9 + 3.8 * (i + 0.5) / kTraceColumns,
                                                      -1.9 + 3.8 * (j + 0.5) / kTraceRows));
    return traces;
}

} // namespace

int main(int argc, char** argv)
{
    QSurfaceFormat::setDefaultFormat(MyOpenGLView::defaultSurfaceFormat());
    QApplication app(argc, argv);

    MyOpenGLView view;
    const FrameRates viewFps = measureFps(view);
    BareView bare;
    const FrameRates bareFps = measureFps(bare);
    MyOpenGLView explored;
    const std::vector<cosmophase::SolutionTrace> traces = spreadTraces();
    explored.setTraces(traces);
    explored.setShowNullclines(true);
    const FrameRates exploredFps = measureFps(explored);

    // Zoomed on the saddle 25 times: drawn from the full point lists.
    MyOpenGLView zoomed;
    cosmophase::plot::PlotWindow window;
    window.zoomAbout({0, 0}, 25);
    zoomed.setPlotWindow(window);
    const FrameRates zoomedFps = measureFps(zoomed);

    // Each against a plain view measured just before it, so that a change
    // in the machine's load between the two counts for little.
    MyOpenGLView plainBeforeFamily;
    const FrameRates beforeFamilyFps = measureFps(plainBeforeFamily);
    MyOpenGLView family;
    family.setRunCurves(benchRunsOf("0.9999999:0.5:50:log", false));
    const FrameRates familyFps = measureFps(family);
    MyOpenGLView plainBeforePinned;
    const FrameRates beforePinnedFps = measureFps(plainBeforePinned);
    MyOpenGLView pinned;
    pinned.setRunCurves(benchRunsOf("0.9999999:0.5:10:log", true));
    const FrameRates pinnedFps = measureFps(pinned);

    const auto ratio = [](double part, double whole) { return whole > 0 ? 100.0 * part / whole : 0.0; };
    std::printf("view: median %d fps (counted %.1f)\n", viewFps.medianTitle, viewFps.counted);
    std::printf("bare: median %d fps (counted %.1f)\n", bareFps.medianTitle, bareFps.counted);
    std::printf("ratio: %.1f%%\n", ratio(viewFps.medianTitle, bareFps.medianTitle));
    std::size_t points = 0;
    for (const cosmophase::SolutionTrace& t : traces)
        points += t.forward.size() + t.backward.size();
    std::printf("view with %zu traces (%zu points) and the nullclines: median %d fps (counted %.1f)\n",
                traces.size(), points, exploredFps.medianTitle, exploredFps.counted);
    std::printf("ratio to the view without them: %.1f%% (counted %.1f%%)\n",
                ratio(exploredFps.medianTitle, viewFps.medianTitle), ratio(exploredFps.counted, viewFps.counted));
    std::printf("view zoomed 25 times on the saddle: median %d fps (counted %.1f)\n", zoomedFps.medianTitle,
                zoomedFps.counted);
    std::printf("ratio to the unzoomed view: %.1f%% (counted %.1f%%)\n", ratio(zoomedFps.medianTitle, viewFps.medianTitle),
                ratio(zoomedFps.counted, viewFps.counted));
    std::printf("view with a family of 50 runs: median %d fps (counted %.1f)\n", familyFps.medianTitle,
                familyFps.counted);
    std::printf("ratio to the view without it just before: %.1f%% (counted %.1f%%)\n",
                ratio(familyFps.medianTitle, beforeFamilyFps.medianTitle),
                ratio(familyFps.counted, beforeFamilyFps.counted));
    std::printf("view with 10 pinned runs: median %d fps (counted %.1f)\n", pinnedFps.medianTitle, pinnedFps.counted);
    std::printf("ratio to the view without them just before: %.1f%% (counted %.1f%%)\n",
                ratio(pinnedFps.medianTitle, beforePinnedFps.medianTitle),
                ratio(pinnedFps.counted, beforePinnedFps.counted));
    return 0;
}
