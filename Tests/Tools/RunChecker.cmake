# Runs featuretoggle-check and compares its exit code and its whole output (standard output and
# standard error together) with what is expected.
#   cmake -DCHECKER=... -DEXPECTED_EXIT=N -DEXPECTED_OUTPUT=file [-DARGUMENTS=a;b] -P RunChecker.cmake
execute_process(
    COMMAND ${CHECKER} ${ARGUMENTS}
    RESULT_VARIABLE exitCode
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
# Windows programs end their lines with CR LF.
string(REPLACE "\r\n" "\n" output "${output}")
file(READ ${EXPECTED_OUTPUT} expected)
if(NOT exitCode STREQUAL EXPECTED_EXIT)
    message(SEND_ERROR "featuretoggle-check exited with ${exitCode}, expected ${EXPECTED_EXIT}")
endif()
if(NOT output STREQUAL expected)
    message(SEND_ERROR "featuretoggle-check wrote:\n${output}\nexpected (${EXPECTED_OUTPUT}):\n${expected}")
endif()
