# Problem folders: the problem the program is built for, and a library of
# decoded routines for every folder under problems/ that the build needs.
#
# A formula folder holds the description problem.py (formulas written with
# tools/problem_writer/formulas.py): when the build is configured it writes
# the folder's data file OUTSDIF.d and generates the decoded routines into
# the build tree (morlan_formula_routines below). A hand-written folder holds
# the data file OUTSDIF.d, the description that writes it (problem.py, with
# tools/problem_writer), a README.md and the decoded routines: elfuns.cpp,
# groups.cpp, ranges.cpp, settyp.cpp (and any other .cpp files it needs).
# MORLAN_PROBLEM names a folder under problems/ or gives a path to one
# (absolute, or relative to the source tree). Its sizes are read from its
# data file now, into the generated header morlan_problem_sizes.hpp that
# base/config.hpp includes.

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

# The writer's files: a change to one of them generates every formula
# folder's routines again.
file(GLOB MORLAN_FORMULA_WRITER_FILES ${PROJECT_SOURCE_DIR}/tools/problem_writer/*.py)

# Stops the configure step with one line. (A message that starts with a
# blank is printed as it stands; CMake re-wraps any other.)
function(morlan_problem_error text)
  message(FATAL_ERROR " MORLAN_PROBLEM=${MORLAN_PROBLEM}: ${text}")
endfunction()

# morlan_is_formula_folder(dir var): true when dir's problem.py is written
# with the formula layer and dir has no elfuns.cpp.
function(morlan_is_formula_folder dir var)
  set(formula FALSE)
  if(EXISTS ${dir}/problem.py AND NOT EXISTS ${dir}/elfuns.cpp)
    file(STRINGS ${dir}/problem.py uses REGEX "^(from formulas import|import formulas)")
    if(uses)
      set(formula TRUE)
    endif()
  endif()
  set(${var} ${formula} PARENT_SCOPE)
endfunction()

# morlan_problem_folder(choice dir_var name_var): the folder MORLAN_PROBLEM
# names, checked for its pieces; stops the configure step with one line
# when it is not a complete problem folder. A formula folder needs only its
# description.
function(morlan_problem_folder choice dir_var name_var)
  if(IS_DIRECTORY ${PROJECT_SOURCE_DIR}/problems/${choice})
    set(dir ${PROJECT_SOURCE_DIR}/problems/${choice})
  else()
    get_filename_component(dir "${choice}" ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
  endif()
  if(NOT IS_DIRECTORY "${dir}")
    morlan_problem_error("no folder problems/${choice} and no folder ${dir}")
  endif()
  get_filename_component(name "${dir}" NAME)
  morlan_is_formula_folder(${dir} formula)
  if(formula)
    set(${dir_var} ${dir} PARENT_SCOPE)
    set(${name_var} ${name} PARENT_SCOPE)
    return()
  endif()
  foreach(piece IN LISTS MORLAN_PROBLEM_PIECES)
    string(REPLACE "|" ";" piece "${piece}")
    list(GET piece 0 file)
    list(GET piece 1 what)
    if(NOT EXISTS "${dir}/${file}")
      morlan_problem_error("${dir} has no ${file} (${what})")
    endif()
  endforeach()
  set(${dir_var} ${dir} PARENT_SCOPE)
  set(${name_var} ${name} PARENT_SCOPE)
endfunction()

# Formula folders are generated into a cache that the build trees of one
# source tree share (an entry per folder, keyed by its description, the
# writer and the files the description reads), several folders at a time.
set(MORLAN_FORMULA_CACHE ${PROJECT_SOURCE_DIR}/.cache/formulas CACHE PATH
    "Where the formula folders' data files and routines are generated, shared by build trees")
cmake_host_system_information(RESULT MORLAN_CORES QUERY NUMBER_OF_LOGICAL_CORES)
set(MORLAN_GENERATE_JOBS ${MORLAN_CORES} CACHE STRING
    "How many formula folders are generated at a time")

# morlan_generate_formulas(name|dir ...): generates the formula folders
# whose cache entries are missing or stale (tools/problem_writer/
# generate.py) and writes each folder's OUTSDIF.d and, under
# <build>/generated/problems/<name>/, its routines.cpp and reads.txt where
# they differ. A fault of a description stops the configure step with its
# one line. Editing a description, the writer or a file a description
# reads configures and generates again on the next build.
function(morlan_generate_formulas)
  set(args)
  foreach(entry IN LISTS ARGN)
    string(REPLACE "|" "=" entry "${entry}")
    list(APPEND args "${entry}")
  endforeach()
  execute_process(
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/problem_writer/generate.py
            --cache ${MORLAN_FORMULA_CACHE} --into ${MORLAN_GENERATED_DIR}/problems
            --jobs ${MORLAN_GENERATE_JOBS} --interpreter ${Python3_EXECUTABLE} ${args}
    RESULT_VARIABLE status
    OUTPUT_VARIABLE out
    ERROR_VARIABLE error
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_STRIP_TRAILING_WHITESPACE)
  if(NOT status EQUAL 0)
    morlan_problem_error("${error}")
  endif()
  if(error)
    message(WARNING "${error}")
  endif()
  if(out)
    string(REPLACE "\n" ";" out "${out}")
    foreach(line IN LISTS out)
      message(STATUS "Problem folder ${line}")
    endforeach()
  endif()
  foreach(entry IN LISTS ARGN)
    string(REPLACE "|" ";" entry "${entry}")
    list(GET entry 0 name)
    set_property(GLOBAL APPEND PROPERTY MORLAN_GENERATED_FORMULAS ${name})
  endforeach()
endfunction()

# morlan_formula_routines(name dir sources_var): the generated routines of
# a formula folder (generated now when no earlier call of this configure
# step generated them), with the configure step's dependencies on its
# inputs.
function(morlan_formula_routines name dir sources_var)
  get_property(generated GLOBAL PROPERTY MORLAN_GENERATED_FORMULAS)
  if(NOT name IN_LIST generated)
    morlan_generate_formulas("${name}|${dir}")
  endif()
  set(gen ${MORLAN_GENERATED_DIR}/problems/${name})
  file(STRINGS ${gen}/reads.txt reads)
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${dir}/problem.py ${MORLAN_FORMULA_WRITER_FILES} ${reads})
  set(${sources_var} ${gen}/routines.cpp PARENT_SCOPE)
endfunction()

# morlan_problem_library(name dir): morlan_problem_<name>, the folder's
# decoded routines (an object library, so that every routine is linked
# whatever the order), and morlan_sif_<name>, the problem evaluation of that
# problem (the routines with the problem-independent morlan_sif_core). A
# formula folder's routines are generated; a hand-written folder's are its
# .cpp files.
function(morlan_problem_library name dir)
  morlan_is_formula_folder(${dir} formula)
  if(formula)
    morlan_formula_routines(${name} ${dir} sources)
  else()
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  endif()
  add_library(morlan_problem_${name} OBJECT ${sources})
  target_link_libraries(morlan_problem_${name} PUBLIC morlan_base)
  add_library(morlan_sif_${name} INTERFACE)
  # The objects are named on every link line that uses the evaluation,
  # before the library that calls them.
  target_link_libraries(morlan_sif_${name} INTERFACE
    $<TARGET_OBJECTS:morlan_problem_${name}> morlan_sif_core)
  add_dependencies(morlan_sif_${name} morlan_problem_${name})
endfunction()

# morlan_test_folders(var): the folders under problems/ that a build with
# the tests builds and tests: MORLAN_TEST_FOLDERS, or every one.
function(morlan_test_folders var)
  if(MORLAN_TEST_FOLDERS)
    set(dirs)
    foreach(name IN LISTS MORLAN_TEST_FOLDERS)
      if(NOT IS_DIRECTORY ${PROJECT_SOURCE_DIR}/problems/${name})
        morlan_problem_error("MORLAN_TEST_FOLDERS: no folder problems/${name}")
      endif()
      list(APPEND dirs ${PROJECT_SOURCE_DIR}/problems/${name})
    endforeach()
  else()
    file(GLOB dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/problems/*)
  endif()
  set(${var} ${dirs} PARENT_SCOPE)
endfunction()

morlan_problem_folder("${MORLAN_PROBLEM}" MORLAN_PROBLEM_DIR MORLAN_PROBLEM_NAME)

set(MORLAN_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${MORLAN_GENERATED_DIR})
# The formula folders of the build are generated first, together: the
# linked folder (its data file is read below), and with the tests every
# folder under problems/ and the test folder tests/problems/formula_kinds.
set(formulas)
set(linked_settings)
morlan_is_formula_folder(${MORLAN_PROBLEM_DIR} formula)
if(formula)
  set(name ${MORLAN_PROBLEM_NAME})
  if(NOT MORLAN_PROBLEM_DIR STREQUAL ${PROJECT_SOURCE_DIR}/problems/${MORLAN_PROBLEM_NAME})
    set(name linked)
  endif()
  list(APPEND formulas "${name}|${MORLAN_PROBLEM_DIR}")
  set(linked_settings ${MORLAN_GENERATED_DIR}/problems/${name}/settings.txt)
endif()
if(MORLAN_BUILD_TESTS)
  morlan_test_folders(dirs)
  list(APPEND dirs ${PROJECT_SOURCE_DIR}/tests/problems/formula_kinds)
  foreach(dir IN LISTS dirs)
    morlan_is_formula_folder(${dir} formula)
    if(formula)
      get_filename_component(name ${dir} NAME)
      list(APPEND formulas "${name}|${dir}")
    endif()
  endforeach()
endif()
if(formulas)
  morlan_generate_formulas(${formulas})
endif()

# The sizes of the linked problem, from its data file, and the settings its
# description declares (a formula folder's settings.txt; defaults otherwise).
execute_process(
  COMMAND ${Python3_EXECUTABLE} ${MORLAN_PROBLEM_WRITER} header
          ${MORLAN_PROBLEM_DIR}/OUTSDIF.d ${MORLAN_GENERATED_DIR}/morlan_problem_sizes.hpp
          ${MORLAN_PROBLEM_NAME} ${linked_settings}
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
