# Runs a command; stops the test with its output if it fails. The output is left in `output`.
function(run description)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${description} failed (${result}):\n${ARGN}\n${out}")
    endif()
    set(output "${out}" PARENT_SCOPE)
endfunction()
