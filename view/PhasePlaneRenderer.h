#pragma once

#include "FrameContent.h"
#include "PlotWindow.h"

#include <functional>
#include <vector>

struct GLUquadric;

namespace cosmophase {

// Draws the phase plane described by a FrameContent with fixed-function
// OpenGL 1.x and GLU into whatever context is current. The content holds
// every value drawn; this class holds only the fixed order of the GL calls.
class PhasePlaneRenderer {
public:
    // GL resources belong to a context: createGL() and releaseGL() must run
    // with that context current. releaseGL() may be called more than once.
    void createGL();
    void releaseGL();
    bool hasGL() const { return m_quadric != nullptr; }

    // Viewport (device pixels), clear colour, projection over the window
    // (the fixed square unless zoomed) and depth test.
    static void setUpSurface(int deviceWidth, int deviceHeight, const plot::PlotWindow& window = {});

    // One whole frame, ending with glFlush. Needs createGL(). Traces,
    // nullclines, the default run's trajectory and a direction field that
    // are not shown add no GL call. `beside`, when given, draws curves of
    // its own between the run's trajectory and the default run's faint
    // curve, setting its own colours and widths.
    void drawFrame(const plot::FrameContent& content, const std::function<void()>& beside = {}) const;

private:
    void drawDisk(double radius) const;
    static void setColour(const plot::Layer& layer);
    static void drawStrips(const plot::Layer& layer);
    void drawDisks(const plot::Layer& layer) const;
    static void drawGrid(const plot::Layer& layer);
    static void drawOverlays(const plot::FrameContent& content);
    static void drawDirectionField(const plot::Layer& layer);

    GLUquadric* m_quadric = nullptr;
};

} // namespace cosmophase
