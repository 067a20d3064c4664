// The argument walk: flags and options compared in any case, file names and values taken as
// typed; argv is only read.
#include "cli/argument_walk.h"

#include <cstring>
#include <iterator>

#include "tables/ascii.h"

namespace {

bool equals(const char* argument, const char* flag) {
    return std::strcmp(argument, flag) == 0;
}

Request requestOf(const char* argument) {
    for (const char* help : {"--help", "-h", "-?", "/?"}) {
        if (equalsInAnyCase(argument, help)) {
            return Request::help;
        }
    }
    return equalsInAnyCase(argument, "--version") ? Request::version : Request::generate;
}

const OptionRow* optionNamed(const char* argument, const std::vector<const OptionRow*>& options) {
    for (const OptionRow* option : options) {
        if (equalsInAnyCase(argument, option->name)) {
            return option;
        }
    }
    return nullptr;
}

// The argument after the one at `i`, stepping `i` onto it; null when there is none.
const char* takeNext(int argc, const char* const* argv, int& i) {
    ++i;
    return i < argc ? argv[i] : nullptr;
}

}  // namespace

bool ArgumentWalk::given(const OptionRow& option) const {
    for (const GivenOption& given : options) {
        if (given.row == &option) {
            return true;
        }
    }
    return false;
}

std::vector<const char*> ArgumentWalk::valuesOf(const OptionRow& option) const {
    std::vector<const char*> values;
    for (const GivenOption& given : options) {
        if (given.row == &option) {
            values.push_back(given.value);
        }
    }
    return values;
}

ArgumentWalk walkArguments(int argc, const char* const* argv,
                           const std::vector<const OptionRow*>& options) {
    ArgumentWalk walk;
    for (int i = 1; i < argc; ++i) {
        walk.request = requestOf(argv[i]);
        if (walk.request != Request::generate) {
            break;
        }
        if (const OptionRow* option = optionNamed(argv[i], options)) {
            walk.options.push_back(
                {option, option->takesValue ? takeNext(argc, argv, i) : nullptr});
            continue;
        }
        // Each api's flag is tested in turn on whatever argument `i` then names: where the pass
        // starts in any case, and after "-gl" its file name as typed for "-wgl".
        const int start = i;
        for (const ApiRow& api : kApis) {
            if (i < argc &&
                (i == start ? equalsInAnyCase(argv[i], api.flag) : equals(argv[i], api.flag))) {
                walk.headers.push_back({api.api, takeNext(argc, argv, i)});
            }
        }
        if (i == start) {
            walk.ignored.push_back(argv[i]);
        }
    }
    return walk;
}

ArgumentWalk walkArguments(int argc, const char* const* argv) {
    return walkArguments(argc, argv, {std::begin(kOptions), std::end(kOptions)});
}
