// The debugging build of a pair made with linkweld --debug, where LINKWELD_DEBUG is defined (see
// doc/debugging.md). Each usual name called, an entry point of the pair or an OpenGL 1.0 or 1.1
// function, reaches a wrapper that calls the program's before hook, then the real function, then
// the after hook, and returns the real call's result. The after hook at first is
// LinkweldReportGLErrors, which reports every GL error the call raised, with its name and the
// program's place, on standard error and to the debugger; the program's own glGetError still
// answers them. A call through an entry point the driver gave no address is reported by name and
// skipped, its result zero. A hook's own calls through the usual names run no hook. The generated
// header includes this inside its guard, so it has the header's linkage; glEntryHubDebug.cpp
// defines it.
#ifndef LINKWELD_GL_ENTRY_HUB_DEBUG_H
#define LINKWELD_GL_ENTRY_HUB_DEBUG_H

// One call, as the hooks see it: the function's name, and where the program called it (file null
// where that is not known: a call through the wrapper's pointer itself).
typedef struct LinkweldDebugCall {
    const char* name;
    const char* file;
    int line;
} LinkweldDebugCall;

typedef void (*LinkweldDebugHook)(const LinkweldDebugCall* call);

// Sets the hooks every wrapper calls, on every thread; either may be null. Set them before
// threads call OpenGL.
void LinkweldSetDebugHooks(LinkweldDebugHook before, LinkweldDebugHook after);

// The first after hook: after a GL call, unless it is glGetError or between glBegin and glEnd, and
// while a context is current, reads glGetError until it answers GL_NO_ERROR and writes a line for
// each error, as "FILE:LINE: GL error 0x0502 (GL_INVALID_OPERATION) after glUseProgram"; the
// thread keeps the first 16 errors so read for the program's own glGetError. After a WGL call it
// reads nothing, since WGL raises no GL error. An after hook of the program may call it.
void LinkweldReportGLErrors(const LinkweldDebugCall* call);

// What the usual names' macros call; not for the program itself.
void LinkweldDebugAt(const char* file, int line);
void LinkweldDebugBefore(const char* name, const char* file, int line);
void LinkweldDebugAfter(const char* name, const char* file, int line);
unsigned char LinkweldDebugAfterBoolean(unsigned char result, const char* name, const char* file,
                                        int line);
unsigned int LinkweldDebugAfterUnsigned(unsigned int result, const char* name, const char* file,
                                        int line);
unsigned int LinkweldDebugAfterError(unsigned int result, const char* name, const char* file,
                                     int line);
int LinkweldDebugAfterInt(int result, const char* name, const char* file, int line);
const unsigned char* LinkweldDebugAfterString(const unsigned char* result, const char* name,
                                              const char* file, int line);

// An entry point of the pair: the call's place is noted, then its wrapper (glEntryHubDebug.cpp)
// is called through a pointer of the entry point's own type, so that its arguments are checked
// and passed as the real pointer's are.
#define LINKWELD_DEBUG_CALL(name) (LinkweldDebugAt(__FILE__, __LINE__), linkweldDebug_##name)

// A function of the system's library, which is always there: the hooks around the call itself.
// The name in parentheses is the function, not this macro again.
#define LINKWELD_DEBUG_VOID(name, arguments)                          \
    (LinkweldDebugBefore(#name, __FILE__, __LINE__), (name)arguments, \
     LinkweldDebugAfter(#name, __FILE__, __LINE__))
#define LINKWELD_DEBUG_VALUE(type, name, arguments)  \
    (LinkweldDebugBefore(#name, __FILE__, __LINE__), \
     LinkweldDebugAfter##type((name)arguments, #name, __FILE__, __LINE__))

#endif
