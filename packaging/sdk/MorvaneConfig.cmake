# The Morvane SDK for CMake: find_package(Morvane [REQUIRED] [COMPONENTS dll linked scrnsave
# scrnsavw]) gives
#   Morvane::morvane  the framework through morvane.dll and its import library (component dll)
#   Morvane::linked   the framework linked whole into the saver, one file to install (component
#                     linked); it brings the C++ runtime, so the project enables CXX too
#   Morvane::scrnsave, Morvane::scrnsavw  in place of the SDK's screen-saver library (scrnsave.h),
#                     ANSI and UNICODE (components scrnsave, scrnsavw): the framework, its system
#                     libraries and the C++ runtime come along, so a saver in C needs nothing more
# for the word size of the project's compiler, from include/, bin/<arch>/ and lib/<arch>/ beside
# this file's lib/cmake/Morvane/ (x86 for 32-bit, x64 for 64-bit).
cmake_minimum_required(VERSION 3.24)  # $<LINK_LIBRARY:WHOLE_ARCHIVE,...>

get_filename_component(_morvane_prefix "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)

function(_morvane_refuse text)
  set(Morvane_FOUND FALSE PARENT_SCOPE)
  set(Morvane_NOT_FOUND_MESSAGE "${text}" PARENT_SCOPE)
endfunction()

set(_morvane_built "")
foreach(_morvane_candidate x86 x64)
  if(EXISTS "${_morvane_prefix}/lib/${_morvane_candidate}/libmorvane_static.a")
    list(APPEND _morvane_built ${_morvane_candidate})
  endif()
endforeach()
list(JOIN _morvane_built ", " _morvane_built_text)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(_morvane_arch x64)
  set(_morvane_bits 64)
else()
  set(_morvane_arch x86)
  set(_morvane_bits 32)
endif()

set(_morvane_components dll linked scrnsave scrnsavw)
list(JOIN _morvane_components ", " _morvane_components_text)
foreach(_morvane_wanted IN LISTS Morvane_FIND_COMPONENTS)
  if(NOT _morvane_wanted IN_LIST _morvane_components)
    _morvane_refuse("Morvane has no component \"${_morvane_wanted}\"; its components are: ${_morvane_components_text}")
    return()
  endif()
endforeach()

if(NOT _morvane_arch IN_LIST _morvane_built)
  _morvane_refuse("this Morvane SDK has no ${_morvane_bits}-bit (${_morvane_arch}) build; it has: ${_morvane_built_text}")
  return()
endif()

get_property(_morvane_languages GLOBAL PROPERTY ENABLED_LANGUAGES)
if((NOT Morvane_FIND_COMPONENTS OR "linked" IN_LIST Morvane_FIND_COMPONENTS)
   AND NOT "CXX" IN_LIST _morvane_languages)
  _morvane_refuse("Morvane::linked brings the framework's C++ runtime: enable CXX in the project, e.g. project(MySaver C CXX)")
  return()
endif()

set(_morvane_lib "${_morvane_prefix}/lib/${_morvane_arch}")

# An SDK older than the screen-saver libraries, or one missing some of their files.
foreach(_morvane_wanted scrnsave scrnsavw)
  if(_morvane_wanted IN_LIST Morvane_FIND_COMPONENTS)
    foreach(_morvane_file libmorvane_${_morvane_wanted}.a morvane_${_morvane_wanted}.o
                          libmorvane_${_morvane_wanted}_parts.a)
      if(NOT EXISTS "${_morvane_lib}/${_morvane_file}")
        _morvane_refuse("this Morvane SDK has no ${_morvane_wanted} library for ${_morvane_arch}: ${_morvane_lib}/${_morvane_file} is missing")
        return()
      endif()
    endforeach()
  endif()
endforeach()
set(Morvane_INCLUDE_DIR "${_morvane_prefix}/include")
set(Morvane_VERSION_TEXT "1.5s")

if(NOT TARGET Morvane::morvane)
  add_library(Morvane::morvane SHARED IMPORTED)
  set_target_properties(Morvane::morvane PROPERTIES
    IMPORTED_LOCATION "${_morvane_prefix}/bin/${_morvane_arch}/morvane.dll"
    IMPORTED_IMPLIB "${_morvane_lib}/libmorvane.dll.a"
    INTERFACE_INCLUDE_DIRECTORIES "${Morvane_INCLUDE_DIR}"
    INTERFACE_LINK_LIBRARIES "comctl32")

  # Whole: nothing in a saver refers to the framework's resources or export directives.
  add_library(Morvane::static STATIC IMPORTED)
  set_target_properties(Morvane::static PROPERTIES
    IMPORTED_LOCATION "${_morvane_lib}/libmorvane_static.a"
    IMPORTED_LINK_INTERFACE_LANGUAGES "CXX"
    # After the archive on the link line, whatever the saver lists before it.
    INTERFACE_LINK_LIBRARIES "comctl32;version;winmm;user32;gdi32;advapi32")
  add_library(Morvane::linked INTERFACE IMPORTED)
  set_target_properties(Morvane::linked PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES "${Morvane_INCLUDE_DIR}"
    INTERFACE_LINK_LIBRARIES
      "$<LINK_LIBRARY:WHOLE_ARCHIVE,Morvane::static>"
    # The C++ runtime, libgcc and the threads library inside the saver: no DLL beside the system's.
    INTERFACE_LINK_OPTIONS "-static")

  # Each library is a GNU ld script naming the files beside it; the folder on the search path
  # finds them with linkers that look there only, as -L does on a plain MinGW line.
  foreach(_morvane_name scrnsave scrnsavw)
    add_library(Morvane::${_morvane_name} UNKNOWN IMPORTED)
    set_target_properties(Morvane::${_morvane_name} PROPERTIES
      IMPORTED_LOCATION "${_morvane_lib}/libmorvane_${_morvane_name}.a"
      INTERFACE_LINK_DIRECTORIES "${_morvane_lib}")
  endforeach()
endif()

set(Morvane_FOUND TRUE)
