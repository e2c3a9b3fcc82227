# add_fuzz_target(name SECONDS n SOURCE file LIBRARIES ...)
# A libFuzzer executable linking the pure libraries it exercises (built with the coverage libFuzzer
# needs, see PureLibrary.cmake), and a test that runs it for n seconds over the build's corpus and
# the seeds kept beside its source in seeds/<name>. It takes the usual libFuzzer options when run by
# hand. Needs clang: without it the native build has no fuzzers.
function(add_fuzz_target name)
  if(NOT GLIMMER_FUZZ)
    return()
  endif()
  cmake_parse_arguments(FUZZ "" "SECONDS;SOURCE" "LIBRARIES" ${ARGN})
  add_executable(${name} ${FUZZ_SOURCE})
  target_link_libraries(${name} PRIVATE ${FUZZ_LIBRARIES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  get_filename_component(source_dir ${CMAKE_CURRENT_SOURCE_DIR}/${FUZZ_SOURCE} DIRECTORY)
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/corpus/${name})
  file(MAKE_DIRECTORY ${corpus})
  # New inputs go to the build's corpus; the seeds in the source tree are only read.
  add_test(NAME ${name}
    COMMAND ${name} -max_total_time=${FUZZ_SECONDS} -timeout=5 -print_final_stats=1
            ${corpus} ${source_dir}/seeds/${name})
  math(EXPR limit "${FUZZ_SECONDS} + 120")
  set_tests_properties(${name} PROPERTIES TIMEOUT ${limit} LABELS fuzz)
endfunction()
