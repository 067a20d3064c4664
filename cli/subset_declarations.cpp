// A subset's declarations: the lines of the scanned headers its header copies in place of
// including them.
#include "cli/subset_declarations.h"

#include "cli/messages.h"
#include "scan/header_excerpt.h"
#include "scan/open_file.h"

bool readSubsetHeaders(const Platform& platform, const SymbolTables& tables,
                       SubsetHeaders& headers) {
    headers.bytes.resize(tables.headers.size());
    std::vector<std::string_view> texts;
    for (std::size_t i = 0; i < tables.headers.size(); ++i) {
        const std::error_code error = readWhole(platform, tables.headers[i].path, headers.bytes[i]);
        if (error) {
            report(Message::cannotReadHeaderAgain,
                   {quotedName(tables.headers[i].path), text(error.message())});
            return false;
        }
        texts.push_back(headers.bytes[i]);
    }
    headers.index = indexHeaders(texts);
    return true;
}

void keepDeclarations(SymbolTables& tables, const SubsetHeaders& headers,
                      const std::unordered_set<std::string>& kept, const Names& constants) {
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
    const std::vector<std::vector<std::string>> excerpts =
        excerptsOf(*headers.index, wanted, isExtension);
    for (std::size_t i = 0; i < tables.headers.size(); ++i) {
        for (const std::string& line : excerpts[i]) {
            tables.declarations[tables.headers[i].api].append(line);
        }
    }
}
