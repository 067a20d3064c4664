// The walk over the command line: the header files after "-gl" and "-wgl", the options of the
// whole run, and the requests for the help or the version.
#pragma once

#include <string>
#include <vector>

#include "tables/apis.h"

// One flag found on the command line and the header file name that follows it.
struct HeaderArgument {
    Api api;           // whose flag it was
    const char* path;  // exactly as typed; null when the flag was the last argument
};

// What the command line asks for: a generation run, or only the usage banner or the version.
enum class Request { generate, help, version };

// An option of the whole run. Its name is compared in any case, as the flags are; one that takes
// a value takes the argument after it, whatever it is, as typed, and may be given again.
struct OptionRow {
    const char* name;
    bool takesValue;
};

inline constexpr OptionRow kAllPrototypes{"--all-prototypes", false};
inline constexpr OptionRow kCheck{"--check", false};
inline constexpr OptionRow kContexts{"--contexts", false};
inline constexpr OptionRow kDebug{"--debug", false};
inline constexpr OptionRow kDepfile{"--depfile", true};
inline constexpr OptionRow kIncludeDir{"--include-dir", true};
inline constexpr OptionRow kStrict{"--strict", false};
inline constexpr OptionRow kUsedBy{"--used-by", true};

// linkweld's options, in the order the help lists them.
inline constexpr const OptionRow* kOptions[] = {
    &kAllPrototypes, &kCheck, &kContexts, &kDebug, &kDepfile, &kIncludeDir, &kStrict, &kUsedBy};

// An option as given: its row, and its value as typed (null for an option without one, or when
// the option was the last argument).
struct GivenOption {
    const OptionRow* row;
    const char* value;
};

struct ArgumentWalk {
    Request request = Request::generate;
    std::vector<GivenOption> options;     // in command-line order
    std::vector<HeaderArgument> headers;  // in command-line order
    std::vector<std::string> ignored;     // arguments passed over, as typed

    bool given(const OptionRow& option) const;
    // The values `option` was given, in command-line order, as typed; a missing one as null.
    std::vector<const char*> valuesOf(const OptionRow& option) const;
};

// Walks argv[1..argc) and changes none of it. Where a pass starts, "--help", "-h", "-?" and "/?"
// ask for the help and "--version" for the version, and the walk ends there; an option of
// `options` is taken, with its value if it takes one; after "-gl" the next argument is its file
// name, and that same argument is then still tested for "-wgl" (as typed, so only in lower case);
// after "-wgl" the next argument is its file name and is tested for nothing. Anything else a pass
// starts at is passed over and listed in `ignored`. Names and flags are compared in any case.
ArgumentWalk walkArguments(int argc, const char* const* argv,
                           const std::vector<const OptionRow*>& options);

// The walk with linkweld's own options, kOptions.
ArgumentWalk walkArguments(int argc, const char* const* argv);
