#pragma once

#include "Equilibria.h"
#include "SolutionTrace.h"

#include <string>
#include <vector>

namespace cosmophase {

// The curves' layout (header "curve,index,z2,w0"), for each trace k, 1-based
// in the order given, "trace<k>_forward" then "trace<k>_backward".
std::string tracesCsv(const std::vector<SolutionTrace>& traces);
// One member per curve as in curvesJson, named as in tracesCsv.
std::string tracesJson(const std::vector<SolutionTrace>& traces);

// One trace as the command line writes it: curves "forward" then "backward".
std::string traceCsv(const SolutionTrace& trace);
std::string traceJson(const SolutionTrace& trace);

// Header "z2,w0,eigenvalue1_re,eigenvalue1_im,eigenvalue2_re,eigenvalue2_im,type",
// one row per equilibrium.
std::string equilibriaCsv(const std::vector<Equilibrium>& equilibria);
// An array with one object per equilibrium: {"z2","w0","eigenvalues":
// [{"re","im"},...],"eigenvectors":[[{"re","im"},{"re","im"}],...],"type"};
// eigenvectors[k] belongs to eigenvalues[k] and is (dz2, dw0).
std::string equilibriaJson(const std::vector<Equilibrium>& equilibria);

} // namespace cosmophase
