// A subset's declarations: the lines of the scanned headers its header copies in place of
// including them.
#include "cli/subset_declarations.h"

#include "cli/messages.h"
#include "scan/header_excerpt.h"
#include "scan/open_file.h"

bool takeDeclarations(SymbolTables& tables, const std::unordered_set<std::string>& kept,
                      const Names& constants) {
    Names wanted = constants;
    for (const std::string& name : kept) {
        for (const ApiRow& api : kApis) {
            if (tables.entryPoints[api.api].find(name) != NameList::npos) {
                std::string type;
                appendPointerType(type, name);
                wanted.insert(type);
            }
            if (api.api == Api::wgl && (tables.entryPoints[api.api].find(name) != NameList::npos ||
                                        tables.extensions[api.api].find(name) != NameList::npos)) {
                wanted.insert("PFNWGLGETEXTENSIONSSTRINGARBPROC");
            }
        }
    }
    const auto isExtension = [&](std::string_view name) {
        for (const ApiRow& api : kApis) {
            if (tables.extensions[api.api].find(name) != NameList::npos) {
                return true;
            }
        }
        return false;
    };
    Names declared;
    std::string bytes;
    for (const HeaderRecord& header : tables.headers) {
        const std::error_code error = readWhole(header.path, bytes);
        if (error) {
            report(Message::cannotReadHeaderAgain,
                   {quotedName(header.path), text(error.message())});
            return false;
        }
        for (const std::string& line : excerptOf(bytes, wanted, declared, isExtension)) {
            tables.declarations[header.api].append(line);
        }
    }
    return true;
}
