#include "PhasePlaneRenderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace cosmophase {

using plot::FrameContent;
using plot::Layer;
using plot::Point;

void PhasePlaneRenderer::createGL()
{
    if (!m_quadric)
        m_quadric = gluNewQuadric();
}

void PhasePlaneRenderer::releaseGL()
{
    if (m_quadric) {
        gluDeleteQuadric(m_quadric);
        m_quadric = nullptr;
    }
}

void PhasePlaneRenderer::setUpSurface(int deviceWidth, int deviceHeight, const plot::PlotWindow& window)
{
    glViewport(0, 0, deviceWidth, deviceHeight);
    glClearColor(1, 1, 1, 0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(window.left(), window.right(), window.bottom(), window.top(), 0, 30);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Everything lies at depth 0, so with GL_LESS the first item drawn at a
    // pixel stays in front: the draw order is also the stacking order.
    glEnable(GL_DEPTH_TEST);
}

void PhasePlaneRenderer::drawDisk(double radius) const
{
    gluDisk(m_quadric, 0, radius, plot::kDiskSlices, plot::kDiskLoops);
}

void PhasePlaneRenderer::setColour(const Layer& layer)
{
    const plot::Colour& c = layer.style.colour;
    glColor3f(c.red, c.green, c.blue);
}

void PhasePlaneRenderer::drawStrips(const Layer& layer)
{
    for (const std::vector<Point>& strip : layer.strips) {
        glBegin(GL_LINE_STRIP);
        for (const Point& p : strip)
            glVertex2d(p.x, p.y);
        glEnd();
    }
}

void PhasePlaneRenderer::drawDisks(const Layer& layer) const
{
    for (const Point& centre : layer.disks) {
        glPushMatrix();
        glTranslated(centre.x, centre.y, 0);
        drawDisk(layer.diskRadius);
        glPopMatrix();
    }
}

void PhasePlaneRenderer::drawGrid(const Layer& layer)
{
    setColour(layer);
    glLineWidth(layer.style.lineWidth);
    glLineStipple(layer.style.stippleFactor, layer.style.stipple);
    glEnable(GL_LINE_STIPPLE);
    glBegin(GL_LINES);
    for (const Point& p : layer.lines)
        glVertex2d(p.x, p.y);
    glEnd();
    glDisable(GL_LINE_STIPPLE);
}

void PhasePlaneRenderer::drawOverlays(const FrameContent& content)
{
    // Every item sets its own colour and width, and the direction field
    // after this sets all of its own, so nothing here leaks into the frame.
    const Layer& traces = content.layer(FrameContent::Traces);
    if (traces.shown) {
        setColour(traces);
        glPointSize(traces.style.pointSize);
        glBegin(GL_POINTS);
        for (const Point& p : traces.points)
            glVertex2d(p.x, p.y);
        glEnd();
        glLineWidth(traces.style.lineWidth);
        drawStrips(traces);
        if (!traces.triangles.empty()) {
            glBegin(GL_TRIANGLES);
            for (const Point& p : traces.triangles)
                glVertex2d(p.x, p.y);
            glEnd();
        }
    }
    if (content.showNullclines()) {
        const Layer& z2 = content.layer(FrameContent::Z2Nullclines);
        glLineWidth(z2.style.lineWidth);
        setColour(z2);
        drawStrips(z2);
        const Layer& w0 = content.layer(FrameContent::W0Nullcline);
        setColour(w0);
        drawStrips(w0);
    }
}

void PhasePlaneRenderer::drawDirectionField(const Layer& layer)
{
    setColour(layer);
    glLineWidth(layer.style.lineWidth);
    glPointSize(layer.style.pointSize);
    for (const plot::Arrow& arrow : layer.arrows) {
        glPushMatrix();
        glTranslated(arrow.site.x, arrow.site.y, 0);
        glTranslated(arrow.offset.x, arrow.offset.y, 0);
        glBegin(GL_LINES);
        glVertex2d(0, 0);
        glVertex2d(arrow.head.x, arrow.head.y);
        glEnd();
        glBegin(GL_POINTS);
        glVertex2d(arrow.head.x, arrow.head.y);
        glEnd();
        glPopMatrix();
    }
}

void PhasePlaneRenderer::drawFrame(const FrameContent& content, const std::function<void()>& beside) const
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();

    // The first equilibrium is the origin, where the model-view matrix
    // already is, so only the others are moved into place.
    const Layer& dots = content.layer(FrameContent::Equilibria);
    setColour(dots);
    drawDisk(dots.diskRadius);
    for (std::size_t k = 1; k < dots.disks.size(); ++k) {
        glPushMatrix();
        glTranslated(dots.disks[k].x, dots.disks[k].y, 0);
        drawDisk(dots.diskRadius);
        glPopMatrix();
    }

    const Layer& marker = content.layer(FrameContent::Marker);
    setColour(marker);
    drawDisks(marker);

    drawGrid(content.layer(FrameContent::Grid));

    const Layer& trajectory = content.layer(FrameContent::Trajectory);
    glLineWidth(trajectory.style.lineWidth);
    setColour(trajectory);
    drawStrips(trajectory);

    if (beside) {
        beside();
        glLineWidth(trajectory.style.lineWidth);
    }

    // Only while another run is on screen; it keeps the trajectory's width.
    const Layer& seed = content.layer(FrameContent::DefaultTrajectory);
    if (seed.shown) {
        setColour(seed);
        drawStrips(seed);
    }

    // The switchable curves keep the trajectory's width; each sets its
    // colour whether shown or not.
    for (FrameContent::LayerId id : {FrameContent::Family, FrameContent::Unstable, FrameContent::Stable}) {
        const Layer& curve = content.layer(id);
        setColour(curve);
        if (curve.shown)
            drawStrips(curve);
    }

    // First drawn stays in front: the additions lie over the direction
    // field and under everything above.
    if (content.hasOverlays())
        drawOverlays(content);

    const Layer& field = content.layer(FrameContent::DirectionField);
    if (field.shown)
        drawDirectionField(field);
    glFlush();
}

} // namespace cosmophase
