#include "Simulation.h"

#include "Coefficients.h"
#include "Observables.h"

#include <cmath>

namespace cosmophase {

namespace {

constexpr double kCurveStep = 0.001;
constexpr double kRestThreshold = 1e-9;
constexpr double kStepShrinkChange = 10000000.0;
constexpr double kPlotLimit = 2.0;

double sq(double x) { return std::pow(x, 2.0); }

} // namespace

void Simulation::initialize()
{
    initialize(RunParameters{});
}

void Simulation::initialize(const RunParameters& parameters)
{
    m_z2_array = {};
    m_w0_array = {};
    m_w2_array = {};
    m_time_array = {};
    m_fwd = true;
    m_acceleration_init = parameters.q;
    m_temperature_init = parameters.T;
    setupInitConditions();
}

// Each right-hand side follows a fixed evaluation order: the grouping decides
// the rounding, and the results are compared bit for bit.
double Simulation::z2ODE(double z2, double /*z4*/, double w0, double /*w2*/) const
{
    const double a = z2 + coeff::k4_3;
    const double b = w0 * 3;
    const double r = a * b;
    return m_fwd ? -r : r;
}

double Simulation::z4ODE(double z2, double z4, double w0, double w2) const
{
    const double z2sq = sq(z2);
    double a = (w2 * coeff::k4_3) + (z2 * coeff::k2_27);
    a = a - coeff::k1_18 * z2sq;
    const double t1 = ((z2 * w2) + a) * (-5);
    const double v = w0 * 5;
    double b = (coeff::k4_3 - z2 * coeff::k2_9) + z4;
    b = b - coeff::k1_12 * z2sq;
    const double r = t1 - b * v;
    return m_fwd ? -r : r;
}

double Simulation::w0ODE(double z2, double /*z4*/, double w0, double /*w2*/) const
{
    const double a = (w0 * coeff::k1_3) + (z2 * coeff::k1_6);
    const double r = sq(w0) + a;
    return m_fwd ? -r : r;
}

double Simulation::w2ODE(double z2, double z4, double w0, double w2) const
{
    const double a = ((w0 * coeff::k4_9) + (z4 * coeff::k1_10)) - (w2 * coeff::k1_3);
    const double b = (coeff::k1_24 * sq(z2) + a) - (z2 * coeff::k1_3) * w0;
    const double w0sq = sq(w0);
    const double c = (w0 * 4) * w2 + (b - coeff::k1_3 * w0sq);
    const double r = c - (0.25 * w0sq) * z2;
    return m_fwd ? -r : r;
}

Simulation::Point Simulation::rungeKuttaStep(const Point& p) const
{
    const double z2 = p.z2;
    const double z4 = p.z4;
    const double w0 = p.w0;
    const double w2 = p.w2;

    const double k1z2 = m_tau_step * z2ODE(z2, z4, w0, w2);
    const double k1z4 = m_tau_step * z4ODE(z2, z4, w0, w2);
    const double k1w0 = m_tau_step * w0ODE(z2, z4, w0, w2);
    const double k1w2 = m_tau_step * w2ODE(z2, z4, w0, w2);

    const double h2z2 = z2 + k1z2 / 2.0;
    const double h2z4 = z4 + k1z4 / 2.0;
    const double h2w0 = w0 + k1w0 / 2.0;
    const double h2w2 = w2 + k1w2 / 2.0;
    const double k2z2 = m_tau_step * z2ODE(h2z2, h2z4, h2w0, h2w2);
    const double k2z4 = m_tau_step * z4ODE(h2z2, h2z4, h2w0, h2w2);
    const double k2w0 = m_tau_step * w0ODE(h2z2, h2z4, h2w0, h2w2);
    const double k2w2 = m_tau_step * w2ODE(h2z2, h2z4, h2w0, h2w2);

    const double h3z2 = z2 + k2z2 / 2.0;
    const double h3z4 = z4 + k2z4 / 2.0;
    const double h3w0 = w0 + k2w0 / 2.0;
    const double h3w2 = w2 + k2w2 / 2.0;
    const double k3z2 = m_tau_step * z2ODE(h3z2, h3z4, h3w0, h3w2);
    const double k3z4 = m_tau_step * z4ODE(h3z2, h3z4, h3w0, h3w2);
    const double k3w0 = m_tau_step * w0ODE(h3z2, h3z4, h3w0, h3w2);
    const double k3w2 = m_tau_step * w2ODE(h3z2, h3z4, h3w0, h3w2);

    const double h4z2 = z2 + k3z2;
    const double h4z4 = z4 + k3z4;
    const double h4w0 = w0 + k3w0;
    const double h4w2 = w2 + k3w2;
    const double k4z2 = m_tau_step * z2ODE(h4z2, h4z4, h4w0, h4w2);
    const double k4z4 = m_tau_step * z4ODE(h4z2, h4z4, h4w0, h4w2);
    const double k4w0 = m_tau_step * w0ODE(h4z2, h4z4, h4w0, h4w2);
    const double k4w2 = m_tau_step * w2ODE(h4z2, h4z4, h4w0, h4w2);

    Point next;
    next.z2 = (((z2 + k1z2 / 6.0) + k2z2 / 3.0) + k3z2 / 3.0) + k4z2 / 6.0;
    next.z4 = (((z4 + k1z4 / 6.0) + k2z4 / 3.0) + k3z4 / 3.0) + k4z4 / 6.0;
    next.w0 = (((w0 + k1w0 / 6.0) + k2w0 / 3.0) + k3w0 / 3.0) + k4w0 / 6.0;
    next.w2 = (((w2 + k1w2 / 6.0) + k2w2 / 3.0) + k3w2 / 3.0) + k4w2 / 6.0;
    return next;
}

void Simulation::ruggaKettaMethod(double z2, double z4, double w0, double w2)
{
    storeRunState(rungeKuttaStep({z2, z4, w0, w2}));
}

void Simulation::storeRunState(const Point& p)
{
    m_z2_run = p.z2;
    m_z4_run = p.z4;
    m_w0_run = p.w0;
    m_w2_run = p.w2;
}

// The step's input: the working state rounded to double. Once a step has
// written it, this is exact, so the loops carry it in doubles and keep the
// extended fields off the step-to-step dependency chain.
Simulation::Point Simulation::runStateAsDoubles() const
{
    return {static_cast<double>(m_z2_run), static_cast<double>(m_z4_run),
            static_cast<double>(m_w0_run), static_cast<double>(m_w2_run)};
}



// Mixes double (D) and extended (X) steps; which one each step uses is what
// makes the starting state reproducible, since it is a small difference of
// terms close to 4/3, 40/27, 2/3 and 2/9.
void Simulation::setupInitConditions()
{
    using X = long double;
    const double q = m_acceleration_init;
    const double K = 6.063 * std::pow(10.0, 5.0);
    const double s = ((2 - std::pow(q, 2.0)) * 4) / (7 - std::pow(q, 2.0) * 4);
    const double r = (2 - std::pow(q, 2.0)) / 4;
    const double sr = static_cast<double>(X(s) * r);
    const double u = (std::pow(q, 2.0) * 3) / 4;
    const double v = (1 - std::pow(q, 2.0)) * ((std::pow(q, 2.0) * 3) * 0.125)
                     + (9 * std::pow(q, 2.0)) / 16;
    const double w = 0.05 * (1 - std::pow(q, 2.0)) + 0.125;
    const double z2 = -4.0 / 3.0 + ((std::pow(q, 2.0) * 3) * std::pow(s, 2.0)) / 4;

    const X oneMinusS = X(1) - s;

    X A = X(std::pow(s, 3.0) + std::pow(s, 3.0)) * oneMinusS;
    A = A * r;
    A = A * u;
    A = A + X(v * std::pow(s, 4.0));
    A = A + X(-40.0 / 27.0);

    const X w0 = X(s) / 2 + X(-2.0 / 3.0);

    X B = X(std::pow(s, 2.0)) * oneMinusS;
    B = B * r;
    B = B * 0.5;
    B = B + X(w * std::pow(s, 3.0));
    B = B + X(-2.0 / 9.0);

    m_z2_init = m_z2_end = z2;

    const X z4a = w0 * 3;
    const X z4b = X(z2) + (4.0 / 3.0);
    const X z4c = (z4a * z4b) * sr;
    const X z4 = A + z4c;
    m_z4_init = m_z4_end = z4;
    m_w0_init = m_w0_end = w0;

    const X w2a = X(z2) * (1.0 / 6.0);
    const X w2b = X(1.0 / 3.0) * w0;
    const X w2c = w2a + w2b;
    const double p = std::pow(static_cast<double>(w0), 2.0);
    const X w2d = (p + w2c) * sr;
    m_w2_init = m_w2_end = B + w2d;

    const X t = (X(s) * q) * K;
    m_time_init = static_cast<double>(t / X(std::pow(static_cast<double>(m_temperature_init), 2.0)));
}

double Simulation::hubbleEqualityTarget()
{
    return 1.0 / (0.695436 * std::pow(10.0, -10.0));
}

double Simulation::computeHubbleEquality(double x) const
{
    const double numerator = m_time_init + std::exp(x);
    const long double denominator = m_w0_run + static_cast<long double>(2.0 / 3.0);
    return static_cast<double>(numerator / denominator);
}

void Simulation::appendRunSample(double time)
{
    m_z2_array.push_back(static_cast<double>(m_z2_run));
    m_w0_array.push_back(static_cast<double>(m_w0_run));
    m_w2_array.push_back(static_cast<double>(m_w2_run));
    m_time_array.push_back(time);
}

void Simulation::runSimulation()
{
    forwardRun(kMaxRunSteps, false);
}

RunStatus Simulation::runSimulationBounded(std::int32_t stepBudget)
{
    return forwardRun(stepBudget, true);
}

RunStatus Simulation::forwardRun(std::int32_t maxSteps, bool stopWhenStalled)
{
    const double target = hubbleEqualityTarget();
    std::int32_t stepCount = 0;
    bool negativeStart = false;
    m_run_stats = {};

    m_sim_time = 0;
    m_tau_step = 1.0;

    m_z2_array.clear();
    m_w0_array.clear();
    m_w2_array.clear();
    m_time_array.clear();
    m_z2_array.push_back(static_cast<double>(m_z2_init));
    m_w0_array.push_back(static_cast<double>(m_w0_init));
    m_w2_array.push_back(static_cast<double>(m_w2_init));
    m_time_array.push_back(m_time_init);

    m_z2_run = m_z2_init;
    m_z4_run = m_z4_init;
    m_w0_run = m_w0_init;
    m_w2_run = m_w2_init;

    double c = computeHubbleEquality(static_cast<double>(m_sim_time));
    double previous = c;
    if (c < 0)
        negativeStart = true;

    Point state = runStateAsDoubles();
    while (c < target && (c > 0 || negativeStart) && stepCount < maxSteps) {
        // Once the step length is lost below the model time's last digit,
        // every further step is the same step: nothing can change any more.
        if (stopWhenStalled && m_sim_time + m_tau_step == m_sim_time)
            break;
        state = rungeKuttaStep(state);
        storeRunState(state);
        m_sim_time = m_sim_time + m_tau_step;
        const double pendingTime = m_time_init + std::exp(static_cast<double>(m_sim_time));
        ++stepCount;
        previous = c;
        c = computeHubbleEquality(static_cast<double>(m_sim_time));

        if (c > 0 || negativeStart) {
            if (c > 0)
                negativeStart = false;
            m_z2_end = m_z2_run;
            m_z4_end = m_z4_run;
            m_w0_end = m_w0_run;
            m_w2_end = m_w2_run;
            appendRunSample(pendingTime);
            if (std::fabs(c - previous) >= kStepShrinkChange) {
                m_tau_step = m_tau_step / 10;
                m_run_stats.stepChanges.push_back({stepCount, m_tau_step});
            }
        } else {
            m_z2_run = m_z2_end;
            m_z4_run = m_z4_end;
            m_w0_run = m_w0_end;
            m_w2_run = m_w2_end;
            state = runStateAsDoubles();
            m_sim_time = m_sim_time - m_tau_step;
            c = previous;
            m_tau_step = m_tau_step / 10;
            ++m_run_stats.rejectedSteps;
            m_run_stats.stepChanges.push_back({stepCount, m_tau_step, true});
        }
    }
    m_run_stats.attemptedSteps = stepCount;

    const State end = endState();
    const bool finite = std::isfinite(c) && std::isfinite(m_time_array.back()) &&
                        std::isfinite(end.z2) && std::isfinite(end.z4) && std::isfinite(end.w0) &&
                        std::isfinite(end.w2);
    if (!finite)
        return RunStatus::NonFinite;
    if (c >= target)
        return RunStatus::Ok;
    if (stepCount >= maxSteps)
        return RunStatus::Budget;
    // Stalled, or the sign rule ended the run before its first step: either
    // way no step advanced the model time.
    return RunStatus::Stalled;
}

void Simulation::buildSolnCurve()
{
    std::int32_t stepCount = 0;
    m_tau_step = kCurveStep;
    m_sim_time = 0;
    m_z2_run = m_z2_init;
    m_z4_run = m_z4_init;
    m_w0_run = m_w0_init;
    m_w2_run = m_w2_init;

    m_z2_array.clear();
    m_w0_array.clear();
    // Room for the longest curve up front: growing by doubling touches fresh
    // pages at every step, and first touches cost more than the integration
    // on some machines. Pages of the reserve that are never written are
    // never faulted in.
    m_z2_array.reserve(kMaxCurveSteps + 1);
    m_w0_array.reserve(kMaxCurveSteps + 1);
    m_z2_array.push_back(static_cast<double>(m_z2_init));
    m_w0_array.push_back(static_cast<double>(m_w0_init));

    Point state = runStateAsDoubles();
    while (m_z2_run < kPlotLimit && m_z2_run > -kPlotLimit && m_w0_run < kPlotLimit
           && m_w0_run > -kPlotLimit && stepCount < kMaxCurveSteps) {
        const long double previousZ2 = m_z2_run;
        const long double previousW0 = m_w0_run;
        state = rungeKuttaStep(state);
        storeRunState(state);
        m_sim_time = m_sim_time + m_tau_step;
        ++stepCount;
        m_z2_array.push_back(state.z2);
        m_w0_array.push_back(state.w0);

        // Resting is judged per step, and only once a curve has 1,002 points.
        if (stepCount > 1000) {
            const double dW0 = static_cast<double>(m_w0_run - previousW0);
            const double dZ2 = static_cast<double>(m_z2_run - previousZ2);
            if (std::fabs(dW0) < kRestThreshold && std::fabs(dZ2) < kRestThreshold)
                break;
        }
    }
}

void Simulation::computeRedShiftVsLuminosity()
{
    const PresentDay p = presentDayParameters(static_cast<double>(m_z2_end),
                                              static_cast<double>(m_w0_end),
                                              static_cast<double>(m_w2_end));
    m_q0 = p.q0;
    m_xi0 = p.xi0;
}

} // namespace cosmophase
