# Runs the demo maker with options in an empty folder: --help prints the
# usage and succeeds, an unknown option fails with a message, and neither
# makes anything. Called with -DDEMO=<program> -DWORK=<empty folder>.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
foreach(option --help --bogus)
    execute_process(COMMAND ${DEMO} ${option} WORKING_DIRECTORY ${WORK}
        RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(option STREQUAL "--help")
        if(NOT code EQUAL 0 OR NOT out MATCHES "USER_FOLDER")
            message(FATAL_ERROR "--help gave ${code}: ${out}${err}")
        endif()
    elseif(code EQUAL 0 OR NOT err MATCHES "bogus")
        message(FATAL_ERROR "${option} was not refused (${code}): ${out}${err}")
    endif()
endforeach()
file(GLOB made ${WORK}/*)
if(made)
    message(FATAL_ERROR "options made files: ${made}")
endif()
