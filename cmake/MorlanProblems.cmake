# Problem folders: the problem the program is built for, and a library of
# decoded routines for every folder under problems/.
#
# A problem folder holds the problem data file OUTSDIF.d, the description
# that writes it (problem.py, with tools/problem_writer), a README.md and the
# decoded routines: elfuns.cpp, groups.cpp, ranges.cpp, settyp.cpp (and any
# other .cpp files it needs). MORLAN_PROBLEM names a folder under problems/
# or gives a path to one (absolute, or relative to the source tree). Its
# sizes are read from its data file now, into the generated header
# morlan_problem_sizes.hpp that base/config.hpp includes.

set(MORLAN_PROBLEM "gasnet" CACHE STRING
    "The problem to build for: a folder under problems/, or a path to a problem folder")

# Debian's Python 3 with python3-sympy writes the formula folders' files and
# routines: never another python3 that happens to come first on PATH (its
# SymPy could order or print them otherwise).
set(Python3_EXECUTABLE /usr/bin/python3 CACHE FILEPATH
    "Debian's Python 3, with python3-sympy for the formula folders")
find_package(Python3 COMPONENTS Interpreter REQUIRED)
set(MORLAN_PROBLEM_WRITER ${PROJECT_SOURCE_DIR}/tools/problem_writer/problem_writer.py)

# The pieces every problem folder has, with what each one is.
set(MORLAN_PROBLEM_PIECES
  "OUTSDIF.d|the problem data file"
  "problem.py|the description that writes the data file"
  "README.md|the problem's description"
  "elfuns.cpp|the element functions"
  "groups.cpp|the group functions"
  "ranges.cpp|the internal-variable transformation"
  "settyp.cpp|the element-type record")

# Stops the configure step with one line. (A message that starts with a
# blank is printed as it stands; CMake re-wraps any other.)
function(morlan_problem_error text)
  message(FATAL_ERROR " MORLAN_PROBLEM=${MORLAN_PROBLEM}: ${text}")
endfunction()

# morlan_problem_folder(choice dir_var name_var): the folder MORLAN_PROBLEM
# names, checked for its pieces; stops the configure step with one line
# when it is not a complete problem folder.
function(morlan_problem_folder choice dir_var name_var)
  if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/problems/${choice})
    set(dir ${PROJECT_SOURCE_DIR}/problems/${choice})
  else()
    get_filename_component(dir "${choice}" ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
  endif()
  if(NOT IS_DIRECTORY "${dir}")
    morlan_problem_error("no folder problems/${choice} and no folder ${dir}")
  endif()
  foreach(piece IN LISTS MORLAN_PROBLEM_PIECES)
    string(REPLACE "|" ";" piece "${piece}")
    list(GET piece 0 file)
    list(GET piece 1 what)
    if(NOT EXISTS "${dir}/${file}")
      morlan_problem_error("${dir} has no ${file} (${what})")
    endif()
  endforeach()
  get_filename_component(name "${dir}" NAME)
  set(${dir_var} ${dir} PARENT_SCOPE)
  set(${name_var} ${name} PARENT_SCOPE)
endfunction()

# morlan_problem_library(name dir): morlan_problem_<name>, the folder's
# decoded routines (an object library, so that every routine is linked
# whatever the order), and morlan_sif_<name>, the problem evaluation of that
# problem (the routines with the problem-independent morlan_sif_core).
function(morlan_problem_library name dir)
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  add_library(morlan_problem_${name} OBJECT ${sources})
  target_link_libraries(morlan_problem_${name} PUBLIC morlan_base)
  add_library(morlan_sif_${name} INTERFACE)
  # The objects are named on every link line that uses the evaluation,
  # before the library that calls them.
  target_link_libraries(morlan_sif_${name} INTERFACE
    $<TARGET_OBJECTS:morlan_problem_${name}> morlan_sif_core)
  add_dependencies(morlan_sif_${name} morlan_problem_${name})
endfunction()

morlan_problem_folder("${MORLAN_PROBLEM}" MORLAN_PROBLEM_DIR MORLAN_PROBLEM_NAME)

# The sizes of the linked problem, from its data file.
set(MORLAN_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${MORLAN_GENERATED_DIR})
execute_process(
  COMMAND ${Python3_EXECUTABLE} ${MORLAN_PROBLEM_WRITER} header
          ${MORLAN_PROBLEM_DIR}/OUTSDIF.d ${MORLAN_GENERATED_DIR}/morlan_problem_sizes.hpp
          ${MORLAN_PROBLEM_NAME}
  RESULT_VARIABLE status
  ERROR_VARIABLE error
  ERROR_STRIP_TRAILING_WHITESPACE)
if(NOT status EQUAL 0)
  morlan_problem_error("${error}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${MORLAN_PROBLEM_DIR}/OUTSDIF.d ${MORLAN_PROBLEM_WRITER})
message(STATUS "Problem: ${MORLAN_PROBLEM_NAME} (${MORLAN_PROBLEM_DIR})")

# The gas network of problems/gasnet is the bundled problem: the tests that
# run the program or the main configuration on it are built only for it.
set(MORLAN_BUNDLED_PROBLEM FALSE)
if(MORLAN_PROBLEM_DIR STREQUAL ${PROJECT_SOURCE_DIR}/problems/gasnet)
  set(MORLAN_BUNDLED_PROBLEM TRUE)
endif()
