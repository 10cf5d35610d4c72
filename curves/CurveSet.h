#pragma once

#include "Simulation.h"

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace cosmophase {

// A plane curve as two parallel lists: x is z2, y is w0.
struct Curve {
    std::vector<double> x;
    std::vector<double> y;
    std::size_t size() const { return x.size(); }
    bool empty() const { return x.empty(); }
};

// The family curve, from its closed formula, confined to the plot square.
Curve familyCurve();

// Everything the phase plane shows besides the grid and the direction field:
// the forward run's trajectory, the family curve and the four manifold
// branches of the origin, each an independent copy. Qt-free so that tools and
// tests can build it without a GL context.
class CurveSet {
public:
    // Builds everything afresh on a new private Simulation.
    void initialize();
    bool isBuilt() const { return m_temp_sim != nullptr; }
    // The trajectory of a run at other parameters in place of the default
    // run's; nothing else in the set depends on the parameters.
    void setTrajectory(Curve trajectory) { m_trajectory = std::move(trajectory); }

    // Kept alive after the build (direction flag true) for the direction field.
    const Simulation& simulation() const { return *m_temp_sim; }

    const Curve& trajectory() const { return m_trajectory; }
    const Curve& family() const { return m_acurve; }
    const Curve& stableLeave() const { return m_incurve_leave; }
    const Curve& stableRest() const { return m_incurve_rest; }
    const Curve& unstableLeave() const { return m_outcurve_leave; }
    const Curve& unstableRest() const { return m_outcurve_rest; }

private:
    std::unique_ptr<Simulation> m_temp_sim;
    Curve m_trajectory; // m_z2_array / m_w0_array of the view's own run
    Curve m_acurve;
    Curve m_outcurve_rest;
    Curve m_outcurve_leave;
    Curve m_incurve_rest;
    Curve m_incurve_leave;
};

} // namespace cosmophase
