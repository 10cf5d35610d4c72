#pragma once

#include "CurveSet.h"
#include "PlotGeometry.h"
#include "SolutionTrace.h"

#include <array>
#include <optional>
#include <vector>

namespace cosmophase {

// Which of the switchable curves a frame shows.
struct CurveVisibility {
    bool family = false;
    bool unstable = false;
    bool stable = false;
};

namespace plot {

// Red, green and blue as OpenGL takes them.
struct Colour {
    float red = 0;
    float green = 0;
    float blue = 0;
};

// How a layer is drawn. Sizes are in pixels of the plot on screen.
struct LayerStyle {
    Colour colour;
    float lineWidth = 0;      // 0: the layer draws no lines
    float pointSize = 0;      // 0: the layer draws no points
    unsigned short stipple = 0; // 0: solid
    int stippleFactor = 1;
};

// One colour's worth of the picture. A layer uses only the kinds of
// geometry it needs; each kind is drawn as GL draws it.
struct Layer {
    LayerStyle style;
    bool shown = true;
    double diskRadius = 0;
    std::vector<Point> disks;               // centres of 8-slice disks
    std::vector<Point> lines;               // separate segments, two points each
    std::vector<std::vector<Point>> strips; // thinned polylines
    std::vector<Point> points;              // squares of the point size
    std::vector<Arrow> arrows;              // a segment and a head point each
    std::vector<Point> triangles;           // filled, three corners each
};

// Where a trace's forward arrowhead sits: halfway along the forward half,
// and the unit direction the half runs there.
struct Heading {
    Point tip;
    double ux = 0;
    double uy = 0;
};

// Nothing when the half does not move.
std::optional<Heading> forwardHeading(const Curve& forward);

// The arrowhead at a heading: a triangle `length` long in plot units.
std::vector<Point> arrowheadAt(const Heading& heading, double length);

// Trace arrowheads in plot units of the full square.
inline constexpr double kTraceArrowLength = 0.07;

// Everything one frame of the phase plane shows, without Qt or GL: the
// OpenGL renderer and the figure writer both draw from this, so the screen
// and a saved figure cannot disagree. Layers are in drawing order; with the
// depth test the first layer drawn at a pixel stays in front.
//
// The fixed part (thinned curves, grid, direction field) is built once by
// setCurves(); the marker, the switches, the traces and the nullclines are
// cheap to change between frames.
class FrameContent {
public:
    enum LayerId {
        Equilibria,
        Marker,
        Grid,
        Trajectory,
        DefaultTrajectory,
        Family,
        Unstable,
        Stable,
        Traces,
        Z2Nullclines,
        W0Nullcline,
        DirectionField,
        LayerCount
    };

    FrameContent();

    // Also keeps the set's trajectory, the default run's, for the faint
    // curve shown while another run is on screen.
    void setCurves(const CurveSet& curves);
    // The trajectory of a run at other parameters; the rest stays.
    void setTrajectory(const Curve& trajectory);
    void setShowDefaultTrajectory(bool show);
    void setMarker(Point marker);
    void setVisibility(const CurveVisibility& visibility);
    // Keeps the traces thinned as the manifolds are.
    void setTraces(const std::vector<SolutionTrace>& traces);
    // The traces' arrowheads as placed by setTraces, one per trace: a view
    // drawing them at another size need not walk the traces again.
    const std::vector<std::optional<Heading>>& traceHeadings() const { return m_trace_headings; }
    void setShowNullclines(bool show);
    void setShowDirectionField(bool show) { m_layers[DirectionField].shown = show; }

    // What a legend calls a layer; empty for the grid, which needs no entry.
    static const char* layerName(LayerId id);

    const Layer& layer(LayerId id) const { return m_layers[id]; }
    const std::array<Layer, LayerCount>& layers() const { return m_layers; }
    bool showNullclines() const { return m_layers[Z2Nullclines].shown; }
    bool showDefaultTrajectory() const { return m_layers[DefaultTrajectory].shown; }
    // Traces or nullclines to draw beyond the fixed picture.
    bool hasOverlays() const { return m_layers[Traces].shown || showNullclines(); }

    // For views of the content that redraw a layer's geometry
    // (WindowedContent); the fixed picture never needs it.
    Layer& editLayer(LayerId id) { return m_layers[id]; }

private:
    std::array<Layer, LayerCount> m_layers;
    std::vector<std::optional<Heading>> m_trace_headings;
};

} // namespace plot
} // namespace cosmophase
