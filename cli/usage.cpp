// The texts of standard output, one table each: the three-piece banner of a run without
// arguments (its pieces start with a line feed and it ends without one), the help, the version.
#include "cli/usage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/diagnostic.h"

namespace {

constexpr const char* kBanner[] = {
    "\n Linkweld - OpenGL extension loader generator",
    "\n Usage: linkweld -gl glext.h [-gl glATI.h] -wgl wglext.h [-wgl wglATI.h]",
    "\n Linkweld will generate glentryhub.cpp and glentryhub.h based on header files",
};

constexpr const char* kHelp[] = {
    "Usage: linkweld [OPTION]... -gl FILE [-gl FILE]... -wgl FILE [-wgl FILE]...\n",
    "       linkweld --help | --version\n",
    "\n",
    "Reads OpenGL extension headers (glext.h, wglext.h and vendor headers in the same\n",
    "layout) and writes glEntryHub.cpp and glEntryHub.h into the current directory: one\n",
    "function pointer per entry point and one flag per extension, filled by one call,\n",
    "InitOpenGLExtensions.\n",
    "\n",
    "Options:\n",
    "  -gl FILE            scan FILE into the GL lists; may be repeated\n",
    "  -wgl FILE           scan FILE into the WGL lists; may be repeated\n",
    "  --all-prototypes    also read the prototypes of today's headers: return types of\n",
    "                      several words, and WINAPI prototypes without extern\n",
    "  --check             write nothing: compare glEntryHub.cpp and glEntryHub.h with\n",
    "                      what this run would write\n",
    "  -h, --help, -?, /?  print this help\n",
    "  --version           print the version\n",
    "Options and flags may be written in any case; the argument after -gl or -wgl is\n",
    "always its file name.\n",
    "\n",
    "Files:\n",
    "  glEntryHub.cpp, glEntryHub.h  written into the current directory, replaced\n",
    "                                together or not at all\n",
    "\n",
    "Exit status:\n",
    "  0  the files were written (with --check: both are current), or this help or the\n",
    "     version was printed; warnings do not change it\n",
    "  1  a file could not be written or replaced, --check found a file out of date or\n",
    "     missing, standard output could not be written, or memory ran out\n",
    "\n",
    "More: man linkweld, and README.md in share/doc/linkweld of the installation.\n",
};

constexpr const char* kVersion[] = {"linkweld " LINKWELD_VERSION "\n"};

template <std::size_t N>
int print(const char* const (&pieces)[N], const char* what) {
    for (const char* piece : pieces) {
        std::fputs(piece, stdout);
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        reportError("cannot write the %s to standard output: %s", what, std::strerror(errno));
        return 1;
    }
    return 0;
}

}  // namespace

int printUsageBanner() {
    return print(kBanner, "usage banner");
}

int printHelp() {
    return print(kHelp, "help");
}

int printVersion() {
    return print(kVersion, "version");
}
