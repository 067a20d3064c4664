/* A run's timeline: a library preloaded into linkweld that notes the time of each open or openat
 * (with the name opened), around each rename or renameat, after each directory fsync, and at the
 * run's end, a line each ("SECONDS EVENT [NAME]"), appended to the file named by TIMELINE_LOG.
 * bench/phases.sh and bench/rename_window.sh build it and sum up many runs. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

static void note(const char* event, const char* name) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const char* log = getenv("TIMELINE_LOG");
    FILE* file = log ? fopen(log, "a") : NULL;
    if (file) {
        fprintf(file, "%lld.%09ld %s%s%s\n", (long long)now.tv_sec, now.tv_nsec, event,
                name ? " " : "", name ? name : "");
        fclose(file);
    }
}

int open(const char* path, int flags, ...) {
    static int (*real)(const char*, int, ...);
    if (!real) {
        real = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, "open");
    }
    va_list more;
    va_start(more, flags);
    const mode_t mode = (flags & O_CREAT) ? va_arg(more, mode_t) : 0;
    va_end(more);
    note("open", path);
    return real(path, flags, mode);
}

/* The same function under its large-file name, which some callers link to. */
int open64(const char* path, int flags, ...) __attribute__((alias("open")));

/* A name opened in a directory held open, as the replacement's walk opens every file. */
int openat(int directory, const char* path, int flags, ...) {
    static int (*real)(int, const char*, int, ...);
    if (!real) {
        real = (int (*)(int, const char*, int, ...))dlsym(RTLD_NEXT, "openat");
    }
    va_list more;
    va_start(more, flags);
    const mode_t mode = (flags & O_CREAT) ? va_arg(more, mode_t) : 0;
    va_end(more);
    note("open", path);
    return real(directory, path, flags, mode);
}

int openat64(int directory, const char* path, int flags, ...) __attribute__((alias("openat")));

int rename(const char* from, const char* to) {
    static int (*real)(const char*, const char*);
    if (!real) {
        real = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
    }
    note("rename-start", NULL);
    const int result = real(from, to);
    note("rename-end", NULL);
    return result;
}

int renameat(int fromDirectory, const char* from, int toDirectory, const char* to) {
    static int (*real)(int, const char*, int, const char*);
    if (!real) {
        real = (int (*)(int, const char*, int, const char*))dlsym(RTLD_NEXT, "renameat");
    }
    note("rename-start", NULL);
    const int result = real(fromDirectory, from, toDirectory, to);
    note("rename-end", NULL);
    return result;
}

int fsync(int handle) {
    static int (*real)(int);
    if (!real) {
        real = (int (*)(int))dlsym(RTLD_NEXT, "fsync");
    }
    struct stat info;
    const int directory = fstat(handle, &info) == 0 && S_ISDIR(info.st_mode);
    const int result = real(handle);
    if (directory) {
        note("directory-synced", NULL);
    }
    return result;
}

__attribute__((destructor)) static void ended(void) {
    note("end", NULL);
}
