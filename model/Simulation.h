#pragma once

#include "RunParameters.h"
#include "RunStatus.h"

#include <cstdint>
#include <vector>

namespace cosmophase {

// One model state in the x87 extended format.
struct State {
    long double z2 = 0;
    long double z4 = 0;
    long double w0 = 0;
    long double w2 = 0;
};

// Where the forward run shortened its step: after attempted step `step`
// the step length became `tau`. A rejected step was also taken back, so
// its sim time belongs to no sample.
struct StepChange {
    std::int32_t step = 0;
    double tau = 0;
    bool rejected = false;
};

// Bookkeeping of the last runSimulation(); not read by the run itself.
struct RunStats {
    std::int32_t attemptedSteps = 0;
    std::int32_t rejectedSteps = 0;
    std::vector<StepChange> stepChanges;
};

// The four-variable cosmological model, its classical Runge-Kutta stepper,
// the forward run to the Hubble-equality epoch and the solution-curve tracer.
//
// Precision is part of the behaviour: states are held as long double (x87
// extended), the right-hand sides and the stepper work in double, and the
// translation unit is built without floating-point contraction.
class Simulation {
public:
    static constexpr std::int32_t kMaxRunSteps = 100000000;
    static constexpr std::int32_t kMaxCurveSteps = 100000;
    // Steps a bounded run may attempt: a hundred times the default run's,
    // a few hundred milliseconds and some 32 MB of samples at most.
    static constexpr std::int32_t kRunStepBudget = 600000;

    // Defaults, empty sample arrays and the initial conditions.
    void initialize();
    // The same with other parameters; the defaults give initialize() bit
    // for bit. The caller checks them against ParameterDomain first.
    void initialize(const RunParameters& parameters);

    // The live sample arrays: a later run clears and refills the same
    // containers, so clients copy what they keep.
    const std::vector<double>& getz2Data() const { return m_z2_array; }
    const std::vector<double>& getw0Data() const { return m_w0_array; }
    const std::vector<double>& getw2Data() const { return m_w2_array; }
    const std::vector<double>& getTimeData() const { return m_time_array; }

    // Right-hand sides; negated while m_fwd is true.
    double z2ODE(double z2, double z4, double w0, double w2) const;
    double z4ODE(double z2, double z4, double w0, double w2) const;
    double w0ODE(double z2, double z4, double w0, double w2) const;
    double w2ODE(double z2, double z4, double w0, double w2) const;

    // One classical RK4 step of length m_tau_step into the working state.
    void ruggaKettaMethod(double z2, double z4, double w0, double w2);

    void setz2(double z2) { m_z2_init = z2; }
    void setz4(double z4) { m_z4_init = z4; }
    void setw0(double w0) { m_w0_init = w0; }
    void setw2(double w2) { m_w2_init = w2; }
    void setForwardTime(bool forward) { m_fwd = forward; }
    // Lets a single step be driven with a chosen length.
    void setTauStep(double tau) { m_tau_step = tau; }

    void setupInitConditions();
    void runSimulation();
    // runSimulation with the same arithmetic, but it also stops when the
    // step budget is spent or a step would no longer advance the model time,
    // and says how it ended. Samples are kept either way.
    RunStatus runSimulationBounded(std::int32_t stepBudget = kRunStepBudget);
    double computeHubbleEquality(double x) const;
    // What computeHubbleEquality reaches at the run's end: the reciprocal of
    // the present-day Hubble rate, 1 / (0.695436 × pow(10, -10)) years, the
    // double 14379468419.811455. The reference and the tools stop there too.
    static double hubbleEqualityTarget();
    void buildSolnCurve();
    void computeRedShiftVsLuminosity();

    int temperatureInit() const { return m_temperature_init; }
    double accelerationInit() const { return m_acceleration_init; }
    RunParameters parameters() const { return {m_acceleration_init, m_temperature_init}; }
    double timeInit() const { return m_time_init; }
    double tauStep() const { return m_tau_step; }
    long double simTime() const { return m_sim_time; }
    bool forwardTime() const { return m_fwd; }
    State initState() const { return {m_z2_init, m_z4_init, m_w0_init, m_w2_init}; }
    State runState() const { return {m_z2_run, m_z4_run, m_w0_run, m_w2_run}; }
    State endState() const { return {m_z2_end, m_z4_end, m_w0_end, m_w2_end}; }
    double q0() const { return m_q0; }
    double xi0() const { return m_xi0; }
    const RunStats& runStats() const { return m_run_stats; }

private:
    // A state as the stepper sees it: four doubles.
    struct Point {
        double z2, z4, w0, w2;
    };
    Point rungeKuttaStep(const Point& p) const;
    void storeRunState(const Point& p);
    Point runStateAsDoubles() const;
    void appendRunSample(double time);
    // The run's loop; without stall detection and with kMaxRunSteps as the
    // cap it is runSimulation itself.
    RunStatus forwardRun(std::int32_t maxSteps, bool stopWhenStalled);

    std::int32_t m_temperature_init = 0;
    double m_acceleration_init = 0;
    double m_time_init = 0;
    double m_tau_step = 0;
    long double m_sim_time = 0;
    std::vector<double> m_z2_array;
    std::vector<double> m_w0_array;
    std::vector<double> m_w2_array;
    std::vector<double> m_time_array;
    long double m_z2_init = 0, m_z4_init = 0, m_w0_init = 0, m_w2_init = 0;
    long double m_z2_run = 0, m_z4_run = 0, m_w0_run = 0, m_w2_run = 0;
    long double m_z2_end = 0, m_z4_end = 0, m_w0_end = 0, m_w2_end = 0;
    double m_xi0 = 0;
    double m_q0 = 0;
    bool m_fwd = false;
    RunStats m_run_stats;
};

} // namespace cosmophase
