// The lines a subset's header copies from the scanned headers (--used-by).
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "platform/platform.h"
#include "scan/header_excerpt.h"
#include "tables/symbol_tables.h"

// The scanned headers read again, for a subset's header: their bytes and their declarations.
struct SubsetHeaders {
    std::vector<std::string> bytes;
    HeaderIndexPtr index;
};

// Reads every header of tables.headers again. False, having said why, when one cannot be read.
bool readSubsetHeaders(const Platform& platform, const SymbolTables& tables,
                       SubsetHeaders& headers);

// Fills tables.declarations from the headers: the lines that declare the pointer types of the
// entry points `kept` holds, the constants `constants` names (identifiers of the program with an
// api's prefix), and, with a WGL name kept, the pointer type the loader's own WGL lookup takes;
// with the types and macros those use. An extension's name is never defined.
void keepDeclarations(SymbolTables& tables, const SubsetHeaders& headers,
                      const std::unordered_set<std::string>& kept,
                      const std::unordered_set<std::string>& constants);
