# Documentation laid out as Debian ships it.
#
# linkweld_compressed(<variable> <file> <name.gz>): a build step that writes <file> compressed
# as <name.gz> in the build tree, the way Debian ships documentation (gzip -9n: the best
# compression, no name or time stamp), and sets <variable> to its path. Without gzip the file is
# used as it is.
find_program(LINKWELD_GZIP gzip)
mark_as_advanced(LINKWELD_GZIP)

function(linkweld_compressed variable file compressed)
  if(NOT LINKWELD_GZIP)
    set(${variable} "${file}" PARENT_SCOPE)
    return()
  endif()
  string(REGEX REPLACE "\\.gz$" "" plain "${CMAKE_CURRENT_BINARY_DIR}/compressed/${compressed}")
  add_custom_command(OUTPUT "${plain}.gz"
    COMMAND ${CMAKE_COMMAND} -E copy "${file}" "${plain}"
    COMMAND "${LINKWELD_GZIP}" -9nf "${plain}"
    DEPENDS "${file}" VERBATIM)
  add_custom_target(${variable}_compressed ALL DEPENDS "${plain}.gz")
  set(${variable} "${plain}.gz" PARENT_SCOPE)
endfunction()

# linkweld_copyright_file(<licence> <output>): the MIT licence file <licence> as a Debian
# machine-readable copyright file, its text indented below its own "Copyright" line.
function(linkweld_copyright_file licence output)
  file(READ "${licence}" text)
  string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" notice "${text}")
  set(holder "${CMAKE_MATCH_1}")
  string(REGEX REPLACE "^.*Copyright \\(c\\) [^\n]*\n\n" "" terms "${text}")
  string(STRIP "${terms}" terms)
  string(REPLACE "\n\n" "\n.\n" terms "${terms}")
  string(REPLACE "\n" "\n " terms "${terms}")
  file(WRITE "${output}" "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: linkweld

Files: *
Copyright: ${holder}
License: Expat
 ${terms}
")
endfunction()
