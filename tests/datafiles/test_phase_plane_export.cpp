#include "PhasePlaneExport.h"

#include <gtest/gtest.h>

using namespace cosmophase;

namespace {

SolutionTrace smallTrace(double z2, double w0)
{
    SolutionTrace trace;
    trace.z2 = z2;
    trace.w0 = w0;
    trace.forward = {{z2, 0.1}, {w0, -0.2}};
    trace.backward = {{z2}, {w0}};
    return trace;
}

} // namespace

// Every trace's forward half, then its backward half, numbered from 1 in the
// order given; the curves' layout, so one reader serves both files.
TEST(TracesExport, CurvesNamedByTraceAndHalfInOrder)
{
    const std::vector<SolutionTrace> traces{smallTrace(0.5, -1), smallTrace(1e-300, 3)};
    EXPECT_EQ(tracesCsv(traces), "curve,index,z2,w0\n"
                                 "trace1_forward,0,0.5,-1\n"
                                 "trace1_forward,1,0.10000000000000001,-0.20000000000000001\n"
                                 "trace1_backward,0,0.5,-1\n"
                                 "trace2_forward,0,1e-300,3\n"
                                 "trace2_forward,1,0.10000000000000001,-0.20000000000000001\n"
                                 "trace2_backward,0,1e-300,3\n");
    EXPECT_EQ(tracesJson(traces),
              "{\"trace1_forward\":{\"x\":[0.5,0.10000000000000001],"
              "\"y\":[-1,-0.20000000000000001]},"
              "\"trace1_backward\":{\"x\":[0.5],\"y\":[-1]},"
              "\"trace2_forward\":{\"x\":[1e-300,0.10000000000000001],"
              "\"y\":[3,-0.20000000000000001]},"
              "\"trace2_backward\":{\"x\":[1e-300],\"y\":[3]}}\n");
}

TEST(EquilibriaExport, OneRowOrObjectPerEquilibrium)
{
    Equilibrium focus;
    focus.z2 = -4.0 / 3;
    focus.w0 = 0.5;
    focus.eigenvalues = {{{-0.5, -2}, {-0.5, 2}}};
    focus.eigenvectors = {{{{{0.75, 0}, {0, -0.25}}}, {{{0.75, 0}, {0, 0.25}}}}};
    focus.type = "stable focus";
    Equilibrium saddle;
    saddle.eigenvalues = {{{-1, 0}, {2, 0}}};
    saddle.type = "saddle";

    EXPECT_EQ(equilibriaCsv({focus, saddle}),
              "z2,w0,eigenvalue1_re,eigenvalue1_im,eigenvalue2_re,eigenvalue2_im,type\n"
              "-1.3333333333333333,0.5,-0.5,-2,-0.5,2,stable focus\n"
              "0,0,-1,0,2,0,saddle\n");
    EXPECT_EQ(equilibriaJson({focus}),
              "[{\"z2\":-1.3333333333333333,\"w0\":0.5,"
              "\"eigenvalues\":[{\"re\":-0.5,\"im\":-2},{\"re\":-0.5,\"im\":2}],"
              "\"eigenvectors\":[[{\"re\":0.75,\"im\":0},{\"re\":0,\"im\":-0.25}],"
              "[{\"re\":0.75,\"im\":0},{\"re\":0,\"im\":0.25}]],\"type\":\"stable focus\"}]\n");
}
