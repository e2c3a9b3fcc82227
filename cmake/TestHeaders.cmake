# use_precompiled_test_headers(dir)
# Nearly every Windows test parses windows.h and gtest.h, which costs most of its compile time;
# the test targets under dir that link gtest reuse one precompiled copy of both. GCC falls back to
# the headers themselves where a target's options do not fit the copy, so this only ever saves
# time.
function(use_precompiled_test_headers dir)
  if(NOT TARGET test_headers)
    add_library(test_headers STATIC ${PROJECT_SOURCE_DIR}/tests/common/test_headers.cpp)
    target_link_libraries(test_headers PUBLIC GTest::gtest)
    target_precompile_headers(test_headers PRIVATE <windows.h> <gtest/gtest.h>)
  endif()
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(libraries ${target} LINK_LIBRARIES)
    if(NOT target STREQUAL "test_headers" AND libraries MATCHES "GTest::gtest")
      target_precompile_headers(${target} REUSE_FROM test_headers)
    endif()
  endforeach()
  get_property(subdirectories DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS subdirectories)
    use_precompiled_test_headers(${subdirectory})
  endforeach()
endfunction()
