// The driver: usage banner, or scan the named headers and write the generated files.
#pragma once

// Runs one linkweld command line and returns the process exit status: 0 when the files were
// written (unreadable headers are reported and skipped) or the usage banner was printed, 1 when
// an output file could not be opened or written.
int runCommandLine(int argc, char** argv);
