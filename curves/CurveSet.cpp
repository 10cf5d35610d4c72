#include "CurveSet.h"

#include <cmath>

namespace cosmophase {

namespace {

constexpr double kPlotLimit = 2.0;

bool insidePlot(double x, double y)
{
    return x < kPlotLimit && x > -kPlotLimit && y < kPlotLimit && y > -kPlotLimit;
}

struct Seed {
    bool forwardTime;
    double z2;
    double w0;
};

// Seeds about 1e-5 from the origin along its eigen-directions (4 : 1 stable,
// 6 : -1 unstable under the forward field).
constexpr Seed kStableLeave{false, 9.8e-06, 2.4e-06};
constexpr Seed kStableRest{false, -9.8e-06, -2.4e-06};
constexpr Seed kUnstableLeave{true, 9.8e-06, -1.6e-06};
constexpr Seed kUnstableRest{true, -9.8e-06, 1.6e-06};

Curve trace(Simulation& sim, const Seed& seed)
{
    sim.setForwardTime(seed.forwardTime);
    sim.setz2(seed.z2);
    sim.setz4(0.0);
    sim.setw0(seed.w0);
    sim.setw2(0.0);
    sim.buildSolnCurve();
    return Curve{sim.getz2Data(), sim.getw0Data()};
}

} // namespace

Curve familyCurve()
{
    Curve curve;
    double s = 0;
    double x = 0;
    double y = 0;
    // The test looks at the previous point, so the first point outside the
    // square is kept and closes the curve at the edge.
    while (insidePlot(x, y)) {
        const double q = std::pow(s, 2.0);
        const double u = (q + 1) / ((1.3 - q) * 5);
        x = (std::pow(u, 2.0) * (3 * q)) / 4 - 4.0 / 3.0;
        y = u / 2 - 2.0 / 3.0;
        curve.x.push_back(x);
        curve.y.push_back(y);
        s = s + 0.0001;
    }
    return curve;
}

void CurveSet::initialize()
{
    m_temp_sim = std::make_unique<Simulation>();
    m_temp_sim->initialize();
    m_temp_sim->runSimulation();
    m_trajectory = Curve{m_temp_sim->getz2Data(), m_temp_sim->getw0Data()};

    m_acurve = familyCurve();

    m_incurve_leave = trace(*m_temp_sim, kStableLeave);
    m_incurve_rest = trace(*m_temp_sim, kStableRest);
    m_outcurve_leave = trace(*m_temp_sim, kUnstableLeave);
    m_outcurve_rest = trace(*m_temp_sim, kUnstableRest);
}

} // namespace cosmophase
