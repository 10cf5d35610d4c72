#include "PhasePlaneRenderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace cosmophase {

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

void PhasePlaneRenderer::setUpSurface(int deviceWidth, int deviceHeight)
{
    glViewport(0, 0, deviceWidth, deviceHeight);
    glClearColor(1, 1, 1, 0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, 0, 30);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // Everything lies at depth 0, so with GL_LESS the first item drawn at a
    // pixel stays in front: the draw order is also the stacking order.
    glEnable(GL_DEPTH_TEST);
}

void PhasePlaneRenderer::prepare(const CurveSet& curves)
{
    m_trajectory = plot::thinnedVertices(curves.trajectory(), plot::kTrajectoryStride);
    m_family = plot::thinnedVertices(curves.family(), plot::kCurveStride);
    m_unstable_leave = plot::thinnedVertices(curves.unstableLeave(), plot::kCurveStride);
    m_unstable_rest = plot::thinnedVertices(curves.unstableRest(), plot::kCurveStride);
    m_stable_leave = plot::thinnedVertices(curves.stableLeave(), plot::kCurveStride);
    m_stable_rest = plot::thinnedVertices(curves.stableRest(), plot::kCurveStride);
    m_arrows = plot::directionField(curves.simulation());
    m_grid = plot::gridLines();
}

void PhasePlaneRenderer::drawDisk(double radius) const
{
    gluDisk(m_quadric, 0, radius, plot::kDiskSlices, plot::kDiskLoops);
}

void PhasePlaneRenderer::drawCurve(const std::vector<Point>& vertices)
{
    glBegin(GL_LINE_STRIP);
    for (const Point& p : vertices)
        glVertex2d(p.x, p.y);
    glEnd();
}

void PhasePlaneRenderer::drawDirectionField() const
{
    glColor3f(0, 1, 0);
    glLineWidth(2);
    glPointSize(plot::kArrowHeadSize);
    for (const plot::Arrow& arrow : m_arrows) {
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

void PhasePlaneRenderer::drawFrame(Point marker, const CurveVisibility& visibility,
                                   const PhasePlaneOverlays* overlays) const
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();

    glColor3f(1, 0, 0);
    drawDisk(plot::kDotRadius);
    for (std::size_t k = 1; k < plot::kEquilibria.size(); ++k) {
        glPushMatrix();
        glTranslated(plot::kEquilibria[k].x, plot::kEquilibria[k].y, 0);
        drawDisk(plot::kDotRadius);
        glPopMatrix();
    }

    glColor3f(0, 0, 1);
    glPushMatrix();
    glTranslated(marker.x, marker.y, 0);
    drawDisk(plot::kMarkerRadius);
    glPopMatrix();

    glColor3f(0.7f, 0.7f, 0.7f);
    glLineWidth(1);
    glLineStipple(plot::kGridStippleFactor, plot::kGridStipple);
    glEnable(GL_LINE_STIPPLE);
    glBegin(GL_LINES);
    for (double v : m_grid) {
        glVertex2d(v, -2);
        glVertex2d(v, 2);
    }
    for (double v : m_grid) {
        glVertex2d(-2, v);
        glVertex2d(2, v);
    }
    glEnd();
    glDisable(GL_LINE_STIPPLE);

    glLineWidth(2);
    glColor3f(0, 0, 1);
    drawCurve(m_trajectory);

    glColor3f(1, 1, 0);
    if (visibility.family)
        drawCurve(m_family);

    glColor3f(0, 1, 1);
    if (visibility.unstable) {
        drawCurve(m_unstable_leave);
        drawCurve(m_unstable_rest);
    }

    glColor3f(0, 0.5f, 0);
    if (visibility.stable) {
        drawCurve(m_stable_leave);
        drawCurve(m_stable_rest);
    }

    // First drawn stays in front: the additions lie over the direction
    // field and under everything above.
    if (overlays && !overlays->isEmpty())
        overlays->draw();

    drawDirectionField();
    glFlush();
}

} // namespace cosmophase
