// A loader of only the names a program uses: which names an identifier of the program keeps, and
// the lists cut down to the names kept.
#pragma once

#include <array>
#include <iterator>
#include <string>
#include <string_view>
#include <unordered_set>

#include "tables/symbol_tables.h"

// The extensions and entry points of `tables` that `identifier` names: itself, for a flag member
// ("flGL_ARB_multitexture") the extension it stands for, or with --contexts for an entry point's
// member in a table ("BindBuffer") the entry point of each api that has such a member. Empty
// views where it names none.
using NamesKept = std::array<std::string_view, std::size(kApis)>;
NamesKept namesKeptBy(const SymbolTables& tables, std::string_view identifier);

// Keeps of every list only the entries whose name `kept` holds, in their order, duplicates
// included, and marks the tables a subset.
void keepOnly(SymbolTables& tables, const std::unordered_set<std::string>& kept);

// Whether the tables hold a name of `api` (a subset without WGL names needs no <windows.h>).
bool holdsNamesOf(const SymbolTables& tables, Api api);
