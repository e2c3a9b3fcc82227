# Runs a program under the build's Wine and fails unless it ends with the expected exit code
# (a saver's "/s" ends with 2, which CTest alone would count as a failure).
#   cmake -DRUN=<wine-run> -DPROGRAM=<path> -DARGS=<switches> -DEXPECT=<code> -P run_expecting.cmake
cmake_minimum_required(VERSION 3.20)
separate_arguments(arguments UNIX_COMMAND "${ARGS}")
get_filename_component(folder ${PROGRAM} DIRECTORY)
execute_process(COMMAND ${RUN} ${PROGRAM} ${arguments} WORKING_DIRECTORY ${folder}
                RESULT_VARIABLE code TIMEOUT 50)
message(STATUS "${PROGRAM} ${ARGS} ended with ${code}")
if(NOT code STREQUAL "${EXPECT}")
  message(FATAL_ERROR "${PROGRAM} ${ARGS} ended with ${code}, not ${EXPECT}")
endif()
