#include "Shard.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

using cosmophase::studies::Shard;
using cosmophase::studies::rowsOf;

TEST(Shard, ShardsTileEveryRowOnceInOrder)
{
    for (const std::uint64_t rows : {0ULL, 1ULL, 2ULL, 7ULL, 1000ULL, 1000003ULL}) {
        for (const std::uint64_t n : {1ULL, 2ULL, 3ULL, 7ULL, 64ULL}) {
            std::uint64_t next = 0;
            for (std::uint64_t k = 1; k <= n; ++k) {
                const auto range = rowsOf(Shard{k, n}, rows);
                ASSERT_EQ(range.begin, next) << rows << " rows, shard " << k << "/" << n;
                ASSERT_LE(range.end - range.begin, rows / n + 1);
                next = range.end;
            }
            EXPECT_EQ(next, rows);
        }
    }
    const std::uint64_t huge = std::numeric_limits<std::uint64_t>::max();
    EXPECT_EQ(rowsOf(Shard{huge, huge}, huge).end, huge);
}

TEST(Shard, ParsesKOverN)
{
    EXPECT_EQ(Shard::parse("2/3")->index, 2U);
    EXPECT_EQ(Shard::parse("3/3")->count, 3U);
    for (const char* bad : {"0/3", "4/3", "1/0", "3", "/3", "1/", "-1/3", "1/3/4", "a/b", " 1/3"})
        EXPECT_FALSE(Shard::parse(bad)) << bad;
}
