#pragma once

#include "Nullclines.h"
#include "PlotGeometry.h"
#include "SolutionTrace.h"

#include <array>
#include <vector>

namespace cosmophase {

// What the user adds to the phase plane on top of the fixed picture: traced
// solution curves and the nullclines. Drawn between the stable manifold and
// the direction field, and only when there is something to draw, so that
// without additions a frame issues exactly the fixed picture's GL calls.
class PhasePlaneOverlays {
public:
    static constexpr float kTracePointSize = 5.0f;

    // Keeps the traces thinned as the manifolds are.
    void setTraces(const std::vector<SolutionTrace>& traces);
    void setShowNullclines(bool show) { m_show_nullclines = show; }

    bool showNullclines() const { return m_show_nullclines; }
    bool isEmpty() const { return m_traces.empty() && !m_show_nullclines; }

    // The traces in front of the nullclines. Needs a current context.
    void draw() const;

private:
    struct ThinnedTrace {
        plot::Point start;
        std::vector<plot::Point> forward;
        std::vector<plot::Point> backward;
    };

    void drawTraces() const;
    void drawNullclines() const;

    std::vector<ThinnedTrace> m_traces;
    std::array<std::vector<plot::Point>, 2> m_z2_nullclines = plot::z2Nullclines();
    std::vector<plot::Point> m_w0_nullcline = plot::w0Nullcline();
    bool m_show_nullclines = false;
};

} // namespace cosmophase
