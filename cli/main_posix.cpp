// The process entry on POSIX systems: a standard descriptor that is closed at start is opened on
// the null device first, so that no file linkweld opens takes its number and a message meant for
// standard error lands in a generated file.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "cli/command_line.h"

int main(int argc, char** argv) {
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) == -1 && errno == EBADF &&
            open("/dev/null", O_RDWR) != descriptor) {
            return 1;  // nowhere to say so, and no safe way on
        }
    }
    return runCommandLine(argc, argv, hostPlatform());
}
