# Registers the suites of the test binary with CTest as a few processes
# instead of one per test: each process runs a group of suites from one
# area (the folder under tests/ that holds a suite's source). A group is
# named after its area and its suites, as in
# "formats:ObjReader,ObjNumbers", so that `ctest -R formats` selects an
# area and `ctest -R ObjReader` the group that runs that suite.
#
# Runs after every build of the binary and takes the suites from the binary
# itself, so a new suite always lands in some group.
#
# Input variables: TEST_EXECUTABLE, WORKING_DIRECTORY, OUTPUT (the CTest
# script it writes) and TESTS_PER_PROCESS.

cmake_minimum_required(VERSION 3.25)

set(listing "${OUTPUT}.json")
execute_process(
  COMMAND "${TEST_EXECUTABLE}" --gtest_list_tests "--gtest_output=json:${listing}"
  OUTPUT_QUIET
  ERROR_VARIABLE error
  RESULT_VARIABLE result)
if(NOT result EQUAL 0 OR NOT EXISTS "${listing}")
  message(FATAL_ERROR "${TEST_EXECUTABLE} could not list its tests (${result}):\n${error}")
endif()
file(READ "${listing}" json)
file(REMOVE "${listing}")

# Suites ordered by their source file, so that a file's suites share a
# group; within a file in the order the binary lists them.
set(entries "")
string(JSON suiteCount LENGTH "${json}" testsuites)
math(EXPR lastSuite "${suiteCount} - 1")
foreach(i RANGE ${lastSuite})
  string(JSON suite GET "${json}" testsuites ${i})
  string(JSON name GET "${suite}" name)
  string(JSON count GET "${suite}" tests)
  string(JSON file GET "${suite}" testsuite 0 file)
  string(REPLACE "\\" "/" file "${file}")
  if(file MATCHES "(^|/)tests/([^/]+)/([^/]+)$")
    set(area "${CMAKE_MATCH_2}")
    set(file "${CMAKE_MATCH_3}")
  else()
    set(area "tests")
  endif()
  math(EXPR order "100000 + ${i}")
  list(APPEND entries "${area}|${file}|${order}|${name}|${count}")
endforeach()
list(SORT entries)

set(areas "")
foreach(entry IN LISTS entries)
  string(REPLACE "|" ";" fields "${entry}")
  list(GET fields 0 area)
  list(GET fields 3 name)
  list(GET fields 4 count)
  if(NOT area IN_LIST areas)
    list(APPEND areas "${area}")
  endif()
  list(APPEND suites_${area} "${name}")
  list(APPEND counts_${area} "${count}")
endforeach()

set(script "# Written by ctest_groups.cmake from ${TEST_EXECUTABLE}\n")
function(add_group area suites tests)
  list(JOIN suites "," names)
  list(TRANSFORM suites APPEND ".*")
  list(JOIN suites ":" filter)
  set(test "${area}:${names}")
  string(APPEND script
    "add_test([==[${test}]==] [==[${TEST_EXECUTABLE}]==] [==[--gtest_filter=${filter}]==] --gtest_brief=1)\n"
    "set_tests_properties([==[${test}]==] PROPERTIES COST ${tests} LABELS ${area} WORKING_DIRECTORY [==[${WORKING_DIRECTORY}]==])\n")
  set(script "${script}" PARENT_SCOPE)
endfunction()

# An area is split into as few groups of about equal size as keep each
# one near TESTS_PER_PROCESS tests, so that no process runs much longer
# than the others.
foreach(area IN LISTS areas)
  set(total 0)
  foreach(count IN LISTS counts_${area})
    math(EXPR total "${total} + ${count}")
  endforeach()
  math(EXPR groups "(${total} + ${TESTS_PER_PROCESS} - 1) / ${TESTS_PER_PROCESS}")
  math(EXPR target "${total} / ${groups}")
  set(group "")
  set(tests 0)
  foreach(name count IN ZIP_LISTS suites_${area} counts_${area})
    list(APPEND group "${name}")
    math(EXPR tests "${tests} + ${count}")
    if(tests GREATER_EQUAL target)
      add_group("${area}" "${group}" ${tests})
      set(group "")
      set(tests 0)
    endif()
  endforeach()
  if(group)
    add_group("${area}" "${group}" ${tests})
  endif()
endforeach()

file(WRITE "${OUTPUT}" "${script}")
