# Build integration: runs linkweld as a build step, so the generated loader follows its headers.
# find_package(linkweld) brings these functions in; so do add_subdirectory and FetchContent.
#
#   find_package(linkweld 1.0 REQUIRED)
#   linkweld_add_loader(my_app GL include/glext.h include/glATI.h WGL include/wglext.h)
#
# linkweld_generate(OUTPUT_DIR <dir> [GL <header>...] [WGL <header>...] [LINKWELD <program>]
#                   [ALL_PROTOTYPES] [STRICT] [CONTEXTS] [DEBUG] [USED_BY <file>...])
#   Adds a build rule that writes <dir>/glEntryHub.cpp and <dir>/glEntryHub.h, running linkweld
#   in <dir> and rerunning it whenever a header or linkweld itself changes. Relative header
#   paths are taken from the current source directory; a header that does not exist stops the
#   configuration. ALL_PROTOTYPES runs linkweld with --all-prototypes, which reads every
#   prototype of today's headers; STRICT with --strict, which fails the build on any warning;
#   CONTEXTS with --contexts, which adds the table of one context's pointers and flags; DEBUG
#   with --debug, which adds a wrapper of every entry point for a debugging build.
#   USED_BY writes the pair of only the names those files use (--used-by each): the rule reruns
#   when one changes, and the pair's files change only when the names kept do.
#
# linkweld_add_loader(<target> [OUTPUT_DIR <dir>] [GL ...] [WGL ...] [LINKWELD <program>]
#                     [ALL_PROTOTYPES] [STRICT] [CHECKED_INIT] [CONTEXTS] [DEBUG] [WRITE_STDAFX]
#                     [LINKAGE C|CXX]
#                     [ONLY_USED [NAMES <file>...]])
#   Does the same into <dir> (by default <binary dir>/<target>_linkweld) and adds to <target>:
#   the one translation unit that compiles the loader; <dir> and the directory of every header
#   named glext.h or wglext.h on its include path. The unit (LinkweldRoutes.cmake) is
#   glEntryHub.cpp itself for a C++ target, with the warnings its fixed text raises (string
#   literals in "char *" members, casts of the wglGetProcAddress result, "#pragma comment", an
#   unused local) turned off on it alone, so that the target's own code can stay strict; for a
#   target with a C source, glEntryHubC.cpp, shipped with linkweld and quiet by itself, which
#   gives every name C linkage: its files, C and C++, include glEntryHubC.h. A target of C and
#   C++ sources gets a warning that says so; LINKAGE C or CXX makes the choice. The project must
#   enable C++ (project(<name> LANGUAGES C CXX)) even for a C program, or configuring stops with
#   a message that says so. The unit includes
#   "stdafx.h" first: the application's own, which must declare printf, strlen, strcpy, strcmp,
#   malloc, free and memset (and, for a shipped unit, be #pragma once); or, with WRITE_STDAFX, a
#   minimal one written into <dir>. CHECKED_INIT compiles InitOpenGLExtensionsChecked, the
#   initialisation for core-profile contexts, into the unit (glEntryHubChecked.cpp, or
#   glEntryHubCChecked.cpp for C), with every address read through linkweldGetProcAddress, and
#   puts the shipped headers' directory on the include path (see glEntryHubInit.h). CONTEXTS
#   generates with --contexts and compiles, with the checked initialisation, the tables of
#   several contexts (glEntryHubContexts.h, doc/contexts.md). DEBUG generates with --debug and
#   defines LINKWELD_DEBUG in the Debug configuration, where every call of the loader's names and
#   of OpenGL 1.1 then goes through a wrapper that reports a GL error with the call's name and
#   place (glEntryHubDebug.h, doc/debugging.md); other configurations compile as without it.
#   Off Windows (a native Linux build) the unit is always the checked one, the include path
#   holds stand-ins for <windows.h> and GLAUX, and CONTEXTS or DEBUG get a warning
#   (doc/platforms.md). Where a
#   scanned glext.h or wglext.h states its version, <dir> also gets a header of that name which
#   includes it and stops the build when an older one was included first
#   (LinkweldHeaderCheck.cmake). ONLY_USED makes the loader of only the names that the target's
#   own sources (every one in the source tree, headers listed included) and the NAMES files (a
#   list of names, one a line) use, read at build time: a name a source starts to use comes in at
#   the next build, and an edit that changes no name recompiles nothing of the loader. A name
#   used but left out (one a macro builds) fails the build, naming it: list it in a NAMES file.
#
# linkweld_add_check(NAME <test> DIRECTORY <dir> [GL ...] [WGL ...] [LINKWELD <program>]
#                    [ALL_PROTOTYPES] [STRICT] [CONTEXTS] [DEBUG])
#   For a project that keeps its generated pair in its repository: adds the test <test>, which
#   runs linkweld --check in <dir> and fails when glEntryHub.cpp or glEntryHub.h there is missing
#   or not exactly what linkweld would write from those headers, naming the file from the top of
#   the source tree and the command that updates it; and the target <test>_update, which
#   rewrites the pair in <dir>. Needs enable_testing() or include(CTest) before it, or
#   configuring stops.
#
# The program that runs is, in this order: the LINKWELD argument; the cache variable
# LINKWELD_EXECUTABLE; the linkweld target of this build (add_subdirectory, FetchContent), unless
# the build cross-compiles; the imported linkweld::linkweld of find_package(linkweld); and only
# then a linkweld on the host's PATH, looked up outside any cross-compiling find root.

