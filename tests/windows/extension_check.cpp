// Opens a window with a WGL context, runs the generated InitOpenGLExtensions, and checks every
// generated flag against the driver's own extension strings. Exit status 0 when all agree.
#include "stdafx.h"

#include <set>
#include <string>

#include "glEntryHub.h"
#include "gl_window.h"
#include "loader_flags.h"

namespace {

struct Pointer {
    const char* name;
    bool (*isSet)();
};

#define LINKWELD_ENTRY(name) {#name, [] { return name != nullptr; }},
const Pointer kPointers[] = {
#include "entry_names.inc"
};
#undef LINKWELD_ENTRY

// The names InitOpenGLExtensions looks up: each run of non-blank characters that a blank ends.
// A name at the very end of the string, with no blank after it, is never looked up.
void addLookedUpNames(const char* announced, std::set<std::string>& names) {
    std::string name;
    for (const char* c = announced; *c; ++c) {
        if (*c != ' ') {
            name += *c;
        } else {
            names.insert(name);
            name.clear();
        }
    }
}

}  // namespace

int main() {
    HWND window = openGlWindow("linkweld_check", 64);
    HGLRC context = window ? makeLegacyContext(GetDC(window)) : nullptr;
    if (!context) {
        printf("\nno OpenGL context (window %p)\n", static_cast<void*>(window));
        return 2;
    }
    printf("renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));

    InitOpenGLExtensions();

    std::set<std::string> announced;
    addLookedUpNames(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), announced);
    // Through void (*)(), the one function type GCC lets any other be cast to without a warning.
    auto getWglExtensions = reinterpret_cast<PFNWGLGETEXTENSIONSSTRINGARBPROC>(
        reinterpret_cast<void (*)()>(wglGetProcAddress("wglGetExtensionsStringARB")));
    if (getWglExtensions) {
        addLookedUpNames(getWglExtensions(wglGetCurrentDC()), announced);
    }

    int mismatches = 0;
    int flagsSet = 0;
    for (const Flag& flag : kFlags) {
        const bool expected = announced.count(flag.name) > 0;
        flagsSet += *flag.value;
        if (*flag.value != expected) {
            printf("\nflag %s is %d, the driver %s it", flag.name, *flag.value,
                   expected ? "announces" : "does not announce");
            ++mismatches;
        }
    }
    int pointersSet = 0;
    for (const Pointer& pointer : kPointers) {
        pointersSet += pointer.isSet();
    }

    // Entry points that a driver announcing their extension must provide.
    const struct {
        bool announced;
        const char* name;
        bool isSet;
    } required[] = {
        {EXTCAPS(GL_ARB_multitexture), "glActiveTextureARB", glActiveTextureARB != nullptr},
        {EXTCAPS(GL_ARB_multitexture), "glMultiTexCoord2fARB", glMultiTexCoord2fARB != nullptr},
        {EXTCAPS(GL_ARB_vertex_buffer_object), "glBindBufferARB", glBindBufferARB != nullptr},
        {EXTCAPS(GL_EXT_framebuffer_object), "glBindFramebufferEXT",
         glBindFramebufferEXT != nullptr},
        {EXTCAPS(GL_ARB_shader_objects), "glCreateShaderObjectARB",
         glCreateShaderObjectARB != nullptr},
    };
    if (!EXTCAPS(GL_ARB_multitexture)) {
        printf("\nthe driver does not announce GL_ARB_multitexture");
        ++mismatches;
    }
    for (const auto& entry : required) {
        if (entry.announced && !entry.isSet) {
            printf("\n%s is null although its extension is announced", entry.name);
            ++mismatches;
        }
    }

    printf("\nflags: %d of %u set; entry points: %d of %u non-null; mismatches: %d\n", flagsSet,
           static_cast<unsigned>(sizeof(kFlags) / sizeof(kFlags[0])), pointersSet,
           static_cast<unsigned>(sizeof(kPointers) / sizeof(kPointers[0])), mismatches);
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
    DestroyWindow(window);
    return mismatches == 0 ? 0 : 1;
}
