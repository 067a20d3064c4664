// The driver: prints the usage banner or the version, or scans every flagged header and emits.
#include "cli/command_line.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/argument_walk.h"
#include "cli/diagnostic.h"
#include "cli/loader_warnings.h"
#include "emit/emit_sources.h"
#include "scan/header_scanner.h"

namespace {

constexpr const char* kUsage[] = {
    "\n Linkweld - OpenGL extension loader generator",
    "\n Usage: linkweld -gl glext.h [-gl glATI.h] -wgl wglext.h [-wgl wglATI.h]",
    "\n Linkweld will generate glentryhub.cpp and glentryhub.h based on header files",
};

constexpr const char kVersion[] = "linkweld " LINKWELD_VERSION "\n";

// Writes `pieces` to standard output; a closed or full standard output is a failure, status 1.
template <std::size_t N>
int printToStandardOutput(const char* const (&pieces)[N], const char* what) {
    for (const char* piece : pieces) {
        std::fputs(piece, stdout);
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        reportProblem("cannot write the %s to standard output: %s", what, std::strerror(errno));
        return 1;
    }
    return 0;
}

const char* flagOf(Api api) {
    return api == Api::wgl ? "-wgl" : "-gl";
}

void scanArgument(const HeaderArgument& argument, const ScanOptions& options,
                  SymbolTables& tables) {
    if (!argument.path) {
        reportProblem("%s needs a header file name; ignored", flagOf(argument.api));
        return;
    }
    std::string failure;
    if (!scanHeader(argument.path, argument.api, options, tables, failure)) {
        reportProblem("cannot read header %s: %s; skipped", quoted(argument.path).c_str(),
                      failure.c_str());
    }
}

bool namesAHeader(const ArgumentWalk& walk) {
    for (const HeaderArgument& header : walk.headers) {
        if (header.path) {
            return true;
        }
    }
    return false;
}

}  // namespace

int runCommandLine(int argc, char** argv) {
    const ArgumentWalk walk = walkArguments(argc, argv);
    if (argc == 1 || walk.request == Request::help) {
        return printToStandardOutput(kUsage, "usage banner");
    }
    if (walk.request == Request::version) {
        const char* const version[] = {kVersion};
        return printToStandardOutput(version, "version");
    }
    for (const std::string& argument : walk.ignored) {
        reportProblem("ignoring argument %s: not -gl or -wgl", quoted(argument).c_str());
    }
    if (!namesAHeader(walk)) {
        reportProblem("no header named with -gl or -wgl; writing a loader with empty lists");
    }
    SymbolTables tables;
    ScanOptions options;
    options.allPrototypes = walk.allPrototypes;
    for (const HeaderArgument& argument : walk.headers) {
        scanArgument(argument, options, tables);
    }
    warnAboutLoader(tables, options);
    std::string failure;
    if (!emitSources(tables, failure)) {
        reportProblem("%s", failure.c_str());
        return 1;
    }
    return 0;
}
