// Warnings about scanned names that would give a broken loader, with the place that causes them.
#pragma once

#include "platform/platform.h"
#include "scan/line_forms.h"
#include "tables/symbol_tables.h"

// Writes one warning line to standard error per problem, at most ten of each kind and then a
// count of the rest: a name declared again where the generated code would define it twice;
// a name that is not a C identifier; a header that adds nothing; a "-wgl" header with extensions
// but no entry point; and, per header, the prototypes that no form read. Those that the options
// could read name --all-prototypes.
void warnAboutLoader(const Platform& platform, const SymbolTables& tables,
                     const ScanOptions& options);
