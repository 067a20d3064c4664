# The translation unit that compiles a target's loader, for linkweld_add_loader (Linkweld.cmake):
#
#   program    initialisation                compiled                 included
#   C++        InitOpenGLExtensions          glEntryHub.cpp           glEntryHub.h
#   C++        InitOpenGLExtensionsChecked   glEntryHubChecked.cpp    glEntryHubInit.h
#   C          InitOpenGLExtensions          glEntryHubC.cpp          glEntryHubC.h
#   C          InitOpenGLExtensionsChecked   glEntryHubCChecked.cpp   glEntryHubC.h
#
# The last three, shipped with linkweld, include the generated glEntryHub.cpp; the checked ones
# read every address through linkweldGetProcAddress, the C ones give every name C linkage. A
# target with a C source takes the C route, its C++ files included (they include glEntryHubC.h),
# with a warning when it has C++ sources too; LINKAGE CXX keeps the C++ route for a target whose C
# files do not use the loader, LINKAGE C takes the C route without the warning.

# Stops the configuration unless C++ is enabled in the directory <function> was called from:
# every route compiles C++, and CMake enables a language only at directory scope.
function(_linkweld_require_cxx function target)
  if(NOT CMAKE_CXX_COMPILER_LOADED)
    message(FATAL_ERROR "${function}(${target}): C++ is not enabled in this directory, and the "
      "loader is compiled as C++ (a C target compiles glEntryHubC.cpp, which gives it C "
      "linkage; its C files stay C and include glEntryHubC.h). Add CXX to the languages of "
      "project(), as in project(<name> LANGUAGES C CXX), or call enable_language(CXX) in this "
      "directory before ${function}.")
  endif()
endfunction()

# C when <target> has a source in C, else CXX; sources named by generator expressions are not
# looked at. A target of C and C++ sources takes the C route with a warning that names the way
# back, since its C++ files must then include glEntryHubC.h.
function(_linkweld_linkage_of target out_linkage)
  get_target_property(sources ${target} SOURCES)
  set(c_sources "")
  set(cxx_sources "")
  foreach(source IN LISTS sources)
    if(source MATCHES "\\$<")
      continue()
    endif()
    get_source_file_property(language "${source}" TARGET_DIRECTORY ${target} LANGUAGE)
    get_filename_component(extension "${source}" LAST_EXT)
    string(REGEX REPLACE "^\\." "" extension "${extension}")
    get_filename_component(name "${source}" NAME)
    if(language STREQUAL "C" OR (NOT language AND extension STREQUAL "c"))
      list(APPEND c_sources "${name}")
    elseif(language STREQUAL "CXX"
           OR (NOT language AND extension IN_LIST CMAKE_CXX_SOURCE_FILE_EXTENSIONS))
      list(APPEND cxx_sources "${name}")
    endif()
  endforeach()
  if(c_sources AND cxx_sources)
    list(JOIN c_sources ", " c_names)
    message(WARNING "linkweld_add_loader(${target}): ${target} has C sources (${c_names}) beside "
      "C++ ones, so it takes the C route: every file of it that uses the loader, C++ files "
      "included, must include glEntryHubC.h, never glEntryHub.h or glEntryHubInit.h. Pass "
      "LINKAGE CXX to keep the C++ route when its C files do not use the loader, or LINKAGE C "
      "to take the C route without this warning.")
  endif()
  if(c_sources)
    set(${out_linkage} C PARENT_SCOPE)
  else()
    set(${out_linkage} CXX PARENT_SCOPE)
  endif()
endfunction()

# Adds to <target> the translation unit of its route, quiet under the target's warnings. Called
# once the directory is read, when every source of the target is known; <linkage> is C, CXX, or
# empty to choose by the sources. Sets <out_includes> to what the files that include the loader's
# header need besides: the shipped headers, on the C route and with the checked initialisation.
function(_linkweld_attach_route target output_dir checked linkage out_includes)
  set(${out_includes} "" PARENT_SCOPE)
  if(NOT linkage)
    _linkweld_linkage_of(${target} linkage)
  endif()
  get_property(runtime_dir GLOBAL PROPERTY LINKWELD_RUNTIME_DIR)
  if(linkage STREQUAL "C" AND checked)
    set(source "${runtime_dir}/glEntryHubCChecked.cpp")
  elseif(linkage STREQUAL "C")
    set(source "${runtime_dir}/glEntryHubC.cpp")
  elseif(checked)
    set(source "${runtime_dir}/glEntryHubChecked.cpp")
  else()
    set(source "${output_dir}/glEntryHub.cpp")
  endif()
  message(VERBOSE "linkweld_add_loader(${target}): ${linkage} linkage, compiles ${source}")
  target_sources(${target} PRIVATE "${source}")
  if(linkage STREQUAL "C" OR checked)
    # Off Windows, also the stand-in for <windows.h> that a pair with a WGL name includes.
    set(includes "${runtime_dir}")
    if(NOT WIN32)
      list(APPEND includes "${runtime_dir}/standin")
    endif()
    set(${out_includes} "${includes}" PARENT_SCOPE)
    # A shipped unit silences the generated text itself (glEntryHubSource.h); only Microsoft's
    # strict string conversions, an error rather than a warning, need an option. The file is
    # shared by the targets of the directory: set, never appended twice.
    set_property(SOURCE "${source}" TARGET_DIRECTORY ${target} PROPERTY COMPILE_OPTIONS
                 "$<$<CXX_COMPILER_ID:MSVC>:/Zc:strictStrings->")
    return()
  endif()
  # glEntryHub.cpp itself: exactly the warnings its fixed text raises, turned off on it alone.
  set(gnu_or_clang "$<CXX_COMPILER_ID:GNU,Clang,AppleClang>")
  set(clang_13 "$<AND:$<CXX_COMPILER_ID:Clang>,$<VERSION_GREATER_EQUAL:$<CXX_COMPILER_VERSION>,13>>")
  set_property(SOURCE "${source}" TARGET_DIRECTORY ${target} APPEND PROPERTY COMPILE_OPTIONS
    "$<${gnu_or_clang}:-Wno-unknown-pragmas;-Wno-unused-variable>"
    "$<$<CXX_COMPILER_ID:GNU>:-Wno-write-strings;-Wno-cast-function-type>"
    "$<$<CXX_COMPILER_ID:Clang,AppleClang>:-Wno-writable-strings>"
    "$<${clang_13}:-Wno-cast-function-type>"
    "$<$<CXX_COMPILER_ID:MSVC>:/Zc:strictStrings-;/wd4996;/wd4189>")
endfunction()
