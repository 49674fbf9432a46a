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

# morlan_formula_hashes(dir gen var): one line per input of a formula
# folder's generation (the description, the writer, the files the
# description says it reads, the data file) with its content hash.
function(morlan_formula_hashes dir gen var)
  set(inputs ${dir}/problem.py ${MORLAN_FORMULA_WRITER_FILES})
  if(EXISTS ${gen}/reads.txt)
    file(STRINGS ${gen}/reads.txt reads)
    list(APPEND inputs ${reads})
  endif()
  set(text "${Python3_EXECUTABLE}\n")
  foreach(file IN LISTS inputs ITEMS ${dir}/OUTSDIF.d)
    set(hash missing)
    if(EXISTS ${file})
      file(SHA256 ${file} hash)
    endif()
    string(APPEND text "${hash} ${file}\n")
  endforeach()
  set(${var} "${text}" PARENT_SCOPE)
endfunction()

# morlan_formula_routines(name dir sources_var): runs a formula folder's
# description when one of its inputs changed since the last run (a content
# stamp): it writes the folder's OUTSDIF.d (when it changes) and the
# decoded routines under <build>/generated/problems/<name>/. A fault of the
# description stops the configure step with its one line. Editing the
# description, or a file it reads, configures and generates again on the
# next build.
function(morlan_formula_routines name dir sources_var)
  set(gen ${MORLAN_GENERATED_DIR}/problems/${name})
  morlan_formula_hashes(${dir} ${gen} stamp)
  set(old "")
  if(EXISTS ${gen}/stamp AND EXISTS ${gen}/routines.cpp)
    file(READ ${gen}/stamp old)
  endif()
  if(NOT old STREQUAL stamp)
    morlan_require_sympy()
    file(MAKE_DIRECTORY ${gen})
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env MORLAN_FORMULAS_INTERPRETER=${Python3_EXECUTABLE}
              ${Python3_EXECUTABLE} ${dir}/problem.py --output ${dir}/OUTSDIF.d --generate ${gen}
      RESULT_VARIABLE status
      ERROR_VARIABLE error
      ERROR_STRIP_TRAILING_WHITESPACE)
    if(NOT status EQUAL 0)
      file(REMOVE ${gen}/stamp)
      morlan_problem_error("${dir}/problem.py: ${error}")
    endif()
    if(error)
      message(WARNING "${dir}/problem.py: the data file rounds:\n${error}")
    endif()
    morlan_formula_hashes(${dir} ${gen} stamp)
    file(WRITE ${gen}/stamp "${stamp}")
    message(STATUS "Problem folder ${name}: data file and routines generated from problem.py")
  endif()
  file(STRINGS ${gen}/reads.txt reads)
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${dir}/problem.py ${MORLAN_FORMULA_WRITER_FILES} ${reads})
  set(${sources_var} ${gen}/routines.cpp PARENT_SCOPE)
endfunction()

# morlan_require_sympy(): stops the configure step with one line when the
# interpreter lacks SymPy.
function(morlan_require_sympy)
  if(MORLAN_SYMPY_CHECKED)
    return()
  endif()
  execute_process(COMMAND ${Python3_EXECUTABLE} -c "import sympy"
    RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
  if(NOT status EQUAL 0)
    morlan_problem_error("${Python3_EXECUTABLE} has no SymPy: install python3-sympy (scripts/install-deps)")
  endif()
  set(MORLAN_SYMPY_CHECKED TRUE CACHE INTERNAL "")
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

morlan_problem_folder("${MORLAN_PROBLEM}" MORLAN_PROBLEM_DIR MORLAN_PROBLEM_NAME)

set(MORLAN_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${MORLAN_GENERATED_DIR})
# A formula folder's data file is written before its sizes are read.
morlan_is_formula_folder(${MORLAN_PROBLEM_DIR} MORLAN_PROBLEM_IS_FORMULA)
if(MORLAN_PROBLEM_IS_FORMULA)
  set(MORLAN_LINKED_GENERATED_NAME ${MORLAN_PROBLEM_NAME})
  if(NOT MORLAN_PROBLEM_DIR STREQUAL ${PROJECT_SOURCE_DIR}/problems/${MORLAN_PROBLEM_NAME})
    set(MORLAN_LINKED_GENERATED_NAME linked)
  endif()
  morlan_formula_routines(${MORLAN_LINKED_GENERATED_NAME} ${MORLAN_PROBLEM_DIR} unused)
endif()

# The sizes of the linked problem, from its data file.
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
