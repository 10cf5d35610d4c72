#include "OrderedParallel.h"
#include "ProgressBar.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

using cosmophase::studies::computeInOrder;

namespace {

// Uneven costs, so later rows often finish before earlier ones.
std::uint64_t slowSquare(std::uint64_t row)
{
    if (row % 7 == 0)
        std::this_thread::sleep_for(std::chrono::microseconds(300));
    return row * row;
}

} // namespace

TEST(OrderedParallel, EmitsEveryRowInOrderForAnyThreadCount)
{
    for (const unsigned threads : {1U, 2U, 5U}) {
        std::vector<std::uint64_t> rows;
        std::vector<std::uint64_t> values;
        const bool complete = computeInOrder<std::uint64_t>(
            10, 500, threads, slowSquare, [&](std::uint64_t row, std::uint64_t value) {
                rows.push_back(row);
                values.push_back(value);
                return true;
            });
        EXPECT_TRUE(complete);
        ASSERT_EQ(rows.size(), 490U) << threads;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            ASSERT_EQ(rows[i], 10 + i) << threads;
            ASSERT_EQ(values[i], rows[i] * rows[i]) << threads;
        }
    }
}

TEST(OrderedParallel, StopsWhenEmitRefusesAndStaysWithinItsWindow)
{
    for (std::uint64_t ahead : {16, 2}) {
        std::atomic<std::uint64_t> computed{0};
        std::uint64_t emitted = 0;
        const bool complete = computeInOrder<std::uint64_t>(
            0, 1'000'000, 2,
            [&](std::uint64_t row) {
                ++computed;
                return row;
            },
            [&](std::uint64_t, std::uint64_t) { return ++emitted < 100; }, ahead);
        EXPECT_FALSE(complete);
        EXPECT_EQ(emitted, 100U);
        // Workers run at most a window (`ahead` rows a thread) ahead of the writer.
        EXPECT_LE(computed.load(), 100U + 2 * ahead + 2) << ahead;
    }
}

// A throw from a row or from the writer stops and joins the workers and
// reaches the caller; a joinable thread left behind would end the process.
TEST(OrderedParallel, RethrowsAFailureOfARowOrOfTheWriter)
{
    const auto compute = [](std::uint64_t row) -> std::uint64_t {
        if (row == 37)
            throw std::runtime_error("row 37");
        return row;
    };
    const auto emit = [](std::uint64_t row, std::uint64_t) {
        if (row == 41)
            throw std::runtime_error("write 41");
        return true;
    };
    for (const unsigned threads : {1U, 3U}) {
        EXPECT_THROW(computeInOrder<std::uint64_t>(0, 100, threads, compute, [](std::uint64_t, std::uint64_t) {
            return true;
        }), std::runtime_error) << threads;
        EXPECT_THROW(computeInOrder<std::uint64_t>(0, 1000, threads, slowSquare, emit), std::runtime_error)
            << threads;
    }
}

TEST(ProgressBar, LineShowsRowsRateAndTimeLeft)
{
    using cosmophase::studies::ProgressBar;
    EXPECT_EQ(ProgressBar::line(0, 200, 0, 4), "[....] 0/200 rows");
    EXPECT_EQ(ProgressBar::line(50, 200, 2.0, 4), "[#...] 50/200 rows, 25 rows/s, 0:06 left");
    EXPECT_EQ(ProgressBar::line(1, 100000, 1.0, 4), "[....] 1/100000 rows, 1 rows/s, 27:46:39 left");
}
