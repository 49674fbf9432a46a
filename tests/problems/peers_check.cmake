# The peers' program of g04 (six one-sided inequalities, each as the report
# writes it): at the published best-known point it reports the published
# value and no violation; SLSQP from the middle of the box reaches that
# optimum; ISRES spends exactly the evaluations it is given.
#   cmake -DPEERS=<morlan_peers_g04> -DFOLDER=<problems/g04> -DWORK=<dir> -P peers_check.cmake

function(peers out_var)
  execute_process(COMMAND ${PEERS} ${ARGN} WORKING_DIRECTORY ${FOLDER}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "morlan-peers ${ARGN}: status ${status}\n${out}${err}")
  endif()
  set(${out_var} "${out}" PARENT_SCOPE)
endfunction()

function(expect text pattern)
  if(NOT text MATCHES "${pattern}")
    message(FATAL_ERROR "expected ${pattern} in:\n${text}")
  endif()
endfunction()

file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/best.txt "78 33 29.9952560256815985 45 36.7758129057882073\n")
file(WRITE ${WORK}/middle.txt "90 39 36 36 36\n")

peers(best check ${WORK}/best.txt)
expect("${best}" "^objective=-30665.5386717833?[0-9]* violation=[0-9.e-]* evaluations=1 ")
string(REGEX MATCH "violation=([^ ]*)" v "${best}")
if(CMAKE_MATCH_1 GREATER 1e-9)
  message(FATAL_ERROR "violation ${CMAKE_MATCH_1} at the best-known point")
endif()

peers(local slsqp ${WORK}/middle.txt)
expect("${local}" "^objective=-30665.53867[0-9]* violation=[0-9.e-]+ ")

peers(global isres 1 2000)
expect("${global}" "^objective=[-0-9.e+]+ violation=[0-9.e+-]+ evaluations=2000 cpu=")
