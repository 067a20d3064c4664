// The floor of any generator that replaces its two files durably: read the headers, write as
// many bytes as linkweld writes to two new temporaries, push both to the disk, rename both over
// their targets, and push the directory that took the renames to the disk, as linkweld does. No
// scanning, no formatting.
//   safe_run_floor SOURCE_BYTES HEADER_BYTES HEADER...
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

bool readWhole(const char* path, std::vector<char>& chunk) {
    const int fd = open(path, O_RDONLY);
    if (fd < 0) {
        return false;
    }
    ssize_t count = 0;
    while ((count = read(fd, chunk.data(), chunk.size())) > 0) {
    }
    close(fd);
    return count == 0;
}

bool writeDurably(const char* temporary, const char* target, long size,
                  const std::vector<char>& chunk) {
    const int fd = open(temporary, O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0) {
        return false;
    }
    bool ok = true;
    for (long left = size; ok && left > 0;) {
        const long piece = left < static_cast<long>(chunk.size()) ? left : chunk.size();
        ok = write(fd, chunk.data(), piece) == piece;
        left -= piece;
    }
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    return ok && std::rename(temporary, target) == 0;
}

// The renames reach the disk with the directory.
bool syncDirectory(const char* path) {
    const int fd = open(path, O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        return false;
    }
    const bool ok = fsync(fd) == 0;
    return close(fd) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: safe_run_floor SOURCE_BYTES HEADER_BYTES HEADER...\n");
        return 2;
    }
    std::vector<char> chunk(1 << 16, 'x');
    for (int i = 3; i < argc; ++i) {
        if (!readWhole(argv[i], chunk)) {
            std::perror(argv[i]);
            return 1;
        }
    }
    if (!writeDurably(".floor.cpp.tmp", "floor.cpp", std::atol(argv[1]), chunk) ||
        !writeDurably(".floor.h.tmp", "floor.h", std::atol(argv[2]), chunk) ||
        !syncDirectory(".")) {
        std::perror("safe_run_floor");
        return 1;
    }
    return 0;
}
