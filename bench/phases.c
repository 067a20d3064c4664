/* Where a run's time goes: a library preloaded into linkweld that notes the time of each open,
 * with the name opened, and of the run's end, appended to the file named by PHASES_LOG.
 * bench/phases.sh builds it and sums up many runs. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static void note(const char* what) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const char* log = getenv("PHASES_LOG");
    FILE* file = log ? fopen(log, "a") : NULL;
    if (file) {
        fprintf(file, "%lld.%09ld %s\n", (long long)now.tv_sec, now.tv_nsec, what);
        fclose(file);
    }
}

static int opened(const char* symbol, const char* path, int flags, va_list more) {
    int (*real)(const char*, int, ...) = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, symbol);
    const mode_t mode = (flags & O_CREAT) ? va_arg(more, mode_t) : 0;
    note(path);
    return real(path, flags, mode);
}

int open(const char* path, int flags, ...) {
    va_list more;
    va_start(more, flags);
    const int result = opened("open", path, flags, more);
    va_end(more);
    return result;
}

int open64(const char* path, int flags, ...) {
    va_list more;
    va_start(more, flags);
    const int result = opened("open64", path, flags, more);
    va_end(more);
    return result;
}

__attribute__((destructor)) static void ended(void) {
    note("(end)");
}
