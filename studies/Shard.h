#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace cosmophase::studies {

// Shard K of N of a sweep: rows floor((K-1)R/N) to floor(KR/N) - 1 of its R
// rows, so that the shards of any R cover it once, in order.
struct Shard {
    std::uint64_t index = 1; // K, from 1
    std::uint64_t count = 1; // N

    // "K/N" with 1 <= K <= N.
    static std::optional<Shard> parse(std::string_view text);
};

struct RowRange {
    std::uint64_t begin = 0;
    std::uint64_t end = 0; // one past the last row
};

RowRange rowsOf(const Shard& shard, std::uint64_t totalRows);

} // namespace cosmophase::studies
