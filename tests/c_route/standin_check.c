// Stands in for opengl32's wglGetProcAddress where the loader calls it, at its import slot
// (__imp_wglGetProcAddress, defined here in place of the import library's): four names answer 1,
// 2, 3 and -1, as some Windows drivers answer for a name they lack; every other name goes to the
// driver. On a compatibility context it then initialises the loader and checks those four
// pointers: null after InitOpenGLExtensionsChecked (the checked route, C or, compiled by
// standin_check.cpp, C++); exactly the stand-in's answers after InitOpenGLExtensions on the plain
// C route (LINKWELD_PLAIN), which shows the stand-in is on the loader's path. Pointers the driver
// fills must be filled either way. Status 0 only when every pointer is as expected.
#ifdef __cplusplus
#include "glEntryHubInit.h"
#else
#include "glEntryHubC.h"
#endif

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "c_frame.h"

typedef PROC(WINAPI* GetProcAddressFunction)(LPCSTR name);

static const struct {
    const char* name;
    intptr_t answer;
} kAnswers[] = {
    {"glActiveTexture", 1}, {"glBindBuffer", 2}, {"glBlendColor", 3}, {"wglSwapIntervalEXT", -1}};

static PROC WINAPI standInGetProcAddress(LPCSTR name) {
    for (size_t i = 0; i < sizeof kAnswers / sizeof kAnswers[0]; ++i) {
        if (strcmp(name, kAnswers[i].name) == 0) {
            return (PROC)kAnswers[i].answer;
        }
    }
    static GetProcAddressFunction driver = NULL;
    if (!driver) {
        driver = (GetProcAddressFunction)(void (*)(void))GetProcAddress(
            GetModuleHandleA("opengl32.dll"), "wglGetProcAddress");
    }
    return driver(name);
}

#ifdef __cplusplus
extern "C" {
#endif
GetProcAddressFunction __imp_wglGetProcAddress = standInGetProcAddress;
#ifdef __cplusplus
}
#endif

static const char* describe(intptr_t value) {
    static const char* const kSmall[] = {"-1", "null", "1", "2", "3"};
    return value >= -1 && value <= 3 ? kSmall[value + 1] : "an address";
}

int main(void) {
    HDC dc;
    HGLRC context;
    if (!openWindowWithContext("linkweld_standin_check", &dc, &context)) {
        printf("no OpenGL context\n");
        return 2;
    }
#ifdef LINKWELD_PLAIN
    InitOpenGLExtensions();
    const bool filtered = false;
#else
    if (!InitOpenGLExtensionsChecked(NULL)) {
        printf("InitOpenGLExtensionsChecked returned false\n");
        return 2;
    }
    const bool filtered = true;
#endif
    const intptr_t pointers[] = {(intptr_t)glActiveTexture, (intptr_t)glBindBuffer,
                                 (intptr_t)glBlendColor, (intptr_t)wglSwapIntervalEXT};
    int wrong = 0;
    for (size_t i = 0; i < sizeof pointers / sizeof pointers[0]; ++i) {
        const intptr_t expected = filtered ? 0 : kAnswers[i].answer;
        wrong += pointers[i] != expected;
        printf("\n%s, answered %s: pointer %s, expected %s", kAnswers[i].name,
               describe(kAnswers[i].answer), describe(pointers[i]), describe(expected));
    }
    const bool filled = glGenBuffers && glCreateShader && wglGetExtensionsStringARB;
    printf("\nglGenBuffers, glCreateShader, wglGetExtensionsStringARB: %s\n",
           filled ? "filled" : "NOT FILLED");
    return wrong == 0 && filled ? 0 : 1;
}
