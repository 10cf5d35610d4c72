# Instrumented builds, each in a build folder of its own.
#
# COSMOPHASE_SANITIZE: AddressSanitizer and UndefinedBehaviorSanitizer over
# every target, aborting on the first report so that a test fails on it.
# COSMOPHASE_FUZZ: libFuzzer targets in tests/fuzz (clang only); the code
# under test is instrumented for coverage and checked by the same sanitizers.
option(COSMOPHASE_SANITIZE "Build everything with ASan and UBSan" OFF)
option(COSMOPHASE_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

set(COSMOPHASE_SANITIZER_FLAGS
  -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

if(COSMOPHASE_SANITIZE OR COSMOPHASE_FUZZ)
  add_compile_options(${COSMOPHASE_SANITIZER_FLAGS})
  add_link_options(-fsanitize=address,undefined)
endif()

if(COSMOPHASE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "COSMOPHASE_FUZZ needs clang (libFuzzer); configure with CXX=clang++")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
