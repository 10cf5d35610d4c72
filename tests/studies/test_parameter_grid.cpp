#include "ParameterGrid.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using cosmophase::studies::GridParse;

namespace {

std::vector<double> values(const GridParse& parse)
{
    std::vector<double> out;
    for (std::size_t i = 0; i < parse.grid->size(); ++i)
        out.push_back((*parse.grid)[i]);
    return out;
}

struct Accepted {
    const char* text;
    bool temperature;
    std::vector<double> expected;
};

TEST(ParameterGrid, AcceptedGridsGiveTheirValuesWithExactEnds)
{
    const Accepted cases[] = {
        {"0.5,0.25,1", false, {0.5, 0.25, 1}},
        {"0:1:5", false, {0, 0.25, 0.5, 0.75, 1}},
        {"0.999999426:0.999999426:1", false, {0.999999426}},
        {"0.9:0.999:3:log", false, {0.9, 1 - 1e-2, 0.999}},
        {"1000:100000:100", true, {}},
        {"9000,1,2147483647", true, {9000, 1, 2147483647}},
        {"1000:1006:4", true, {1000, 1002, 1004, 1006}},
    };
    for (const Accepted& c : cases) {
        const GridParse parse = c.temperature ? GridParse::temperature(c.text) : GridParse::acceleration(c.text);
        ASSERT_TRUE(parse.grid) << c.text << ": " << parse.error;
        if (!c.expected.empty()) {
            const std::vector<double> got = values(parse);
            ASSERT_EQ(got.size(), c.expected.size()) << c.text;
            for (std::size_t i = 0; i < got.size(); ++i)
                EXPECT_NEAR(got[i], c.expected[i], 1e-15) << c.text << " value " << i;
            EXPECT_EQ(got.front(), c.expected.front()) << c.text;
            EXPECT_EQ(got.back(), c.expected.back()) << c.text;
        }
    }
    // Whole steps stay whole however long the grid.
    const GridParse wide = GridParse::temperature("1:2000000001:1001");
    ASSERT_TRUE(wide.grid);
    for (std::size_t i = 0; i < wide.grid->size(); ++i)
        ASSERT_EQ((*wide.grid)[i], 1.0 + 2e6 * static_cast<double>(i));
}

// A log grid, typed in q or in 1 - q, meets the q typed for the same point:
// its ends, and whole decades inside it. A grid in 1 - q gives q = 1 - value.
TEST(ParameterGrid, GridsMeetTheQsTypedForTheSamePoints)
{
    struct Case {
        bool oneMinusQ;
        const char* text;
        std::vector<const char*> q; // as typed with --q
    };
    const Case cases[] = {
        {true, "1e-9:1e-3:7:log", {"0.999999999", "0.99999999", "0.9999999", "0.999999", "0.99999", "0.9999", "0.999"}},
        {true, "1e-3:1e-9:4:log", {"0.999", "0.99999", "0.9999999", "0.999999999"}},
        {true, "0.5:0.25:3", {"0.5", "0.625", "0.75"}},
        {true, "1e-6,0.5,-0.25", {"0.999999", "0.5", "1.25"}},
        {true, " 1e-6, 0.5 ", {"0.999999", "0.5"}},
        {false, "0.99999:0.9999999:3:log", {"0.99999", "0.999999", "0.9999999"}},
        {false, "0.999999999:0.999:7:log", {"0.999999999", "0.99999999", "0.9999999", "0.999999", "0.99999", "0.9999", "0.999"}},
        {false, "9.9999e-1:-9:3:log", {"0.99999", "0.99", "-9"}},
    };
    for (const Case& c : cases) {
        const GridParse parse = c.oneMinusQ ? GridParse::oneMinusAcceleration(c.text) : GridParse::acceleration(c.text);
        ASSERT_TRUE(parse.grid) << c.text << ": " << parse.error;
        const std::vector<double> got = values(parse);
        ASSERT_EQ(got.size(), c.q.size()) << c.text;
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_EQ(got[i], std::strtod(c.q[i], nullptr)) << c.text << " value " << i;
    }
}

TEST(ParameterGrid, RefusesWhatIsNotAGrid)
{
    for (const char* q : {"", "0.5,", "nan", "inf:1:3", "0:1:0", "0:1:-2", "0:1:x", "0:2:1", "0.5:1:3:log",
                          "0.5:0.9:3:lin", "1:2:3:4:5", "0x1p-3", "0.5 5", "1e999"})
        EXPECT_FALSE(GridParse::acceleration(q).grid) << q;
    // Values of 1 - q typed as a log q grid: refused, not run as q.
    for (const char* q : {"1e-9:1e-3:5:log", "0.1:0.4:3:log"})
        EXPECT_FALSE(GridParse::acceleration(q).grid) << q;
    for (const char* u : {"", "nan", "0:1e-3:3:log", "-1e-3:1e-3:3:log", "1e-17", "1e-3:1e-20:3:log", "1e-9:1e-3:5:lin"})
        EXPECT_FALSE(GridParse::oneMinusAcceleration(u).grid) << u;
    for (const char* t : {"0", "-5", "9000.5", "1e3", "1:10:5", "2147483648", "100:1:0", "1:2:3:log", "9000,"})
        EXPECT_FALSE(GridParse::temperature(t).grid) << t;
}

} // namespace
