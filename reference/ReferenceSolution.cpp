#include "ReferenceSolution.h"

#include "Coefficients.h"
#include "Observables.h"

#include <boost/math/tools/roots.hpp>
// GCC takes the copy of a stepper's scratch buffers, which odeint writes
// before reading, for a read of uninitialized memory.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#include <boost/numeric/odeint.hpp>
#pragma GCC diagnostic pop

#include <algorithm>
#include <cmath>
#include <limits>

namespace cosmophase {

namespace {

namespace odeint = boost::numeric::odeint;

using X = long double;
using Checkpoint = ReferenceSolution::Checkpoint;
// An 8th-order pair: at these tolerances a few hundred steps cover the run,
// where a 5th-order one needs tens of thousands.
using Stepper = odeint::runge_kutta_fehlberg78<ReferenceVector, X, ReferenceVector, X>;

constexpr X kFirstStep = 0.01L;
// Far beyond what any finite solution of the model needs: the default run
// takes about 500 steps.
constexpr long kMaxSteps = 1000000;
// Past this e^t overflows long double: there is no elapsed time to reach.
constexpr X kMaxModelTime = 11356;
constexpr long kMaxRejectionsInARow = 200;

bool finite(const ReferenceVector& x)
{
    return std::all_of(x.begin(), x.end(), [](X v) { return std::isfinite(v); });
}

// The run's stopping rule in long double, with its target value formed as
// the run forms it (a double) and its double 2/3.
class StoppingRule {
public:
    explicit StoppingRule(double timeInit)
        : m_time_init(timeInit)
    {
    }

    // Positive once the event has been reached: the equality value minus
    // the target, or -target while the denominator is not positive (the
    // value is negative or undefined there, never at the target).
    X excess(const ReferenceVector& x, X t) const
    {
        const X denominator = x[2] + X(2.0 / 3.0);
        if (!(denominator > 0))
            return -X(m_target);
        return (X(m_time_init) + std::exp(t)) / denominator - X(m_target);
    }

    bool reached(const ReferenceVector& x, X t) const { return excess(x, t) >= 0; }

private:
    double m_time_init;
    double m_target = Simulation::hubbleEqualityTarget();
};

// The continuation between steps: one step of the same method from the
// checkpoint, never longer than the accepted step that followed it.
ReferenceVector continueFrom(const Checkpoint& from, X t, const ReferenceField& field)
{
    ReferenceVector x = from.x;
    if (t != from.t)
        Stepper().do_step(field, x, from.t, t - from.t);
    return x;
}

// The event inside the accepted step that starts at `before` and ends at
// `after`, where the rule first holds, by bisection on the continuation:
// the bracket shrinks to a few units in the last place of long double.
X locateEvent(const Checkpoint& before, X after, const ReferenceField& field, const StoppingRule& rule)
{
    const auto excessAt = [&](X t) { return rule.excess(continueFrom(before, t, field), t); };
    // Re-stepped, the step's end can land a rounding short of the target
    // that its controlled step reached.
    if (excessAt(after) < 0)
        return after;
    const auto bracket = boost::math::tools::bisect(
        excessAt, before.t, after,
        boost::math::tools::eps_tolerance<X>(std::numeric_limits<X>::digits - 3));
    // The reached side: the run, too, stops at a state past the target.
    return bracket.second;
}

// Marches with error control from the start, handing each accepted step
// (its start and its end) to `onStep`, until that returns false, the
// solution stops being finite or the budget of steps or time runs out.
template <typename OnStep>
void march(const ReferenceStart& start, const ReferenceTolerance& tolerance, OnStep onStep)
{
    const ReferenceField field{start.forward};
    using Controlled = odeint::controlled_runge_kutta<Stepper>;
    Controlled controlled{Controlled::error_checker_type(tolerance.absolute, tolerance.relative)};
    Checkpoint current{0, toReferenceVector(start.state)};
    X dt = kFirstStep;
    long rejectionsInARow = 0;
    for (long step = 0; step < kMaxSteps && current.t < kMaxModelTime && finite(current.x);) {
        Checkpoint next = current;
        if (controlled.try_step(field, next.x, next.t, dt) == odeint::fail) {
            if (++rejectionsInARow > kMaxRejectionsInARow)
                return;
            continue;
        }
        rejectionsInARow = 0;
        ++step;
        if (!finite(next.x) || !onStep(current, next))
            return;
        current = next;
    }
}

} // namespace

ReferenceStart ReferenceStart::of(const Simulation& initialized)
{
    return {initialized.initState(), initialized.timeInit(), initialized.forwardTime()};
}

ReferenceValues referenceValuesAt(const ReferenceStart& start, long double modelTime, const State& state)
{
    ReferenceValues values;
    values.modelTime = modelTime;
    values.elapsedYears = X(start.timeInit) + std::exp(modelTime);
    values.state = state;
    values.densityRatio = (3 * (state.z2 + X(coeff::k4_3))) / 4;
    const PresentDayOf<X> present = presentDayParametersIn(state.z2, state.w0, state.w2);
    values.q0 = present.q0;
    values.xi0 = present.xi0;
    return values;
}

std::optional<ReferenceValues> referencePresentDay(const ReferenceStart& start,
                                                   const ReferenceTolerance& tolerance)
{
    const ReferenceField field{start.forward};
    const StoppingRule rule(start.timeInit);
    const ReferenceVector initial = toReferenceVector(start.state);
    if (rule.reached(initial, 0))
        return referenceValuesAt(start, 0, start.state);

    std::optional<ReferenceValues> event;
    march(start, tolerance, [&](const Checkpoint& before, const Checkpoint& after) {
        if (!rule.reached(after.x, after.t))
            return true;
        const X t = locateEvent(before, after.t, field, rule);
        event = referenceValuesAt(start, t, toState(continueFrom(before, t, field)));
        return false;
    });
    return event;
}

ReferenceSolution::ReferenceSolution(const ReferenceStart& start, long double coverUntil,
                                     const ReferenceTolerance& tolerance)
    : m_start(start)
{
    const ReferenceField field{start.forward};
    const StoppingRule rule(start.timeInit);
    m_checkpoints.push_back({0, toReferenceVector(start.state)});
    if (rule.reached(m_checkpoints.front().x, 0))
        m_present_day = referenceValuesAt(start, 0, start.state);

    march(start, tolerance, [&](const Checkpoint& before, const Checkpoint& after) {
        m_checkpoints.push_back(after);
        if (!m_present_day && rule.reached(after.x, after.t)) {
            const X t = locateEvent(before, after.t, field, rule);
            m_present_day = referenceValuesAt(start, t, toState(continueFrom(before, t, field)));
        }
        return !m_present_day || after.t < coverUntil;
    });
}

State ReferenceSolution::stateAt(long double modelTime) const
{
    if (!(modelTime >= 0 && modelTime <= coveredUntil())) {
        const X nan = std::numeric_limits<X>::quiet_NaN();
        return {nan, nan, nan, nan};
    }
    // The last checkpoint at or before the time asked for.
    const auto after = std::upper_bound(
        m_checkpoints.begin(), m_checkpoints.end(), modelTime,
        [](X t, const Checkpoint& checkpoint) { return t < checkpoint.t; });
    return toState(continueFrom(*std::prev(after), modelTime, ReferenceField{m_start.forward}));
}

ReferenceValues ReferenceSolution::valuesAt(long double modelTime) const
{
    return referenceValuesAt(m_start, modelTime, stateAt(modelTime));
}

} // namespace cosmophase
