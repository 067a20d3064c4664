// A host stand-in for what the tables of several contexts (glEntryHubContexts.cpp) and the
// debugging build (glEntryHubDebug.cpp) ask of Windows: a lock, slots of each thread's own, and
// atomic exchanges, through POSIX threads.
#pragma once

#include <pthread.h>

#ifndef WINAPI
#define WINAPI
#endif

typedef unsigned long DWORD;
typedef long LONG;
typedef void* PVOID;
typedef pthread_mutex_t SRWLOCK;

#define SRWLOCK_INIT PTHREAD_MUTEX_INITIALIZER
#define TLS_OUT_OF_INDEXES (static_cast<DWORD>(-1))

inline void AcquireSRWLockExclusive(SRWLOCK* lock) {
    pthread_mutex_lock(lock);
}

inline void ReleaseSRWLockExclusive(SRWLOCK* lock) {
    pthread_mutex_unlock(lock);
}

inline DWORD TlsAlloc() {
    pthread_key_t key;
    return pthread_key_create(&key, nullptr) == 0 ? static_cast<DWORD>(key) : TLS_OUT_OF_INDEXES;
}

inline bool TlsFree(DWORD slot) {
    return pthread_key_delete(static_cast<pthread_key_t>(slot)) == 0;
}

inline void* TlsGetValue(DWORD slot) {
    return pthread_getspecific(static_cast<pthread_key_t>(slot));
}

inline bool TlsSetValue(DWORD slot, void* value) {
    return pthread_setspecific(static_cast<pthread_key_t>(slot), value) == 0;
}

inline PVOID InterlockedExchangePointer(PVOID volatile* target, PVOID value) {
    return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}

inline void OutputDebugStringA(const char*) {}

inline PVOID InterlockedCompareExchangePointer(PVOID volatile* target, PVOID value,
                                               PVOID expected) {
    __atomic_compare_exchange_n(target, &expected, value, false, __ATOMIC_SEQ_CST,
                                __ATOMIC_SEQ_CST);
    return expected;
}

inline LONG InterlockedCompareExchange(LONG volatile* target, LONG value, LONG expected) {
    __atomic_compare_exchange_n(target, &expected, value, false, __ATOMIC_SEQ_CST,
                                __ATOMIC_SEQ_CST);
    return expected;
}
