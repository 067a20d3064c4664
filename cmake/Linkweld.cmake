# Build integration: runs linkweld as a build step, so the generated loader follows its headers.
#
#   include(path/to/Linkweld.cmake)
#   linkweld_add_loader(my_app GL glext.h glATI.h WGL wglext.h)
#
# linkweld_generate(OUTPUT_DIR <dir> [GL <header>...] [WGL <header>...] [LINKWELD <program>])
#   Adds a build rule that writes <dir>/glEntryHub.cpp and <dir>/glEntryHub.h, running linkweld
#   in <dir>, and rerunning it whenever a header or linkweld itself changes. Relative header
#   paths are taken from the current source directory. LINKWELD defaults to the linkweld target
#   of this build if there is one, else to the linkweld program found on the PATH.
#
# linkweld_add_loader(<target> [OUTPUT_DIR <dir>] [GL ...] [WGL ...] [LINKWELD <program>])
#   Does the same into <dir> (by default <binary dir>/<target>_linkweld), adds glEntryHub.cpp to
#   <target>'s sources and <dir> to its include path.

function(linkweld_generate)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "" "OUTPUT_DIR;LINKWELD" "GL;WGL")
  if(NOT ARG_OUTPUT_DIR)
    message(FATAL_ERROR "linkweld_generate: OUTPUT_DIR is required")
  endif()
  set(program "${ARG_LINKWELD}")
  set(program_dependency "")
  if(NOT program)
    if(TARGET linkweld)
      set(program "$<TARGET_FILE:linkweld>")
      set(program_dependency linkweld)
    else()
      find_program(LINKWELD_PROGRAM linkweld REQUIRED)
      set(program "${LINKWELD_PROGRAM}")
    endif()
  endif()
  if(NOT program_dependency)
    set(program_dependency "${program}")
  endif()

  set(arguments "")
  set(headers "")
  foreach(kind IN ITEMS GL WGL)
    string(TOLOWER "-${kind}" flag)
    foreach(header IN LISTS ARG_${kind})
      get_filename_component(header "${header}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
      list(APPEND arguments "${flag}" "${header}")
      list(APPEND headers "${header}")
    endforeach()
  endforeach()

  file(MAKE_DIRECTORY "${ARG_OUTPUT_DIR}")
  add_custom_command(
    OUTPUT "${ARG_OUTPUT_DIR}/glEntryHub.cpp" "${ARG_OUTPUT_DIR}/glEntryHub.h"
    COMMAND "${program}" ${arguments}
    WORKING_DIRECTORY "${ARG_OUTPUT_DIR}"
    DEPENDS ${headers} ${program_dependency}
    COMMENT "Generating glEntryHub.cpp and glEntryHub.h in ${ARG_OUTPUT_DIR}"
    VERBATIM)
endfunction()

function(linkweld_add_loader target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "OUTPUT_DIR;LINKWELD" "GL;WGL")
  if(NOT ARG_OUTPUT_DIR)
    set(ARG_OUTPUT_DIR "${CMAKE_CURRENT_BINARY_DIR}/${target}_linkweld")
  endif()
  linkweld_generate(OUTPUT_DIR "${ARG_OUTPUT_DIR}" GL ${ARG_GL} WGL ${ARG_WGL}
                    LINKWELD "${ARG_LINKWELD}")
  target_sources(${target} PRIVATE "${ARG_OUTPUT_DIR}/glEntryHub.cpp")
  target_include_directories(${target} PRIVATE "${ARG_OUTPUT_DIR}")
endfunction()
