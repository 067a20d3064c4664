// The tables of several contexts (glEntryHubContexts.h), compiled by the checked units after the
// generated source and glEntryHubInit.cpp: a table is filled through the loader's own pointers
// and flags, under a lock, then copied; each thread keeps the table made current there, and the
// automatic mode keeps one table per context, found through a cache of the thread's last. Uses the
// C library and the Windows API alone, nothing of the C++ runtime or of MinGW's DLLs.
#include <stdlib.h>
#include <string.h>
// A loader of only the names used without a WGL name did not include it.
#include <windows.h>

namespace {

// The loader's one set of pointers and flags is filled by one table's fill at a time, and the
// automatic mode's list of contexts changes under the same lock.
SRWLOCK tablesLock = SRWLOCK_INIT;

struct KnownContext {
    HGLRC context;
    LinkweldTable* table;
};

KnownContext* known = 0;
size_t knownCount = 0;
size_t knownCapacity = 0;

// Changes whenever a context is forgotten, so that no thread's cache outlives it.
volatile LONG forgotten = 0;

// What the usual names reach with nothing else to reach: null pointers, false flags.
LinkweldTable emptyTable;

// One thread's choice, and its automatic mode's last answer: held in a fiber-local slot, which
// frees it when its thread ends (the C++ runtime's thread_local would need its DLL with MinGW).
struct ThreadTables {
    LinkweldTable* chosen;
    HGLRC lastContext;
    LinkweldTable* lastTable;
    LONG lastForgotten;
};

volatile DWORD threadSlot = FLS_OUT_OF_INDEXES;  // made once, under the lock

// Used only where no memory is left for a thread's own.
ThreadTables sharedTables;

void WINAPI freeThreadTables(void* tables) {
    free(tables);
}

// The calling thread's tables, made the first time it asks.
ThreadTables* threadTables() {
    const DWORD slot = threadSlot;
    ThreadTables* mine =
        slot != FLS_OUT_OF_INDEXES ? static_cast<ThreadTables*>(FlsGetValue(slot)) : 0;
    if (mine) {
        return mine;
    }
    AcquireSRWLockExclusive(&tablesLock);
    if (threadSlot == FLS_OUT_OF_INDEXES) {
        threadSlot = FlsAlloc(freeThreadTables);
    }
    ReleaseSRWLockExclusive(&tablesLock);
    mine = static_cast<ThreadTables*>(calloc(1, sizeof(ThreadTables)));
    if (!mine || threadSlot == FLS_OUT_OF_INDEXES || !FlsSetValue(threadSlot, mine)) {
        free(mine);
        return &sharedTables;
    }
    return mine;
}

bool fillUnderLock(LinkweldTable* table, void (*unknownName)(const char* name)) {
    if (!InitOpenGLExtensionsChecked(unknownName)) {
        return false;
    }
    LinkweldCopyLoader(table);
    return true;
}

// The table of `context`, current on this thread, filled now when it has none; null when memory
// runs out. Under the lock.
LinkweldTable* tableOfContext(HGLRC context) {
    for (size_t i = 0; i < knownCount; ++i) {
        if (known[i].context == context) {
            return known[i].table;
        }
    }
    if (knownCount == knownCapacity) {
        const size_t capacity = knownCapacity ? knownCapacity * 2 : 4;
        KnownContext* more =
            static_cast<KnownContext*>(realloc(known, capacity * sizeof(KnownContext)));
        if (!more) {
            return 0;
        }
        known = more;
        knownCapacity = capacity;
    }
    LinkweldTable* table = static_cast<LinkweldTable*>(calloc(1, sizeof(LinkweldTable)));
    if (!table || !fillUnderLock(table, 0)) {
        free(table);
        return 0;
    }
    known[knownCount].context = context;
    known[knownCount].table = table;
    ++knownCount;
    return table;
}

// The automatic mode's slow way: the context changed on this thread, or one was forgotten.
LinkweldTable* followContext(HGLRC context) {
    if (!context) {
        return &emptyTable;
    }
    AcquireSRWLockExclusive(&tablesLock);
    LinkweldTable* table = tableOfContext(context);
    const LONG now = forgotten;
    ReleaseSRWLockExclusive(&tablesLock);
    if (!table) {
        return &emptyTable;
    }
    ThreadTables* mine = threadTables();
    mine->lastContext = context;
    mine->lastTable = table;
    mine->lastForgotten = now;
    return table;
}

}  // namespace

bool InitOpenGLTable(LinkweldTable* table, void (*unknownName)(const char* name)) {
    AcquireSRWLockExclusive(&tablesLock);
    const bool filled = fillUnderLock(table, unknownName);
    ReleaseSRWLockExclusive(&tablesLock);
    return filled;
}

void MakeOpenGLTableCurrent(LinkweldTable* table) {
    threadTables()->chosen = table;
}

LinkweldTable* CurrentOpenGLTable(void) {
    const ThreadTables* mine = threadTables();
    if (mine->chosen) {
        return mine->chosen;
    }
    const HGLRC context = wglGetCurrentContext();
    if (context && context == mine->lastContext && mine->lastForgotten == forgotten) {
        return mine->lastTable;
    }
    return followContext(context);
}

void ForgetOpenGLContext(HGLRC context) {
    AcquireSRWLockExclusive(&tablesLock);
    for (size_t i = 0; i < knownCount; ++i) {
        if (known[i].context == context) {
            free(known[i].table);
            known[i] = known[--knownCount];
            InterlockedIncrement(&forgotten);
            break;
        }
    }
    ReleaseSRWLockExclusive(&tablesLock);
}
