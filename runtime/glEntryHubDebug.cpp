// The debugging build (glEntryHubDebug.h): the hooks, the report of GL errors, and the wrapper of
// an entry point. A pair's glEntryHub.cpp made with linkweld --debug includes this where
// LINKWELD_DEBUG is defined, then defines each entry point's wrapper by LINKWELD_DEBUG_WRAPPER.
// On the C route it is read inside the unit's extern "C" block, so that its functions get the
// header's C linkage; what must stay C++ (the system headers, the template) is marked so.
extern "C++" {
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// A loader of only the names used, without a WGL name, did not include it; the checked route's
// wglGetProcAddress macro must not rename its declaration there.
#pragma push_macro("wglGetProcAddress")
#undef wglGetProcAddress
#include <windows.h>
#pragma pop_macro("wglGetProcAddress")

namespace {

LinkweldDebugHook beforeHook = 0;
LinkweldDebugHook afterHook = LinkweldReportGLErrors;

// A thread's own state:
// - the places its usual names' macros noted, newest last, one per call on its way: a wrapper
//   takes the newest, so a call in another's arguments takes its own. Each knows its number, so
//   that one overwritten, more than 16 calls deep, is not taken for another's. A place noted by a
//   call that never came (its arguments threw) stays below the others;
// - the errors the report read, which the program's own glGetError then answers, oldest first;
// - whether it is between glBegin and glEnd, where glGetError is itself an error;
// - whether a hook is running, so that the loader's calls a hook makes run no hook.
struct Place {
    const char* file;
    int line;
    unsigned number;
};
const unsigned kPlaces = 16;
const unsigned kErrorsKept = 16;
struct ThreadState {
    Place places[kPlaces];
    unsigned noted;
    GLenum errors[kErrorsKept];
    unsigned errorsKept;
    bool betweenBeginAndEnd;
    bool inHook;
    ThreadState* next;  // the state made before it, on any thread
};

// Shared by the threads that could not have their own, for want of memory or of a slot: their
// places may then mix.
ThreadState sharedState;

// Every thread's state, newest first: each is kept until the process ends, a few hundred bytes
// per thread that calls OpenGL, and stays reachable from here.
ThreadState* volatile threadStates = 0;

// The thread-local slot that holds each thread's state, made at the first call on any thread: a
// slot of Windows' own costs a read of the thread's block, where MinGW's thread_local costs a call
// into its runtime. Its number plus one, so that zero means none yet.
volatile LONG slotPlusOne = 0;

ThreadState* threadState() {
    LONG slot = slotPlusOne;
    if (slot == 0) {
        const DWORD made = TlsAlloc();
        if (made == TLS_OUT_OF_INDEXES) {
            return &sharedState;
        }
        slot = InterlockedCompareExchange(&slotPlusOne, static_cast<LONG>(made) + 1, 0);
        if (slot != 0) {
            TlsFree(made);  // another thread made one first
        } else {
            slot = static_cast<LONG>(made) + 1;
        }
    }
    void* state = TlsGetValue(static_cast<DWORD>(slot - 1));
    if (!state) {
        ThreadState* const made = static_cast<ThreadState*>(calloc(1, sizeof(ThreadState)));
        if (!made || !TlsSetValue(static_cast<DWORD>(slot - 1), made)) {
            free(made);
            return &sharedState;
        }
        do {
            made->next = threadStates;
        } while (InterlockedCompareExchangePointer(reinterpret_cast<PVOID volatile*>(&threadStates),
                                                   made, made->next) != made->next);
        return made;
    }
    return static_cast<ThreadState*>(state);
}

const struct {
    GLenum code;
    const char* name;
} kErrorNames[] = {
    {0x0500, "GL_INVALID_ENUM"},
    {0x0501, "GL_INVALID_VALUE"},
    {0x0502, "GL_INVALID_OPERATION"},
    {0x0503, "GL_STACK_OVERFLOW"},
    {0x0504, "GL_STACK_UNDERFLOW"},
    {0x0505, "GL_OUT_OF_MEMORY"},
    {0x0506, "GL_INVALID_FRAMEBUFFER_OPERATION"},
    {0x0507, "GL_CONTEXT_LOST"},
    {0x8031, "GL_TABLE_TOO_LARGE"},
};

const char* errorName(GLenum error) {
    for (const auto& known : kErrorNames) {
        if (known.code == error) {
            return known.name;
        }
    }
    return "an unknown error";
}

// One line on standard error, and to the debugger (OutputDebugStringA), which a program without
// a console shows there: the call's place where it is known, then the call's name between
// `before` and `after`.
void report(const LinkweldDebugCall* call, const char* before, const char* after) {
    char line[1024];
    const int length = call->file
                           ? snprintf(line, sizeof line, "%s:%d: %s%s%s\n", call->file, call->line,
                                      before, call->name, after)
                           : snprintf(line, sizeof line, "%s%s%s\n", before, call->name, after);
    if (length >= static_cast<int>(sizeof line)) {
        line[sizeof line - 2] = '\n';  // a path that long is cut, its line still ended
    }
    fputs(line, stderr);
    fflush(stderr);
    OutputDebugStringA(line);
}

// Runs `hook` on `call` unless a hook is running on the thread already.
void runHook(LinkweldDebugHook hook, const LinkweldDebugCall* call) {
    if (hook) {
        ThreadState* const thread = threadState();
        if (!thread->inHook) {
            thread->inHook = true;
            hook(call);
            thread->inHook = false;
        }
    }
}

}  // namespace
}

void LinkweldSetDebugHooks(LinkweldDebugHook before, LinkweldDebugHook after) {
    beforeHook = before;
    afterHook = after;
}

