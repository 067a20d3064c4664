// The texts of standard output, one table each: the three-piece banner of a run without
// arguments (its pieces start with a line feed and it ends without one), the help, the version.
#include "cli/usage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/messages.h"
#include "tables/apis.h"

namespace {

constexpr const char* kUsageBanner[] = {
    "\n Linkweld - OpenGL extension loader generator",
    "\n Usage: linkweld -gl glext.h [-gl glATI.h] -wgl wglext.h [-wgl wglATI.h]",
    "\n Linkweld will generate glentryhub.cpp and glentryhub.h based on header files",
};

// The help, with a line for each api where "%s" stands.
constexpr const char* kHelp[] = {
    "%s",
    "       linkweld --help | --version\n",
    "\n",
    "Reads OpenGL extension headers (glext.h, wglext.h and vendor headers in the same\n",
    "layout) and writes glEntryHub.cpp and glEntryHub.h into the current directory: one\n",
    "function pointer per entry point and one flag per extension, filled by one call,\n",
    "InitOpenGLExtensions.\n",
    "\n",
    "Options:\n",
    "%s",
    "  --all-prototypes    also read the prototypes of today's headers: return types of\n",
    "                      several words, and WINAPI prototypes without extern\n",
    "  --check             write nothing: compare glEntryHub.cpp and glEntryHub.h with\n",
    "                      what this run would write\n",
    "  --contexts          also write LinkweldTable, the pointers and flags of one\n",
    "                      context, for programs of several contexts or threads\n",
    "  --debug             also write a wrapper of every entry point, which names the\n",
    "                      call that raised a GL error where LINKWELD_DEBUG is defined\n",
    "  --depfile FILE      also write FILE, a make rule naming every file the run read\n",
    "  --include-dir DIR   with --used-by, also read what a source includes in quotes,\n",
    "                      found beside it or in DIR; may be repeated\n",
    "  --strict            make every warning an error: the run writes nothing and\n",
    "                      exits with status 1\n",
    "  --used-by FILE      write the loader of only the extensions and entry points\n",
    "                      FILE names: a program's source, or a list of names (every\n",
    "                      line blank, a # comment or one name); may be repeated\n",
    "  -h, --help, -?, /?  print this help\n",
    "  --version           print the version\n",
    "%s",
    "\n",
    "Files:\n",
    "  glEntryHub.cpp, glEntryHub.h  written into the current directory, replaced\n",
    "                                together or not at all; one that would not\n",
    "                                change is left as it is\n",
    "\n",
    "Exit status:\n",
    "  0  the files were written (with --check: both are current), or this help or the\n",
    "     version was printed; warnings do not change it\n",
    "  1  a file could not be written or replaced, --check found a file out of date or\n",
    "     missing, --strict met a warning, standard output could not be written, or\n",
    "     memory ran out\n",
    "\n",
    "More: man linkweld, and README.md in share/doc/linkweld of the installation.\n",
};

constexpr const char* kVersion[] = {"linkweld " LINKWELD_VERSION "\n"};

// The lines of the help that name the apis' flags, in the order the help asks for them.
std::vector<std::string> apiLines() {
    std::string usage = "Usage: linkweld [OPTION]...";
    std::string options;
    for (const ApiRow& api : kApis) {
        const std::string flag = std::string(api.flag) + " FILE";
        usage += " " + flag + " [" + flag + "]...";
        options += "  " + flag + std::string(20 - flag.size(), ' ') + "scan FILE into the " +
                   api.label + " lists; may be repeated\n";
    }
    return {usage + "\n", options,
            "Options and flags may be written in any case; the argument after " +
                listOfFlags(" or ") + " is\nalways its file name.\n"};
}

// Writes the pieces, each "%s" piece taking the next of `lines`.
template <std::size_t N>
int print(const char* const (&pieces)[N], const char* what,
          const std::vector<std::string>& lines = {}) {
    std::size_t next = 0;
    for (const char* piece : pieces) {
        const bool placeholder = std::strcmp(piece, "%s") == 0 && next < lines.size();
        std::fputs(placeholder ? lines[next++].c_str() : piece, stdout);
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        report(Message::cannotWriteStandardOutput, {text(what), text(std::strerror(errno))});
        return 1;
    }
    return 0;
}

}  // namespace

int printUsageBanner() {
    return print(kUsageBanner, "usage banner");
}

int printHelp() {
    return print(kHelp, "help", apiLines());
}

int printVersion() {
    return print(kVersion, "version");
}
