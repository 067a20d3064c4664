// A host stand-in for what the tables of several contexts ask of Windows (glEntryHubContexts.cpp):
// a lock, a slot of each thread's own that frees its value when the thread ends, and an atomic
// increment, through POSIX threads.
#pragma once

#include <pthread.h>

#ifndef WINAPI
#define WINAPI
#endif

typedef long LONG;
typedef unsigned long DWORD;
typedef pthread_mutex_t SRWLOCK;
typedef void (*PFLS_CALLBACK_FUNCTION)(void*);

#define SRWLOCK_INIT PTHREAD_MUTEX_INITIALIZER
#define FLS_OUT_OF_INDEXES (static_cast<DWORD>(-1))

inline void AcquireSRWLockExclusive(SRWLOCK* lock) {
    pthread_mutex_lock(lock);
}

inline void ReleaseSRWLockExclusive(SRWLOCK* lock) {
    pthread_mutex_unlock(lock);
}

inline DWORD FlsAlloc(PFLS_CALLBACK_FUNCTION freeValue) {
    pthread_key_t key;
    return pthread_key_create(&key, freeValue) == 0 ? static_cast<DWORD>(key) : FLS_OUT_OF_INDEXES;
}

inline void* FlsGetValue(DWORD slot) {
    return pthread_getspecific(static_cast<pthread_key_t>(slot));
}

inline bool FlsSetValue(DWORD slot, void* value) {
    return pthread_setspecific(static_cast<pthread_key_t>(slot), value) == 0;
}

inline LONG InterlockedIncrement(volatile LONG* value) {
    return __atomic_add_fetch(value, 1, __ATOMIC_SEQ_CST);
}
