#pragma once

// Runs of a grid of q at T = 9000 as a family or as pinned runs, not yet
// laid out, for the frame measurements.

#include "FamilyRuns.h"
#include "RunCurves.h"

#include <memory>
#include <vector>

inline cosmophase::plot::RunCurves benchRunsOf(const char* grid, bool pinned)
{
    namespace plot = cosmophase::plot;
    const cosmophase::studies::GridParse parsed = cosmophase::studies::GridParse::acceleration(grid);
    std::vector<double> qs;
    for (std::size_t i = 0; i < parsed.grid->size(); ++i)
        qs.push_back((*parsed.grid)[i]);
    const plot::FamilyScale scale = plot::familyScaleOf(qs);
    plot::RunCurves runs;
    cosmophase::studies::computeFamily(*parsed.grid, 9000, 0, [&](std::size_t i, cosmophase::studies::FamilyRun&& run) {
        const double q = run.parameters.q;
        auto curve = std::make_shared<const cosmophase::Curve>(cosmophase::Curve{std::move(run.z2), std::move(run.w0)});
        (pinned ? runs.pinned : runs.family)
            .push_back({plot::runLabel(q, 9000),
                        pinned ? plot::pinnedRunColour(i) : plot::familyColour(plot::familyPosition(q, scale)), true,
                        q, std::move(curve), {}});
        return true;
    });
    if (!pinned)
        runs.scale = scale;
    return runs;
}
