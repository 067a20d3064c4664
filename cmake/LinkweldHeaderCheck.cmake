# The check of the extension headers a build ends up including, for linkweld_add_loader
# (Linkweld.cmake). glEntryHub.h includes "glext.h" and "wglext.h", which the compiler looks for
# first beside it; there this writes a header of each name that includes the one the loader was
# generated from, by its path, and stops the build when an older header of the same name was
# included before it (a windowing library's <GL/glext.h>, say) and took the include guard they
# share. The generated files carry no version; the scanned header's GL_GLEXT_VERSION or
# WGL_WGLEXT_VERSION, read here, is what the build compares against.

# Writes <dir>/glext.h for the first of <gl_headers> named glext.h, and <dir>/wglext.h for the
# first of <wgl_headers> named wglext.h, when that header states its version; writes nothing
# where <dir> is that header's own directory or holds a file of that name not written here.
function(_linkweld_header_checks dir gl_headers wgl_headers)
  get_filename_component(dir "${dir}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
  foreach(kind IN ITEMS GL WGL)
    if(kind STREQUAL "GL")
      set(name glext.h)
      set(macro GL_GLEXT_VERSION)
      set(headers ${gl_headers})
    else()
      set(name wglext.h)
      set(macro WGL_WGLEXT_VERSION)
      set(headers ${wgl_headers})
    endif()
    set(scanned "")
    foreach(header IN LISTS headers)
      get_filename_component(header "${header}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
      get_filename_component(header_name "${header}" NAME)
      if(header_name STREQUAL name)
        set(scanned "${header}")
        break()
      endif()
    endforeach()
    if(NOT scanned OR NOT EXISTS "${scanned}")
      continue()
    endif()
    if(scanned MATCHES "[\"\n]")
      message(FATAL_ERROR "linkweld_add_loader: the ${kind} header ${scanned} holds a quote or a "
        "line feed, which no #include can name; move it to a path without them")
    endif()
    get_filename_component(scanned_dir "${scanned}" DIRECTORY)
    set(check "${dir}/${name}")
    if(scanned_dir STREQUAL dir)
      continue()
    endif()
    if(EXISTS "${check}")
      file(STRINGS "${check}" first_line LIMIT_COUNT 1)
      if(NOT first_line MATCHES "^// Written by linkweld_add_loader")
        continue()
      endif()
    endif()
    # A header edited later is read again: the configuration depends on it.
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${scanned}")
    file(STRINGS "${scanned}" version_line LIMIT_COUNT 1
         REGEX "^[ \t]*#[ \t]*define[ \t]+${macro}[ \t]+[0-9]+")
    if(NOT version_line)
      file(REMOVE "${check}")
      continue()
    endif()
    string(REGEX REPLACE ".*[ \t]([0-9]+).*" "\\1" version "${version_line}")
    string(MAKE_C_IDENTIFIER "${name}" id)
    # <GL/glext.h> finds the scanned header first when its parent directory leads the path.
    get_filename_component(scanned_dir_name "${scanned_dir}" NAME)
    set(remedy "include glEntryHub.h (or glEntryHubC.h) before any header that includes")
    string(APPEND remedy " another ${name}")
    if(scanned_dir_name STREQUAL "GL")
      get_filename_component(parent "${scanned_dir}" DIRECTORY)
      string(APPEND remedy ", or put ${parent} first on the include path, where <GL/${name}>")
      string(APPEND remedy " finds it")
    endif()
    file(CONFIGURE OUTPUT "${check}" @ONLY CONTENT [=[
// Written by linkweld_add_loader: the @name@ that glEntryHub.h includes. It includes the one
// the loader was generated from, by its path, and stops the build when an older @name@,
// included before it, took the include guard they share.
#include "@scanned@"
#if (!defined(@macro@) || @macro@ < @version@) && !defined(LINKWELD_OLDER_@id@)
#define LINKWELD_OLDER_@id@ 1
#ifdef @macro@
#define LINKWELD_STRING_(x) #x
#define LINKWELD_STRING(x) LINKWELD_STRING_(x)
#pragma message("linkweld: the @name@ included first has @macro@ " LINKWELD_STRING(@macro@))
#endif
#error "linkweld: an older @name@ was included before glEntryHub.h and kept out @scanned@ (@macro@ @version@), which the loader was generated from: @remedy@"
#endif
]=])
  endforeach()
endfunction()
