# The model's results are defined bit for bit in terms of the x87 80-bit
# extended format; any other long double would silently change them.
include(CheckCXXSourceCompiles)

check_cxx_source_compiles([=[
  #include <limits>
  static_assert(std::numeric_limits<long double>::digits == 64, "64-bit significand");
  static_assert(std::numeric_limits<long double>::max_exponent == 16384, "15-bit exponent");
  static_assert(std::numeric_limits<long double>::radix == 2, "binary");
  #if !defined(__x86_64__) && !defined(__i386__)
  #error "not x87"
  #endif
  int main() { return 0; }
]=] COSMOPHASE_HAS_X87_LONG_DOUBLE)

if(NOT COSMOPHASE_HAS_X87_LONG_DOUBLE)
  message(FATAL_ERROR
    "Cosmophase needs long double to be the x87 80-bit extended format "
    "(64-bit significand, 15-bit exponent), as on x86-64 Linux. This compiler "
    "or target provides a different long double, so the model's results would "
    "not be reproducible. Build on x86-64 Linux with GCC or Clang.")
endif()

# Flags for every translation unit whose arithmetic is part of the model's
# defined behaviour: no fused multiply-add, no value-changing optimisations.
set(COSMOPHASE_EXACT_FP_FLAGS -ffp-contract=off -fno-fast-math)
