#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cosmophase {

// The two numbers a run starts from: the initial acceleration parameter q
// and the initial temperature T. Everything else about a run follows from
// them; the curves of the phase plane do not depend on them.
struct RunParameters {
    static constexpr double kDefaultAcceleration = 0.999999426;
    static constexpr std::int32_t kDefaultTemperature = 9000;

    double q = kDefaultAcceleration;
    std::int32_t T = kDefaultTemperature;

    // Bit for bit, so that only the seed run counts as the default.
    bool isDefault() const;
    friend bool operator==(const RunParameters& a, const RunParameters& b);
    friend bool operator!=(const RunParameters& a, const RunParameters& b) { return !(a == b); }
};

// The parameters a run may start from.
//
// q: the start has s = 4(2 - q^2)/(7 - 4q^2), whose denominator changes sign
// at q = sqrt(7)/2; beyond it the equality value starts negative and the run
// ends in NaN or stalls, and as q approaches it the start moves off to
// infinity. So q < sqrt(7)/2, decided by the run's own arithmetic: the
// denominator must come out positive. q must also be positive: the first
// time sample is 606300 s q / T^2 years, negative for q < 0 and zero for
// q = 0, and the elapsed time, its logarithmic axis and playback need it
// positive. T: a positive 32-bit integer (T = 0 puts the start at infinity
// and no step is taken). Jointly, the time offset must not round to zero,
// which only a q below about 1e-310 with a large T does.
//
// Inside the domain the bounded run reaches the epoch except very close to
// the pole (q above about 1.32287), where it runs out of steps; see
// bench/scan_parameter_domain.
struct ParameterDomain {
    static constexpr std::int32_t kMinTemperature = 1;

    // One line saying why the value is refused; empty inside the domain.
    static std::string checkAcceleration(double q);
    static std::string checkTemperature(std::int64_t T);
    static std::string check(const RunParameters& parameters);
};

// The value and the text to show when it is refused; exactly one is set.
template <typename T>
struct ParsedValue {
    std::optional<T> value;
    std::string error;
};

// q: a finite decimal number and nothing else (an optional leading '+', no
// spaces, no hexadecimal, nan or inf), read to the nearest double, so that
// what is typed is what runs; then the domain check.
ParsedValue<double> parseAcceleration(std::string_view text);
// T: decimal digits only (an optional leading '+'), a positive 32-bit integer
// inside the domain.
ParsedValue<std::int32_t> parseTemperature(std::string_view text);

// The shortest text that reads back as exactly q ("0.999999426").
std::string accelerationText(double q);

} // namespace cosmophase
