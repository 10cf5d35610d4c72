#pragma once

#include "OrderedParallel.h"
#include "ParameterGrid.h"
#include "Shard.h"
#include "StudyPoint.h"

#include <cstdint>
#include <thread>

namespace cosmophase::studies {

// Most threads a sweep or a solve may be given.
inline constexpr unsigned kMaxStudyThreads = 1024;

// The threads a sweep or a solve uses unless told otherwise: every core.
inline unsigned machineCores()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : cores;
}

// The parameters of a sweep's row: q outer, T inner.
inline RunParameters sweepParameters(const ParameterGrid& q, const ParameterGrid& T, std::uint64_t row)
{
    const std::uint64_t columns = T.size();
    return {q[row / columns], static_cast<std::int32_t>(T[row % columns])};
}

// The study points of `rows` of the q x T grid, computed on `threads`
// workers and handed to emit(row, point) in row order (see computeInOrder).
template <class Emit>
bool sweepInOrder(const ParameterGrid& q, const ParameterGrid& T, RowRange rows, unsigned threads,
                  bool withReference, Emit emit)
{
    const auto compute = [&](std::uint64_t row) {
        return computeStudyPoint(sweepParameters(q, T, row), withReference);
    };
    return computeInOrder<StudyPoint>(rows.begin, rows.end, threads, compute, emit);
}

} // namespace cosmophase::studies
