# The checks that need no Wine, as ctest tests of the native tree: the tree builds itself
# first, then its unit tests run under the sanitizers, then the set-up tests, fuzzing, the
# static analysis and, on the built i686 tree PELMAR_WINDOWS_TREE, Pelmar.exe's header and
# the reproducibility build. ctest -L checks runs the checks alone. Their time limits are
# tests/time-limits.env's; they must end within CHECKS all together, so that even one at a
# time they would. The fuzzing, the longest, starts first.
include(${PROJECT_SOURCE_DIR}/cmake/time-limits.cmake)
set(PELMAR_WINDOWS_TREE ${PROJECT_SOURCE_DIR}/build CACHE PATH "The built i686 tree the release checks read")
add_test(NAME check.build COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} -j 2)
set_tests_properties(check.build PROPERTIES FIXTURES_SETUP native_built LABELS checks)
set_tests_properties(${unit_list} PROPERTIES FIXTURES_REQUIRED native_built LABELS native)

set(scripts ${PROJECT_SOURCE_DIR}/scripts)
add_test(NAME check.setup COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/scripts/test_setup.sh)
add_test(NAME check.fuzz COMMAND bash ${scripts}/fuzz.sh --smoke)
add_test(NAME check.static-analysis COMMAND bash ${scripts}/static-analysis.sh)
add_test(NAME check.player-exe COMMAND bash ${scripts}/package.sh --check-exe)
add_test(NAME check.reproducible COMMAND bash ${scripts}/package.sh --reproducible)
set_tests_properties(check.setup check.fuzz check.static-analysis check.player-exe check.reproducible
    PROPERTIES LABELS checks ENVIRONMENT "PELMAR_BUILD=${PELMAR_WINDOWS_TREE}")
set_tests_properties(check.fuzz PROPERTIES COST 1000)

pelmar_time_limit(all CHECKS)
pelmar_time_limit(each NATIVE_TEST)
list(LENGTH unit_list units)
math(EXPR sum "${units} * ${each}")
set_tests_properties(${unit_list} PROPERTIES TIMEOUT ${each})
foreach(check build setup fuzz static-analysis player-exe reproducible)
    string(TOUPPER "CHECK_${check}" key)
    string(REPLACE "-" "_" key ${key})
    pelmar_time_limit(limit ${key})
    set_tests_properties(check.${check} PROPERTIES TIMEOUT ${limit})
    math(EXPR sum "${sum} + ${limit}")
endforeach()
if(NOT sum LESS all)
    message(FATAL_ERROR "tests/time-limits.env: the checks' limits add up to ${sum} s, CHECKS is ${all} s")
endif()
