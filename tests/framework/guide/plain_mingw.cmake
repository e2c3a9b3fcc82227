# Runs the plain MinGW-w64 command lines of docs/writing-a-saver.md, word for word, the way an
# author without CMake would: in a folder holding the saver's sources and a morvane/ folder with
# include/morvane.h and lib/ (the framework's archive and morvane.dll's import library). Only the
# programs change (the build's compilers), and COMPILE_FLAGS is added to compile lines. Fails when
# a line fails or prints anything (a warning, a resource merge failure), then runs the program.
#
#   cmake -DGUIDE=docs/writing-a-saver.md -DBLOCK=linked|dll -DWORK=<empty folder>
#         -DSOURCES=<files copied in, NAME=PATH or PATH, |-separated> -DHEADER=<morvane.h>
#         -DLIBRARIES=<archive|import library> -DCC= -DCXX= -DWINDRES= [-DCOMPILE_FLAGS=]
#         -DRUN=<wine-run> -DPROGRAM=<file made> -DARGS=<switches> -DEXPECT=<exit code>
#         -P plain_mingw.cmake
cmake_minimum_required(VERSION 3.20)

foreach(required GUIDE BLOCK WORK SOURCES HEADER LIBRARIES CC CXX WINDRES RUN PROGRAM EXPECT)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "plain_mingw: ${required} is not set")
  endif()
endforeach()

# The guide's block follows its marker: <!-- plain mingw: BLOCK --> then a fenced sh block.
file(READ ${GUIDE} guide)
set(marker "<!-- plain mingw: ${BLOCK} -->")
string(FIND "${guide}" "${marker}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "plain_mingw: ${GUIDE} has no ${marker}")
endif()
string(SUBSTRING "${guide}" ${at} -1 rest)
string(FIND "${rest}" "```sh\n" open)
string(SUBSTRING "${rest}" ${open} -1 rest)
string(LENGTH "```sh\n" skip)
string(SUBSTRING "${rest}" ${skip} -1 rest)
string(FIND "${rest}" "```" close)
if(open EQUAL -1 OR close EQUAL -1)
  message(FATAL_ERROR "plain_mingw: no sh block after ${marker}")
endif()
string(SUBSTRING "${rest}" 0 ${close} block)
# A line ending in a backslash goes on on the next one.
string(REPLACE "\\\n" " " block "${block}")
string(REPLACE "\n" ";" lines "${block}")

# Lists come separated by "|" (CTest splits a test's arguments at ";").
string(REPLACE "|" ";" SOURCES "${SOURCES}")
string(REPLACE "|" ";" LIBRARIES "${LIBRARIES}")

# The author's folder.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/morvane/include ${WORK}/morvane/lib)
file(COPY ${HEADER} DESTINATION ${WORK}/morvane/include)
file(COPY ${LIBRARIES} DESTINATION ${WORK}/morvane/lib)
foreach(source ${SOURCES})
  if(source MATCHES "^([^=]+)=(.+)$")
    configure_file(${CMAKE_MATCH_2} ${WORK}/${CMAKE_MATCH_1} COPYONLY)
  else()
    file(COPY ${source} DESTINATION ${WORK})
  endif()
endforeach()

set(ran 0)
foreach(line ${lines})
  string(STRIP "${line}" line)
  if(line STREQUAL "" OR line MATCHES "^#")
    continue()
  endif()
  separate_arguments(words UNIX_COMMAND "${line}")
  list(GET words 0 program)
  list(REMOVE_AT words 0)
  if(program MATCHES "-gcc$")
    set(program ${CC})
    if("-c" IN_LIST words AND DEFINED COMPILE_FLAGS)
      separate_arguments(extra UNIX_COMMAND "${COMPILE_FLAGS}")
      list(PREPEND words ${extra})
    endif()
  elseif(program MATCHES "-g\\+\\+$")
    set(program ${CXX})
  elseif(program MATCHES "-windres$")
    set(program ${WINDRES})
  else()
    message(FATAL_ERROR "plain_mingw: unexpected program in: ${line}")
  endif()
  message(STATUS "plain_mingw: ${program} ${words}")
  execute_process(COMMAND ${program} ${words} WORKING_DIRECTORY ${WORK}
                  RESULT_VARIABLE code OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT code EQUAL 0 OR NOT output STREQUAL "")
    message(FATAL_ERROR "plain_mingw: exit ${code} from: ${line}\n${output}")
  endif()
  math(EXPR ran "${ran} + 1")
endforeach()
if(ran EQUAL 0)
  message(FATAL_ERROR "plain_mingw: the block after ${marker} holds no command")
endif()

separate_arguments(arguments UNIX_COMMAND "${ARGS}")
execute_process(COMMAND ${RUN} ${WORK}/${PROGRAM} ${arguments} WORKING_DIRECTORY ${WORK}
                RESULT_VARIABLE code TIMEOUT 50)
message(STATUS "plain_mingw: ${PROGRAM} ${ARGS} ended with ${code}")
if(NOT code STREQUAL "${EXPECT}")
  message(FATAL_ERROR "plain_mingw: ${PROGRAM} ${ARGS} ended with ${code}, not ${EXPECT}")
endif()
