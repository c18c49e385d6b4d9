# Runs the model generator into ACTUAL and fails unless the result matches
# EXPECTED (the committed file) byte for byte.
#   cmake -DTOOL=... -DEXPECTED=... -DACTUAL=... -P check_output.cmake
execute_process(COMMAND "${TOOL}" "${ACTUAL}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "modelgen failed: ${rc}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${EXPECTED}" "${ACTUAL}"
                RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "${EXPECTED} differs from what tools/modelgen writes today "
                      "(${ACTUAL}); run tools/modelgen/regenerate.sh and commit the result")
endif()
file(REMOVE "${ACTUAL}")
