#include "ExportCore.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>

using namespace cosmophase;

// Shortest round-trip text would read back too, but the format is "%.17g".
TEST(FormatDouble, IsPercent17gEvenAtTheEdges)
{
    for (double value : {0.1, -0.0, 5e-324, DBL_MIN, -DBL_MAX, 1e23, -1.25e-7, 13143589681.210569}) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.17g", value);
        EXPECT_EQ(formatDouble(value), expected);
        EXPECT_EQ(jsonNumber(value), expected);
    }
}

// JSON has no NaN or infinity; the derived columns of such a sample are not finite either.
TEST(SamplesExport, NonFiniteValuesAreNamedInCsvAndNullInJson)
{
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> z2{-std::nan("")}, w0{inf}, w2{-inf}, time{1.0};
    EXPECT_EQ(samplesCsv({z2, w0, w2, time}),
              "index,time_years,z2,w0,w2,density_ratio,q0,xi0\n0,1,nan,inf,-inf,nan,nan,nan\n");
    EXPECT_EQ(samplesJson({z2, w0, w2, time}),
              "{\"index\":[0],\"time_years\":[1],\"z2\":[null],\"w0\":[null],\"w2\":[null],"
              "\"density_ratio\":[null],\"q0\":[null],\"xi0\":[null]}\n");
}

// FNV-1a 64 over little-endian z2, w0, w2, time per sample, as the README
// documents it; one ulp anywhere or another column order is another run.
TEST(SamplesDigest, KnownVectorAndSensitivity)
{
    std::vector<double> data[] = {{1.0, -0.5}, {2.0, 0.0}, {3.0, 1e300}, {4.0, 5e-324}};
    const auto digest = [&data](int a, int b) {
        return samplesDigest({data[a], data[b], data[2], data[3]});
    };
    EXPECT_EQ(digest(0, 1), "8794e0f9a850fbb2");
    EXPECT_NE(digest(1, 0), "8794e0f9a850fbb2");
    for (auto& column : data) {
        for (double& value : column) {
            const double kept = value;
            value = std::nextafter(value, DBL_MAX);
            EXPECT_NE(digest(0, 1), "8794e0f9a850fbb2") << (&column - data) << " " << kept;
            value = kept;
        }
    }
}
