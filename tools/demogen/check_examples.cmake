# Runs the demo scene generator into a scratch folder and compares what it
# writes with the files committed in examples/, byte for byte.
#
#   cmake -DDEMOGEN=<program> -DEXAMPLES=<examples dir> -DWORK=<scratch dir> -P check_examples.cmake
foreach(var DEMOGEN EXAMPLES WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_examples.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${DEMOGEN}" "${WORK}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "demogen failed (${status})")
endif()

set(stale "")
foreach(name demo.knf marble.ppm)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/${name}" "${EXAMPLES}/${name}"
                  RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    list(APPEND stale "examples/${name}")
  endif()
endforeach()
if(stale)
  message(FATAL_ERROR "out of date: ${stale}; tools/demogen now writes other bytes "
                      "(${WORK}); run tools/demogen/regenerate.sh and commit the result")
endif()
file(REMOVE_RECURSE "${WORK}")
