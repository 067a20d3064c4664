// The lines of a header that declare what a subset's header needs, so that it need not include
// the header whole: the typedefs and defines of the names wanted, those of the names they use in
// turn, the header's includes, each within the conditionals that enclose it in the header.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

using Names = std::unordered_set<std::string>;

// Every declaration of the scanned headers, read once for --used-by; the texts it was made from
// must outlive it.
struct HeaderIndex;
struct HeaderIndexDeleter {
    void operator()(const HeaderIndex* index) const;
};
using HeaderIndexPtr = std::unique_ptr<const HeaderIndex, HeaderIndexDeleter>;

// The declarations of `texts`, headers' bytes in order. A line continued by a backslash, or a
// typedef over several lines, is one line; a line in a block comment is none.
HeaderIndexPtr indexHeaders(const std::vector<std::string_view>& texts);

// Whether a typedef or define of one of the headers declares `name`.
bool declares(const HeaderIndex& index, std::string_view name);

// For each header, the lines that declare a name of `wanted`, and those that declare the names
// those lines use, in any of the headers, until nothing more is wanted: a name's declarations are
// taken from the first header that declares it (all of them there, one per branch of its
// conditionals), none from a later one; never a define of a name `isGuard` calls a guard (an
// extension's name: defining it would hide the rest of its block from the whole header included
// later). Each comes within the conditional lines that enclose it in its header, so it is read
// where the header's own would be, and skipped where the header itself was included first; with
// the header's includes when any line of it is taken. A DECLARE_HANDLE(NAME) line is written as
// the typedef it makes, without the struct it defines, so that the header itself may follow.
std::vector<std::vector<std::string>> excerptsOf(
    const HeaderIndex& index, const Names& wanted,
    const std::function<bool(std::string_view)>& isGuard);
