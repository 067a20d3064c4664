// The driver: prints the usage banner, the help or the version, or scans every flagged header,
// has the generated files rendered, and has them replaced together (with --check, compared).
#include "cli/command_line.h"

#include <string>
#include <vector>

#include "cli/argument_walk.h"
#include "cli/loader_warnings.h"
#include "cli/messages.h"
#include "cli/usage.h"
#include "render/generated_files.h"
#include "replace/replace_files.h"
#include "replace/shared_directory.h"
#include "scan/header_scanner.h"
#include "tables/apis.h"

namespace {

// In the names of temporaries and locks beside the generated files.
const char kTag[] = "linkweld";

// Scans every header named; says so when none was named or none could be read.
SymbolTables scanHeaders(const ArgumentWalk& walk, const ScanOptions& options) {
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
                scanHeader(argument.path, argument.api, options, tables)) {
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
    PieceWriter writer{nullptr, &bytes};
    renderFile(file, writer, tables);
    return bytes;
}

// --check: each generated file that is missing or out of date is an error.
int checkGenerated(const SymbolTables& tables) {
    std::vector<std::string> expected;
    for (const GeneratedFile& file : kGeneratedFiles) {
        expected.push_back(rendered(file, tables));
    }
    const std::vector<FileDifference> differences = compareFiles(fileNames(), expected);
    for (const FileDifference& difference : differences) {
        const char* const name = kGeneratedFiles[difference.file].name;
        if (difference.line > 0 && difference.lineEnds) {
            reportAt(Message::differsInLineEnds, name, difference.line,
                     {text(difference.lineEnds == '\r' ? "CR LF" : "LF"),
                      text(difference.lineEnds == '\r' ? "LF" : "CR LF")});
        } else if (difference.line > 0) {
            reportAt(Message::differs, name, difference.line);
        } else {
            report(Message::cannotReadGenerated, {path(name), text(difference.error.message())});
        }
    }
    return differences.empty() ? 0 : 1;
}

// " (process 4242)", or nothing when the process is not known.
Arg heldBy(long holder) {
    return holder > 0 ? part(Message::heldByProcess, {number(static_cast<std::uint64_t>(holder))})
                      : Arg{};
}

// Words a failed replacement: the step, the file, the reason, and any previous file kept.
void reportFailure(const FileSet& set, const ReplaceFailure& failure) {
    const auto nameOf = [&](std::size_t file) { return path(set.files[file].name.u8string()); };
    const Arg name = nameOf(failure.file);
    const Arg reason = text(failure.error.message());
    Arg kept;
    for (const KeptPrevious& previous : failure.kept) {
        kept += part(Message::previousKept, {nameOf(previous.file), text(previous.error.message()),
                                             path(previous.keptAs.u8string())});
    }
    switch (failure.step) {
        case ReplaceStep::open:
            return report(Message::cannotOpen, {name, reason});
        case ReplaceStep::write:
            return report(Message::cannotWrite, {name, reason});
        case ReplaceStep::keepPrevious:
            return report(Message::cannotKeepPrevious, {name, reason, kept});
        case ReplaceStep::sameFile:
            return report(Message::bothLeadTo,
                          {name, nameOf(failure.otherFile), path(failure.path.u8string())});
        case ReplaceStep::reserved:
            return report(Message::reservedName, {name, path(failure.path.u8string())});
        case ReplaceStep::lock:
            if (failure.error == std::errc::timed_out) {
                return report(Message::lockTimedOut,
                              {quotedName(failure.path.u8string()), heldBy(failure.holder),
                               number(kLockGiveUpMilliseconds / 1000)});
            }
            return report(Message::cannotLock, {quotedName(failure.path.u8string()), reason});
        case ReplaceStep::sync:
            return report(Message::cannotSync, {quotedName(failure.path.u8string()), reason});
        case ReplaceStep::replace:
        case ReplaceStep::none:
            return report(Message::cannotReplace, {name, reason, kept});
    }
}

// Renders each generated file into its stream and replaces them together.
int writeGenerated(const SymbolTables& tables) {
    FileSet set;
    set.onWait = [](const std::filesystem::path& directory, long holder) {
        report(Message::waitingForLock, {heldBy(holder), quotedName(directory.u8string()),
                                         number(kLockGiveUpMilliseconds / 1000)});
    };
    ReplaceFailure failure;
    bool ok = openFileSet(set, fileNames(), kTag, failure);
    for (std::size_t i = 0; ok && i < set.files.size(); ++i) {
        PieceWriter writer{set.files[i].stream};
        renderFile(kGeneratedFiles[i], writer, tables);
    }
    ok = ok && commitFileSet(set, failure);
    if (!ok) {
        reportFailure(set, failure);
    }
    return ok ? 0 : 1;
}

}  // namespace

int runCommandLine(int argc, char** argv) {
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
    ScanOptions options;
    options.allPrototypes = walk.given(kAllPrototypes);
    const SymbolTables tables = scanHeaders(walk, options);
    warnAboutLoader(tables, options);
    if (const std::size_t made = warningsMadeErrors()) {
        report(Message::strictStopped,
               {text(made == 1 ? "the warning above is an error" : "the warnings above are errors"),
                text(walk.given(kCheck) ? "compared" : "written")});
        return 1;
    }
    return walk.given(kCheck) ? checkGenerated(tables) : writeGenerated(tables);
}
