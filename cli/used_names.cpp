// The names a program uses, read from its files: each identifier that names a scanned extension
// or entry point keeps it, and a name of a list that none declares is a warning at its line. The
// subset's header then declares, from the scanned headers' own lines, the pointer types of the
// entry points kept and the constants the program names.
#include "cli/used_names.h"

#include <string>
#include <unordered_set>

#include "cli/messages.h"
#include "cli/program_files.h"
#include "cli/subset_declarations.h"
#include "render/generated_files.h"
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
bool isGenerated(const Platform& platform, const char* path) {
    for (const GeneratedFile& file : kGeneratedFiles) {
        if (platform.sameFile(path, file.name)) {
            return true;
        }
    }
    return false;
}

// Whether only a prototype of a form not in force declares `identifier`.
bool onlySkippedDeclares(const SymbolTables& tables, std::string_view identifier) {
    for (const ApiRow& api : kApis) {
        if (tables.skippedPrototypes[api.api].find(identifier) != NameList::npos) {
            return true;
        }
    }
    return false;
}

// Whether `identifier` is shaped as an entry point's name: an api's entry prefix and a capital.
bool hasEntryPointShape(std::string_view identifier) {
    for (const ApiRow& api : kApis) {
        const std::size_t prefix = api.entryPrefix.size();
        if (identifier.size() > prefix && identifier.substr(0, prefix) == api.entryPrefix &&
            identifier[prefix] >= 'A' && identifier[prefix] <= 'Z') {
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

// What the identifiers of the program's files keep, and what they are worth a warning for.
struct UsedNames {
    const SymbolTables& tables;
    const HeaderIndex& declarations;
    bool allPrototypes;
    std::unordered_set<std::string> kept = {};
    std::unordered_set<std::string> constants = {};  // that may name a header's constant
    std::unordered_set<std::string> told = {};       // warned of as read only with all prototypes

    bool lookUp(const std::string& path, std::string_view identifier, bool keep,
                std::uint64_t line) {
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
        if (!keep || names || allPrototypes || told.count(std::string(identifier)) > 0) {
            return names;
        }
        // Only a prototype not read declares it: one seen and skipped, or, for a form no line
        // form reads, one whose pointer type a header declares.
        std::string type;
        if (hasEntryPointShape(identifier)) {
            appendPointerType(type, identifier);
        }
        if (onlySkippedDeclares(tables, identifier) ||
            (!type.empty() && declares(declarations, type))) {
            told.emplace(identifier);
            reportAt(Message::usedButSkipped, path, line, {quotedName(identifier)});
        }
        return names;
    }
};

}  // namespace

bool keepUsedNames(const Platform& platform, const ArgumentWalk& walk, SymbolTables& tables,
                   ProgramFiles& files) {
    SubsetHeaders headers;
    if (!readSubsetHeaders(platform, tables, headers)) {
        return false;
    }
    UsedNames used{tables, *headers.index, walk.given(kAllPrototypes)};
    const std::size_t longest = longestName(tables);
    // Names of lists that name nothing: the first few told, each with its place, then counted.
    std::uint64_t unknown = 0;
    for (const char* path : walk.valuesOf(kUsedBy)) {
        if (!path) {
            report(Message::optionWithoutFile, {text(kUsedBy.name)});
        } else if (isGenerated(platform, path)) {
            report(Message::usedByGenerated, {quotedName(path)});
        } else {
            queueProgramFile(files, path);
        }
    }
    for (const HeaderRecord& header : tables.headers) {
        neverQueue(files, header.path);
    }
    std::vector<const char*> directories;
    for (const char* directory : walk.valuesOf(kIncludeDir)) {
        if (directory) {
            directories.push_back(directory);
        } else {
            report(Message::optionWithoutFile, {text(kIncludeDir.name)});
        }
    }
    // Queued files are read in turn, each one's includes queued after it.
    for (std::size_t next = 0; next < files.paths.size(); ++next) {
        const std::string path = files.paths[next];
        ProgramFile file;
        const std::error_code error = readProgramNames(
            path, longest,
            [&](std::string_view identifier, bool keep, std::uint64_t line) {
                return used.lookUp(path, identifier, keep, line);
            },
            file, platform);
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
        // A file of include lines and comments alone reads as a list, and is still followed.
        if (walk.given(kIncludeDir)) {
            queueIncludes(platform, files, path, directories);
        }
    }
    if (unknown > kUnknownNamesKept) {
        report(Message::moreOfKind,
               {number(unknown - kUnknownNamesKept), part(Message::kindNotDeclared)});
    }
    keepDeclarations(tables, headers, used.kept, used.constants);
    keepOnly(tables, used.kept);
    return true;
}
