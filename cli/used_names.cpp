// The names a program uses, read from its files: each identifier that names a scanned extension
// or entry point keeps it, and a name of a list that none declares is a warning at its line.
#include "cli/used_names.h"

#include <filesystem>
#include <string>
#include <unordered_set>

#include "cli/messages.h"
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
bool isGenerated(const char* path) {
    for (const GeneratedFile& file : kGeneratedFiles) {
        std::error_code error;
        if (std::filesystem::equivalent(std::filesystem::u8path(path), file.name, error)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool keepUsedNames(const ArgumentWalk& walk, SymbolTables& tables) {
    std::unordered_set<std::string> kept;
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
    keepOnly(tables, kept);
    return true;
}
