// Every flag of the generated loader by name, as list_symbols.cmake listed them from
// glEntryHub.h into flag_names.inc. Include after glEntryHub.h.
#pragma once

struct Flag {
    const char* name;
    const bool* value;
};

#define LINKWELD_FLAG(name) {#name, &ExtCaps.fl##name},
const Flag kFlags[] = {
#include "flag_names.inc"
};
#undef LINKWELD_FLAG
