// Runs InitOpenGLExtensionsChecked with no context, on a compatibility context and on a 3.3
// core-profile context, and checks every flag against the driver's own strings and version; then
// InitOpenGLExtensionsCheckedWith, given an address function, which must fill the same.
// The report goes to standard error: standard output must stay empty. With an argument it runs
// the generated InitOpenGLExtensions instead, to show what that does in the same situations:
//   init_check.exe [generated-without-context | generated-on-core]
#include "stdafx.h"

#include <set>
#include <string>
#include <vector>

#include "glEntryHubInit.h"
#include "gl_window.h"
#include "loader_flags.h"

#ifdef LINKWELD_NULL_EXTENSIONS
#undef glGetString  // the check itself asks the real driver
#endif

namespace {

// Every pointer of the loader, to see that a failed initialisation leaves them alone.
void* const kSentinel = reinterpret_cast<void*>(0x1234);
#define LINKWELD_ENTRY(name) +[] { name = reinterpret_cast<decltype(name)>(kSentinel); },
void (*const kSetSentinel[])() = {
#include "entry_names.inc"
};
#undef LINKWELD_ENTRY
#define LINKWELD_ENTRY(name) +[] { return reinterpret_cast<void*>(name) == kSentinel; },
bool (*const kHoldsSentinel[])() = {
#include "entry_names.inc"
};
#undef LINKWELD_ENTRY
#define LINKWELD_ENTRY(name) +[] { return reinterpret_cast<void*>(name); },
void* (*const kPointerOf[])() = {
#include "entry_names.inc"
};
#undef LINKWELD_ENTRY

int unknownNames = 0;
int programAsked = 0;

// An address function as a program's windowing library gives one.
void* programsAddress(const char* name) {
    ++programAsked;
    return reinterpret_cast<void*>(wglGetProcAddress(name));
}

void countUnknown(const char*) {
    ++unknownNames;
}

void addNames(const char* names, std::set<std::string>& to) {
    std::string name;
    for (const char* c = names ? names : "";; ++c) {
        if (*c == '\0' || *c == ' ') {
            if (!name.empty()) {
                to.insert(name);
            }
            name.clear();
            if (*c == '\0') {
                break;
            }
        } else {
            name += *c;
        }
    }
}

// What the flags must say: the names the driver announces (for a core context its list of
// glGetStringi, which is all a core context has; else its extension string), the names of its
// WGL string, and the versions reached.
std::set<std::string> announcedNames(bool core, int& major, int& minor) {
    std::set<std::string> names;
    if (core) {
        GLint count = 0;
        glGetIntegerv(GL_NUM_EXTENSIONS, &count);
        for (GLint i = 0; i < count; ++i) {
            addNames(reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, i)), names);
        }
    } else {
        addNames(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), names);
    }
    auto getWgl = reinterpret_cast<PFNWGLGETEXTENSIONSSTRINGARBPROC>(
        reinterpret_cast<void (*)()>(wglGetProcAddress("wglGetExtensionsStringARB")));
    if (getWgl) {
        addNames(getWgl(wglGetCurrentDC()), names);
    }
    major = minor = 0;
    sscanf(reinterpret_cast<const char*>(glGetString(GL_VERSION)), "%d.%d", &major, &minor);
    return names;
}

bool versionReached(const char* flag, int major, int minor) {
    int flagMajor = 0;
    int flagMinor = 0;
    return sscanf(flag, "GL_VERSION_%d_%d", &flagMajor, &flagMinor) == 2 &&
           (flagMajor < major || (flagMajor == major && flagMinor <= minor));
}

