#include "DataFormat.h"

#include "Observables.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace cosmophase {

namespace {

constexpr const char* kColumnNames[] = {"index", "time_years", "z2",  "w0",
                                        "w2",    "density_ratio", "q0", "xi0"};

constexpr std::vector<double> ReferenceSamples::*kReferenceColumns[] = {
    &ReferenceSamples::z2, &ReferenceSamples::w0, &ReferenceSamples::w2,
    &ReferenceSamples::densityRatio, &ReferenceSamples::q0, &ReferenceSamples::xi0};
constexpr const char* kReferenceColumnNames[] = {"reference_z2", "reference_w0", "reference_w2",
                                                 "reference_density_ratio", "reference_q0",
                                                 "reference_xi0"};

// One sample with the columns derived from it.
struct SampleRow {
    double time = 0;
    double z2 = 0;
    double w0 = 0;
    double w2 = 0;
    double densityRatio = 0;
    double q0 = 0;
    double xi0 = 0;
};

SampleRow sampleRow(const SampleColumns& samples, std::size_t k)
{
    SampleRow row;
    row.time = samples.time[k];
    row.z2 = samples.z2[k];
    row.w0 = samples.w0[k];
    row.w2 = samples.w2[k];
    const SampleObservables derived = sampleObservables(row.z2, row.w0, row.w2);
    row.densityRatio = derived.densityRatio;
    row.q0 = derived.q0;
    row.xi0 = derived.xi0;
    return row;
}

std::vector<SampleRow> sampleRows(const SampleColumns& samples)
{
    std::vector<SampleRow> rows;
    rows.reserve(samples.time.size());
    for (std::size_t k = 0; k < samples.time.size(); ++k)
        rows.push_back(sampleRow(samples, k));
    return rows;
}

} // namespace

void appendDouble(std::string& out, double value)
{
    if (std::isnan(value)) {
        out += "nan";
    } else if (std::isinf(value)) {
        out += value < 0 ? "-inf" : "inf";
    } else {
        // to_chars with general format and precision 17 is defined as %.17g
        // in the C locale, so the text does not depend on the process's locale.
        char buffer[32];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
        out.append(buffer, result.ptr);
    }
}

void appendJsonNumber(std::string& out, double value)
{
    if (std::isfinite(value))
        appendDouble(out, value);
    else
        out += "null";
}

void appendIndex(std::string& out, std::size_t index)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, index);
    out.append(buffer, result.ptr);
}

std::string formatDouble(double value)
{
    std::string out;
    appendDouble(out, value);
    return out;
}

std::string jsonNumber(double value)
{
    std::string out;
    appendJsonNumber(out, value);
    return out;
}

namespace {

void appendCsvHeader(std::string& out, bool withReference)
{
    for (const char* name : kColumnNames) {
        if (name != kColumnNames[0])
            out += ',';
        out += name;
    }
    if (withReference) {
        for (const char* name : kReferenceColumnNames) {
            out += ',';
            out += name;
        }
    }
    out += '\n';
}

void appendCsvRow(std::string& out, const SampleColumns& samples, const ReferenceSamples* reference, std::size_t k)
{
    const SampleRow row = sampleRow(samples, k);
    appendIndex(out, k);
    for (double v : {row.time, row.z2, row.w0, row.w2, row.densityRatio, row.q0, row.xi0}) {
        out += ',';
        appendDouble(out, v);
    }
    if (reference) {
        for (const auto column : kReferenceColumns) {
            out += ',';
            appendDouble(out, (reference->*column)[k]);
        }
    }
    out += '\n';
}

} // namespace

std::string samplesCsv(const SampleColumns& samples, const ReferenceSamples* reference)
{
    std::string out;
    appendCsvHeader(out, reference != nullptr);
    out.reserve(samples.time.size() * (reference ? 14 : 8) * 24);
    for (std::size_t k = 0; k < samples.time.size(); ++k)
        appendCsvRow(out, samples, reference, k);
    return out;
}

std::string samplesCsvRows(const SampleColumns& samples, const std::vector<std::size_t>& rows,
                           const ReferenceSamples* reference)
{
    std::string out;
    appendCsvHeader(out, reference != nullptr);
    out.reserve(rows.size() * (reference ? 14 : 8) * 24);
    for (const std::size_t k : rows)
        if (k < samples.time.size())
            appendCsvRow(out, samples, reference, k);
    return out;
}

std::string samplesJson(const SampleColumns& samples, const RunParameters& parameters,
                        const ReferenceSamples* reference)
{
    const std::vector<SampleRow> rows = sampleRows(samples);
    std::string out = "{\"q\":" + accelerationText(parameters.q) + ",\"T\":" + std::to_string(parameters.T);
    out += ",\"index\":[";
    out.reserve(rows.size() * 8 * 24);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        if (k != 0)
            out += ',';
        appendIndex(out, k);
    }
    out += ']';
    static constexpr double SampleRow::*kFields[] = {
        &SampleRow::time, &SampleRow::z2, &SampleRow::w0, &SampleRow::w2,
        &SampleRow::densityRatio, &SampleRow::q0, &SampleRow::xi0};
    for (std::size_t column = 0; column < std::size(kFields); ++column) {
        out += ",\"";
        out += kColumnNames[column + 1];
        out += "\":[";
        for (std::size_t k = 0; k < rows.size(); ++k) {
            if (k != 0)
                out += ',';
            appendJsonNumber(out, rows[k].*kFields[column]);
        }
        out += ']';
    }
    for (std::size_t column = 0; reference && column < std::size(kReferenceColumns); ++column) {
        out += ",\"";
        out += kReferenceColumnNames[column];
        out += "\":[";
        const std::vector<double>& values = reference->*kReferenceColumns[column];
        for (std::size_t k = 0; k < values.size(); ++k) {
            if (k != 0)
                out += ',';
            appendJsonNumber(out, values[k]);
        }
        out += ']';
    }
    out += "}\n";
    return out;
}

std::string samplesDigest(const SampleColumns& samples)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    const auto mix = [&hash](double value) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        // Byte order is fixed to little-endian so digests compare across hosts.
        for (int byte = 0; byte < 8; ++byte) {
            hash ^= (bits >> (8 * byte)) & 0xffU;
            hash *= 0x100000001b3ULL;
        }
    };
    for (std::size_t k = 0; k < samples.time.size(); ++k) {
        mix(samples.z2[k]);
        mix(samples.w0[k]);
        mix(samples.w2[k]);
        mix(samples.time[k]);
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string digest(16, '0');
    for (int nibble = 15; nibble >= 0; --nibble) {
        digest[static_cast<std::size_t>(nibble)] = kHex[hash & 0xfU];
        hash >>= 4;
    }
    return digest;
}

} // namespace cosmophase
