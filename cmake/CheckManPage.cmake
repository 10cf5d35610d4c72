# Checks a man page against its program's --help, so neither can gain an
# option or subcommand the other lacks. Run with
#   cmake -DPROGRAM=<executable> -DPAGE=<page.1> -P CheckManPage.cmake
# Every option listed in --help, and every entry listed with a two-space
# indent (a subcommand), must be the tag of a .TP paragraph of the page; every
# --option tagged in the page must be in --help. The page must also format
# without warnings.

execute_process(COMMAND "${PROGRAM}" --help
  OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help exited with ${status}")
endif()

file(READ "${PAGE}" page)
# Plain text of the roff source: \- is a dash, font and spacing escapes go.
string(REPLACE "\\-" "-" page "${page}")
string(REGEX REPLACE "\\\\f[BIRP]|\\\\&|\\\\%" "" page "${page}")
string(REGEX MATCHALL "\n\\.TP\n[^\n]*" tags "${page}")
string(REPLACE ";" " " tags "${tags}")
string(APPEND tags " ")

# Options: the dash words in the first column of the indented option lines
# ("  -h, --help     Show..."), not those in descriptions.
string(REGEX MATCHALL "\n +-[^\n]*" option_lines "${help}")
set(options "")
foreach(line IN LISTS option_lines)
  string(STRIP "${line}" line)
  string(REGEX REPLACE "  .*" "" term "${line}")
  string(REGEX MATCHALL "--?[A-Za-z][A-Za-z0-9-]*" names "${term}")
  list(APPEND options ${names})
endforeach()
string(REGEX MATCHALL "\n  [a-z][a-z0-9_-]*" entries "${help}")
list(TRANSFORM entries STRIP)
set(documented ${options} ${entries})
list(REMOVE_DUPLICATES documented)

set(missing "")
foreach(name IN LISTS documented)
  if(NOT tags MATCHES "[^A-Za-z0-9_-]${name}[^A-Za-z0-9_-]")
    list(APPEND missing "${name}")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "${PAGE}: --help names ${missing}, which the page does not describe "
                      "(as the tag of a .TP paragraph)")
endif()

string(REGEX MATCHALL "--[A-Za-z][A-Za-z0-9-]*" tagged "${tags}")
set(stale "")
foreach(name IN LISTS tagged)
  if(NOT help MATCHES "[^A-Za-z0-9_-]${name}[^A-Za-z0-9_-]")
    list(APPEND stale "${name}")
  endif()
endforeach()
if(stale)
  message(FATAL_ERROR "${PAGE}: describes ${stale}, which --help does not name")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 MANWIDTH=80
                        man --warnings -E UTF-8 -l "${PAGE}"
  OUTPUT_QUIET ERROR_VARIABLE warnings RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
  message(FATAL_ERROR "${PAGE}: man reports (status ${status}):\n${warnings}")
endif()
message(STATUS "${PAGE}: ${documented} described")