void LinkweldReportGLErrors(const LinkweldDebugCall* call) {
    const char* name = call->name;
    if (strncmp(name, "wgl", 3) == 0 || strcmp(name, "glGetError") == 0) {
        return;
    }
    ThreadState* const thread = threadState();
    if (strcmp(name, "glBegin") == 0) {
        thread->betweenBeginAndEnd = true;
        return;
    }
    if (thread->betweenBeginAndEnd) {
        if (strcmp(name, "glEnd") != 0) {
            return;
        }
        thread->betweenBeginAndEnd = false;
    }
    if (!wglGetCurrentContext()) {
        return;
    }
    // A lost context answers GL_CONTEXT_LOST once; the bound keeps a driver that never answers
    // GL_NO_ERROR from holding the program here.
    for (int asked = 0; asked < 16; ++asked) {
        const GLenum error = (glGetError)();
        if (error == 0) {
            return;
        }
        char code[64];
        snprintf(code, sizeof code, "GL error 0x%04X (%s) after ", error, errorName(error));
        report(call, code, "");
        if (thread->errorsKept < kErrorsKept) {
            thread->errors[thread->errorsKept++] = error;
        }
    }
}

void LinkweldDebugAt(const char* file, int line) {
    ThreadState* const thread = threadState();
    const unsigned number = thread->noted++;
    thread->places[number % kPlaces] = Place{file, line, number};
}

void LinkweldDebugBefore(const char* name, const char* file, int line) {
    const LinkweldDebugCall call = {name, file, line};
    runHook(beforeHook, &call);
}

void LinkweldDebugAfter(const char* name, const char* file, int line) {
    const LinkweldDebugCall call = {name, file, line};
    runHook(afterHook, &call);
}

unsigned int LinkweldDebugAfterError(unsigned int result, const char* name, const char* file,
                                     int line) {
    LinkweldDebugAfter(name, file, line);
    ThreadState* const thread = threadState();
    if (thread->errorsKept == 0) {
        return result;
    }
    // The errors the report read come first, as the driver would have kept them; one the driver
    // answers now waits behind them.
    const GLenum first = thread->errors[0];
    memmove(thread->errors, thread->errors + 1, --thread->errorsKept * sizeof(GLenum));
    if (result != 0 && thread->errorsKept < kErrorsKept) {
        thread->errors[thread->errorsKept++] = result;
    }
    return first;
}

unsigned char LinkweldDebugAfterBoolean(unsigned char result, const char* name, const char* file,
                                        int line) {
    LinkweldDebugAfter(name, file, line);
    return result;
}

unsigned int LinkweldDebugAfterUnsigned(unsigned int result, const char* name, const char* file,
                                        int line) {
    LinkweldDebugAfter(name, file, line);
    return result;
}

int LinkweldDebugAfterInt(int result, const char* name, const char* file, int line) {
    LinkweldDebugAfter(name, file, line);
    return result;
}

const unsigned char* LinkweldDebugAfterString(const unsigned char* result, const char* name,
                                              const char* file, int line) {
    LinkweldDebugAfter(name, file, line);
    return result;
}

extern "C++" {

// An entry point's call as its wrapper sees it: the place its macro noted, and the before hook.
// Out of line, as is the after hook's call, so that each wrapper stays a few instructions.
static void linkweldDebugEnter(LinkweldDebugCall* call, const char* name) {
    call->name = name;
    call->file = 0;
    call->line = 0;
    ThreadState* const thread = threadState();
    if (thread->noted > 0) {
        const unsigned number = --thread->noted;
        const Place& place = thread->places[number % kPlaces];
        if (place.number == number) {
            call->file = place.file;
            call->line = place.line;
        }
    }
    runHook(beforeHook, call);
}

static void linkweldDebugLeave(const LinkweldDebugCall* call) {
    runHook(afterHook, call);
}

// The real call, then the after hook; by hand rather than by a destructor, so that the unit
// needs nothing of the C++ runtime's exceptions and a C program links it with its C compiler.
template <class Result>
struct LinkweldDebugForward {
    template <class Pointer, class... Arguments>
    static Result call(const LinkweldDebugCall* call, Pointer real, Arguments... arguments) {
        const Result result = real(arguments...);
        linkweldDebugLeave(call);
        return result;
    }
};

template <>
struct LinkweldDebugForward<void> {
    template <class Pointer, class... Arguments>
    static void call(const LinkweldDebugCall* call, Pointer real, Arguments... arguments) {
        real(arguments...);
        linkweldDebugLeave(call);
    }
};

// The wrapper of an entry point whose pointer is `*real` and whose name is `name`: the same
// signature and calling convention as the pointer's type, taken from it.
template <class Pointer>
struct LinkweldDebugWrapper;

template <class Result, class... Arguments>
struct LinkweldDebugWrapper<Result(APIENTRY*)(Arguments...)> {
    typedef Result(APIENTRY* Pointer)(Arguments...);

    template <Pointer* real, const char* name>
    static Result APIENTRY call(Arguments... arguments) {
        LinkweldDebugCall call;
        linkweldDebugEnter(&call, name);
        if (!*real) {
            report(&call, "", " was called, but the driver gave it no address; skipped");
            linkweldDebugLeave(&call);
            return Result();
        }
        return LinkweldDebugForward<Result>::call(&call, *real, arguments...);
    }
};
}

// Defines the wrapper of the pair's pointer `name`, of type `type`, and the pointer to it that the
// header declares and the macro of its usual name calls.
#define LINKWELD_DEBUG_WRAPPER(type, name)                \
    static const char linkweldDebugName_##name[] = #name; \
    type linkweldDebug_##name = &LinkweldDebugWrapper<type>::call<&name, linkweldDebugName_##name>;
