// The output frame: both files checked, opened, filled section by section, flushed and closed.
#include "emit/emit_sources.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "emit/sections.h"

const char kSourceFileName[] = "glEntryHub.cpp";
const char kHeaderFileName[] = "glEntryHub.h";

namespace {

std::string describe(const char* action, const char* name, int error) {
    return std::string("cannot ") + action + " " + name + ": " + std::strerror(error);
}

bool isMissing(const char* name) {
    std::error_code error;
    return std::filesystem::symlink_status(name, error).type() ==
           std::filesystem::file_type::not_found;
}

// Opens `name` for writing without truncating it, to learn whether it can be written at all.
bool probeWritable(const char* name, std::string& failure) {
    std::FILE* file = std::fopen(name, "a");
    if (!file) {
        failure = describe("open", name, errno);
        return false;
    }
    std::fclose(file);
    return true;
}

// Text mode: on Windows every line feed is stored as CR LF.
std::FILE* openForWriting(const char* name, std::string& failure) {
    std::FILE* file = std::fopen(name, "w");
    if (!file) {
        failure = describe("open", name, errno);
    }
    return file;
}

// Flushes and closes `file`, keeping the first failure; returns whether all its writes landed.
bool closeOutput(std::FILE* file, const char* name, std::string& failure) {
    bool ok = std::fflush(file) == 0 && !std::ferror(file);
    const int flushError = errno;
    if (!ok && failure.empty()) {
        failure = describe("write", name, flushError);
    }
    if (std::fclose(file) != 0 && ok) {
        failure = describe("write", name, errno);
        ok = false;
    }
    return ok;
}

}  // namespace

bool emitSources(const SymbolTables& tables, std::string& failure) {
    // Both files are probed before either is truncated, so a file that cannot be opened leaves
    // both as they were; a source file that only the probe created is removed again.
    const bool sourceWasMissing = isMissing(kSourceFileName);
    if (!probeWritable(kSourceFileName, failure)) {
        return false;
    }
    if (!probeWritable(kHeaderFileName, failure)) {
        if (sourceWasMissing) {
            std::remove(kSourceFileName);
        }
        return false;
    }
    std::FILE* source = openForWriting(kSourceFileName, failure);
    if (!source) {
        return false;
    }
    std::FILE* header = openForWriting(kHeaderFileName, failure);
    if (!header) {
        std::fclose(source);
        return false;
    }
    writeBanner(source);
    writeBanner(header);
    writeSourceTables(source, tables);
    writeSourceDiscovery(source);
    writeHeaderBody(header, tables);
    bool ok = closeOutput(source, kSourceFileName, failure);
    ok = closeOutput(header, kHeaderFileName, failure) && ok;
    return ok;
}
