// The derived fields of the shared types: an entry point's function-pointer type, and its member
// in a table of pointers.
#include "tables/symbol_tables.h"

#include <cstring>

#include "tables/ascii.h"

void writePointerType(char* out, std::string_view name) {
    std::memcpy(out, "PFN", 3);
    for (std::size_t i = 0; i < name.size(); ++i) {
        out[3 + i] = toUpperAscii(name[i]);
    }
    std::memcpy(out + 3 + name.size(), "PROC", 4);
}

void appendPointerType(std::string& out, std::string_view name) {
    const std::size_t start = out.size();
    out.resize(start + pointerTypeSize(name));
    writePointerType(&out[start], name);
}

std::string_view memberName(std::string_view name, Api api) {
    const std::string_view prefix = apiRow(api).entryPrefix;
    const bool stripped = name.size() > prefix.size() && name.substr(0, prefix.size()) == prefix &&
                          !isDigit(name[prefix.size()]);
    return stripped ? name.substr(prefix.size()) : name;
}
