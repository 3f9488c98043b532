# Runs the tarnwick program once and checks what a user sees.
#
#   cmake -DTARNWICK=<program> -DWORKDIR=<folder> -DARGS=diff,a.api,b.api
#         -DSTATUS=<exit status> [-DGOLDEN=<file of the expected stdout>]
#         [-DSTDERR=<regex stderr must match>]
#         [-DPAGE=<file written> "-DPAGE_TEXT=<text it must hold>"] -P RunTarnwick.cmake
#
# With TARNWICK_UPDATE_GOLDEN set in the environment, GOLDEN is rewritten
# from the output instead; on a mismatch the output is left beside it as
# GOLDEN.actual.
cmake_minimum_required(VERSION 3.20)
# Commas part the arguments: a list would be split on its way through CTest.
string(REPLACE "," ";" ARGS "${ARGS}")
execute_process(COMMAND ${TARNWICK} ${ARGS} WORKING_DIRECTORY ${WORKDIR}
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status STREQUAL STATUS)
    message(FATAL_ERROR "exit status ${status}, expected ${STATUS}\nstdout:\n${out}\nstderr:\n${err}")
endif()
if(DEFINED STDERR AND NOT err MATCHES "${STDERR}")
    message(FATAL_ERROR "stderr does not match ${STDERR}:\n${err}")
endif()
if(DEFINED GOLDEN)
    if(DEFINED ENV{TARNWICK_UPDATE_GOLDEN})
        file(WRITE ${GOLDEN} "${out}")
    else()
        file(READ ${GOLDEN} expected)
        if(NOT out STREQUAL expected)
            file(WRITE ${GOLDEN}.actual "${out}")
            message(FATAL_ERROR "stdout differs from ${GOLDEN} (see ${GOLDEN}.actual):\n${out}")
        endif()
    endif()
endif()
if(DEFINED PAGE)
    file(READ ${PAGE} page)
    string(FIND "${page}" "${PAGE_TEXT}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "${PAGE} does not hold ${PAGE_TEXT}")
    endif()
endif()
