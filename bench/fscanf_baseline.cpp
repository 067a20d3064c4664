// The naive scan that linkweld is measured against: fscanf reads each line into a fixed buffer
// and sscanf tries the three line patterns, as a C program of the 1990s would.
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fscanf_baseline HEADER\n");
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "r");
    if (!file) {
        std::perror(argv[1]);
        return 1;
    }
    static char line[1024];
    static char first[256];
    static char second[256];
    int value = 0;
    long extensions = 0;
    long entryPoints = 0;
    while (std::fscanf(file, " %1023[^\n]\n", line) == 1) {
        if (std::sscanf(line, "#define %255s %d", first, &value) == 2 && value == 1) {
            ++extensions;
        } else if (std::sscanf(line, "GLAPI %255s APIENTRY %255s", first, second) == 2 ||
                   std::sscanf(line, "extern %255s WINAPI %255s", first, second) == 2) {
            ++entryPoints;
        }
    }
    std::fclose(file);
    std::printf("%ld extensions, %ld entry points\n", extensions, entryPoints);
    return 0;
}
