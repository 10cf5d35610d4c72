#include "RunSummary.h"

#include "CurveSet.h"
#include "CurvesExport.h"
#include "DataFormat.h"

namespace cosmophase {

RunSummary computeRunSummary(const RunParameters& parameters)
{
    Simulation run;
    run.initialize(parameters);
    RunSummary summary;
    summary.parameters = parameters;
    summary.status = run.runSimulationBounded();
    if (summary.status != RunStatus::Ok)
        return summary;
    run.computeRedShiftVsLuminosity();

    CurveSet curves;
    curves.initialize();

    summary.sampleCount = run.getTimeData().size();
    summary.stats = run.runStats();
    summary.finalTime = run.getTimeData().back();
    summary.finalSimTime = static_cast<double>(run.simTime());
    const State end = run.endState();
    summary.z2 = static_cast<double>(end.z2);
    summary.z4 = static_cast<double>(end.z4);
    summary.w0 = static_cast<double>(end.w0);
    summary.w2 = static_cast<double>(end.w2);
    summary.q0 = run.q0();
    summary.xi0 = run.xi0();
    for (const NamedCurve& named : exportedCurves(curves))
        summary.curves.push_back({named.name, named.curve.size()});
    summary.digest = samplesDigest(
        {run.getz2Data(), run.getw0Data(), run.getw2Data(), run.getTimeData()});
    return summary;
}

std::string summaryText(const RunSummary& s)
{
    std::string out = "Cosmophase forward run and curve set\n";
    out += "q                " + accelerationText(s.parameters.q) + "\n";
    out += "T                " + std::to_string(s.parameters.T) + "\n";
    out += "samples          " + std::to_string(s.sampleCount) + "\n";
    out += "steps            " + std::to_string(s.stats.attemptedSteps) + " attempted, " +
           std::to_string(s.stats.rejectedSteps) + " rejected\n";
    for (const StepChange& change : s.stats.stepChanges)
        out += "step length      " + formatDouble(change.tau) + " after step " +
               std::to_string(change.step) + "\n";
    out += "final time       " + formatDouble(s.finalTime) + " years\n";
    out += "final sim time   " + formatDouble(s.finalSimTime) + "\n";
    out += "end z2           " + formatDouble(s.z2) + "\n";
    out += "end z4           " + formatDouble(s.z4) + "\n";
    out += "end w0           " + formatDouble(s.w0) + "\n";
    out += "end w2           " + formatDouble(s.w2) + "\n";
    out += "end q0           " + formatDouble(s.q0) + "\n";
    out += "end xi0          " + formatDouble(s.xi0) + "\n";
    for (const CurvePointCount& curve : s.curves)
        out += "curve points     " + std::to_string(curve.points) + " " + curve.name + "\n";
    out += "samples digest   " + s.digest + " (FNV-1a 64)\n";
    return out;
}

std::string summaryJson(const RunSummary& s)
{
    std::string out = "{\"q\":" + accelerationText(s.parameters.q);
    out += ",\"T\":" + std::to_string(s.parameters.T);
    out += ",\"samples\":" + std::to_string(s.sampleCount);
    out += ",\"attempted_steps\":" + std::to_string(s.stats.attemptedSteps);
    out += ",\"rejected_steps\":" + std::to_string(s.stats.rejectedSteps);
    out += ",\"step_changes\":[";
    for (std::size_t i = 0; i < s.stats.stepChanges.size(); ++i) {
        const StepChange& change = s.stats.stepChanges[i];
        out += i == 0 ? "" : ",";
        out += "{\"after_step\":" + std::to_string(change.step) +
               ",\"tau\":" + jsonNumber(change.tau) + "}";
    }
    out += "],\"final_time_years\":" + jsonNumber(s.finalTime);
    out += ",\"final_sim_time\":" + jsonNumber(s.finalSimTime);
    out += ",\"end_state\":{\"z2\":" + jsonNumber(s.z2) + ",\"z4\":" + jsonNumber(s.z4) +
           ",\"w0\":" + jsonNumber(s.w0) + ",\"w2\":" + jsonNumber(s.w2) + "}";
    out += ",\"q0\":" + jsonNumber(s.q0);
    out += ",\"xi0\":" + jsonNumber(s.xi0);
    out += ",\"curve_points\":{";
    for (std::size_t i = 0; i < s.curves.size(); ++i) {
        out += i == 0 ? "\"" : ",\"";
        out += s.curves[i].name + "\":" + std::to_string(s.curves[i].points);
    }
    out += "},\"digest\":\"" + s.digest + "\"}\n";
    return out;
}

} // namespace cosmophase
