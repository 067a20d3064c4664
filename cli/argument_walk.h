// The walk over the command line that picks out "-gl" and "-wgl" header files.
#pragma once

#include <vector>

// One flag found on the command line and the header file name that follows it.
struct HeaderArgument {
    bool wgl;          // "-wgl" rather than "-gl"
    const char* path;  // exactly as typed; null when the flag was the last argument
};

// Walks argv[1..argc), lower-casing in place each argument a pass starts at. After "-gl" the next
// argument is its file name, and that same argument is then still tested for "-wgl" (as typed);
// after "-wgl" the next argument is its file name and is tested for nothing. Anything else is
// passed over. The result is in command-line order.
std::vector<HeaderArgument> walkArguments(int argc, char** argv);
