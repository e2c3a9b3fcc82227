# add_host_tool(<variable> <name> <source>): a generator that runs on the build machine during the
# build. In a cross build it is compiled with the host's compiler; otherwise it is an ordinary
# target. <variable> receives the path to run it by.
function(add_host_tool variable name source)
  if(CMAKE_CROSSCOMPILING)
    find_program(HOST_CXX NAMES c++ g++ clang++ REQUIRED)
    set(tool ${CMAKE_BINARY_DIR}/host/${name})
    add_custom_command(OUTPUT ${tool}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
      COMMAND ${HOST_CXX} -std=c++17 -O2 -Wall -Wextra ${source} -o ${tool}
      DEPENDS ${source}
      COMMENT "Building the host tool ${name}")
    set(${variable} ${tool} PARENT_SCOPE)
  else()
    add_executable(${name} ${source})
    set(${variable} $<TARGET_FILE:${name}> PARENT_SCOPE)
  endif()
endfunction()
