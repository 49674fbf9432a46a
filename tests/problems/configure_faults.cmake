# A problem folder with a missing piece, and one whose data file cannot be
# read, stop the configure step with one line naming the fault.
#   cmake -DSOURCE=<source tree> -DWORK=<dir> -P configure_faults.cmake

function(expect_configure_failure name expected)
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK}/${name}-build -G Ninja
                          -DMORLAN_PROBLEM=${WORK}/${name} -DMORLAN_BUILD_TESTS=OFF
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  if(status EQUAL 0)
    message(FATAL_ERROR "${name}: the configure step succeeded")
  endif()
  string(FIND "${err}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${name}: no '${expected}' in:\n${err}")
  endif()
  # The message is one line: the text after the CMake error header.
  string(REGEX MATCH "\\(message\\):\n   ([^\n]*)\n" whole "${err}")
  set(line "${CMAKE_MATCH_1}")
  string(FIND "${line}" "${expected}" at)
  if(NOT line MATCHES "^MORLAN_PROBLEM=" OR at EQUAL -1)
    message(FATAL_ERROR "${name}: the message is not one line:\n${err}")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

file(COPY ${SOURCE}/problems/g01/ DESTINATION ${WORK}/missing)
file(REMOVE ${WORK}/missing/settyp.cpp)
expect_configure_failure(missing "has no settyp.cpp (the element-type record)")

file(COPY ${SOURCE}/problems/g01/ DESTINATION ${WORK}/unreadable)
file(STRINGS ${WORK}/unreadable/OUTSDIF.d lines LIMIT_COUNT 20)
list(JOIN lines "\n" text)
file(WRITE ${WORK}/unreadable/OUTSDIF.d "${text}\n")
expect_configure_failure(unreadable "ends before the record")

expect_configure_failure(nowhere "no folder problems/")
