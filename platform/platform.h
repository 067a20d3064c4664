// The calls to the system that reading files, writing a depfile and a second thread make: one
// table, the host's
// filled by its twin (platform_posix.cpp, platform_windows.cpp), handed to what uses it, so that
// a test may hand a fake that fails a call or says which calls a run made.
#pragma once

#include <cstddef>
#include <string>

// A second thread that runs the jobs handed to it one at a time.
struct Worker;

struct Platform {
    // Opens `path` (UTF-8 on Windows) for reading, in binary mode: its descriptor, or -1 with
    // errno set.
    int (*openForReading)(const std::string& path);
    // Up to `size` bytes into `buffer`: how many, 0 at the file's end, -1 with errno set. A read
    // that a signal interrupts is tried again.
    long (*read)(int descriptor, char* buffer, std::size_t size);
    // As read, from `offset` on, the file's position left as it is; -1 with errno ENOSYS where
    // the platform has none.
    long (*readAt)(int descriptor, char* buffer, std::size_t size, long long offset);
    // The size of a regular file; -1 for anything else (a device, a FIFO) or when unknown.
    long long (*regularSize)(int descriptor);
    void (*close)(int descriptor);
    // Whether two names (UTF-8) lead to one file; false when either cannot be looked at.
    bool (*sameFile)(const std::string& one, const std::string& other);
    // Whether `path` (UTF-8) names a regular file, links followed; false when it cannot be looked
    // at.
    bool (*isRegularFile)(const std::string& path);
    // Writes `size` bytes to `path` (UTF-8), made or emptied first: 0, or why it failed (errno).
    int (*writeWhole)(const std::string& path, const char* bytes, std::size_t size);

    // A second thread, with every signal held there when `holdSignals` (they then reach the
    // others alone); null when the system gives none. Memory running out is thrown.
    Worker* (*startWorker)(bool holdSignals);
    // Hands `job(argument)` to the worker, once the job before is done.
    void (*post)(Worker* worker, void (*job)(void*), void* argument);
    // Waits until the job handed last is done; what it threw is thrown here.
    void (*await)(Worker* worker);
    // Waits for the job at hand, whatever it throws, and ends the thread.
    void (*endWorker)(Worker* worker);
};

const Platform& hostPlatform();
