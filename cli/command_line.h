// The driver: usage banner, or scan the named headers and write the generated files.
#pragma once

// Runs one linkweld command line and returns the process exit status: 0 when the files were
// written (unreadable headers are reported and skipped), found current by --check, or the usage
// banner, help or version printed; 1 when the run failed and said why (the files could not be
// replaced, are out of date for --check, --strict stopped it, memory ran out).
int runCommandLine(int argc, char** argv);
