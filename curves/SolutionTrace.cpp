#include "SolutionTrace.h"

#include "Simulation.h"

namespace cosmophase {

namespace {

Curve traceHalf(Simulation& sim, bool forwardTime, double z2, double w0)
{
    sim.setForwardTime(forwardTime);
    sim.setz2(z2);
    sim.setz4(0.0);
    sim.setw0(w0);
    sim.setw2(0.0);
    sim.buildSolnCurve();
    return Curve{sim.getz2Data(), sim.getw0Data()};
}

} // namespace

SolutionTrace traceThrough(double z2, double w0)
{
    // The tracer reads only the starting state and the direction flag, so
    // the initial conditions that initialize() derives are not needed. One
    // Simulation serves both halves: its arrays are reserved once.
    Simulation sim;
    SolutionTrace trace;
    trace.z2 = z2;
    trace.w0 = w0;
    trace.forward = traceHalf(sim, true, z2, w0);
    trace.backward = traceHalf(sim, false, z2, w0);
    return trace;
}

} // namespace cosmophase
