# Long runs (the full monkey, package installation, ...) stay out of the
# quick suite: plain `ctest` skips them, `ctest -C Long -L long` runs only
# them. scripts/test runs both stages.
function(cosmophase_add_long_test name)
  add_test(NAME ${name} CONFIGURATIONS Long ${ARGN})
  set_property(TEST ${name} APPEND PROPERTY LABELS long)
endfunction()
