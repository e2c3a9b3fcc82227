# add_fuzz_target(name SECONDS n SOURCES ... INCLUDES ...)
# A libFuzzer executable built with clang under AddressSanitizer and UBSan (the native build may use
# another compiler), and a test that runs it for n seconds over the build's corpus and the seeds
# kept beside its source in seeds/<name>. It takes the usual libFuzzer options when run by hand.
find_program(CLANG_CXX NAMES clang++ clang++-14 REQUIRED)

function(add_fuzz_target name)
  cmake_parse_arguments(FUZZ "" "SECONDS" "SOURCES;INCLUDES" ${ARGN})
  set(fuzzer ${CMAKE_CURRENT_BINARY_DIR}/${name})
  set(includes)
  foreach(dir ${FUZZ_INCLUDES})
    list(APPEND includes -I${dir})
  endforeach()
  add_custom_command(OUTPUT ${fuzzer}
    COMMAND ${CLANG_CXX} -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined
            -fno-sanitize-recover=all ${includes} ${FUZZ_SOURCES} -o ${fuzzer}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/corpus/${name}
    DEPENDS ${FUZZ_SOURCES}
    COMMENT "Building the fuzzer ${name}")
  add_custom_target(${name} ALL DEPENDS ${fuzzer})
  # New inputs go to the build's corpus; the seeds in the source tree are only read.
  add_test(NAME ${name}
    COMMAND ${fuzzer} -max_total_time=${FUZZ_SECONDS} -timeout=5 -print_final_stats=1
            ${CMAKE_CURRENT_BINARY_DIR}/corpus/${name} ${CMAKE_CURRENT_SOURCE_DIR}/seeds/${name})
  math(EXPR limit "${FUZZ_SECONDS} + 120")
  set_tests_properties(${name} PROPERTIES TIMEOUT ${limit} LABELS fuzz)
endfunction()
