# Runs featuretoggle-check and compares its exit code, its standard output and its standard error
# with what is expected (NAME.txt and NAME.err.txt; a missing file expects nothing).
#   cmake -DCHECKER=... -DEXPECTED_EXIT=N -DEXPECTED=folder/NAME [-DARGUMENTS=a;b] -P RunChecker.cmake
cmake_policy(SET CMP0054 NEW)
execute_process(
    COMMAND ${CHECKER} ${ARGUMENTS}
    RESULT_VARIABLE exitCode
    OUTPUT_VARIABLE output
    ERROR_VARIABLE errors)
# Windows programs end their lines with CR LF.
string(REPLACE "\r\n" "\n" output "${output}")
string(REPLACE "\r\n" "\n" errors "${errors}")
if(NOT exitCode STREQUAL EXPECTED_EXIT)
    message(SEND_ERROR "featuretoggle-check exited with ${exitCode}, expected ${EXPECTED_EXIT}")
endif()
foreach(stream output errors)
    if(stream STREQUAL "output")
        set(file ${EXPECTED}.txt)
        set(name output)
    else()
        set(file ${EXPECTED}.err.txt)
        set(name error)
    endif()
    set(expected "")
    if(EXISTS ${file})
        file(READ ${file} expected)
    endif()
    if(NOT "${${stream}}" STREQUAL "${expected}")
        message(SEND_ERROR "featuretoggle-check wrote to standard ${name}:\n${${stream}}\nexpected (${file}):\n${expected}")
    endif()
endforeach()
