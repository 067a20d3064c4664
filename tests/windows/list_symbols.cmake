# Lists the flags and entry-point pointers that a generated glEntryHub.h declares, as
# LINKWELD_FLAG(name) and LINKWELD_ENTRY(name) lines for the check program to include.
#   cmake -DHEADER=glEntryHub.h -DFLAGS=flag_names.inc -DENTRIES=entry_names.inc -P list_symbols.cmake
file(STRINGS "${HEADER}" flag_lines REGEX "^\tbool FLEXT\\([A-Za-z0-9_]+\\);")
file(STRINGS "${HEADER}" entry_lines REGEX "^EXTERN [A-Za-z0-9_]+ [A-Za-z0-9_]+;")
set(flags "")
foreach(line IN LISTS flag_lines)
  string(REGEX REPLACE "^\tbool FLEXT\\(([A-Za-z0-9_]+)\\);.*" "LINKWELD_FLAG(\\1)\n" line "${line}")
  string(APPEND flags "${line}")
endforeach()
set(entries "")
foreach(line IN LISTS entry_lines)
  string(REGEX REPLACE "^EXTERN [A-Za-z0-9_]+ ([A-Za-z0-9_]+);.*" "LINKWELD_ENTRY(\\1)\n" line "${line}")
  string(APPEND entries "${line}")
endforeach()
file(WRITE "${FLAGS}" "${flags}")
file(WRITE "${ENTRIES}" "${entries}")
