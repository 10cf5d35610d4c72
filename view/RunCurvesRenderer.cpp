#include "RunCurvesRenderer.h"

#include <GL/gl.h>

namespace cosmophase {

namespace {

void drawRuns(const std::vector<plot::RunCurve>& runs, float width)
{
    glLineWidth(width);
    for (const plot::RunCurve& run : runs) {
        if (!run.shown)
            continue;
        glColor3f(run.colour.red, run.colour.green, run.colour.blue);
        for (const std::vector<plot::Point>& strip : run.strips) {
            glVertexPointer(2, GL_DOUBLE, sizeof(plot::Point), strip.data());
            glDrawArrays(GL_LINE_STRIP, 0, static_cast<GLsizei>(strip.size()));
        }
    }
}

} // namespace

void RunCurvesRenderer::draw(const plot::RunCurves& runs)
{
    if (!runs.anyShown())
        return;
    glEnableClientState(GL_VERTEX_ARRAY);
    drawRuns(runs.pinned, plot::RunCurves::kPinnedWidth);
    drawRuns(runs.family, plot::RunCurves::kFamilyWidth);
    glDisableClientState(GL_VERTEX_ARRAY);
}

} // namespace cosmophase
