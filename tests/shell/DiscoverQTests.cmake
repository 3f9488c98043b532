# Run by the build each time a QTest program links (cmake -P): asks the
# program for its test functions (-functions) and writes CTEST_FILE with one
# CTest test per function, named TEST_PREFIX<function>, so a slot added to a
# test class runs without being listed anywhere.
#
#   -D TEST_EXECUTABLE=<program> -D TEST_PREFIX=<prefix> -D CTEST_FILE=<file>
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${TEST_EXECUTABLE} -functions
    OUTPUT_VARIABLE output
    ERROR_VARIABLE errors
    RESULT_VARIABLE result
    TIMEOUT 60)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${TEST_EXECUTABLE} -functions failed (${result}):\n${output}${errors}")
endif()

string(REGEX MATCHALL "[A-Za-z_][A-Za-z_0-9]*\\(\\)" functions "${output}")
if(NOT functions)
    message(FATAL_ERROR "${TEST_EXECUTABLE} -functions listed no test function:\n${output}${errors}")
endif()

# Offscreen, Chromium without its sandbox (the tests may run as root), no
# registry from the user's environment; a QSKIP shows as skipped, not passed.
# Functions that check nothing a change breaks and take long (the
# screenshots for the documentation) run in `make check` only (label slow).
set(slow_functions screenshots)
set(content "")
foreach(function IN LISTS functions)
    string(REPLACE "()" "" function "${function}")
    set(test "${TEST_PREFIX}${function}")
    set(labels workbench)
    list(FIND slow_functions "${function}" slow)
    if(NOT slow EQUAL -1)
        set(labels "workbench;slow")
    endif()
    string(APPEND content
        "add_test([=[${test}]=] [=[${TEST_EXECUTABLE}]=] ${function})\n"
        "set_tests_properties([=[${test}]=] PROPERTIES\n"
        "    ENVIRONMENT [=[QT_QPA_PLATFORM=offscreen;QTWEBENGINE_CHROMIUM_FLAGS=--no-sandbox;TARNWICK_REGISTRY=]=]\n"
        "    LABELS [=[${labels}]=] TIMEOUT 120 SKIP_REGULAR_EXPRESSION [=[SKIP   : ]=])\n")
endforeach()
file(WRITE "${CTEST_FILE}" "${content}")
