# What every file we ship carries, from one place: the version resource (the project's version,
# the owner and copyright line of LICENSE) and, for programs, the manifest.
set(SHIP_TEMPLATES ${PROJECT_SOURCE_DIR}/packaging/windows)
set(SHIP_GENERATED ${CMAKE_BINARY_DIR}/generated)

file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE GLIMMER_COPYRIGHT REGEX "^Copyright " LIMIT_COUNT 1)
string(REGEX REPLACE "^Copyright \\([cC]\\) [0-9, -]+ " "" GLIMMER_COMPANY "${GLIMMER_COPYRIGHT}")
if(NOT GLIMMER_COPYRIGHT OR GLIMMER_COMPANY STREQUAL GLIMMER_COPYRIGHT)
  message(FATAL_ERROR "LICENSE has no line \"Copyright (c) <year> <owner>\"")
endif()
configure_file(${SHIP_TEMPLATES}/version.h.in ${SHIP_GENERATED}/glimmer_version.h @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE
             ${SHIP_TEMPLATES}/version_info.rc.in)

# ship_manifest(<file> IDENTITY <name> DESCRIPTION <text>): writes a program's manifest: per-monitor
# (v2) DPI awareness with system awareness before Windows 8.1, common controls 6, no elevation,
# and every system from Vista to Windows 11 as known.
function(ship_manifest file)
  cmake_parse_arguments(SHIP "" "IDENTITY;DESCRIPTION" "" ${ARGN})
  configure_file(${SHIP_TEMPLATES}/program.manifest.in ${file} @ONLY)
endfunction()

# ship_resources(<target> FILENAME <name> DESCRIPTION <text> [MANIFEST <identity>]): gives the
# target its version resource and, with MANIFEST, its manifest.
function(ship_resources target)
  cmake_parse_arguments(SHIP "" "FILENAME;DESCRIPTION;MANIFEST" "" ${ARGN})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set(SHIP_FILETYPE VFT_DLL)
  else()
    set(SHIP_FILETYPE VFT_APP)
  endif()
  string(REGEX REPLACE "\\.[^.]*$" "" SHIP_INTERNAL_NAME "${SHIP_FILENAME}")
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  file(READ ${SHIP_TEMPLATES}/version_info.rc.in text)
  string(CONFIGURE "${text}" text @ONLY)
  if(SHIP_MANIFEST)
    set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
    ship_manifest(${manifest} IDENTITY ${SHIP_MANIFEST} DESCRIPTION "${SHIP_DESCRIPTION}")
    string(APPEND text "\nCREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST \"${manifest}\"\n")
    set_source_files_properties(${script} PROPERTIES OBJECT_DEPENDS ${manifest})
  endif()
  # Written only when it changes, so that a new configuration compiles nothing again.
  file(CONFIGURE OUTPUT ${script} CONTENT "${text}" @ONLY)
  target_sources(${target} PRIVATE ${script})
  target_include_directories(${target} PRIVATE ${SHIP_GENERATED})
endfunction()
