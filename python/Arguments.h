#pragma once

#include "ParameterGrid.h"
#include "ParameterSolver.h"
#include "RunParameters.h"

#include <pybind11/pybind11.h>

#include <string>

namespace cosmophase::python {

// Python's arguments read into the libraries' values. Each goes through the
// same parsing and checks as the command line's option text, so the errors
// are its one-line messages: ValueError for a value outside the domain,
// TypeError for a value of the wrong kind.

// q a real number, T an integer, both inside the run's domain.
RunParameters runParameters(pybind11::handle q, pybind11::handle T);

// A sweep's grids: a number (an integer for T), a sequence of them, or the
// command line's grid text ("0.999999999:0.999:400:log").
studies::ParameterGrid accelerationGrid(pybind11::handle q);
studies::ParameterGrid temperatureGrid(pybind11::handle T);

// None for every core, else a whole number from 1 to 1024.
unsigned threadCount(pybind11::handle threads);

// Exactly one of age, q0 and xi0, each a finite number.
studies::SolveRequest solveRequest(pybind11::handle age, pybind11::handle q0, pybind11::handle xi0,
                                   pybind11::handle T, pybind11::handle threads);

// True or False.
bool flag(pybind11::handle value, const char* name);

// A finite number, for trace's point.
double finiteNumber(pybind11::handle value, const char* name);

} // namespace cosmophase::python
