# The test of linkweld_add_check (Linkweld.cmake), run as cmake -P: linkweld --check in DIRECTORY,
# its messages naming each file from the top of the source tree (SHOWN), and on failure the
# command that updates the pair (UPDATE).
execute_process(COMMAND "${LINKWELD}" --check ${ARGUMENTS}
  WORKING_DIRECTORY "${DIRECTORY}" RESULT_VARIABLE status ERROR_VARIABLE messages)
if(SHOWN)
  string(REGEX REPLACE "(^|\n)(glEntryHub\\.(cpp|h):)" "\\1${SHOWN}/\\2" messages "${messages}")
  string(REPLACE "cannot read glEntryHub." "cannot read ${SHOWN}/glEntryHub." messages
         "${messages}")
endif()
# Only a file out of date, or missing, is something the update target mends.
if(messages MATCHES "(^|\n)[^\n]*glEntryHub\\.(cpp|h)(:[0-9]+: error: differs|: No such file)")
  string(APPEND messages "linkweld: the pair in ${SHOWN} is not current; to update it: ${UPDATE}\n")
endif()
message("${messages}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "linkweld --check failed")
endif()
