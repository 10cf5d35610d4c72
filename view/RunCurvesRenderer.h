#pragma once

#include "RunCurves.h"

namespace cosmophase {

// Draws pinned runs and a family with vertex and colour arrays, one draw
// call for each list: fifty runs drawn one by one cost more in GL's
// per-call work than in their few hundred vertices. Sets its own widths;
// the current colour is left undefined, as after any colour array.
class RunCurvesRenderer {
public:
    static void draw(const plot::RunCurves& runs);
};

} // namespace cosmophase
