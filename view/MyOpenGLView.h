#pragma once

#include "CurveSet.h"
#include "FrameContent.h"
#include "PhasePlaneRenderer.h"
#include "PlotWindow.h"
#include "RunCurves.h"
#include "SolutionTrace.h"
#include "WindowedContent.h"

#include <QOpenGLWidget>
#include <QSurfaceFormat>

#include <cstdint>
#include <memory>
#include <optional>

// The phase-plane plot: z2 across, w0 up, over the square -2 ... 2.
//
// Surface format: whoever creates the QApplication must call
// QSurfaceFormat::setDefaultFormat(MyOpenGLView::defaultSurfaceFormat())
// before any widget exists. The swap interval of 1 (presentation tied to the
// display refresh) belongs to the top-level window that composes this widget,
// so it can only come from the default format; the depth buffer keeps items
// drawn earlier in a frame in front of later ones.
//
// The view redraws continuously and writes "N fps" into the title of its
// window. It builds its own curve set whenever GL is (re)initialised, e.g.
// also after being moved into another top-level window.
class MyOpenGLView : public QOpenGLWidget {
    Q_OBJECT

public:
    explicit MyOpenGLView(QWidget* parent = nullptr);
    ~MyOpenGLView() override;

    static QSurfaceFormat defaultSurfaceFormat();

    // Clamped to the trajectory. Before the curve set exists only negative
    // indices are corrected; the upper bound is applied once it is built.
    void setSimIndex(int index);
    void toggleShowStable();
    void toggleShowUnstable();
    void toggleShowFamily();
    // Additions over the fixed picture; none at start.
    void setTraces(const std::vector<cosmophase::SolutionTrace>& traces);
    // Shared, not copied: fifty traces are hundreds of thousands of points.
    void shareTraces(std::shared_ptr<const std::vector<cosmophase::SolutionTrace>> traces);
    void setShowNullclines(bool show);
    // A run at other parameters: its trajectory replaces the default run's,
    // kept across rebuilds of the curve set, and the marker index is
    // clamped to it. The rest of the curve set stays.
    void setTrajectory(const cosmophase::Curve& trajectory);
    // The default run's trajectory as a faint curve behind the others.
    void setShowDefaultTrajectory(bool show);
    void setShowDirectionField(bool show);
    // Pinned runs and a family, drawn beside the frame's own curves; none
    // at start, and with none the frame is the plain one.
    void setRunCurves(cosmophase::plot::RunCurves runs);
    // As drawn: laid out for the current window.
    const cosmophase::plot::RunCurves& runCurves() const { return m_runs; }
    // The part of the plane shown; the full square unless zoomed. The
    // change shows in the next frame.
    void setPlotWindow(const cosmophase::plot::PlotWindow& window);
    const cosmophase::plot::PlotWindow& plotWindow() const { return m_window; }
    // On (the default), every frame requests the next. Off, a frame is
    // drawn only when something shown changes, and the title keeps the
    // last rate measured.
    void setRedrawWhenIdle(bool on);
    bool redrawWhenIdle() const { return m_redraw_when_idle; }

    int simIndex() const { return m_sim_index; }
    bool showStableManifold() const { return m_show_stable_man; }
    bool showUnstableManifold() const { return m_show_unstable_man; }
    bool showFamilyCurve() const { return m_show_family_curve; }
    bool showNullclines() const { return m_content.showNullclines(); }
    bool showDirectionField() const { return m_content.layer(cosmophase::plot::FrameContent::DirectionField).shown; }
    const cosmophase::CurveSet& curves() const { return m_curves; }
    // What the next frame draws, kept up to date with every change above.
    const cosmophase::plot::FrameContent& frameContent() const { return m_content; }
    // What the next frame draws over the window: frameContent() unless
    // zoomed.
    const cosmophase::plot::FrameContent& shownContent();

signals:
    void plotWindowChanged(const cosmophase::plot::PlotWindow& window);
    // A switch, the traces or the trajectory changed what the frame shows.
    void layersChanged();

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;

private:
    void initialize();
    void releaseGL();
    void applySurfaceSetUp();
    void updateFrameRateTitle();
    void updateMarker();
    void updateVisibility();
    void applyReplacedTrajectory();
    void markWindowedStale();
    // A frame when nothing else asks for one.
    void changed();

    std::int64_t m_lastTicks = 0;
    std::int32_t m_sim_index = 0;
    cosmophase::CurveSet m_curves;
    cosmophase::PhasePlaneRenderer m_renderer;
    cosmophase::plot::FrameContent m_content;
    std::optional<cosmophase::Curve> m_replaced_trajectory;
    cosmophase::plot::PlotWindow m_window;
    cosmophase::plot::WindowedContent m_windowed;
    // Kept whole for zoomed frames, which draw them from every point.
    std::shared_ptr<const std::vector<cosmophase::SolutionTrace>> m_traces =
        std::make_shared<const std::vector<cosmophase::SolutionTrace>>();
    cosmophase::plot::RunCurves m_runs;
    bool m_projection_stale = false;
    // The zoomed frame's geometry waits for the next shownContent().
    bool m_windowed_stale = false;
    bool m_redraw_when_idle = true;
    // Shown at start; a switch made before the first frame, or before a new
    // context sets the view up again, holds.
    bool m_show_unstable_man = true;
    bool m_show_stable_man = true;
    bool m_show_family_curve = true;
};
