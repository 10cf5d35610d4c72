// The Python module `cosmophase`: the export tool's computations, called
// through the same library functions, with numpy arrays for columns.

#include "Accuracy.h"
#include "Arguments.h"
#include "CurvesExport.h"
#include "Equilibria.h"
#include "GridSweep.h"
#include "NumpyArrays.h"
#include "RunResult.h"
#include "SolutionTrace.h"
#include "SweepColumns.h"

#include <pybind11/complex.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <chrono>

namespace py = pybind11;
using namespace cosmophase;
using namespace cosmophase::python;

namespace {

// How often a sweep looks for Ctrl+C: well inside the second it promises,
// and rarely enough not to queue for the GIL behind other Python threads.
constexpr std::chrono::milliseconds kSignalCheckInterval{100};

// The export tool's line for a run without a present day.
std::string unreachedRun(const RunParameters& parameters, RunStatus status)
{
    return "q = " + accelerationText(parameters.q) + ", T = " + std::to_string(parameters.T) + ": " +
           statusReason(status);
}

std::unique_ptr<RunResult> run(py::object q, py::object T, py::object reference)
{
    const RunParameters parameters = runParameters(q, T);
    const bool withReference = flag(reference, "reference");
    py::gil_scoped_release release;
    return RunResult::compute(parameters, withReference);
}

py::dict accuracy(py::object q, py::object T)
{
    const RunParameters parameters = runParameters(q, T);
    RunStatus status = RunStatus::Ok;
    std::vector<AccuracyRow> rows;
    {
        py::gil_scoped_release release;
        Simulation sim;
        sim.initialize(parameters);
        status = sim.runSimulationBounded();
        if (status == RunStatus::Ok)
            rows = accuracyAgainstReference(sim);
    }
    if (status != RunStatus::Ok)
        throw py::value_error(unreachedRun(parameters, status));
    py::dict table;
    for (const AccuracyRow& row : rows) {
        py::dict values;
        values["run"] = row.run;
        values["reference"] = static_cast<double>(row.reference);
        values["error"] = static_cast<double>(row.error());
        values["correct_digits"] = static_cast<double>(row.digits());
        table[py::str(row.quantity)] = values;
    }
    return table;
}

py::dict sweep(py::object q, py::object T, py::object threads, py::object referenceFlag)
{
    const bool reference = flag(referenceFlag, "reference");
    const studies::ParameterGrid qGrid = accelerationGrid(q);
    const studies::ParameterGrid TGrid = temperatureGrid(T);
    const unsigned threadsUsed = threadCount(threads);
    const studies::RowRange rows{0, std::uint64_t{qGrid.size()} * TGrid.size()};
    SweepColumns columns(rows.end, reference);
    bool interrupted = false;
    {
        py::gil_scoped_release release;
        auto lastCheck = std::chrono::steady_clock::now();
        studies::sweepInOrder(qGrid, TGrid, rows, threadsUsed, reference,
                              [&](std::uint64_t, const studies::StudyPoint& point) {
                                  columns.append(point);
                                  const auto now = std::chrono::steady_clock::now();
                                  if (now - lastCheck < kSignalCheckInterval)
                                      return true;
                                  lastCheck = now;
                                  py::gil_scoped_acquire acquire;
                                  interrupted = PyErr_CheckSignals() != 0;
                                  return !interrupted;
                              });
    }
    if (interrupted)
        throw py::error_already_set(); // KeyboardInterrupt, or what a handler raised
    return columns.take();
}

py::dict presentDayRow(const studies::Solution& solution, std::int32_t T)
{
    py::dict row;
    row["integrator"] = solution.integrator == studies::Integrator::Run ? "run" : "reference";
    row["q"] = solution.q;
    row["one_minus_q"] = 1.0 - solution.q;
    row["T"] = T;
    row["elapsed_years"] = solution.values.elapsedYears;
    row["q0"] = solution.values.q0;
    row["xi0"] = solution.values.xi0;
    row["density_ratio"] = solution.values.densityRatio;
    return row;
}

py::list solve(py::object age, py::object q0, py::object xi0, py::object T, py::object threads)
{
    const studies::SolveRequest request = solveRequest(age, q0, xi0, T, threads);
    studies::SolveResult result;
    {
        py::gil_scoped_release release;
        result = studies::solveForParameter(request);
    }
    if (!result.error.empty())
        throw py::value_error(std::string("no solution for ") + studies::solveQuantityPhrase(request.quantity) + ": " +
                              result.error);
    if (result.solutions.empty())
        throw py::value_error(studies::unreachedTargetText(request, result));
    py::list rows;
    for (const studies::Solution& solution : result.solutions)
        rows.append(presentDayRow(solution, request.temperature));
    return rows;
}

py::dict curveColumns(Curve&& curve)
{
    py::dict columns;
    columns["z2"] = ownedArray(std::move(curve.x));
    columns["w0"] = ownedArray(std::move(curve.y));
    return columns;
}

py::dict trace(py::object z2, py::object w0)
{
    const double x = finiteNumber(z2, "z2");
    const double y = finiteNumber(w0, "w0");
    SolutionTrace traced;
    {
        py::gil_scoped_release release;
        traced = traceThrough(x, y);
    }
    py::dict halves;
    halves["forward"] = curveColumns(std::move(traced.forward));
    halves["backward"] = curveColumns(std::move(traced.backward));
    return halves;
}

py::dict curves()
{
    auto set = std::make_unique<CurveSet>();
    {
        py::gil_scoped_release release;
        set->initialize();
    }
    const std::vector<NamedCurve> named = exportedCurves(*set);
    py::capsule owner(set.release(), [](void* p) { delete static_cast<CurveSet*>(p); });
    py::dict result;
    for (const NamedCurve& curve : named) {
        py::dict columns;
        columns["z2"] = viewArray(curve.curve.x, owner);
        columns["w0"] = viewArray(curve.curve.y, owner);
        result[py::str(curve.name)] = columns;
    }
    return result;
}

py::list equilibria()
{
    py::list result;
    for (const Equilibrium& e : planarEquilibria()) {
        py::dict row;
        row["z2"] = e.z2;
        row["w0"] = e.w0;
        row["eigenvalues"] = py::cast(std::vector<std::complex<double>>(e.eigenvalues.begin(), e.eigenvalues.end()));
        py::list vectors;
        for (const auto& v : e.eigenvectors)
            vectors.append(py::cast(std::vector<std::complex<double>>(v.begin(), v.end())));
        row["eigenvectors"] = vectors;
        row["type"] = e.type;
        result.append(row);
    }
    return result;
}

// A property giving a view of one of the run's columns.
template <class Column>
auto runColumn(Column column)
{
    return [column](py::object self) {
        const RunResult& result = self.cast<const RunResult&>();
        return viewArray(column(result), self);
    };
}

// A property giving one of the reference's columns, None without them.
auto referenceColumn(std::vector<double> ReferenceSamples::*column)
{
    return [column](py::object self) -> py::object {
        const RunResult& result = self.cast<const RunResult&>();
        if (!result.reference)
            return py::none();
        return viewArray((*result.reference).*column, self);
    };
}

void defineRun(py::module_& m)
{
    py::class_<RunResult>(m, "Run", R"(One forward run, as `cosmophase.run` returns it.

Its arrays are read-only views of the run's samples, the same doubles as
``cosmophase-export samples`` writes: ``index``, ``time_years``, ``z2``,
``w0``, ``w2``, ``density_ratio``, ``q0`` and ``xi0``. With
``reference=True`` and a run that reached the present day, the
``reference_*`` arrays hold the columns of ``samples --reference``;
otherwise they are None.)")
        .def_property_readonly(
            "q", [](const RunResult& r) { return r.parameters.q; }, "The initial acceleration parameter.")
        .def_property_readonly(
            "T", [](const RunResult& r) { return r.parameters.T; }, "The initial temperature.")
        .def_property_readonly(
            "status", [](const RunResult& r) { return statusWord(r.status); },
            "How the run ended: 'ok' (reached the present day), 'budget', 'stalled' or 'nonfinite'.")
        .def_property_readonly(
            "samples", [](const RunResult& r) { return r.index.size(); }, "The number of samples.")
        .def_property_readonly("index", runColumn([](const RunResult& r) -> auto& { return r.index; }),
                               "Sample numbers from 0 (int64).")
        .def_property_readonly(
            "time_years", runColumn([](const RunResult& r) -> auto& { return r.simulation.getTimeData(); }),
            "Elapsed time in years.")
        .def_property_readonly(
            "z2", runColumn([](const RunResult& r) -> auto& { return r.simulation.getz2Data(); }), "z2.")
        .def_property_readonly(
            "w0", runColumn([](const RunResult& r) -> auto& { return r.simulation.getw0Data(); }), "w0.")
        .def_property_readonly(
            "w2", runColumn([](const RunResult& r) -> auto& { return r.simulation.getw2Data(); }), "w2.")
        .def_property_readonly("density_ratio",
                               runColumn([](const RunResult& r) -> auto& { return r.densityRatio; }),
                               "The read-out's density ratio (3/4)(z2 + 4/3).")
        .def_property_readonly("q0", runColumn([](const RunResult& r) -> auto& { return r.q0; }),
                               "The deceleration parameter at each sample.")
        .def_property_readonly("xi0", runColumn([](const RunResult& r) -> auto& { return r.xi0; }),
                               "q0's companion parameter at each sample.")
        .def_property_readonly("reference_z2", referenceColumn(&ReferenceSamples::z2))
        .def_property_readonly("reference_w0", referenceColumn(&ReferenceSamples::w0))
        .def_property_readonly("reference_w2", referenceColumn(&ReferenceSamples::w2))
        .def_property_readonly("reference_density_ratio", referenceColumn(&ReferenceSamples::densityRatio))
        .def_property_readonly("reference_q0", referenceColumn(&ReferenceSamples::q0))
        .def_property_readonly("reference_xi0", referenceColumn(&ReferenceSamples::xi0))
        .def("__repr__", [](const RunResult& r) {
            return "<cosmophase.Run q=" + accelerationText(r.parameters.q) + " T=" +
                   std::to_string(r.parameters.T) + " status=" + statusWord(r.status) +
                   " samples=" + std::to_string(r.index.size()) + ">";
        });
}

} // namespace

