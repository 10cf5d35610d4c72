#pragma once

#include "ReferenceSamples.h"
#include "RunParameters.h"
#include "SampleColumns.h"

#include <cstddef>
#include <string>
#include <vector>

namespace cosmophase {

// Header "index,time_years,z2,w0,w2,density_ratio,q0,xi0" and one row per
// sample; the last three columns are computed as the read-outs compute them.
// With `reference` (one entry per sample) the columns reference_z2,
// reference_w0, reference_w2, reference_density_ratio, reference_q0 and
// reference_xi0 follow.
std::string samplesCsv(const SampleColumns& samples, const ReferenceSamples* reference = nullptr);
// The same header and only the rows `rows`, in that order; indices beyond
// the samples are left out.
std::string samplesCsvRows(const SampleColumns& samples, const std::vector<std::size_t>& rows,
                           const ReferenceSamples* reference = nullptr);

// One object: the run's parameters "q" and "T", then one array per CSV
// column; non-finite values are null.
std::string samplesJson(const SampleColumns& samples, const RunParameters& parameters,
                        const ReferenceSamples* reference = nullptr);

// FNV-1a 64 over the IEEE-754 bytes (little-endian) of z2, w0, w2 and time of
// sample 0, then sample 1, and so on, as 16 lower-case hex digits.
std::string samplesDigest(const SampleColumns& samples);

// "%.17g" (reads back exactly), independent of the C locale; non-finite
// values become "nan", "inf" or "-inf".
std::string formatDouble(double value);

// As formatDouble, but "null" for non-finite values.
std::string jsonNumber(double value);

// formatDouble / jsonNumber / a decimal index appended in place: the big
// exports format hundreds of thousands of numbers.
void appendDouble(std::string& out, double value);
void appendJsonNumber(std::string& out, double value);
void appendIndex(std::string& out, std::size_t index);

} // namespace cosmophase
