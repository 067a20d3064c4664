// One-line diagnostics on standard error, each starting with "linkweld: ".
#pragma once

#include <cstdio>
#include <string>

inline void reportProblem(const std::string& message) {
    std::fprintf(stderr, "linkweld: %s\n", message.c_str());
}
