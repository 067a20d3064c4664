// The process entry: runs the command line; running out of memory ends the run with status 1.
#include <cstdio>
#include <new>

#include "cli/command_line.h"

int main(int argc, char** argv) {
    try {
        return runCommandLine(argc, argv);
    } catch (const std::bad_alloc&) {
        // Written without allocating: memory has just run out.
        std::fputs("linkweld: out of memory\n", stderr);
        return 1;
    }
}
