// The driver: usage banner, or scan the named headers and write the generated files.
#pragma once

#include "platform/platform.h"

// Runs one linkweld command line and returns the process exit status: 0 when the files were
// written or found current (unreadable headers are reported and skipped), or the usage banner,
// the help or the version was printed; 1 when a file could not be written or replaced, --check
// found one out of date or missing, --strict met a warning, standard output could not be
// written, or memory ran out. Every read, look at a file and thread goes through `platform`.
int runCommandLine(int argc, char** argv, const Platform& platform = hostPlatform());
