// InitOpenGLExtensionsChecked: the flags and pointers of a generated loader, filled through what
// every generated glEntryHub.cpp defines (ExtCaps, FindAndInitGLExtension,
// FindAndInitWGLExtension, MapGLEXT, MapWGLEXT) without the crashes of InitOpenGLExtensions.
// glEntryHubChecked.cpp and glEntryHubCChecked.cpp compile it after the generated source, whose
// pointers then come through linkweldGetProcAddress too. It uses the C library alone, nothing of
// the C++ runtime, so that a C program links it with a C compiler and no C++ library DLL.
#include "glEntryHubInit.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "glEntryHubProc.h"

// Defined by glEntryHub.cpp, whose header does not declare them. After the generated source in
// one translation unit (glEntryHubSource.h), these keep the linkage it gave them.
int FindAndInitGLExtension(char* ext);
int FindAndInitWGLExtension(char* ext);
void MapGLEXT();
void MapWGLEXT();

// Older glext.h files lack these; the values are the registry's.
#ifndef GL_NUM_EXTENSIONS
#define GL_NUM_EXTENSIONS 0x821D
#endif

namespace {

typedef void (*UnknownName)(const char* name);
typedef int (*Lookup)(char* name);
typedef const GLubyte*(APIENTRY* GetStringi)(GLenum name, GLuint index);
typedef const char*(WINAPI* GetExtensionsStringArb)(HDC dc);
typedef const char*(WINAPI* GetExtensionsStringExt)(void);

struct Version {
    int major;
    int minor;
};

// The leading "major.minor" of a GL_VERSION string; 0.0 when it has none.
Version parseVersion(const char* text) {
    Version version = {0, 0};
    if (!text) {
        return version;
    }
    int major = 0;
    const char* c = text;
    for (; *c >= '0' && *c <= '9' && major < 1000; ++c) {
        major = major * 10 + (*c - '0');
    }
    if (c == text || *c != '.' || c[1] < '0' || c[1] > '9') {
        return version;
    }
    int minor = 0;
    for (++c; *c >= '0' && *c <= '9' && minor < 1000; ++c) {
        minor = minor * 10 + (*c - '0');
    }
    version.major = major;
    version.minor = minor;
    return version;
}

bool reaches(Version version, int major, int minor) {
    return version.major > major || (version.major == major && version.minor >= minor);
}

// Looks up the `length` bytes at `name` in the loader, through a terminated copy the lookup may
// not outlive: on the stack, or on the heap for a name too long for it (where the heap has
// nothing left, that one name goes unread).
void lookUp(const char* name, size_t length, Lookup lookup, UnknownName unknownName) {
    char shortName[256];
    char* const copy =
        length < sizeof shortName ? shortName : static_cast<char*>(malloc(length + 1));
    if (length == 0 || !copy) {
        return;
    }
    memcpy(copy, name, length);
    copy[length] = '\0';
    if (!lookup(copy) && unknownName) {
        unknownName(copy);
    }
    if (copy != shortName) {
        free(copy);
    }
}

// Each name of a list separated by blanks, the last one included, whatever its length.
void lookUpAll(const char* names, Lookup lookup, UnknownName unknownName) {
    while (*names) {
        const size_t length = strcspn(names, " \t\r\n");
        lookUp(names, length, lookup, unknownName);
        names += length;
        if (*names) {
            ++names;
        }
    }
}

// The filtered wglGetProcAddress answer as a pointer of type T, through the one cast GCC accepts
// silently.
template <class T>
T procAddress(const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void (*)()>(linkweldGetProcAddress(name)));
}

void lookUpGlNames(Version version, UnknownName unknownName) {
    const GetStringi getStringi =
        reaches(version, 3, 0) ? procAddress<GetStringi>("glGetStringi") : 0;
    if (getStringi) {
        GLint count = 0;
        glGetIntegerv(GL_NUM_EXTENSIONS, &count);
        for (GLint i = 0; i < count; ++i) {
            const GLubyte* name = getStringi(GL_EXTENSIONS, static_cast<GLuint>(i));
            if (name) {
                const char* const text = reinterpret_cast<const char*>(name);
                lookUp(text, strlen(text), FindAndInitGLExtension, unknownName);
            }
        }
        return;
    }
    // A core-profile context answers null here.
    const GLubyte* names = glGetString(GL_EXTENSIONS);
    if (names) {
        lookUpAll(reinterpret_cast<const char*>(names), FindAndInitGLExtension, unknownName);
    }
}

void lookUpWglNames(UnknownName unknownName) {
    const char* names = 0;
    if (const GetExtensionsStringArb arb =
            procAddress<GetExtensionsStringArb>("wglGetExtensionsStringARB")) {
        names = arb(wglGetCurrentDC());
    } else if (const GetExtensionsStringExt ext =
                   procAddress<GetExtensionsStringExt>("wglGetExtensionsStringEXT")) {
        names = ext();
    }
    if (names) {
        lookUpAll(names, FindAndInitWGLExtension, unknownName);
    }
}

// No driver announces versions, so every GL_VERSION_x_y the loader knows and the context
// reaches gets its flag here.
void setVersionFlags(Version version) {
    for (int major = 1; major <= version.major && major <= 99; ++major) {
        for (int minor = 0; minor <= 9; ++minor) {
            if (reaches(version, major, minor)) {
                char name[32];
                snprintf(name, sizeof name, "GL_VERSION_%d_%d", major, minor);
                FindAndInitGLExtension(name);
            }
        }
    }
}

}  // namespace

bool InitOpenGLExtensionsChecked(void (*unknownName)(const char* name)) {
    if (!wglGetCurrentContext()) {
        return false;
    }
    memset(&ExtCaps, 0, sizeof(ExtCaps));
    const Version version = parseVersion(reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    lookUpGlNames(version, unknownName);
    lookUpWglNames(unknownName);
    setVersionFlags(version);
    MapGLEXT();
    MapWGLEXT();
    return true;
}
