#pragma once

#include "CurveSet.h"
#include "PhasePlaneOverlays.h"
#include "PlotGeometry.h"

#include <vector>

struct GLUquadric;

namespace cosmophase {

// Which of the switchable curves a frame shows.
struct CurveVisibility {
    bool family = false;
    bool unstable = false;
    bool stable = false;
};

// Draws the phase plane with fixed-function OpenGL 1.x and GLU into whatever
// context is current. Everything that does not change between frames (the
// thinned curves and the direction field, whose Simulation is fixed once the
// curve set is built) is computed once by prepare(), so a frame only issues
// GL calls.
class PhasePlaneRenderer {
public:
    // GL resources belong to a context: createGL() and releaseGL() must run
    // with that context current. releaseGL() may be called more than once.
    void createGL();
    void releaseGL();
    bool hasGL() const { return m_quadric != nullptr; }

    // Viewport (device pixels), clear colour, projection and depth test.
    static void setUpSurface(int deviceWidth, int deviceHeight);

    void prepare(const CurveSet& curves);

    // One whole frame, ending with glFlush. Needs createGL() and prepare().
    // Overlays that are absent or empty add no GL call at all.
    void drawFrame(plot::Point marker, const CurveVisibility& visibility,
                   const PhasePlaneOverlays* overlays = nullptr) const;

private:
    void drawDisk(double radius) const;
    static void drawCurve(const std::vector<plot::Point>& vertices);
    void drawDirectionField() const;

    GLUquadric* m_quadric = nullptr;
    std::vector<plot::Point> m_trajectory;
    std::vector<plot::Point> m_family;
    std::vector<plot::Point> m_unstable_leave;
    std::vector<plot::Point> m_unstable_rest;
    std::vector<plot::Point> m_stable_leave;
    std::vector<plot::Point> m_stable_rest;
    std::vector<plot::Arrow> m_arrows;
    std::vector<double> m_grid;
};

} // namespace cosmophase
