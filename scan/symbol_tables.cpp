// The one derived field of the shared types: an entry point's function-pointer type.
#include "scan/symbol_tables.h"

#include "scan/ascii.h"

void appendPointerType(std::string& out, std::string_view name) {
    out += "PFN";
    const std::size_t start = out.size();
    out.append(name);
    for (std::size_t i = start; i < out.size(); ++i) {
        out[i] = toUpperAscii(out[i]);
    }
    out += "PROC";
}
