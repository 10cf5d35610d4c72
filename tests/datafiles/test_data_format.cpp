#include "DataFormat.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>

using namespace cosmophase;

// Shortest round-trip text would read back too, but the format is "%.17g";
// JSON has no NaN or infinity, and a non-finite sample has non-finite read-outs.
TEST(ExportFormat, Percent17gEvenAtTheEdgesAndNamedOrNullWhenNotFinite)
{
    for (double value : {0.1, -0.0, 5e-324, DBL_MIN, -DBL_MAX, 1e23, 13143589681.210569}) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.17g", value);
        EXPECT_EQ(formatDouble(value), expected);
        EXPECT_EQ(jsonNumber(value), expected);
    }
    const std::vector<double> z2{-std::nan("")}, w0{HUGE_VAL}, w2{-HUGE_VAL}, time{1.0};
    EXPECT_EQ(samplesCsv({z2, w0, w2, time}),
              "index,time_years,z2,w0,w2,density_ratio,q0,xi0\n0,1,nan,inf,-inf,nan,nan,nan\n");
    EXPECT_EQ(samplesJson({z2, w0, w2, time}, RunParameters{0.5, 7}),
              "{\"q\":0.5,\"T\":7,\"index\":[0],\"time_years\":[1],\"z2\":[null],\"w0\":[null],\"w2\":[null],"
              "\"density_ratio\":[null],\"q0\":[null],\"xi0\":[null]}\n");
}

// FNV-1a 64 over little-endian z2, w0, w2, time sample by sample, as the
// README documents it; one ulp anywhere or another column order is another run.
TEST(SamplesDigest, KnownVectorsAndSensitivity)
{
    const std::vector<double> z2{1.0}, w0{2.0}, w2{3.0}, time{4.0};
    EXPECT_EQ(samplesDigest({z2, w0, w2, time}), "93b2be02cd2882a0");
    std::vector<double> data[] = {{1.0, -0.5}, {2.0, 0.0}, {3.0, 1e300}, {4.0, 5e-324}};
    const auto digest = [&data] { return samplesDigest({data[0], data[1], data[2], data[3]}); };
    EXPECT_EQ(digest(), "8794e0f9a850fbb2");
    EXPECT_NE(samplesDigest({data[1], data[0], data[2], data[3]}), "8794e0f9a850fbb2");
    for (std::vector<double>& column : data)
        for (double& value : column) {
            const double kept = value;
            value = std::nextafter(value, DBL_MAX);
            EXPECT_NE(digest(), "8794e0f9a850fbb2") << (&column - data) << " " << kept;
            value = kept;
        }
}
