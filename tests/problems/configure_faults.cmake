# A problem folder with a missing piece, one whose data file cannot be
# read, a formula folder whose description has a fault, and an interpreter
# without SymPy stop the configure step with one line naming the fault.
#   cmake -DSOURCE=<source tree> -DWORK=<dir> -P configure_faults.cmake

function(expect_configure_failure name expected)
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${WORK}/${name}-build -G Ninja
                          -DMORLAN_PROBLEM=${WORK}/${name} -DMORLAN_BUILD_TESTS=OFF ${ARGN}
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

file(COPY ${SOURCE}/problems/gasnet/ DESTINATION ${WORK}/missing)
file(REMOVE ${WORK}/missing/settyp.cpp)
expect_configure_failure(missing "has no settyp.cpp (the element-type record)")

file(COPY ${SOURCE}/problems/gasnet/ DESTINATION ${WORK}/unreadable)
file(STRINGS ${WORK}/unreadable/OUTSDIF.d lines LIMIT_COUNT 20)
list(JOIN lines "\n" text)
file(WRITE ${WORK}/unreadable/OUTSDIF.d "${text}\n")
expect_configure_failure(unreadable "ends before the record")

expect_configure_failure(nowhere "no folder problems/")

# A formula folder whose objective names a symbol it never declared: the
# description's one line, and no routines written.
file(MAKE_DIRECTORY ${WORK}/undeclared)
file(READ ${SOURCE}/problems/hs071/problem.py text)
string(REPLACE "x1*x4*(x1 + x2 + x3) + x3" "x1*x4*(x1 + x2 + x3) + x3*sp.Symbol('Q')" text "${text}")
string(REPLACE "'..', '..', 'tools'" "'${SOURCE}', 'tools'" text "${text}")
string(REPLACE "from formulas import Problem, run  # noqa: E402"
               "from formulas import Problem, run  # noqa: E402\nimport sympy as sp" text "${text}")
file(WRITE ${WORK}/undeclared/problem.py "${text}")
expect_configure_failure(undeclared
  "problem description: function OBJ, term Q*X3: undeclared symbol Q")
if(EXISTS ${WORK}/undeclared-build/generated/problems/linked/routines.cpp)
  message(FATAL_ERROR "undeclared: routines were written")
endif()

# An interpreter that cannot import SymPy (Debian's, without its packages).
file(MAKE_DIRECTORY ${WORK}/bin ${WORK}/nosympy)
file(WRITE ${WORK}/bin/python3 "#!/bin/sh\nexec /usr/bin/python3 -S \"$@\"\n")
file(CHMOD ${WORK}/bin/python3 PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
file(WRITE ${WORK}/nosympy/problem.py "${text}")
expect_configure_failure(nosympy "has no SymPy: install python3-sympy"
  -DPython3_EXECUTABLE=${WORK}/bin/python3)
