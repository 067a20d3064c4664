// The tables of several contexts (glEntryHubContexts.h), compiled by the checked units after the
// generated source and glEntryHubInit.cpp: a table is filled through the loader's own pointers
// and flags, under a lock, then copied; each thread keeps the table made current there, and the
// automatic mode keeps one table per context, found through the thread's last. A thread's values
// sit in two thread-local slots themselves, so that they need no memory of their own and no
// callback outlives a DLL that is unloaded. Uses the C library and the Windows API alone,
// nothing of the C++ runtime or of MinGW's DLLs.
#include <stdlib.h>
#include <string.h>

// A loader of only the names used, without a WGL name, did not include it; the checked route's
// wglGetProcAddress macro must not rename its declaration there.
#pragma push_macro("wglGetProcAddress")
#undef wglGetProcAddress
#include <windows.h>
#pragma pop_macro("wglGetProcAddress")

namespace {

// The loader's one set of pointers and flags is filled by one table's fill at a time, and the
// automatic mode's list of contexts changes under the same lock.
SRWLOCK tablesLock = SRWLOCK_INIT;

// A context the automatic mode follows, and its table. A record is never freed: one whose context
// is forgotten serves the next context, so that a thread's last record stays valid memory, and
// matches only while it holds the thread's current context.
struct Followed {
    HGLRC volatile context;  // null while free, or while its table is filled
    LinkweldTable table;
};

Followed** followed = 0;
size_t followedCount = 0;
size_t followedCapacity = 0;

// What the usual names reach with nothing else to reach: null pointers, false flags.
LinkweldTable emptyTable;

// The thread-local slots: the table made current on the thread, and the automatic mode's last
// record. Made once, under the lock.
volatile DWORD chosenSlot = TLS_OUT_OF_INDEXES;
volatile DWORD lastSlot = TLS_OUT_OF_INDEXES;

bool makeSlots() {
    if (lastSlot == TLS_OUT_OF_INDEXES) {
        AcquireSRWLockExclusive(&tablesLock);
        if (lastSlot == TLS_OUT_OF_INDEXES) {
            chosenSlot = TlsAlloc();
            lastSlot = chosenSlot == TLS_OUT_OF_INDEXES ? TLS_OUT_OF_INDEXES : TlsAlloc();
        }
        ReleaseSRWLockExclusive(&tablesLock);
    }
    return lastSlot != TLS_OUT_OF_INDEXES;
}

// The names a fill found that the loader does not know, kept until the lock is released, so
// that a callback may call through the loader.
char* unknownNames = 0;
size_t unknownSize = 0;

void keepUnknown(const char* name) {
    const size_t length = strlen(name) + 1;
    char* more = static_cast<char*>(realloc(unknownNames, unknownSize + length));
    if (more) {  // without memory the name goes untold
        memcpy(more + unknownSize, name, length);
        unknownNames = more;
        unknownSize += length;
    }
}

// Fills `table` under the lock; each unknown name is kept when `keep` is set.
bool fillUnderLock(LinkweldTable* table, bool keep) {
    if (!InitOpenGLExtensionsChecked(keep ? keepUnknown : 0)) {
        return false;
    }
    LinkweldCopyLoader(table);
    return true;
}

// The record of `context`, current on this thread, filled now when it has none; null when memory
// runs out. Under the lock.
Followed* recordOf(HGLRC context) {
    Followed* spare = 0;
    for (size_t i = 0; i < followedCount; ++i) {
        if (followed[i]->context == context) {
            return followed[i];
        }
        spare = spare ? spare : followed[i]->context ? 0 : followed[i];
    }
    if (!spare && followedCount == followedCapacity) {
        const size_t capacity = followedCapacity ? followedCapacity * 2 : 4;
        Followed** more = static_cast<Followed**>(realloc(followed, capacity * sizeof(Followed*)));
        if (!more) {
            return 0;
        }
        followed = more;
        followedCapacity = capacity;
    }
    if (!spare) {
        spare = static_cast<Followed*>(calloc(1, sizeof(Followed)));
        if (!spare) {
            return 0;
        }
        followed[followedCount++] = spare;
    }
    memset(&spare->table, 0, sizeof spare->table);
    if (!fillUnderLock(&spare->table, false)) {
        return 0;
    }
    // It matches only once filled: the table's bytes go before the context, which threads read
    // without the lock.
    InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&spare->context), context);
    return spare;
}

// The automatic mode's slow way: the context changed on this thread, or was forgotten.
LinkweldTable* followContext(HGLRC context) {
    if (!context) {
        return &emptyTable;
    }
    AcquireSRWLockExclusive(&tablesLock);
    Followed* record = recordOf(context);
    ReleaseSRWLockExclusive(&tablesLock);
    if (!record) {
        return &emptyTable;
    }
    TlsSetValue(lastSlot, record);
    return &record->table;
}

}  // namespace

bool InitOpenGLTable(LinkweldTable* table, void (*unknownName)(const char* name)) {
    AcquireSRWLockExclusive(&tablesLock);
    const bool filled = fillUnderLock(table, unknownName != 0);
    char* const names = unknownNames;
    const size_t size = unknownSize;
    unknownNames = 0;
    unknownSize = 0;
    ReleaseSRWLockExclusive(&tablesLock);
    for (size_t at = 0; at < size; at += strlen(names + at) + 1) {
        unknownName(names + at);
    }
    free(names);
    return filled;
}

void MakeOpenGLTableCurrent(LinkweldTable* table) {
    if (makeSlots()) {
        TlsSetValue(chosenSlot, table);
    }
}

LinkweldTable* CurrentOpenGLTable(void) {
    if (!makeSlots()) {
        return followContext(wglGetCurrentContext());
    }
    if (LinkweldTable* chosen = static_cast<LinkweldTable*>(TlsGetValue(chosenSlot))) {
        return chosen;
    }
    const HGLRC context = wglGetCurrentContext();
    const Followed* last = static_cast<const Followed*>(TlsGetValue(lastSlot));
    if (context && last && last->context == context) {
        return const_cast<LinkweldTable*>(&last->table);
    }
    return followContext(context);
}

void ForgetOpenGLContext(HGLRC context) {
    AcquireSRWLockExclusive(&tablesLock);
    for (size_t i = 0; context && i < followedCount; ++i) {
        if (followed[i]->context == context) {
            followed[i]->context = 0;
        }
    }
    ReleaseSRWLockExclusive(&tablesLock);
}
