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
# target with a C source takes the C route, its C++ files included (they include glEntryHubC.h);
# LINKAGE CXX keeps the C++ route for a target whose C files do not use the loader.

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
# looked at.
function(_linkweld_linkage_of target out_linkage)
  set(linkage CXX)
  get_target_property(sources ${target} SOURCES)
  foreach(source IN LISTS sources)
    if(source MATCHES "\\$<")
      continue()
    endif()
    get_source_file_property(language "${source}" TARGET_DIRECTORY ${target} LANGUAGE)
    get_filename_component(extension "${source}" LAST_EXT)
    if(language STREQUAL "C" OR (NOT language AND extension STREQUAL ".c"))
      set(linkage C)
      break()
    endif()
  endforeach()
  set(${out_linkage} ${linkage} PARENT_SCOPE)
endfunction()

# Adds to <target> the translation unit of its route, with the warnings that the generated text
# raises turned off on it. Called once the directory is read, when every source of the target is
# known; <linkage> is C, CXX, or empty to choose by the sources.
function(_linkweld_attach_route target output_dir checked linkage)
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
  set(shipped OFF)
  if(linkage STREQUAL "C" OR checked)
    set(shipped ON)
    target_include_directories(${target} PRIVATE "${runtime_dir}")
  endif()

  set(gnu_or_clang "$<CXX_COMPILER_ID:GNU,Clang,AppleClang>")
  set(clang_13 "$<AND:$<CXX_COMPILER_ID:Clang>,$<VERSION_GREATER_EQUAL:$<CXX_COMPILER_VERSION>,13>>")
  set(options
    "$<${gnu_or_clang}:-Wno-unknown-pragmas;-Wno-unused-variable>"
    "$<$<CXX_COMPILER_ID:GNU>:-Wno-write-strings;-Wno-cast-function-type>"
    "$<$<CXX_COMPILER_ID:Clang,AppleClang>:-Wno-writable-strings>"
    "$<${clang_13}:-Wno-cast-function-type>"
    "$<$<CXX_COMPILER_ID:MSVC>:/Zc:strictStrings-;/wd4996;/wd4189>")
  if(shipped)
    # A shipped file, shared by the targets of the directory: set, never appended twice.
    set_property(SOURCE "${source}" TARGET_DIRECTORY ${target} PROPERTY COMPILE_OPTIONS ${options})
  else()
    set_property(SOURCE "${source}" TARGET_DIRECTORY ${target} APPEND PROPERTY COMPILE_OPTIONS
                 ${options})
  endif()
endfunction()
