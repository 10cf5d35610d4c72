#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// A failed check aborts, which libFuzzer reports with the input that did it.
#define FUZZ_CHECK(condition)                                                                \
    do {                                                                                     \
        if (!(condition)) {                                                                  \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)

namespace cosmophase::fuzz {

// Reads fixed-size values from the fuzzer's bytes. Doubles are taken as raw
// bit patterns, so NaNs (with any payload), infinities, subnormals and the
// largest magnitudes all occur. Past the end everything reads as zero.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint8_t byte()
    {
        std::uint8_t value = 0;
        take(&value, sizeof value);
        return value;
    }

    double real()
    {
        double value = 0;
        take(&value, sizeof value);
        return value;
    }

    std::int32_t integer()
    {
        std::int32_t value = 0;
        take(&value, sizeof value);
        return value;
    }

private:
    void take(void* out, std::size_t count)
    {
        const std::size_t n = count < m_size - m_used ? count : m_size - m_used;
        if (n > 0)
            std::memcpy(out, m_data + m_used, n);
        m_used += n;
    }

    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_used = 0;
};

inline std::uint64_t bitsOf(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The 80 value bits of an x87 extended number (the rest of the object is
// padding with unspecified contents).
inline bool sameExtended(long double a, long double b)
{
    return std::memcmp(&a, &b, 10) == 0;
}

} // namespace cosmophase::fuzz