PYBIND11_MODULE(cosmophase, m)
{
    m.doc() = R"(Cosmophase's four-variable cosmological model from Python.

The same computations as the ``cosmophase-export`` subcommands, bit for
bit, with numpy float64 arrays for columns: run, accuracy, sweep, solve,
trace, curves and equilibria. Bad arguments raise ValueError (TypeError for
a wrong type) with the command line's message. Computations release the GIL.)";
    m.attr("__version__") = COSMOPHASE_VERSION;
    // Each docstring starts with its signature in Python's terms; the stubs
    // carry the types.
    py::options options;
    options.disable_function_signatures();
    defineRun(m);

    m.def("run", &run, py::arg("q") = RunParameters::kDefaultAcceleration,
          py::arg("T") = RunParameters::kDefaultTemperature, py::arg("reference") = false,
          R"(run(q=0.999999426, T=9000, reference=False) -> Run

The forward run from q and T, as ``cosmophase-export samples``.

q is a real number with 0 < q < sqrt(7)/2 and T a whole number from 1 to
2147483647 (ValueError outside). A run that cannot reach the present day is
returned with its status and the samples it made. reference=True adds the
reference solution at each sample's model time.)");
    m.def("accuracy", &accuracy, py::arg("q") = RunParameters::kDefaultAcceleration,
          py::arg("T") = RunParameters::kDefaultTemperature,
          R"(accuracy(q=0.999999426, T=9000) -> dict

The run's present day against the reference, as ``cosmophase-export accuracy``.

Returns {quantity: {"run", "reference", "error", "correct_digits"}} for
model_time, elapsed_years, z2, w0, w2, q0, xi0 and density_ratio.
ValueError when the run cannot reach the present day.)");
    m.def("sweep", &sweep, py::arg("q"), py::arg("T") = RunParameters::kDefaultTemperature,
          py::arg("threads") = py::none(), py::arg("reference") = false,
          R"(sweep(q, T=9000, threads=None, reference=False) -> dict

The present day at every (q, T) of a grid, as ``cosmophase-export sweep``.

q and T are each a number, a sequence of numbers or the command line's grid
text ("0.999999999:0.999:400:log", "1000:9000:5"); q outer, T inner.
Returns a dict of arrays keyed by the sweep's columns: q, T, status,
samples, elapsed_years, q0, xi0, density_ratio and, with reference=True,
reference_elapsed_years, reference_q0, reference_xi0 and
reference_density_ratio. Values a run did not reach are NaN. threads
(default: every core) changes nothing in the result. Ctrl+C stops it with
KeyboardInterrupt.)");
    m.def("solve", &solve, py::arg("age") = py::none(), py::arg("q0") = py::none(), py::arg("xi0") = py::none(),
          py::arg("T") = RunParameters::kDefaultTemperature, py::arg("threads") = py::none(),
          R"(solve(age=None, q0=None, xi0=None, T=9000, threads=None) -> list

Every q, 0 < q < 1, whose present day reaches the target, as ``cosmophase-export solve``.

Give exactly one of age (years), q0 and xi0. Returns a list of dicts with
integrator ("run" or "reference"), q, T, elapsed_years, q0, xi0 and
density_ratio: the run's solutions by increasing q, then the reference's.
ValueError with the reachable range when no q reaches the target.)");
    m.def("trace", &trace, py::arg("z2"), py::arg("w0"),
          R"(trace(z2, w0) -> dict

The solution through (z2, w0) both ways, as ``cosmophase-export trace``.

Returns {"forward": {"z2": array, "w0": array}, "backward": {...}}; each half
starts with the point itself.)");
    m.def("curves", &curves,
          R"(curves() -> dict

The family curve and the four manifold branches, as ``cosmophase-export curves``.

Returns {name: {"z2": array, "w0": array}} for family, stable_leave,
stable_rest, unstable_leave and unstable_rest, in that order.)");
    m.def("equilibria", &equilibria,
          R"(equilibria() -> list

The three equilibria of the (z2, w0) field, as ``cosmophase-export equilibria``.

Returns a list of dicts with z2, w0, eigenvalues (two complex numbers in
ascending order of real part), eigenvectors (a unit (dz2, dw0) for each
eigenvalue) and type ("saddle", "stable degenerate node", ...).)");
}
