/* Measures how long a run's pair is mixed: a library preloaded into linkweld that notes the time
 * around each rename and directory fsync, appended to the file named by RENAME_WINDOW_LOG.
 * bench/rename_window.sh builds it and sums up many runs. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

static void note(const char* what) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const char* log = getenv("RENAME_WINDOW_LOG");
    FILE* file = log ? fopen(log, "a") : NULL;
    if (file) {
        fprintf(file, "%s %lld.%09ld\n", what, (long long)now.tv_sec, now.tv_nsec);
        fclose(file);
    }
}

int rename(const char* from, const char* to) {
    static int (*real)(const char*, const char*);
    if (!real) {
        real = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
    }
    note("rename-start");
    const int result = real(from, to);
    note("rename-end");
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
        note("directory-synced");
    }
    return result;
}
