#include "RunCurvesRenderer.h"

#include <GL/gl.h>

namespace cosmophase {

namespace {

void drawSegments(const plot::Segments& segments, float width)
{
    if (segments.vertices.empty())
        return;
    glLineWidth(width);
    glVertexPointer(2, GL_DOUBLE, sizeof(plot::Point), segments.vertices.data());
    glColorPointer(3, GL_FLOAT, sizeof(plot::Colour), segments.colours.data());
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(segments.vertices.size()));
}

} // namespace

void RunCurvesRenderer::draw(const plot::RunCurves& runs)
{
    if (!runs.anyShown())
        return;
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    // First drawn stays in front: the pinned runs over the family.
    drawSegments(runs.pinnedSegments, plot::RunCurves::kPinnedWidth);
    drawSegments(runs.familySegments, plot::RunCurves::kFamilyWidth);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

} // namespace cosmophase
