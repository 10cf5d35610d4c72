// The renderer's GL calls, recorded by stand-ins for the GL and GLU entry
// points that this test links instead of the real libraries, against the
// frame written out call by call from the curve set.
#include "CurveSet.h"
#include "FrameContent.h"
#include "Nullclines.h"
#include "PhasePlaneRenderer.h"
#include "PlotGeometry.h"
#include "SolutionTrace.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <optional>
#include <vector>

namespace {

std::vector<std::string> calls;

template <typename... Args>
void record(const char* name, Args... args)
{
    std::string call = name;
    for (double a : std::initializer_list<double>{static_cast<double>(args)...}) {
        char text[32];
        std::snprintf(text, sizeof text, " %.17g", a);
        call += text;
    }
    calls.push_back(call);
}

GLUquadric* const kQuadric = reinterpret_cast<GLUquadric*>(0x1);

} // namespace

extern "C" {
void glClear(GLbitfield mask) { record("glClear", mask); }
void glLoadIdentity() { record("glLoadIdentity"); }
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) { record("glViewport", x, y, w, h); }
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { record("glClearColor", r, g, b, a); }
void glMatrixMode(GLenum mode) { record("glMatrixMode", mode); }
void glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) { record("glOrtho", l, r, b, t, n, f); }
void glEnable(GLenum cap) { record("glEnable", cap); }
void glDisable(GLenum cap) { record("glDisable", cap); }
void glColor3f(GLfloat r, GLfloat g, GLfloat b) { record("glColor3f", r, g, b); }
void glLineWidth(GLfloat w) { record("glLineWidth", w); }
void glLineStipple(GLint factor, GLushort pattern) { record("glLineStipple", factor, pattern); }
void glPointSize(GLfloat size) { record("glPointSize", size); }
void glBegin(GLenum mode) { record("glBegin", mode); }
void glEnd() { record("glEnd"); }
void glVertex2d(GLdouble x, GLdouble y) { record("glVertex2d", x, y); }
void glPushMatrix() { record("glPushMatrix"); }
void glPopMatrix() { record("glPopMatrix"); }
void glTranslated(GLdouble x, GLdouble y, GLdouble z) { record("glTranslated", x, y, z); }
void glFlush() { record("glFlush"); }
GLUquadric* gluNewQuadric() { return kQuadric; }
void gluDeleteQuadric(GLUquadric*) {}
void gluDisk(GLUquadric* q, GLdouble inner, GLdouble outer, GLint slices, GLint loops)
{
    EXPECT_EQ(q, kQuadric);
    record("gluDisk", inner, outer, slices, loops);
}
}

