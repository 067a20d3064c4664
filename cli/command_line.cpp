// The driver: prints the usage banner or runs the scan over every flagged header, then emits.
#include "cli/command_line.h"

#include <cstdio>
#include <string>

#include "cli/argument_walk.h"
#include "cli/diagnostic.h"
#include "emit/emit_sources.h"
#include "scan/header_scanner.h"

namespace {

constexpr const char* kUsage[] = {
    "\n Linkweld - OpenGL extension loader generator",
    "\n Usage: linkweld -gl glext.h [-gl glATI.h] -wgl wglext.h [-wgl wglATI.h]",
    "\n Linkweld will generate glentryhub.cpp and glentryhub.h based on header files",
};

void printUsage() {
    for (const char* piece : kUsage) {
        std::fputs(piece, stdout);
    }
    std::fflush(stdout);
}

void scanArgument(const HeaderArgument& argument, SymbolTables& tables) {
    const char* flag = argument.wgl ? "-wgl" : "-gl";
    if (!argument.path) {
        reportProblem(std::string(flag) + " needs a header file name; ignored");
        return;
    }
    std::string failure;
    ExtensionList& extensions = argument.wgl ? tables.wglExtensions : tables.glExtensions;
    EntryPointList& entryPoints = argument.wgl ? tables.wglEntryPoints : tables.glEntryPoints;
    if (!scanHeader(argument.path, extensions, entryPoints, failure)) {
        reportProblem(std::string("cannot read header ") + argument.path + ": " + failure +
                      "; skipped");
    }
}

}  // namespace

int runCommandLine(int argc, char** argv) {
    if (argc == 1) {
        printUsage();
        return 0;
    }
    // The tables live as long as the process and are released with it: freeing hundreds of
    // thousands of names one by one would cost a large run a tenth of its time.
    static SymbolTables* const processTables = new SymbolTables;
    SymbolTables& tables = *processTables;
    for (const HeaderArgument& argument : walkArguments(argc, argv)) {
        scanArgument(argument, tables);
    }
    std::string failure;
    if (!emitSources(tables, failure)) {
        reportProblem(failure);
        return 1;
    }
    return 0;
}
