// Opening a file for reading by its name as linkweld holds it (UTF-8 on Windows), closed when
// its handle goes.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Binary mode on every host; null with errno set when the file cannot be opened.
FileHandle openForReading(const std::string& path);
