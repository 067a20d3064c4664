// The argument walk: flags compared after lower-casing, file names taken as typed.
#include "cli/argument_walk.h"

#include <cstring>
#include <utility>

#include "tables/apis.h"
#include "tables/ascii.h"

namespace {

void lowerInPlace(char* argument) {
    for (; *argument != '\0'; ++argument) {
        *argument = toLowerAscii(*argument);
    }
}

bool equals(const char* argument, const char* flag) {
    return std::strcmp(argument, flag) == 0;
}

Request requestOf(const char* argument) {
    for (const char* help : {"--help", "-h", "-?", "/?"}) {
        if (equals(argument, help)) {
            return Request::help;
        }
    }
    return equals(argument, "--version") ? Request::version : Request::generate;
}

// The options of the whole run, each setting a flag of the walk.
constexpr std::pair<const char*, bool ArgumentWalk::*> kOptions[] = {
    {"--all-prototypes", &ArgumentWalk::allPrototypes},
    {"--check", &ArgumentWalk::check},
    {"--strict", &ArgumentWalk::strict},
};

bool takeOption(const char* argument, ArgumentWalk& walk) {
    for (const auto& [option, flag] : kOptions) {
        if (equals(argument, option)) {
            walk.*flag = true;
            return true;
        }
    }
    return false;
}

// Takes the argument after the flag at `i` as its file name and steps `i` onto it.
void takeFileName(int argc, char** argv, int& i, Api api, ArgumentWalk& walk) {
    walk.headers.push_back({api, i + 1 < argc ? argv[i + 1] : nullptr});
    ++i;
}

}  // namespace

ArgumentWalk walkArguments(int argc, char** argv) {
    ArgumentWalk walk;
    for (int i = 1; i < argc; ++i) {
        const std::string typed = argv[i];
        lowerInPlace(argv[i]);
        walk.request = requestOf(argv[i]);
        if (walk.request != Request::generate) {
            break;
        }
        if (takeOption(argv[i], walk)) {
            continue;
        }
        // Each api's flag is tested in turn on whatever argument `i` then names: after "-gl"
        // its file name is still tested for "-wgl".
        const int start = i;
        for (const ApiRow& api : kApis) {
            if (i < argc && equals(argv[i], api.flag)) {
                takeFileName(argc, argv, i, api.api, walk);
            }
        }
        if (i == start) {
            walk.ignored.push_back(typed);
        }
    }
    return walk;
}
