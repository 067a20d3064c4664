// The driver: prints the usage banner, the help or the version, or scans every flagged header
// and writes the generated files (with --check, compares them instead).
#include "cli/command_line.h"

#include <string>
#include <vector>

#include "cli/argument_walk.h"
#include "cli/diagnostic.h"
#include "cli/loader_warnings.h"
#include "cli/usage.h"
#include "emit/check_sources.h"
#include "emit/emit_sources.h"
#include "scan/header_scanner.h"

namespace {

const char* flagOf(Api api) {
    return api == Api::wgl ? "-wgl" : "-gl";
}

// Scans every header named; says so when none was named or none could be read.
SymbolTables scanHeaders(const ArgumentWalk& walk, const ScanOptions& options) {
    SymbolTables tables;
    std::size_t named = 0;
    std::size_t read = 0;
    for (const HeaderArgument& argument : walk.headers) {
        if (!argument.path) {
            reportWarning("%s needs a header file name; ignored", flagOf(argument.api));
            continue;
        }
        ++named;
        std::string failure;
        if (scanHeader(argument.path, argument.api, options, tables, failure)) {
            ++read;
        } else {
            reportWarning("cannot read header %s: %s; skipped", quoted(argument.path).c_str(),
                          failure.c_str());
        }
    }
    if (named == 0) {
        reportWarning("no header named with -gl or -wgl; the loader's lists are empty");
    } else if (read == 0) {
        reportWarning("no header could be read; the loader's lists are empty");
    }
    return tables;
}

// --check: each generated file that is missing or out of date is an error.
int checkGenerated(const SymbolTables& tables) {
    const std::vector<StaleFile> stale = staleSources(tables);
    for (const StaleFile& file : stale) {
        if (file.line > 0) {
            errorAt(file.name, file.line,
                    "differs from what linkweld would write; run it without --check to update");
        } else {
            reportError("cannot read %s: %s", file.name, file.reason.c_str());
        }
    }
    return stale.empty() ? 0 : 1;
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
    for (const std::string& argument : walk.ignored) {
        reportWarning("ignoring argument %s: not -gl, -wgl or an option (see --help)",
                      quoted(argument).c_str());
    }
    ScanOptions options;
    options.allPrototypes = walk.allPrototypes;
    const SymbolTables tables = scanHeaders(walk, options);
    warnAboutLoader(tables, options);
    if (walk.check) {
        return checkGenerated(tables);
    }
    std::string failure;
    if (!emitSources(tables, failure)) {
        reportError("%s", failure.c_str());
        return 1;
    }
    return 0;
}
