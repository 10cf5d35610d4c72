#pragma once

#include "RunCurves.h"

namespace cosmophase {

// Draws pinned runs and a family with vertex arrays: fifty runs of some
// six hundred vertices each would be tens of thousands of immediate-mode
// calls a frame. Each curve sets its own colour and width.
class RunCurvesRenderer {
public:
    static void draw(const plot::RunCurves& runs);
};

} // namespace cosmophase
