// The one translation unit that builds the precompiled windows.h and gtest.h the tests reuse
// (cmake/TestHeaders.cmake).