namespace {

using namespace cosmophase;

// The frame as the program has always drawn it, written out call by call.
std::vector<std::string> expectedFrame(const CurveSet& curves, std::size_t marker, const CurveVisibility& shown,
                                       const std::vector<SolutionTrace>& traces, bool nullclines, bool field)
{
    calls.clear();
    const double R = static_cast<double>(0.02f);
    auto strip = [](const Curve& c, std::size_t stride) {
        glBegin(GL_LINE_STRIP);
        for (std::size_t i = 0; i < c.size(); i += stride)
            glVertex2d(c.x[i], c.y[i]);
        glVertex2d(c.x[c.size() - 1], c.y[c.size() - 1]);
        glEnd();
    };
    auto polyline = [](const std::vector<plot::Point>& points) {
        glBegin(GL_LINE_STRIP);
        for (const plot::Point& p : points)
            glVertex2d(p.x, p.y);
        glEnd();
    };
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glColor3f(1, 0, 0);
    gluDisk(kQuadric, 0, R, 8, 2);
    for (double y : {static_cast<double>(-2.0f / 3.0f), static_cast<double>(1.0f / 3.0f)}) {
        glPushMatrix();
        glTranslated(static_cast<double>(-4.0f / 3.0f), y, 0);
        gluDisk(kQuadric, 0, R, 8, 2);
        glPopMatrix();
    }
    glColor3f(0, 0, 1);
    glPushMatrix();
    glTranslated(curves.trajectory().x[marker], curves.trajectory().y[marker], 0);
    gluDisk(kQuadric, 0, R * 1.25, 8, 2);
    glPopMatrix();
    glColor3f(0.7f, 0.7f, 0.7f);
    glLineWidth(1);
    glLineStipple(1, 0x0BAD);
    glEnable(GL_LINE_STIPPLE);
    glBegin(GL_LINES);
    for (double v = -1.5; v < 2; v += 0.5) {
        glVertex2d(v, -2);
        glVertex2d(v, 2);
    }
    for (double v = -1.5; v < 2; v += 0.5) {
        glVertex2d(-2, v);
        glVertex2d(2, v);
    }
    glEnd();
    glDisable(GL_LINE_STIPPLE);
    glLineWidth(2);
    glColor3f(0, 0, 1);
    strip(curves.trajectory(), 10);
    glColor3f(1, 1, 0);
    if (shown.family)
        strip(curves.family(), 100);
    glColor3f(0, 1, 1);
    if (shown.unstable) {
        strip(curves.unstableLeave(), 100);
        strip(curves.unstableRest(), 100);
    }
    glColor3f(0, 0.5f, 0);
    if (shown.stable) {
        strip(curves.stableLeave(), 100);
        strip(curves.stableRest(), 100);
    }
    if (!traces.empty()) {
        glColor3f(1, 0, 1);
        glPointSize(5);
        glBegin(GL_POINTS);
        for (const SolutionTrace& t : traces)
            glVertex2d(t.z2, t.w0);
        glEnd();
        glLineWidth(1);
        for (const SolutionTrace& t : traces) {
            strip(t.forward, 100);
            strip(t.backward, 100);
        }
        glBegin(GL_TRIANGLES);
        for (const SolutionTrace& t : traces)
            if (const std::optional<plot::Heading> heading = plot::forwardHeading(t.forward))
                for (const plot::Point& p : plot::arrowheadAt(*heading, plot::kTraceArrowLength))
                    glVertex2d(p.x, p.y);
        glEnd();
    }
    if (nullclines) {
        glLineWidth(2);
        glColor3f(1, 0.5f, 0);
        for (const std::vector<plot::Point>& line : plot::z2Nullclines())
            polyline(line);
        glColor3f(0.5f, 0, 0.5f);
        polyline(plot::w0Nullcline());
    }
    if (!field) {
        glFlush();
        return calls;
    }
    glColor3f(0, 1, 0);
    glLineWidth(2);
    glPointSize(6);
    const double k = static_cast<double>(1.0f / 7.0f);
    for (int i = -2; i <= 1; ++i)
        for (int j = -2; j <= 1; ++j)
            for (int a = 1; a <= 5; ++a)
                for (int b = 1; b <= 5; ++b) {
                    const auto x = static_cast<double>(static_cast<float>(i) + static_cast<float>(a) / 6.0f);
                    const auto y = static_cast<double>(static_cast<float>(j) + static_cast<float>(b) / 6.0f);
                    glPushMatrix();
                    glTranslated(x, y, 0);
                    double dx = curves.simulation().z2ODE(x, 0.0, y, 0.0);
                    double dy = curves.simulation().w0ODE(x, 0.0, y, 0.0);
                    const double L = std::sqrt(dx * dx + dy * dy);
                    if (L > 1) {
                        dx = dx / L;
                        dy = dy / L;
                    }
                    glTranslated((-dx / 2) * k, (-dy / 2) * k, 0);
                    glBegin(GL_LINES);
                    glVertex2d(0, 0);
                    glVertex2d(dx * k, dy * k);
                    glEnd();
                    glBegin(GL_POINTS);
                    glVertex2d(dx * k, dy * k);
                    glEnd();
                    glPopMatrix();
                }
    glFlush();
    return calls;
}

const CurveSet& curveSet()
{
    static const CurveSet curves = [] {
        CurveSet built;
        built.initialize();
        return built;
    }();
    return curves;
}

struct Case {
    const char* name;
    std::size_t marker;
    CurveVisibility shown;
    int traces;
    bool nullclines;
    bool field = true;
};

class RendererCalls : public testing::TestWithParam<Case> {};

TEST_P(RendererCalls, AreTheFrameCallForCall)
{
    const Case& c = GetParam();
    const CurveSet& curves = curveSet();
    std::vector<SolutionTrace> traces;
    for (int t = 0; t < c.traces; ++t)
        traces.push_back(traceThrough(-1.5 + t, 0.7 - 0.6 * t));

    plot::FrameContent content;
    content.setCurves(curves);
    content.setVisibility(c.shown);
    content.setMarker({curves.trajectory().x[c.marker], curves.trajectory().y[c.marker]});
    content.setTraces(traces);
    content.setShowNullclines(c.nullclines);
    content.setShowDirectionField(c.field);
    PhasePlaneRenderer renderer;
    renderer.createGL();
    calls.clear();
    renderer.drawFrame(content);
    const std::vector<std::string> drawn = calls;
    renderer.releaseGL();

    const std::vector<std::string> expected = expectedFrame(curves, c.marker, c.shown, traces, c.nullclines, c.field);
    for (std::size_t i = 0; i < std::min(drawn.size(), expected.size()); ++i)
        ASSERT_EQ(drawn[i], expected[i]) << "call " << i;
    EXPECT_EQ(drawn.size(), expected.size());
}

INSTANTIATE_TEST_SUITE_P(
    Frames, RendererCalls,
    testing::Values(Case{"start_up", 0, {true, true, true}, 0, false},
                    Case{"all_hidden", 2000, {false, false, false}, 0, false},
                    Case{"family_only_at_the_end", 5922, {true, false, false}, 0, false},
                    Case{"traces_and_nullclines", 3000, {false, true, true}, 2, true},
                    Case{"nullclines_alone", 10, {true, true, true}, 0, true},
                    Case{"one_trace", 10, {true, true, true}, 1, false},
                    Case{"direction_field_off", 10, {true, true, true}, 1, false, false}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// Runs drawn beside the frame come right after the trajectory, before the
// default run's faint curve, and leave the curves' width as they found it.
TEST(RendererCalls, RunsBesideTheFrameFollowTheTrajectory)
{
    const CurveSet& curves = curveSet();
    plot::FrameContent content;
    content.setCurves(curves);
    content.setShowDefaultTrajectory(true);
    PhasePlaneRenderer renderer;
    renderer.createGL();
    calls.clear();
    renderer.drawFrame(content, [] {
        record("beside");
        glLineWidth(1);
    });
    const std::vector<std::string> drawn = calls;
    renderer.releaseGL();

    const auto beside = std::find(drawn.begin(), drawn.end(), "beside");
    ASSERT_NE(beside, drawn.end());
    // Before it: the trajectory's strip, blue.
    const auto blue = std::find(std::make_reverse_iterator(beside), drawn.rend(), "glColor3f 0 0 1");
    ASSERT_NE(blue, drawn.rend());
    EXPECT_EQ(*(beside - 1), "glEnd");
    EXPECT_EQ(*(beside + 1), "glLineWidth 1");
    EXPECT_EQ(*(beside + 2), "glLineWidth 2");
    char grey[96];
    std::snprintf(grey, sizeof grey, "glColor3f %.17g %.17g %.17g", static_cast<double>(0.6f),
                  static_cast<double>(0.6f), static_cast<double>(0.6f));
    EXPECT_EQ(*(beside + 3), grey);
}

TEST(RendererCalls, SurfaceSetUp)
{
    // A window zoomed in and all the way out again is the fixed square.
    plot::PlotWindow zoomed;
    zoomed.zoomAbout({0.5, -1}, 4); // (0.5, -1) stays where it was on screen
    plot::PlotWindow back = zoomed;
    back.zoomAbout({1, 1}, 1.0 / 64);
    for (const plot::PlotWindow& window : {plot::PlotWindow{}, back, zoomed}) {
        calls.clear();
        PhasePlaneRenderer::setUpSurface(640, 480, window);
        const std::vector<std::string> drawn = calls;
        calls.clear();
        glViewport(0, 0, 640, 480);
        glClearColor(1, 1, 1, 0);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        if (window.isFull())
            glOrtho(-2, 2, -2, 2, 0, 30);
        else
            glOrtho(-0.125, 0.875, -1.25, -0.25, 0, 30);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_DEPTH_TEST);
        EXPECT_EQ(drawn, calls);
    }
}

} // namespace
