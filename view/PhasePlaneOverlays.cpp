#include "PhasePlaneOverlays.h"

#include <GL/gl.h>

namespace cosmophase {

using plot::Point;

namespace {

void drawStrip(const std::vector<Point>& vertices)
{
    glBegin(GL_LINE_STRIP);
    for (const Point& p : vertices)
        glVertex2d(p.x, p.y);
    glEnd();
}

} // namespace

void PhasePlaneOverlays::setTraces(const std::vector<SolutionTrace>& traces)
{
    m_traces.clear();
    m_traces.reserve(traces.size());
    for (const SolutionTrace& trace : traces)
        m_traces.push_back({{trace.z2, trace.w0},
                            plot::thinnedVertices(trace.forward, plot::kCurveStride),
                            plot::thinnedVertices(trace.backward, plot::kCurveStride)});
}

void PhasePlaneOverlays::draw() const
{
    // Every item sets its own colour and width, and the direction field
    // after this sets all of its own, so nothing here leaks into the frame.
    if (!m_traces.empty())
        drawTraces();
    if (m_show_nullclines)
        drawNullclines();
}

void PhasePlaneOverlays::drawTraces() const
{
    glColor3f(1, 0, 1);
    glPointSize(kTracePointSize);
    glBegin(GL_POINTS);
    for (const ThinnedTrace& trace : m_traces)
        glVertex2d(trace.start.x, trace.start.y);
    glEnd();
    glLineWidth(1);
    for (const ThinnedTrace& trace : m_traces) {
        drawStrip(trace.forward);
        drawStrip(trace.backward);
    }
}

void PhasePlaneOverlays::drawNullclines() const
{
    glLineWidth(2);
    glColor3f(1, 0.5f, 0);
    for (const std::vector<Point>& line : m_z2_nullclines)
        drawStrip(line);
    glColor3f(0.5f, 0, 0.5f);
    drawStrip(m_w0_nullcline);
}

} // namespace cosmophase
