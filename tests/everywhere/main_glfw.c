// The program on Linux and the BSDs, through GLFW:
//   program compat|core FRAME
// opens a window with a compatibility context or a 3.3 core one, fills the loader through
// GLFW's address function, checks it, and draws the frame into FRAME. Status 0 when all holds.
// The loader's header first, so that the lines of the glext.h linkweld read declare its names.
#ifndef SCENE_REFERENCE
#ifdef __cplusplus
#include "glEntryHubInit.h"
#else
#include "glEntryHubC.h"
#endif
#endif

#include <GLFW/glfw3.h>
// GLX's header after the loader's, as a program that asks GLFW for its native handles has it.
#define GLFW_EXPOSE_NATIVE_GLX
#include <GLFW/glfw3native.h>
#include <stdio.h>
#include <string.h>

#include "scene.h"

#ifndef SCENE_REFERENCE
// GLFW answers a function pointer; the loader takes it as a void*.
static void* glfwAddress(const char* name) {
    GLFWglproc proc = glfwGetProcAddress(name);
    void* address;
    memcpy(&address, &proc, sizeof address);
    return address;
}
#endif

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s compat|core FRAME\n", argv[0]);
        return 2;
    }
    const bool core = strcmp(argv[1], "core") == 0;
    if (!glfwInit()) {
        printf("no GLFW\n");
        return 2;
    }
    if (core) {
        glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
        glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
        glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
        glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    }
    GLFWwindow* window = glfwCreateWindow(SCENE_SIZE, SCENE_SIZE, "linkweld", NULL, NULL);
    if (!window) {
        printf("no %s context\n", argv[1]);
        glfwTerminate();
        return 2;
    }
    glfwMakeContextCurrent(window);
    printf("renderer: %s, OpenGL %s\n", (const char*)glGetString(GL_RENDERER),
           (const char*)glGetString(GL_VERSION));
    bool ok = true;
#ifndef SCENE_REFERENCE
    ok = InitOpenGLExtensionsCheckedWith(glfwAddress, NULL) && checkLoader();
#endif
    ok = drawScene(core, argv[2]) && ok;
    glfwDestroyWindow(window);
    glfwTerminate();
    printf("%s\n", ok ? "ok" : "FAILED");
    return ok ? 0 : 1;
}
