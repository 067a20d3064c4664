/* What a fresh page costs on this machine: maps PAGES pages of anonymous memory, writes one byte
 * to each, and prints the time per page, the mapping included; medians of RUNS rounds, each
 * with a mapping of its own. A run of linkweld touches some hundreds of pages; where a first
 * touch costs microseconds, they weigh as much as the scan.
 *   cc -O2 -o fresh_pages bench/fresh_pages.c && ./fresh_pages [PAGES] [RUNS] */
#include <stdio.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

static double seconds(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec + (double)now.tv_nsec / 1e9;
}

static int ascending(const void* a, const void* b) {
    const double x = *(const double*)a;
    const double y = *(const double*)b;
    return (x > y) - (x < y);
}

int main(int argc, char** argv) {
    const long pages = argc > 1 ? atol(argv[1]) : 100;
    const int runs = argc > 2 ? atoi(argv[2]) : 15;
    const long size = sysconf(_SC_PAGESIZE);
    if (pages < 1 || runs < 1 || runs > 1000) {
        fprintf(stderr, "usage: fresh_pages [PAGES] [RUNS <= 1000]\n");
        return 2;
    }
    double perPage[1000];
    for (int run = 0; run < runs; ++run) {
        const double start = seconds();
        char* bytes = mmap(NULL, (size_t)(pages * size), PROT_READ | PROT_WRITE,
                           MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (bytes == MAP_FAILED) {
            perror("mmap");
            return 1;
        }
        for (long page = 0; page < pages; ++page) {
            bytes[page * size] = 1;
        }
        perPage[run] = (seconds() - start) / (double)pages;
        munmap(bytes, (size_t)(pages * size));
    }
    qsort(perPage, (size_t)runs, sizeof perPage[0], ascending);
    printf("%ld fresh pages of %ld bytes: %.2f us a page (median of %d)\n", pages, size,
           perPage[runs / 2] * 1e6, runs);
    return 0;
}
