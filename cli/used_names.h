// --used-by: the tables cut down to the names a program's files use.
#pragma once

#include "cli/argument_walk.h"
#include "cli/program_files.h"
#include "platform/platform.h"
#include "tables/symbol_tables.h"

// Reads every file given with --used-by (and with --include-dir, the files their sources include
// in quotes), listed in `files`, and keeps in `tables` only the extensions and entry points they
// name; says so for a name of a list that no header declares, or that only a prototype not read
// declares. False, having said why, when a file cannot be read: the run then writes nothing.
bool keepUsedNames(const Platform& platform, const ArgumentWalk& walk, SymbolTables& tables,
                   ProgramFiles& files);
