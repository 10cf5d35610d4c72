#include "SolutionTrace.h"

#include "Simulation.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace cosmophase {

namespace {

// The tracer's step, rest threshold and square, as buildSolnCurve has them;
// the trace tests hold the two to the same bits.
constexpr double kStep = 0.001;
constexpr double kRestThreshold = 1e-9;
constexpr double kPlotLimit = 2.0;

// buildSolnCurve for the (z2, w0) pair alone. Neither right-hand side of
// the pair reads z4 or w2, so the same arithmetic on the pair gives the
// same points while skipping the two costlier equations: half the work of
// a trace. The working state is a double after every step, so extended
// precision is needed only where buildSolnCurve subtracts in it.
class PlanarTracer {
public:
    PlanarTracer()
    {
        m_z2.reserve(Simulation::kMaxCurveSteps + 1);
        m_w0.reserve(Simulation::kMaxCurveSteps + 1);
    }

    Curve trace(bool forwardTime, double z2, double w0)
    {
        m_sim.setForwardTime(forwardTime);
        m_z2.clear();
        m_w0.clear();
        m_z2.push_back(z2);
        m_w0.push_back(w0);
        std::int32_t stepCount = 0;
        while (z2 < kPlotLimit && z2 > -kPlotLimit && w0 < kPlotLimit && w0 > -kPlotLimit
               && stepCount < Simulation::kMaxCurveSteps) {
            const double previousZ2 = z2;
            const double previousW0 = w0;
            step(z2, w0);
            ++stepCount;
            m_z2.push_back(z2);
            m_w0.push_back(w0);
            if (stepCount > 1000) {
                const double dW0 = extendedDifference(w0, previousW0);
                const double dZ2 = extendedDifference(z2, previousZ2);
                if (std::fabs(dW0) < kRestThreshold && std::fabs(dZ2) < kRestThreshold)
                    break;
            }
        }
        return Curve{m_z2, m_w0};
    }

private:
    static double extendedDifference(double a, double b)
    {
        return static_cast<double>(static_cast<long double>(a) - static_cast<long double>(b));
    }

    double z2Rate(double z2, double w0) const { return kStep * m_sim.z2ODE(z2, 0, w0, 0); }
    double w0Rate(double z2, double w0) const { return kStep * m_sim.w0ODE(z2, 0, w0, 0); }

    // The classical step, term for term as the four-variable one.
    void step(double& z2, double& w0) const
    {
        const double k1z2 = z2Rate(z2, w0);
        const double k1w0 = w0Rate(z2, w0);
        const double h2z2 = z2 + k1z2 / 2.0;
        const double h2w0 = w0 + k1w0 / 2.0;
        const double k2z2 = z2Rate(h2z2, h2w0);
        const double k2w0 = w0Rate(h2z2, h2w0);
        const double h3z2 = z2 + k2z2 / 2.0;
        const double h3w0 = w0 + k2w0 / 2.0;
        const double k3z2 = z2Rate(h3z2, h3w0);
        const double k3w0 = w0Rate(h3z2, h3w0);
        const double h4z2 = z2 + k3z2;
        const double h4w0 = w0 + k3w0;
        const double k4z2 = z2Rate(h4z2, h4w0);
        const double k4w0 = w0Rate(h4z2, h4w0);
        z2 = (((z2 + k1z2 / 6.0) + k2z2 / 3.0) + k3z2 / 3.0) + k4z2 / 6.0;
        w0 = (((w0 + k1w0 / 6.0) + k2w0 / 3.0) + k3w0 / 3.0) + k4w0 / 6.0;
    }

    // Only for its right-hand sides and their direction flag.
    Simulation m_sim;
    // Room for the longest half, shared by both: fresh pages cost more
    // than the steps.
    std::vector<double> m_z2;
    std::vector<double> m_w0;
};

} // namespace

SolutionTrace traceThrough(double z2, double w0)
{
    PlanarTracer tracer;
    SolutionTrace trace;
    trace.z2 = z2;
    trace.w0 = w0;
    trace.forward = tracer.trace(true, z2, w0);
    trace.backward = tracer.trace(false, z2, w0);
    return trace;
}

} // namespace cosmophase
