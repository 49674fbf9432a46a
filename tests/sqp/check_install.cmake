# cmake -DBUILD_DIR=... -DPREFIX=... -P check_install.cmake
# Installs the build into PREFIX and checks that the nine object modules are
# in <PREFIX>/lib/morlan/objects/ and define their routines.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()
include(GNUInstallDirs)
set(dir ${PREFIX}/${CMAKE_INSTALL_LIBDIR}/morlan/objects)
# module=symbol it must define (mangled names end in the routine's name and
# its first argument type).
foreach(pair swarmer=3psa relaxer=7relaxer ladderrun=9ladderrun chainrun=8chainrun
        sqpglue=6ccineq nlcalls=6egradg slopefd=7egradf1 clocks=6o8tida sqpstart=8sqpstart)
  string(REPLACE "=" ";" parts ${pair})
  list(GET parts 0 module)
  list(GET parts 1 symbol)
  if(NOT EXISTS ${dir}/${module}.o)
    message(FATAL_ERROR "missing ${dir}/${module}.o")
  endif()
  file(STRINGS ${dir}/${module}.o names REGEX "6morlan${symbol}E")
  if(names STREQUAL "")
    message(FATAL_ERROR "${module}.o does not define ${symbol}")
  endif()
endforeach()
file(GLOB objects ${dir}/*.o)
list(LENGTH objects count)
if(NOT count EQUAL 9)
  message(FATAL_ERROR "expected 9 object modules, found ${count}")
endif()
message(STATUS "nine object modules installed in ${dir}")
