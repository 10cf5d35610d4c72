#include "ReferenceSolution.h"

#include <boost/numeric/odeint.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace cosmophase;

namespace {

ReferenceStart defaultStart()
{
    Simulation sim;
    sim.initialize();
    return ReferenceStart::of(sim);
}

// What is compared: relative for the elapsed years, absolute for the rest.
struct Quantity {
    const char* name;
    long double ReferenceValues::*field;
    bool relative;
};
const Quantity kQuantities[] = {
    {"model time", &ReferenceValues::modelTime, false},
    {"elapsed years", &ReferenceValues::elapsedYears, true},
    {"density ratio", &ReferenceValues::densityRatio, false},
    {"q0", &ReferenceValues::q0, false},
    {"xi0", &ReferenceValues::xi0, false},
};

void expectAgree(const ReferenceValues& a, const ReferenceValues& b, long double limit, const char* what)
{
    for (const Quantity& q : kQuantities) {
        const long double scale = q.relative ? std::fabs(b.*q.field) : 1;
        EXPECT_LE(std::fabs(a.*q.field - b.*q.field) / scale, limit) << what << ": " << q.name;
    }
    const long double stateDifferences[] = {a.state.z2 - b.state.z2, a.state.z4 - b.state.z4,
                                            a.state.w0 - b.state.w0, a.state.w2 - b.state.w2};
    for (const long double d : stateDifferences)
        EXPECT_LE(std::fabs(d), limit) << what << ": state";
}

double equalityValue(const ReferenceValues& v)
{
    return static_cast<double>(v.elapsedYears / (v.state.w0 + static_cast<long double>(2.0 / 3.0)));
}

} // namespace

TEST(ReferenceSolution, PresentDayOfTheDefaultStart)
{
    const auto presentDay = referencePresentDay(defaultStart());
    ASSERT_TRUE(presentDay);
    EXPECT_NEAR(static_cast<double>(presentDay->q0), 0.42571, 5e-6);
    EXPECT_NEAR(static_cast<double>(presentDay->xi0), 0.36063, 5e-6);
    EXPECT_NEAR(static_cast<double>(presentDay->densityRatio), 0.14197, 5e-6);
    EXPECT_NEAR(static_cast<double>(presentDay->elapsedYears), 13154298000.0, 500.0);
}

// Right to 1e-12: a different method (Bulirsch-Stoer extrapolation) from
// the same start to the same time lands on the same state, and halving the
// tolerance moves nothing at that level; both agree far below it.
TEST(ReferenceSolution, IndependentOfMethodAndTolerance)
{
    namespace odeint = boost::numeric::odeint;
    const ReferenceStart start = defaultStart();
    const auto presentDay = referencePresentDay(start);
    ASSERT_TRUE(presentDay);

    ReferenceVector x = toReferenceVector(start.state);
    odeint::bulirsch_stoer<ReferenceVector, long double> extrapolation(1e-24L, 1e-17L);
    odeint::integrate_adaptive(extrapolation, ReferenceField{start.forward}, x, 0.0L,
                               presentDay->modelTime, 0.01L);
    expectAgree(referenceValuesAt(start, presentDay->modelTime, toState(x)), *presentDay, 1e-14L,
                "Bulirsch-Stoer");

    ReferenceTolerance halved;
    halved.absolute /= 2;
    halved.relative /= 2;
    const auto tighter = referencePresentDay(start, halved);
    ASSERT_TRUE(tighter);
    expectAgree(*tighter, *presentDay, 1e-14L, "halved tolerance");
}

// The event is where the run's rule first holds: 1e-12 earlier the
// equality value is still short of the target.
TEST(ReferenceSolution, LocatesTheStoppingEvent)
{
    const ReferenceStart start = defaultStart();
    const ReferenceSolution reference(start);
    const auto& presentDay = reference.presentDay();
    ASSERT_TRUE(presentDay);
    const double target = Simulation::hubbleEqualityTarget();
    EXPECT_GE(equalityValue(*presentDay), target);
    EXPECT_LT(equalityValue(reference.valuesAt(presentDay->modelTime - 1e-12L)), target);

    // The path-free run takes the same steps to the same event.
    const auto eventOnly = referencePresentDay(start);
    ASSERT_TRUE(eventOnly);
    EXPECT_EQ(eventOnly->modelTime, presentDay->modelTime);
    EXPECT_EQ(eventOnly->q0, presentDay->q0);
    expectAgree(reference.valuesAt(presentDay->modelTime), *presentDay, 1e-16L, "continuation");
}

TEST(ReferenceSolution, CoversTheTimeAskedForAndNothingElse)
{
    const ReferenceSolution reference(defaultStart(), 30.0L);
    EXPECT_GE(reference.coveredUntil(), 30.0L);
    EXPECT_EQ(reference.stateAt(0).w0, defaultStart().state.w0);
    for (const long double outside : {-1e-9L, reference.coveredUntil() + 1e-9L})
        EXPECT_TRUE(std::isnan(reference.stateAt(outside).z2)) << static_cast<double>(outside);
}

TEST(ReferenceSolution, NoEventFromAStartThatIsNotANumber)
{
    ReferenceStart start = defaultStart();
    start.state.w2 = std::numeric_limits<long double>::quiet_NaN();
    EXPECT_FALSE(referencePresentDay(start));
    EXPECT_FALSE(ReferenceSolution(start).presentDay());
}
