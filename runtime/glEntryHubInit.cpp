// InitOpenGLExtensionsChecked: the flags and pointers of a generated loader, filled through what
// every generated glEntryHub.cpp defines (ExtCaps, glextlist, wglextlist, FindAndInitGLExtension,
// MapGLEXT, MapWGLEXT) without the crashes of InitOpenGLExtensions.
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
void MapGLEXT();
void MapWGLEXT();

// Older glext.h files, and a subset's header, lack these; the values are the registry's.
#ifndef GL_NUM_EXTENSIONS
#define GL_NUM_EXTENSIONS 0x821D
#endif
#ifndef GL_CONTEXT_PROFILE_MASK
#define GL_CONTEXT_PROFILE_MASK 0x9126
#endif
#ifndef GL_CONTEXT_COMPATIBILITY_PROFILE_BIT
#define GL_CONTEXT_COMPATIBILITY_PROFILE_BIT 0x00000002
#endif

namespace {

typedef void (*UnknownName)(const char* name);
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

// What a driver's list is still read for: the entries of one of the loader's lists (glextlist,
// wglextlist) that no announced name has matched yet, GL_VERSION_x_y aside (no driver announces
// those: setVersionFlags sets them). Once none is left, the rest of the list can set no flag and
// is read only when its unknown names are asked for.
struct Wanted {
    GL_EXTENSION* list;
    GL_EXTENSION* other;     // the other api's: a name it knows is no unknown name
    unsigned char* matched;  // one per entry of `list`; null where there was no memory for it
    size_t left;
    UnknownName unknownName;
};

Wanted wantedOf(GL_EXTENSION* list, GL_EXTENSION* other, UnknownName unknownName) {
    Wanted wanted = {list, other, 0, 0, unknownName};
    size_t count = 0;
    for (; list[count].extname; ++count) {
        wanted.left += strncmp(list[count].extname, "GL_VERSION_", 11) != 0;
    }
    wanted.matched = static_cast<unsigned char*>(calloc(count + 1, 1));
    if (!wanted.matched) {
        wanted.left = static_cast<size_t>(-1);  // never struck off: every name is read
    }
    return wanted;
}

bool satisfied(const Wanted& wanted) {
    return wanted.left == 0 && !wanted.unknownName;
}

bool holds(const GL_EXTENSION* list, const char* name) {
    for (; list->extname; ++list) {
        if (strcmp(name, list->extname) == 0) {
            return true;
        }
    }
    return false;
}

// Sets the flag (and the pointers) of the first entry named `name`, as FindAndInitGLExtension
// does, and strikes that entry off. A driver's GL string may name WGL extensions too (Wine's
// does): those are the WGL list's to set, and known.
void match(const char* name, Wanted& wanted) {
    for (size_t i = 0; wanted.list[i].extname; ++i) {
        if (strcmp(name, wanted.list[i].extname) == 0) {
            wanted.list[i].MapFunc();
            if (wanted.matched && !wanted.matched[i]) {
                wanted.matched[i] = 1;
                wanted.left -= strncmp(name, "GL_VERSION_", 11) != 0;
            }
            return;
        }
    }
    if (wanted.unknownName && !holds(wanted.other, name)) {
        wanted.unknownName(name);
    }
}

// Looks up the `length` bytes at `name` through a terminated copy the lookup may not outlive: on
// the stack, or on the heap for a name too long for it (where the heap has nothing left, that
// one name goes unread).
void lookUp(const char* name, size_t length, Wanted& wanted) {
    char shortName[256];
    char* const copy =
        length < sizeof shortName ? shortName : static_cast<char*>(malloc(length + 1));
    if (length == 0 || !copy) {
        return;
    }
    memcpy(copy, name, length);
    copy[length] = '\0';
    match(copy, wanted);
    if (copy != shortName) {
        free(copy);
    }
}

// Each name of a list separated by blanks, the last one included, whatever its length, until
// nothing more is wanted of it.
void lookUpAll(const char* names, Wanted& wanted) {
    while (*names && !satisfied(wanted)) {
        const size_t length = strcspn(names, " \t\r\n");
        lookUp(names, length, wanted);
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

// Whether the context still answers its whole list in one string: before 3.0, and from 3.2 on a
// compatibility profile. A core profile answers null there; 3.0 and 3.1 may have dropped it, so
// those are read name by name.
bool answersOneString(Version version) {
    if (!reaches(version, 3, 0)) {
        return true;
    }
    GLint profile = 0;
    if (reaches(version, 3, 2)) {
        glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    }
    return (profile & GL_CONTEXT_COMPATIBILITY_PROFILE_BIT) != 0;
}

void lookUpGlNames(Version version, Wanted& wanted) {
    if (satisfied(wanted)) {
        return;
    }
    if (answersOneString(version)) {
        if (const GLubyte* names = glGetString(GL_EXTENSIONS)) {
            lookUpAll(reinterpret_cast<const char*>(names), wanted);
            return;
        }
    }
    const GetStringi getStringi =
        reaches(version, 3, 0) ? procAddress<GetStringi>("glGetStringi") : 0;
    if (!getStringi) {
        return;
    }
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count && !satisfied(wanted); ++i) {
        const GLubyte* name = getStringi(GL_EXTENSIONS, static_cast<GLuint>(i));
        if (name) {
            const char* const text = reinterpret_cast<const char*>(name);
            lookUp(text, strlen(text), wanted);
        }
    }
}

void lookUpWglNames(Wanted& wanted) {
#ifdef LINKWELD_WGL
    if (satisfied(wanted)) {
        return;
    }
    const char* names = 0;
    if (const GetExtensionsStringArb arb =
            procAddress<GetExtensionsStringArb>("wglGetExtensionsStringARB")) {
        names = arb(wglGetCurrentDC());
    } else if (const GetExtensionsStringExt ext =
                   procAddress<GetExtensionsStringExt>("wglGetExtensionsStringEXT")) {
        names = ext();
    }
    if (names) {
        lookUpAll(names, wanted);
    }
#else
    // Elsewhere no WGL name is announced, and an address function may answer for any name.
    (void)wanted;
#endif
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

// Every flag and pointer, a context being current, each address asked of `given` (null:
// wglGetProcAddress). The function before is put back after, since a callback may start another
// fill; no destructor does it, which would tie the unit to the C++ runtime.
void fillLoader(UnknownName unknownName, void* (*given)(const char* name)) {
    void* (*const before)(const char* name) = linkweldGivenGetProcAddress;
    linkweldGivenGetProcAddress = given;
    memset(&ExtCaps, 0, sizeof(ExtCaps));
    const Version version = parseVersion(reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    Wanted gl = wantedOf(glextlist, wglextlist, unknownName);
    lookUpGlNames(version, gl);
    free(gl.matched);
    Wanted wgl = wantedOf(wglextlist, glextlist, unknownName);
    lookUpWglNames(wgl);
    free(wgl.matched);
    setVersionFlags(version);
    MapGLEXT();
    MapWGLEXT();
    linkweldGivenGetProcAddress = before;
}

}  // namespace

bool InitOpenGLExtensionsChecked(void (*unknownName)(const char* name)) {
    if (!wglGetCurrentContext()) {
        return false;
    }
    fillLoader(unknownName, 0);
    return true;
}

bool InitOpenGLExtensionsCheckedWith(void* (*getProcAddress)(const char* name),
                                     void (*unknownName)(const char* name)) {
    if (!getProcAddress) {
        return InitOpenGLExtensionsChecked(unknownName);
    }
    if (!glGetString(GL_VERSION)) {
        return false;
    }
    fillLoader(unknownName, getProcAddress);
    return true;
}
