// The lines of a header that declare what a subset's header needs, so that it need not include
// the header whole: the typedefs and defines of the names wanted, those of the names they use in
// turn, the header's includes, each within the conditionals that enclose it in the header.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

using Names = std::unordered_set<std::string>;

// The lines of `text` (a header's bytes) that declare a name of `wanted`, and those that declare
// the names those lines use, until nothing more is wanted; none that declares only names of
// `declared` (already written from an earlier header), nor a define of a name `isGuard` calls a
// guard (an extension's name: defining it would hide the rest of its block from the whole header
// included later). A line continued by a backslash, or a typedef over several lines, is one line.
// Each comes within the conditional lines that enclose it in the header, so it is read where the
// header's own would be, and skipped where the header itself was included first; with the
// header's includes when any line is taken. A DECLARE_HANDLE(NAME) line is written as the typedef
// it makes, without the struct it defines, so that the header itself may follow. Adds to
// `declared` the names the lines declare.
std::vector<std::string> excerptOf(std::string_view text, Names wanted, Names& declared,
                                   const std::function<bool(std::string_view)>& isGuard);
