// What linkweld prints on standard output: the usage banner, the help and the version.
#pragma once

// Each writes its text and returns the exit status: 0, or 1 with a message when standard output
// is closed or full.
int printUsageBanner();
int printHelp();
int printVersion();
