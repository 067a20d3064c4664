# Writes OUT, one FLAG(NAME) line for each flag of the generated HEADER (its "bool FLEXT(NAME);"
# lines), for contexts_check.c to compare a table with a context's own list; run as cmake -P.
file(STRINGS "${HEADER}" lines REGEX "^\tbool FLEXT\\(.*\\);$")
set(flags "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^\tbool FLEXT\\((.*)\\);$" "FLAG(\\1)\n" flag "${line}")
  string(APPEND flags "${flag}")
endforeach()
file(WRITE "${OUT}" "${flags}")
