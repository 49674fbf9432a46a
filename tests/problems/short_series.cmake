# A short series of the program on the problem it was built for, run in the
# problem's folder: it ends normally with its summary, and with
# --count-evaluations it prints the same standard output (CPU times aside)
# and one count per run on standard error. With -DREFERENCE=ON the
# reference evaluation path (--reference-eval) must print the same too.
#   cmake -DPROGRAM=<morlan> -DFOLDER=<problem folder> -DWORK=<dir>
#         [-DREFERENCE=ON] -P short_series.cmake

# The folder's own objective scale (the first answer of its answers.txt, else
# 1), one run of the plain rule at a fast cooling ratio (a series of one
# run still prints its run line and summary).
set(scale 1.0)
if(EXISTS ${FOLDER}/answers.txt)
  file(STRINGS ${FOLDER}/answers.txt answers LIMIT_COUNT 1)
  list(GET answers 0 scale)
endif()
file(WRITE ${WORK}/short_series.answers "${scale}\n0\n0\n0\n1\n1\n0.0001\n")

function(run_program out_var err_var)
  execute_process(COMMAND ${PROGRAM} ${ARGN}
    INPUT_FILE ${WORK}/short_series.answers
    WORKING_DIRECTORY ${FOLDER}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "morlan ${ARGN} ended with status ${status}:\n${out}\n${err}")
  endif()
  set(${out_var} "${out}" PARENT_SCOPE)
  set(${err_var} "${err}" PARENT_SCOPE)
endfunction()

run_program(plain plain_err)
run_program(counted counted_err --count-evaluations)
set(variants counted)
if(REFERENCE)
  run_program(reference reference_err --reference-eval)
  list(APPEND variants reference)
endif()

foreach(expected " run_id = 1 : " "========== Obj Summary of  1 runs" " success run, time per Obj = ")
  string(FIND "${plain}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "no '${expected}' in the output:\n${plain}")
  endif()
endforeach()
if(NOT plain_err STREQUAL "")
  message(FATAL_ERROR "standard error without --count-evaluations:\n${plain_err}")
endif()

# CPU times are the only figures that may differ between the runs.
foreach(var plain ${variants})
  string(REGEX REPLACE "time =[^\n]*" "time = ..." ${var} "${${var}}")
  string(REGEX REPLACE "time per Obj =[^\n]*" "time per Obj = ..." ${var} "${${var}}")
endforeach()
foreach(var ${variants})
  if(NOT plain STREQUAL ${var})
    message(FATAL_ERROR "the ${var} run printed otherwise:\n${plain}\n---\n${${var}}")
  endif()
endforeach()
if(NOT counted_err MATCHES
   "^morlan: run 1: [1-9][0-9]* Lagrangian evaluations\n$")
  message(FATAL_ERROR "unexpected counts on standard error:\n${counted_err}")
endif()