// Runs the checked initialisation on the current context and compares every flag.
int checkContext(const char* kind, bool core) {
    unknownNames = 0;
    const bool done = InitOpenGLExtensionsChecked(countUnknown);
    int major = 0;
    int minor = 0;
    const std::set<std::string> announced = announcedNames(core, major, minor);
    int mismatches = done ? 0 : 1;
    int set = 0;
    std::set<std::string> known;
    for (const Flag& flag : kFlags) {
        known.insert(flag.name);
        const bool expected =
            announced.count(flag.name) > 0 || versionReached(flag.name, major, minor);
        set += *flag.value;
        if (*flag.value != expected) {
            fprintf(stderr, "%s: flag %s is %d\n", kind, flag.name, *flag.value);
            ++mismatches;
        }
    }
    int notInLoader = 0;
    for (const std::string& name : announced) {
        notInLoader += known.count(name) == 0;
    }
    if (notInLoader != unknownNames) {
        fprintf(stderr, "%s: %d names went to the callback, %d are not in the loader\n", kind,
                unknownNames, notInLoader);
        ++mismatches;
    }
    fprintf(stderr,
            "%s: OpenGL %d.%d, %d of %u flags set, %d names to the callback, %d mismatches\n", kind,
            major, minor, set, static_cast<unsigned>(sizeof kFlags / sizeof kFlags[0]),
            unknownNames, mismatches);
    return mismatches;
}

// The checked initialisation again, through the program's address function: every flag and
// pointer as the first left them.
int checkProgramsAddressFunction(const char* kind) {
    std::vector<void*> pointers;
    for (auto pointerOf : kPointerOf) {
        pointers.push_back(pointerOf());
    }
    unsigned char caps[sizeof ExtCaps];
    memcpy(caps, &ExtCaps, sizeof ExtCaps);
    programAsked = 0;
    int mismatches = InitOpenGLExtensionsCheckedWith(programsAddress, nullptr) ? 0 : 1;
    mismatches += memcmp(caps, &ExtCaps, sizeof ExtCaps) != 0;
    mismatches += programAsked < static_cast<int>(pointers.size());  // every pointer asked of it
    for (std::size_t i = 0; i < pointers.size(); ++i) {
        mismatches += kPointerOf[i]() != pointers[i];
    }
    fprintf(stderr, "%s, the program's address function: %d addresses asked, %d mismatches\n", kind,
            programAsked, mismatches);
    return mismatches;
}

int checkWithoutContext() {
    memset(&ExtCaps, 0xA5, sizeof ExtCaps);
    unsigned char before[sizeof ExtCaps];
    memcpy(before, &ExtCaps, sizeof ExtCaps);
    for (auto set : kSetSentinel) {
        set();
    }
    int mismatches = InitOpenGLExtensionsChecked(countUnknown) ? 1 : 0;
    mismatches += InitOpenGLExtensionsCheckedWith(programsAddress, countUnknown) ? 1 : 0;
    mismatches += programAsked;
    mismatches += memcmp(before, &ExtCaps, sizeof ExtCaps) != 0;
    for (auto holds : kHoldsSentinel) {
        mismatches += !holds();
    }
    fprintf(stderr, "no context: both returned false, flags and %u pointers unchanged: %s\n",
            static_cast<unsigned>(sizeof kHoldsSentinel / sizeof kHoldsSentinel[0]),
            mismatches == 0 ? "yes" : "NO");
    memset(&ExtCaps, 0, sizeof ExtCaps);
    return mismatches;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "generated-without-context") {
        InitOpenGLExtensions();
        fprintf(stderr, "the generated InitOpenGLExtensions returned without a context\n");
        return 0;
    }
    int failures = mode.empty() ? checkWithoutContext() : 0;

    HWND window = openGlWindow("linkweld_init", 64);
    HDC dc = window ? GetDC(window) : nullptr;
    HGLRC legacy = dc ? makeLegacyContext(dc) : nullptr;
    if (!legacy) {
        fprintf(stderr, "no OpenGL context\n");
        return 2;
    }
    if (mode.empty()) {
        failures += checkContext("compatibility context", false);
        failures += checkProgramsAddressFunction("compatibility context");
    }
    InitOpenGLExtensionsChecked(nullptr);
    HGLRC core = makeCoreContext(dc, wglCreateContextAttribsARB, 3, 3);
    if (!core) {
        fprintf(stderr, "no 3.3 core-profile context\n");
        return 1;
    }
    wglDeleteContext(legacy);
    if (mode == "generated-on-core") {
        InitOpenGLExtensions();
        fprintf(stderr, "the generated InitOpenGLExtensions returned on the core context\n");
        return 0;
    }
    failures += checkContext("3.3 core context", true);
    failures += checkProgramsAddressFunction("3.3 core context");
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(core);
    DestroyWindow(window);
    return failures == 0 ? 0 : 1;
}
