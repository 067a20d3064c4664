// The argument walk: flags compared after lower-casing, file names taken as typed.
#include "cli/argument_walk.h"

#include <cstring>

#include "scan/ascii.h"

namespace {

void lowerInPlace(char* argument) {
    for (; *argument != '\0'; ++argument) {
        *argument = toLowerAscii(*argument);
    }
}

// Takes the argument after the flag at `i` as its file name and steps `i` onto it.
void takeFileName(int argc, char** argv, int& i, bool wgl, std::vector<HeaderArgument>& found) {
    found.push_back({wgl, i + 1 < argc ? argv[i + 1] : nullptr});
    ++i;
}

}  // namespace

std::vector<HeaderArgument> walkArguments(int argc, char** argv) {
    std::vector<HeaderArgument> found;
    for (int i = 1; i < argc; ++i) {
        lowerInPlace(argv[i]);
        if (std::strcmp(argv[i], "-gl") == 0) {
            takeFileName(argc, argv, i, false, found);
        }
        if (i < argc && std::strcmp(argv[i], "-wgl") == 0) {
            takeFileName(argc, argv, i, true, found);
        }
    }
    return found;
}
