// The driver: prints the usage banner, the help or the version, or scans every flagged header,
// has the generated files rendered, and has them replaced together (with --check, compared).
#include "cli/command_line.h"

#include <new>
#include <string>
#include <vector>

#include "cli/argument_walk.h"
#include "cli/depfile.h"
#include "cli/loader_warnings.h"
#include "cli/messages.h"
#include "cli/output_blocks.h"
#include "cli/replace_failures.h"
#include "cli/usage.h"
#include "cli/used_names.h"
#include "render/generated_files.h"
#include "replace/replace_files.h"
#include "scan/header_file.h"
#include "tables/apis.h"

namespace {

// Whether the new files were put in place, for a run that then runs out of memory.
bool filesInPlace = false;

// Scans every header named; says so when none was named or none could be read.
SymbolTables scanHeaders(const Platform& platform, const ArgumentWalk& walk,
                         const ScanOptions& options) {
    SymbolTables tables;
    std::size_t named = 0;
    std::size_t read = 0;
    for (const HeaderArgument& argument : walk.headers) {
        if (!argument.path) {
            report(Message::flagWithoutFile, {text(apiRow(argument.api).flag)});
            continue;
        }
        ++named;
        if (const std::error_code failure =
                scanHeader(argument.path, argument.api, options, tables, platform)) {
            report(Message::cannotReadHeader, {quotedName(argument.path), text(failure.message())});
        } else {
            ++read;
        }
    }
    if (named == 0) {
        report(Message::noHeaderNamed, {text(listOfFlags(" or "))});
    } else if (read == 0) {
        report(Message::noHeaderRead);
    }
    return tables;
}

std::vector<std::string> fileNames() {
    std::vector<std::string> names;
    for (const GeneratedFile& file : kGeneratedFiles) {
        names.push_back(file.name);
    }
    return names;
}

std::string rendered(const GeneratedFile& file, const SymbolTables& tables) {
    std::string bytes;
    PieceWriter writer = writerInto(bytes);
    renderFile(file, writer, tables);
    return bytes;
}

// --check: each generated file that is missing or out of date is an error.
int checkGenerated(const SymbolTables& tables) {
    std::vector<std::string> expected;
    for (const GeneratedFile& file : kGeneratedFiles) {
        expected.push_back(rendered(file, tables));
    }
    const std::vector<std::string> names = fileNames();
    const std::vector<FileDifference> differences = compareFiles(names, expected);
    for (const FileDifference& difference : differences) {
        const std::string& name = names[difference.file];
        if (difference.line > 0 && difference.lineEnds) {
            reportAt(Message::differsInLineEnds, name, difference.line,
                     {text(difference.lineEnds == '\r' ? "CR LF" : "LF"),
                      text(difference.lineEnds == '\r' ? "LF" : "CR LF")});
        } else if (difference.line > 0) {
            reportAt(Message::differs, name, difference.line);
        } else if (!difference.link.empty()) {
            report(Message::untrustedLinkRead, {path(name), quotedName(difference.link.u8string()),
                                                quotedName(difference.owner)});
        } else {
            report(Message::cannotReadGenerated, {path(name), text(difference.error.message())});
        }
    }
    return differences.empty() ? 0 : 1;
}

// Renders each generated file straight into its file and replaces them together.
int writeGenerated(const Platform& platform, const SymbolTables& tables) {
    FileSet set;
    set.tag = kTag;
    set.lockName = kLockName;
    set.onWait = reportWaiting;
    ReplaceFailure failure;
    const std::vector<std::string> names = fileNames();
    bool ok = openFileSet(set, names, failure);
    if (ok) {
        OutputBlocks output(platform);
        for (const GeneratedFile& file : kGeneratedFiles) {
            PieceWriter writer = output.writerTo(*fileNamed(set, file.name));
            renderFile(file, writer, tables);
        }
    }
    ok = ok && commitFileSet(set, failure);
    filesInPlace = ok || failure.inPlace;
    if (!ok) {
        reportFailure(names, failure);
    }
    return ok ? 0 : 1;
}

// With --depfile, the rule naming every header and program file the run read.
bool writeRunsDepfile(const Platform& platform, const ArgumentWalk& walk,
                      const SymbolTables& tables, const ProgramFiles& files) {
    const std::vector<const char*> paths = walk.valuesOf(kDepfile);
    if (paths.empty()) {
        return true;
    }
    if (!paths.back()) {
        report(Message::optionWithoutFile, {text(kDepfile.name)});
        return true;
    }
    std::vector<std::string> read;
    for (const HeaderRecord& header : tables.headers) {
        read.push_back(header.path);
    }
    read.insert(read.end(), files.paths.begin(), files.paths.end());
    return writeDepfile(platform, paths.back(), read);
}

int runArguments(int argc, char** argv, const Platform& platform) {
    const ArgumentWalk walk = walkArguments(argc, argv);
    if (argc == 1) {
        return printUsageBanner();
    }
    if (walk.request == Request::help) {
        return printHelp();
    }
    if (walk.request == Request::version) {
        return printVersion();
    }
    if (walk.given(kStrict)) {
        makeWarningsErrors();
    }
    for (const std::string& argument : walk.ignored) {
        report(Message::ignoringArgument, {quotedName(argument), text(listOfFlags(", "))});
    }
    if (walk.given(kContexts) && walk.given(kDebug)) {
        // Both make the usual names into macros, each its own way.
        report(Message::optionsApart, {text(kContexts.name), text(kDebug.name),
                                       text(walk.given(kCheck) ? "compared" : "written")});
        return 1;
    }
    ScanOptions options;
    options.allPrototypes = walk.given(kAllPrototypes);
    SymbolTables tables = scanHeaders(platform, walk, options);
    tables.contexts = walk.given(kContexts);
    tables.debug = walk.given(kDebug);
    warnAboutLoader(platform, tables, options);
    ProgramFiles files;
    if (walk.given(kUsedBy) && !keepUsedNames(platform, walk, tables, files)) {
        return 1;
    }
    if (const std::size_t made = warningsMadeErrors()) {
        report(Message::strictStopped,
               {text(made == 1 ? "the warning above is an error" : "the warnings above are errors"),
                text(walk.given(kCheck) ? "compared" : "written")});
        return 1;
    }
    if (walk.given(kCheck)) {
        return checkGenerated(tables);
    }
    const int status = writeGenerated(platform, tables);
    return status == 0 && !writeRunsDepfile(platform, walk, tables, files) ? 1 : status;
}

}  // namespace

int runCommandLine(int argc, char** argv, const Platform& platform) {
    filesInPlace = false;
    try {
        return runArguments(argc, argv, platform);
    } catch (const std::bad_alloc&) {
        reportOutOfMemory(filesInPlace);
        return 1;
    }
}