# Where the shipped units and headers (glEntryHubInit.h, glEntryHubC.h, ...) are: beside an
# installed package's files (the package config sets LINKWELD_RUNTIME_DIR before including this
# file), or in the source tree.
if(NOT LINKWELD_RUNTIME_DIR)
  set(LINKWELD_RUNTIME_DIR "${CMAKE_CURRENT_LIST_DIR}/../runtime")
endif()
get_filename_component(_linkweld_runtime_dir "${LINKWELD_RUNTIME_DIR}" ABSOLUTE)
set_property(GLOBAL PROPERTY LINKWELD_RUNTIME_DIR "${_linkweld_runtime_dir}")

set(_linkweld_cmake_dir "${CMAKE_CURRENT_LIST_DIR}")
include("${CMAKE_CURRENT_LIST_DIR}/LinkweldRoutes.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/LinkweldHeaderCheck.cmake")

# Sets <out_program> to the command that runs linkweld and <out_depends> to what the generated
# files depend on.
function(_linkweld_program explicit out_program out_depends)
  if(explicit)
    set(program "${explicit}")
    set(depends "${explicit}")
  elseif(LINKWELD_EXECUTABLE)
    set(program "${LINKWELD_EXECUTABLE}")
    set(depends "${LINKWELD_EXECUTABLE}")
  elseif(TARGET linkweld AND NOT CMAKE_CROSSCOMPILING)
    set(program "$<TARGET_FILE:linkweld>")
    set(depends linkweld)
  elseif(TARGET linkweld::linkweld)
    set(program "$<TARGET_FILE:linkweld::linkweld>")
    set(depends "$<TARGET_FILE:linkweld::linkweld>")
  else()
    find_program(LINKWELD_EXECUTABLE linkweld NO_CMAKE_FIND_ROOT_PATH
                 DOC "linkweld that runs on the build host")
    if(NOT LINKWELD_EXECUTABLE)
      if(CMAKE_CROSSCOMPILING)
        set(reason "this build cross-compiles, so the linkweld it builds cannot run here")
      else()
        set(reason "no linkweld target, no find_package(linkweld), none on the PATH")
      endif()
      message(FATAL_ERROR "linkweld: no linkweld program to generate the loader with "
        "(${reason}). Pass LINKWELD <program> to linkweld_generate or linkweld_add_loader, "
        "set the cache variable LINKWELD_EXECUTABLE to a linkweld built for this host, or "
        "put one on the PATH.")
    endif()
    set(program "${LINKWELD_EXECUTABLE}")
    set(depends "${LINKWELD_EXECUTABLE}")
  endif()
  set(${out_program} "${program}" PARENT_SCOPE)
  set(${out_depends} "${depends}" PARENT_SCOPE)
endfunction()

