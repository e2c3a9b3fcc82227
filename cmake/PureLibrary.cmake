# add_pure_library(<name> <sources>...): a static library of logic that needs no Win32. The Windows
# build links it into the programs; the native build compiles it under the sanitizers (see
# GLIMMER_SANITIZE) and, with clang, with the coverage that libFuzzer needs, so that the native
# tests and the fuzzers link this very library instead of compiling its sources again.
function(add_pure_library name)
  add_library(${name} STATIC ${ARGN})
  if(NOT WIN32 AND GLIMMER_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()
