// The driver: prints the usage banner, the help or the version, or scans every flagged header,
// has the generated files rendered, and has them replaced together (with --check, compared).
#include "cli/command_line.h"

#include <new>
#include <string>
#include <vector>

#include "cli/argument_walk.h"
#include "cli/loader_warnings.h"
#include "cli/messages.h"
#include "cli/usage.h"
#include "cli/used_names.h"
#include "render/generated_files.h"
#include "replace/replace_files.h"
#include "scan/header_scanner.h"
#include "tables/apis.h"

namespace {

// In the names of temporaries beside the generated files, and the lock file's name there: the
// name every version has used, so that runs of two versions take turns too.
const char kTag[] = "linkweld";
const char kLockName[] = ".glEntryHub.linkweld.lock";

// Whether the new files were put in place, for a run that then runs out of memory.
bool filesInPlace = false;

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

// What holds the lock file's name, in words.
Arg kindOf(std::filesystem::file_type type) {
    using std::filesystem::file_type;
    return part(type == file_type::symlink     ? Message::aLink
                : type == file_type::fifo      ? Message::aFifo
                : type == file_type::directory ? Message::aDirectory
                : type == file_type::socket    ? Message::aSocket
                                               : Message::notRegular);
}

void reportLockFailure(const ReplaceFailure& failure) {
    const Arg directory = quotedName(failure.path.u8string());
    if (failure.lockType != std::filesystem::file_type::none) {
        return report(Message::lockNameTaken,
                      {directory, text(kLockName), kindOf(failure.lockType)});
    }
    if (failure.error == std::errc::timed_out) {
        const std::string seconds = std::to_string(failure.waited / 1000) + "." +
                                    std::to_string(failure.waited % 1000 / 100);
        return report(
            Message::lockTimedOut,
            {directory, text(seconds),
             failure.holder > 0
                 ? part(Message::lastHeldBy, {number(static_cast<std::uint64_t>(failure.holder))})
                 : Arg{}});
    }
    report(Message::cannotLock, {directory, text(failure.error.message())});
}

// Words a failed replacement: the step, the file, the reason, and any previous file kept.
void reportFailure(const std::vector<std::string>& names, const ReplaceFailure& failure) {
    const auto nameOf = [&](std::size_t file) { return path(names[file]); };
    const Arg name = nameOf(failure.file);
    const Arg reason = text(failure.error.message());
    const Arg where = path(failure.path.u8string());
    const Arg quotedWhere = quotedName(failure.path.u8string());
    Arg kept;
    for (const KeptPrevious& previous : failure.kept) {
        kept += part(Message::previousKept, {nameOf(previous.file), text(previous.error.message()),
                                             path(previous.keptAs.u8string())});
    }
    if (failure.unsyncedError) {
        kept += part(Message::putBackUnsynced, {quotedName(failure.unsynced.u8string()),
                                                text(failure.unsyncedError.message())});
    }
    switch (failure.step) {
        case ReplaceStep::open:
            if (!failure.path.empty() && failure.path.u8string() != names[failure.file]) {
                return report(Message::cannotOpenThrough, {name, quotedWhere, reason});
            }
            return report(Message::cannotOpen, {name, reason});
        case ReplaceStep::untrustedLink:
            return report(Message::untrustedLink, {name, quotedWhere, quotedName(failure.owner)});
        case ReplaceStep::write:
            return report(Message::cannotWrite, {name, reason});
        case ReplaceStep::keepPrevious:
            return report(Message::cannotKeepPrevious, {name, reason, kept});
        case ReplaceStep::sameFile:
            return report(Message::bothLeadTo, {name, nameOf(failure.otherFile), where});
        case ReplaceStep::reserved:
            return report(Message::reservedName, {name, where});
        case ReplaceStep::lock:
            return reportLockFailure(failure);
        case ReplaceStep::memory:
            return reportOutOfMemory(failure.inPlace);
        case ReplaceStep::sync:
            return report(Message::cannotSync, {quotedName(failure.path.u8string()), reason});
        case ReplaceStep::cleanup:
            return report(failure.inPlace ? Message::cannotRemoveInPlace : Message::cannotRemove,
                          {quotedWhere, reason});
        case ReplaceStep::replace:
        case ReplaceStep::none:
            return report(Message::cannotReplace, {name, reason, kept});
    }
}

// Renders each generated file into its stream and replaces them together.
int writeGenerated(const SymbolTables& tables) {
    FileSet set;
    set.tag = kTag;
    set.lockName = kLockName;
    set.onWait = [](const std::filesystem::path& directory, long holder) {
        report(Message::waitingForLock, {heldBy(holder), quotedName(directory.u8string()),
                                         number(kLockGiveUpMilliseconds / 1000)});
    };
    ReplaceFailure failure;
    const std::vector<std::string> names = fileNames();
    bool ok = openFileSet(set, names, failure);
    for (const GeneratedFile& file : kGeneratedFiles) {
        if (ok) {
            PieceWriter writer{[](void* to, const char* bytes, std::size_t count) {
                                   writeTo(*static_cast<ReplacedFile*>(to), bytes, count);
                               },
                               fileNamed(set, file.name)};
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

int run(int argc, char** argv) {
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
    SymbolTables tables = scanHeaders(walk, options);
    warnAboutLoader(tables, options);
    if (walk.given(kUsedBy) && !keepUsedNames(walk, tables)) {
        return 1;
    }
    if (const std::size_t made = warningsMadeErrors()) {
        report(Message::strictStopped,
               {text(made == 1 ? "the warning above is an error" : "the warnings above are errors"),
                text(walk.given(kCheck) ? "compared" : "written")});
        return 1;
    }
    return walk.given(kCheck) ? checkGenerated(tables) : writeGenerated(tables);
}

}  // namespace

int runCommandLine(int argc, char** argv) {
    filesInPlace = false;
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        reportOutOfMemory(filesInPlace);
        return 1;
    }
}