# Stops the configuration, naming <function>, when a header of its GL or WGL list is missing: a
# typo would otherwise surface only as a build tool's "no rule to make target".
function(_linkweld_require_headers function gl wgl)
  foreach(kind IN ITEMS GL WGL)
    string(TOLOWER "${kind}" list)
    foreach(header IN LISTS ${list})
      get_filename_component(absolute "${header}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
      _linkweld_require_plain_path("${function}" "${kind} header" "${absolute}")
      if(NOT EXISTS "${absolute}" OR IS_DIRECTORY "${absolute}")
        message(FATAL_ERROR "${function}: the ${kind} header ${absolute} does not exist")
      endif()
    endforeach()
  endforeach()
endfunction()

# Stops the configuration, naming <path>, where it cannot pass through CMake as data: a line
# break would break the build tool's files, a list (a target's sources, a rule's outputs) splits
# at a ";" and joins its elements again after a "[" or "]" left unpaired, and "$<" reads as a
# generator expression; a build rule's output
# (<what> "output directory") may hold no "#", "<" or ">". Anything else passes (spaces, quotes,
# "$", paired "[[" and "]]"), since every value is passed as an argument, never as code.
function(_linkweld_require_plain_path function what path)
  string(REGEX REPLACE "[^[]" "" opens "${path}")
  string(REGEX REPLACE "[^]]" "" closes "${path}")
  string(LENGTH "${opens}" opens)
  string(LENGTH "${closes}" closes)
  if(path MATCHES "[\n\r]")
    set(reason "a line break in it would break the build tool's files")
  elseif(path MATCHES ";" OR NOT opens EQUAL closes)
    set(reason "CMake's lists split it at a \";\", or join it to the next after a \"[\" or ")
    string(APPEND reason "\"]\" left unpaired")
  elseif(path MATCHES "\\$<")
    set(reason "CMake reads \"$<\" as a generator expression")
  elseif(what STREQUAL "output directory" AND path MATCHES "[#<>]")
    set(reason "CMake takes no \"#\", \"<\" or \">\" in a build rule's output")
  else()
    return()
  endif()
  message(FATAL_ERROR "${function}: the ${what} ${path} cannot be used: ${reason}; give it "
    "another path")
endfunction()

# Stops the configuration when CONTEXTS and DEBUG are both given to <function>: each makes the
# usual names into macros of its own, and linkweld refuses them together.
function(_linkweld_require_apart function contexts debug)
  if(contexts AND debug)
    message(FATAL_ERROR "${function}: CONTEXTS and DEBUG cannot be given together: each makes "
      "the usual names into macros of its own")
  endif()
endfunction()

# Sets <out_arguments> to linkweld's command line for the parsed ARG_ALL_PROTOTYPES, ARG_STRICT,
# ARG_GL and ARG_WGL of the caller, and <out_headers> to the headers named, as absolute paths.
macro(_linkweld_arguments out_arguments out_headers)
  set(${out_arguments} "")
  set(${out_headers} "")
  if(ARG_ALL_PROTOTYPES)
    list(APPEND ${out_arguments} --all-prototypes)
  endif()
  if(ARG_STRICT)
    list(APPEND ${out_arguments} --strict)
  endif()
  if(ARG_CONTEXTS)
    list(APPEND ${out_arguments} --contexts)
  endif()
  if(ARG_DEBUG)
    list(APPEND ${out_arguments} --debug)
  endif()
  foreach(_linkweld_kind IN ITEMS GL WGL)
    string(TOLOWER "-${_linkweld_kind}" _linkweld_flag)
    foreach(_linkweld_header IN LISTS ARG_${_linkweld_kind})
      get_filename_component(_linkweld_header "${_linkweld_header}" ABSOLUTE
                             BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
      list(APPEND ${out_arguments} "${_linkweld_flag}" "${_linkweld_header}")
      list(APPEND ${out_headers} "${_linkweld_header}")
    endforeach()
  endforeach()
endmacro()

function(linkweld_generate)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "ALL_PROTOTYPES;STRICT;CONTEXTS;DEBUG" "OUTPUT_DIR;LINKWELD"
                        "GL;WGL;USED_BY;INCLUDE_DIRS")
  if(NOT ARG_OUTPUT_DIR)
    message(FATAL_ERROR "linkweld_generate: OUTPUT_DIR is required")
  endif()
  _linkweld_require_plain_path(linkweld_generate "output directory" "${ARG_OUTPUT_DIR}")
  _linkweld_require_headers(linkweld_generate "${ARG_GL}" "${ARG_WGL}")
  _linkweld_require_apart(linkweld_generate "${ARG_CONTEXTS}" "${ARG_DEBUG}")
  _linkweld_program("${ARG_LINKWELD}" program program_depends)
  _linkweld_arguments(arguments headers)

  file(MAKE_DIRECTORY "${ARG_OUTPUT_DIR}")
  set(source "${ARG_OUTPUT_DIR}/glEntryHub.cpp")
  set(header "${ARG_OUTPUT_DIR}/glEntryHub.h")
  if(NOT DEFINED ARG_USED_BY AND NOT "USED_BY" IN_LIST ARG_KEYWORDS_MISSING_VALUES)
    add_custom_command(
      OUTPUT "${source}" "${header}"
      COMMAND "${program}" ${arguments}
      WORKING_DIRECTORY "${ARG_OUTPUT_DIR}"
      DEPENDS ${headers} ${program_depends}
      COMMENT "Generating glEntryHub.cpp and glEntryHub.h in ${ARG_OUTPUT_DIR}"
      VERBATIM)
    return()
  endif()
  if(NOT ARG_USED_BY)
    message(FATAL_ERROR "linkweld_generate: USED_BY names no file")
  endif()
  # Only the names the files use. The rule reruns when one of them changes, but linkweld leaves
  # a file that would not change as it is, so the pair is a by-product whose time moves only
  # when the names kept do, and a stamp, written at every run, tells the build tool the rule ran.
  set(used_by "")
  foreach(file IN LISTS ARG_USED_BY)
    get_filename_component(file "${file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    _linkweld_require_plain_path(linkweld_generate "USED_BY file" "${file}")
    list(APPEND used_by --used-by "${file}")
    list(APPEND headers "${file}")
  endforeach()
  foreach(directory IN LISTS ARG_INCLUDE_DIRS)
    get_filename_component(directory "${directory}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    _linkweld_require_plain_path(linkweld_generate "include directory" "${directory}")
    list(APPEND used_by --include-dir "${directory}")
  endforeach()
  set(stamp "${ARG_OUTPUT_DIR}/glEntryHub.used")
  if(CMAKE_GENERATOR MATCHES "Ninja|Makefiles")
    # The stamp is linkweld's --depfile: a rule naming every file it read, the headers a source
    # includes among them, so that an edit of any one reruns it. Its paths are absolute, which
    # Ninja matches to the rule's own output under CMP0116's NEW behaviour.
    cmake_policy(PUSH)
    cmake_policy(SET CMP0116 NEW)
    add_custom_command(
      OUTPUT "${stamp}"
      BYPRODUCTS "${source}" "${header}"
      COMMAND "${program}" ${arguments} ${used_by} --depfile "${stamp}"
      WORKING_DIRECTORY "${ARG_OUTPUT_DIR}"
      DEPENDS ${headers} ${program_depends}
      DEPFILE "${stamp}"
      COMMENT "Generating the loader of the names used in ${ARG_OUTPUT_DIR}"
      VERBATIM)
    cmake_policy(POP)
    return()
  endif()
  add_custom_command(
    OUTPUT "${stamp}"
    BYPRODUCTS "${source}" "${header}"
    COMMAND "${program}" ${arguments} ${used_by}
    COMMAND "${CMAKE_COMMAND}" -E touch "${stamp}"
    WORKING_DIRECTORY "${ARG_OUTPUT_DIR}"
    DEPENDS ${headers} ${program_depends}
    COMMENT "Generating the loader of the names used in ${ARG_OUTPUT_DIR}"
    VERBATIM)
endfunction()

function(linkweld_add_loader target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG
                        "WRITE_STDAFX;ALL_PROTOTYPES;STRICT;CHECKED_INIT;CONTEXTS;DEBUG;ONLY_USED"
                        "OUTPUT_DIR;LINKWELD;LINKAGE" "GL;WGL;NAMES;SERVES")
  _linkweld_require_cxx(linkweld_add_loader ${target})
  _linkweld_require_headers("linkweld_add_loader(${target})" "${ARG_GL}" "${ARG_WGL}")
  _linkweld_require_apart("linkweld_add_loader(${target})" "${ARG_CONTEXTS}" "${ARG_DEBUG}")
  if(ARG_LINKAGE AND NOT ARG_LINKAGE MATCHES "^(C|CXX)$")
    message(FATAL_ERROR "linkweld_add_loader(${target}): LINKAGE is C or CXX, not ${ARG_LINKAGE}")
  endif()
  if(NOT WIN32 AND (ARG_CONTEXTS OR ARG_DEBUG))
    message(WARNING "linkweld_add_loader(${target}): CONTEXTS and DEBUG need Windows; off "
      "Windows the loader does not compile with them (doc/platforms.md)")
  endif()
  if(NOT ARG_OUTPUT_DIR)
    set(ARG_OUTPUT_DIR "${CMAKE_CURRENT_BINARY_DIR}/${target}_linkweld")
  endif()
  _linkweld_require_plain_path("linkweld_add_loader(${target})" "output directory"
                               "${ARG_OUTPUT_DIR}")
  set(options "")
  foreach(option IN ITEMS ALL_PROTOTYPES STRICT CONTEXTS DEBUG)
    if(ARG_${option})
      list(APPEND options ${option})
    endif()
  endforeach()
  if(ARG_NAMES AND NOT ARG_ONLY_USED)
    message(FATAL_ERROR "linkweld_add_loader(${target}): NAMES lists names for ONLY_USED, which "
      "is not given")
  endif()
  if(ARG_ONLY_USED)
    set(names "")
    foreach(file IN LISTS ARG_NAMES)
      get_filename_component(file "${file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
      _linkweld_require_plain_path("linkweld_add_loader(${target})" "NAMES file" "${file}")
      if(NOT EXISTS "${file}")
        message(FATAL_ERROR "linkweld_add_loader(${target}): the NAMES file ${file} does not exist")
      endif()
      list(APPEND names "${file}")
    endforeach()
  else()
    linkweld_generate(OUTPUT_DIR "${ARG_OUTPUT_DIR}" GL ${ARG_GL} WGL ${ARG_WGL}
                      LINKWELD "${ARG_LINKWELD}" ${options})
  endif()
  # The header makes the generation part of the target, whichever unit compiles the source.
  target_sources(${target} PRIVATE "${ARG_OUTPUT_DIR}/glEntryHub.h")
  set(includes "${ARG_OUTPUT_DIR}")
  _linkweld_header_checks("${ARG_OUTPUT_DIR}" "${ARG_GL}" "${ARG_WGL}")

  # The whole pair's header includes "glext.h" and "wglext.h" by those names.
  foreach(header IN LISTS ARG_GL ARG_WGL)
    get_filename_component(header "${header}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    get_filename_component(name "${header}" NAME)
    if(name STREQUAL "glext.h" OR name STREQUAL "wglext.h")
      get_filename_component(directory "${header}" DIRECTORY)
      list(APPEND includes "${directory}")
    endif()
  endforeach()

  if(ARG_WRITE_STDAFX)
    # What glEntryHub.cpp needs first: the C library functions its fixed text calls, and, for
    # the whole pair, <windows.h>; a subset's header includes what it needs itself.
    set(windows "#include <windows.h>\n")
    if(ARG_ONLY_USED)
      set(windows "")
    endif()
    file(CONFIGURE OUTPUT "${ARG_OUTPUT_DIR}/stdafx.h" CONTENT [=[
// Written by linkweld_add_loader (WRITE_STDAFX): what glEntryHub.cpp needs first.
#pragma once
${windows}#include <stdio.h>
#include <stdlib.h>
#include <string.h>
]=])
  endif()

  # The debugging build's wrappers include the shipped glEntryHubDebug.cpp, in Debug alone.
  get_property(runtime_dir GLOBAL PROPERTY LINKWELD_RUNTIME_DIR)
  if(ARG_DEBUG)
    list(APPEND includes "${runtime_dir}")
  endif()

  # The tables of several contexts are filled by the checked initialisation; so is every loader
  # off Windows, through the program's address function (doc/platforms.md).
  set(checked "${ARG_CHECKED_INIT}")
  if(ARG_CONTEXTS OR NOT WIN32)
    set(checked TRUE)
  endif()
  # The names the target's sources use, and which unit compiles the loader, are known once this
  # directory is read, when all of its sources are. Until then the values wait as properties of
  # the target: data, never pasted into code.
  set_target_properties(${target} PROPERTIES
    _LINKWELD_OUTPUT_DIR "${ARG_OUTPUT_DIR}" _LINKWELD_PROGRAM "${ARG_LINKWELD}"
    _LINKWELD_CHECKED "${checked}" _LINKWELD_LINKAGE "${ARG_LINKAGE}"
    _LINKWELD_ONLY_USED "${ARG_ONLY_USED}")
  set_property(TARGET ${target} PROPERTY _LINKWELD_OPTIONS ${options})
  set_property(TARGET ${target} PROPERTY _LINKWELD_GL ${ARG_GL})
  set_property(TARGET ${target} PROPERTY _LINKWELD_WGL ${ARG_WGL})
  set_property(TARGET ${target} PROPERTY _LINKWELD_NAMES ${names})
  set_property(TARGET ${target} PROPERTY _LINKWELD_SERVES ${ARG_SERVES})
  set_property(TARGET ${target} PROPERTY _LINKWELD_DEBUG "${ARG_DEBUG}")
  set_property(TARGET ${target} PROPERTY _LINKWELD_INCLUDES ${includes})
  get_property(waiting DIRECTORY PROPERTY _LINKWELD_TARGETS)
  if(NOT waiting)
    cmake_language(DEFER CALL _linkweld_finish_loaders)
  endif()
  set_property(DIRECTORY APPEND PROPERTY _LINKWELD_TARGETS ${target})
endfunction()

# The end of this directory: for each target of linkweld_add_loader here, in order, the loader
# of the names used (ONLY_USED) and the unit that compiles it.
function(_linkweld_finish_loaders)
  get_property(targets DIRECTORY PROPERTY _LINKWELD_TARGETS)
  set_property(DIRECTORY PROPERTY _LINKWELD_TARGETS "")
  foreach(target IN LISTS targets)
    foreach(value IN ITEMS OUTPUT_DIR PROGRAM CHECKED LINKAGE ONLY_USED OPTIONS GL WGL NAMES
                           SERVES DEBUG INCLUDES)
      get_property(${value} TARGET ${target} PROPERTY _LINKWELD_${value})
    endforeach()
    foreach(served IN LISTS SERVES)
      if(NOT TARGET ${served})
        message(FATAL_ERROR "linkweld_add_loader(${target}): SERVES names ${served}, which is no "
          "target at the end of this directory; define it before, here or in a subdirectory")
      endif()
    endforeach()
    if(ONLY_USED)
      _linkweld_generate_used(${target} "${OUTPUT_DIR}" "${PROGRAM}" "${OPTIONS}" "${GL}" "${WGL}"
                              "${NAMES}" "${SERVES}")
    endif()
    _linkweld_attach_route(${target} "${OUTPUT_DIR}" "${CHECKED}" "${LINKAGE}" route_includes)
    # The target and those it serves compile against the same header; those wait for it.
    foreach(user IN ITEMS ${target} ${SERVES})
      target_include_directories(${user} PRIVATE ${INCLUDES} ${route_includes})
      if(DEBUG)
        target_compile_definitions(${user} PRIVATE "$<$<CONFIG:Debug>:LINKWELD_DEBUG>")
      endif()
      if(NOT user STREQUAL target)
        add_dependencies(${user} ${target})
      endif()
    endforeach()
  endforeach()
endfunction()

# linkweld_generate of only the names that <target>'s own sources, those of the targets it
# serves, the headers they include in quotes and the <names> files use: their sources in the
# source tree, the generated and shipped files left out, every prototype read. Called once the
# directory is read, when every source of the targets is known.
function(_linkweld_generate_used target output_dir linkweld options gl wgl names served)
  get_property(runtime_dir GLOBAL PROPERTY LINKWELD_RUNTIME_DIR)
  set(used_by "")
  set(include_dirs "")
  foreach(user IN ITEMS ${target} ${served})
    get_target_property(sources ${user} SOURCES)
    get_target_property(source_dir ${user} SOURCE_DIR)
    foreach(source IN LISTS sources)
      if(source MATCHES "\\$<")
        continue()
      endif()
      get_filename_component(source "${source}" ABSOLUTE BASE_DIR "${source_dir}")
      _linkweld_require_plain_path("linkweld_add_loader(${target})" source "${source}")
      string(FIND "${source}" "${output_dir}/" in_output)
      string(FIND "${source}" "${runtime_dir}/" in_runtime)
      if(in_output EQUAL 0 OR in_runtime EQUAL 0 OR NOT EXISTS "${source}")
        continue()
      endif()
      list(APPEND used_by "${source}")
    endforeach()
    # Where a source's quoted includes are looked for after its own directory: the target's
    # include directories (those of generator expressions, the loader's and linkweld's own left
    # out), then the directory of its CMakeLists.txt.
    get_target_property(directories ${user} INCLUDE_DIRECTORIES)
    foreach(directory IN LISTS directories source_dir)
      if(NOT directory OR directory MATCHES "\\$<" OR directory STREQUAL output_dir
         OR directory STREQUAL runtime_dir)
        continue()
      endif()
      get_filename_component(directory "${directory}" ABSOLUTE BASE_DIR "${source_dir}")
      list(APPEND include_dirs "${directory}")
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES used_by)
  list(REMOVE_DUPLICATES include_dirs)
  list(APPEND used_by ${names})
  # A name only today's prototypes declare (glGetStringi) is kept, not silently left out.
  if(NOT "ALL_PROTOTYPES" IN_LIST options)
    list(APPEND options ALL_PROTOTYPES)
  endif()
  if(NOT used_by)
    message(FATAL_ERROR "linkweld_add_loader(${target}): ONLY_USED finds no source of ${target} "
      "to read the names it uses from; add its sources first, or list the names in NAMES files")
  endif()
  linkweld_generate(OUTPUT_DIR "${output_dir}" GL ${gl} WGL ${wgl} LINKWELD "${linkweld}"
                    ${options} USED_BY ${used_by} INCLUDE_DIRS ${include_dirs})
  # The rule's stamp makes it part of the target, run before the target's files compile.
  target_sources(${target} PRIVATE "${output_dir}/glEntryHub.used")
endfunction()

function(linkweld_add_check)
  cmake_parse_arguments(PARSE_ARGV 0 ARG "ALL_PROTOTYPES;STRICT;CONTEXTS;DEBUG" "NAME;DIRECTORY;LINKWELD"
                        "GL;WGL")
  if(NOT ARG_NAME OR NOT ARG_DIRECTORY)
    message(FATAL_ERROR "linkweld_add_check: NAME and DIRECTORY are required")
  endif()
  # Without it ctest finds no test and reports success: a check that never runs.
  if(NOT CMAKE_TESTING_ENABLED)
    message(FATAL_ERROR "linkweld_add_check(NAME ${ARG_NAME}): testing is not enabled here, so "
      "the check would never run. Call enable_testing() (or include(CTest)) in the top-level "
      "CMakeLists.txt before it.")
  endif()
  _linkweld_require_headers(linkweld_add_check "${ARG_GL}" "${ARG_WGL}")
  _linkweld_require_apart(linkweld_add_check "${ARG_CONTEXTS}" "${ARG_DEBUG}")
  _linkweld_program("${ARG_LINKWELD}" program program_depends)
  _linkweld_arguments(arguments headers)
  get_filename_component(directory "${ARG_DIRECTORY}" ABSOLUTE
                         BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
  _linkweld_require_plain_path(linkweld_add_check directory "${directory}")
  # The pair as a user opens it: from the top of the source tree, or whole when outside it.
  file(RELATIVE_PATH shown "${CMAKE_SOURCE_DIR}" "${directory}")
  if(shown MATCHES "^\\.\\./" OR shown STREQUAL ".." OR IS_ABSOLUTE "${shown}")
    set(shown "${directory}")
  elseif(shown STREQUAL "")
    set(shown ".")
  endif()
  add_test(NAME ${ARG_NAME}
    COMMAND "${CMAKE_COMMAND}" "-DLINKWELD=${program}" "-DARGUMENTS=${arguments}"
      "-DDIRECTORY=${directory}" "-DSHOWN=${shown}"
      "-DUPDATE=cmake --build ${CMAKE_BINARY_DIR} --target ${ARG_NAME}_update"
      -P "${_linkweld_cmake_dir}/LinkweldCheck.cmake")
  add_custom_target(${ARG_NAME}_update
    COMMAND "${program}" ${arguments}
    WORKING_DIRECTORY "${directory}"
    COMMENT "Updating glEntryHub.cpp and glEntryHub.h in ${shown}"
    VERBATIM)
endfunction()
