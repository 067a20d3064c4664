// Test helpers; POSIX process control is fine here, the tool itself uses none.
#include "tests/test_support.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "scan/header_scanner.h"

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "linkweld-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool fileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() !=
           std::filesystem::file_type::not_found;
}

SymbolTables scanBytes(std::string_view bytes, const ScanOptions& options, std::size_t chunkSize) {
    SymbolTables tables;
    HeaderScan scan(tables, "header.h", Api::gl, options);
    const std::size_t step = chunkSize == 0 ? bytes.size() + 1 : chunkSize;
    for (std::size_t at = 0; at < bytes.size(); at += step) {
        scan.feed(bytes.substr(at, step));
    }
    scan.finish();
    return tables;
}

RunResult runLinkweld(const std::string& directory, const std::vector<std::string>& args,
                      const RunOptions& options) {
    TempDir capture;
    const std::string outPath = capture.file("stdout");
    const std::string errPath = capture.file("stderr");
    std::vector<std::string> argvStrings{"linkweld"};
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : argvStrings) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 ||
            chdir(directory.c_str()) != 0) {
            _exit(127);
        }
        const auto limit = [](int resource, long bytes) {
            const rlimit value{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
            if (bytes > 0) {
                setrlimit(resource, &value);
            }
        };
        limit(RLIMIT_AS, options.addressSpaceLimit);
        limit(RLIMIT_FSIZE, options.fileSizeLimit);
        std::signal(SIGXFSZ, options.ignoreFileSizeSignal ? SIG_IGN : SIG_DFL);
        umask(static_cast<mode_t>(options.umask));
        if (options.fullStandardOutput) {
            dup2(open("/dev/full", O_WRONLY), 1);
        }
        execv(LINKWELD_EXE, argv.data());
        _exit(127);
    }
    RunResult result;
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) {
        throw std::runtime_error("cannot run linkweld");
    }
    if (WIFEXITED(status)) {
        result.exitStatus = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

std::vector<std::string> listDirectory(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string sourcePath(const std::string& relative) {
    return std::string(LINKWELD_SOURCE_DIR) + "/" + relative;
}

std::string examplesWarning() {
    return sourcePath("examples/glext.h") +
           ":41: warning: 1 prototype skipped, the return type being several words: glGetStringi "
           "at line 41; --all-prototypes reads them\n";
}
