# SPDX-License-Identifier: GPL-3.0-or-later
# The demo maker run with options in an empty folder (-DDEMO=program -DWORK=folder):
# --help prints the usage and succeeds, an unknown option fails with a message, and neither makes anything.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${DEMO} --help WORKING_DIRECTORY ${WORK} RESULT_VARIABLE help OUTPUT_VARIABLE usage)
execute_process(COMMAND ${DEMO} --bogus WORKING_DIRECTORY ${WORK} RESULT_VARIABLE bogus ERROR_VARIABLE refusal)
file(GLOB made ${WORK}/*)
if(NOT help EQUAL 0 OR NOT usage MATCHES "USER_FOLDER" OR bogus EQUAL 0 OR NOT refusal MATCHES "bogus" OR made)
    message(FATAL_ERROR "--help: ${help} ${usage}\n--bogus: ${bogus} ${refusal}\nmade: ${made}")
endif()
