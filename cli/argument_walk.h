// The walk over the command line that picks out "-gl" and "-wgl" header files.
#pragma once

#include <string>
#include <vector>

#include "tables/symbol_tables.h"

// One flag found on the command line and the header file name that follows it.
struct HeaderArgument {
    Api api;           // whose flag it was
    const char* path;  // exactly as typed; null when the flag was the last argument
};

// What the command line asks for: a generation run, or only the usage banner or the version.
enum class Request { generate, help, version };

struct ArgumentWalk {
    Request request = Request::generate;
    bool allPrototypes = false;           // "--all-prototypes" was given
    bool check = false;                   // "--check" was given
    bool strict = false;                  // "--strict" was given
    std::vector<HeaderArgument> headers;  // in command-line order
    std::vector<std::string> ignored;     // arguments passed over, as typed
};

// Walks argv[1..argc), lower-casing in place each argument a pass starts at. After "-gl" the next
// argument is its file name, and that same argument is then still tested for "-wgl" (as typed);
// after "-wgl" the next argument is its file name and is tested for nothing. Where a pass starts,
// "--help", "-h", "-?" and "/?" ask for the help and "--version" for the version, and the walk
// ends there; "--all-prototypes", "--check" and "--strict" are options of the whole run.
// Anything else a pass starts at is passed over and listed in `ignored`.
ArgumentWalk walkArguments(int argc, char** argv);
