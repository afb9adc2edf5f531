# pelmar_gtest_verdict(TEST...): a GoogleTest run passes only on its own closing line with a
# test passed, so that a filter that matches nothing, or a process that ends with 0 before
# its checks, fails. A failed check, a sanitizer's report and the status that cmake/run-test
# says fail it even after that line: ctest's pass pattern alone ignores the exit code. A run
# whose tests all skipped is skipped.
function(pelmar_gtest_verdict)
    if(NOT ARGN)
        return()
    endif()
    set_tests_properties(${ARGN} PROPERTIES
        PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] [1-9][0-9]* tests?\\."
        FAIL_REGULAR_EXPRESSION
            "\\[  FAILED  \\];the test program ended with status;ERROR: [A-Za-z]+Sanitizer;runtime error:"
        SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\] [1-9][0-9]* tests?, listed below")
endfunction()
