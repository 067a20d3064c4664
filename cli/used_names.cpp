// The names a program uses, read from its files: each identifier that names a scanned extension
// or entry point keeps it, and a name of a list that none declares is a warning at its line. The
// subset's header then declares, from the scanned headers' own lines, the pointer types of the
// entry points kept and the constants the program names.
#include "cli/used_names.h"

#include <filesystem>
#include <string>
#include <unordered_set>

#include "cli/messages.h"
#include "render/generated_files.h"
#include "scan/header_excerpt.h"
#include "scan/program_names.h"
#include "tables/kept_names.h"

namespace {

// The longest name of the tables, and two more for a flag member's "fl": no longer identifier
// can keep anything.
std::size_t longestName(const SymbolTables& tables) {
    std::size_t longest = 0;
    for (const ApiRow& api : kApis) {
        for (const NameList* list : {&tables.extensions[api.api], &tables.entryPoints[api.api]}) {
            for (std::uint32_t name = 0; name < list->distinctCount(); ++name) {
                longest = std::max(longest, list->distinct(name).size());
            }
        }
    }
    return longest + 2;
}

// Whether `path` is a file this run writes: the loader's own text names every name it holds,
// so reading it back would keep them all, and the pair could only grow.
bool isGenerated(const char* path) {
    for (const GeneratedFile& file : kGeneratedFiles) {
        std::error_code error;
        if (std::filesystem::equivalent(std::filesystem::u8path(path), file.name, error)) {
            return true;
        }
    }
    return false;
}

bool startsWithPrefixOfAnApi(std::string_view identifier) {
    for (const ApiRow& api : kApis) {
        if (identifier.substr(0, api.namePrefix.size()) == api.namePrefix) {
            return true;
        }
    }
    return false;
}

// The lines of each header that declare what the subset's header needs: the pointer types of
// the kept entry points, the constants the program names (`constants`), and, with a WGL name,
// the pointer type the loader's own WGL lookup takes. An extension's name is never defined.
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

}  // namespace

bool keepUsedNames(const ArgumentWalk& walk, SymbolTables& tables) {
    std::unordered_set<std::string> kept;
    Names constants;  // the program's identifiers that may name a header's constant
    const std::size_t longest = longestName(tables);
    // Names of lists that name nothing: the first few told, each with its place, then counted.
    std::uint64_t unknown = 0;
    for (const char* path : walk.valuesOf(kUsedBy)) {
        if (!path) {
            report(Message::optionWithoutFile, {text(kUsedBy.name)});
            continue;
        }
        if (isGenerated(path)) {
            report(Message::usedByGenerated, {quotedName(path)});
            continue;
        }
        ProgramFile file;
        const std::error_code error = readProgramNames(
            path, longest,
            [&](std::string_view identifier, bool keep) {
                if (keep && startsWithPrefixOfAnApi(identifier)) {
                    constants.emplace(identifier);
                }
                bool names = false;
                for (const std::string_view name : namesKeptBy(tables, identifier)) {
                    if (keep && !name.empty()) {
                        kept.emplace(name);
                    }
                    names = names || !name.empty();
                }
                return names;
            },
            file);
        if (error) {
            report(Message::cannotReadProgram, {quotedName(path), text(error.message())});
            return false;
        }
        for (const ListedName& listed : file.unknown) {
            Arg shown = quotedName(listed.name);
            if (listed.cut) {
                shown += text("...");
            }
            if (++unknown <= kUnknownNamesKept) {
                reportAt(Message::notDeclared, path, listed.line, {shown});
            }
        }
        unknown += file.moreUnknown;
    }
    if (unknown > kUnknownNamesKept) {
        report(Message::moreOfKind,
               {number(unknown - kUnknownNamesKept), part(Message::kindNotDeclared)});
    }
    if (!takeDeclarations(tables, kept, constants)) {
        return false;
    }
    keepOnly(tables, kept);
    return true;
}
