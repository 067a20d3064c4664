// Identifiers of a program's files, found a byte at a time through a fixed buffer, so a file of
// any size or a line of any length reads in bounded memory.
#include "scan/program_names.h"

#include <cerrno>
#include <set>

#include "scan/open_file.h"
#include "tables/ascii.h"

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// Where a line stands, comments aside (after "#" or "//", where a list has words for people):
// nothing seen yet, one name alone so far, or anything else, which only a source has.
enum class LineShape { blank, oneName, other };

struct Reader {
    std::size_t longest;
    const NameLookup& lookUp;
    ProgramFile& file;
    std::string token = {};
    bool inToken = false;
    bool tooLong = false;
    bool afterDigit = false;  // the token began with a digit: a number, not a name
    bool inComment = false;
    bool slash = false;      // the byte before was a "/" that may start "//"
    bool afterHash = false;  // a "#" began the comment, and its first word is yet to come
    LineShape shape = LineShape::blank;
    std::uint64_t line = 1;
    std::size_t marked = 0;  // bytes of a byte-order mark read at the start
    // The words of comments that name something, which count only if the file turns out to be
    // a source: no more than there are names to keep.
    std::set<std::string> commented = {};

    // A list's name that names nothing: kept once, while few are kept, else counted.
    void unknown() {
        for (const ListedName& listed : file.unknown) {
            if (listed.name == token && listed.cut == tooLong) {
                return;
            }
        }
        if (file.unknown.size() < kUnknownNamesKept) {
            file.unknown.push_back({token, line, tooLong});
        } else {
            ++file.moreUnknown;
        }
    }

    // A preprocessor directive is no list's comment: a header of directives alone (a guard,
    // macros) is a source, and the names of its macros count.
    static bool isDirective(const std::string& word) {
        static const char* const kDirectives[] = {"define", "undef",  "include", "if",
                                                  "ifdef",  "ifndef", "elif",    "else",
                                                  "endif",  "pragma", "error",   "line"};
        for (const char* directive : kDirectives) {
            if (word == directive) {
                return true;
            }
        }
        return false;
    }

    void endToken() {
        if (afterHash && inToken) {
            afterHash = false;
            if (isDirective(token)) {
                shape = LineShape::other;
            }
        }
        // A name longer than any of the tables names nothing, and is not looked up; but it is a
        // name, which a list may hold alone on a line.
        const bool name = inToken && !afterDigit;
        if (name && inComment) {
            if (!tooLong && !file.isList) {
                lookUp(token, true, line);
            } else if (!tooLong && lookUp(token, false, line)) {
                commented.insert(token);
            }
        } else if (name && shape == LineShape::blank) {
            shape = LineShape::oneName;
            if ((tooLong || !lookUp(token, true, line)) && file.isList) {
                unknown();
            }
        } else if (name) {
            if (!tooLong) {
                lookUp(token, true, line);
            }
            shape = LineShape::other;
        } else if (inToken && !inComment) {
            shape = LineShape::other;
        }
        token.clear();
        inToken = tooLong = afterDigit = false;
    }

    void notAList() {
        if (!file.isList) {
            return;
        }
        file.isList = false;
        file.unknown.clear();
        file.moreUnknown = 0;
        for (const std::string& name : commented) {
            lookUp(name, true, line);
        }
        commented.clear();
    }

    void endLine() {
        endToken();
        if (shape == LineShape::other || slash) {
            notAList();
        }
        shape = LineShape::blank;
        inComment = slash = afterHash = false;
        ++line;
    }

    // A byte-order mark, as some editors open a list with: true while the byte is part of it.
    bool partOfMark(char c) {
        if (marked < 3 && c == kByteOrderMark[marked]) {
            ++marked;
            return true;
        }
        if (marked > 0 && marked < 3) {
            shape = LineShape::other;  // the start of one, and then not
        }
        marked = 3;
        return false;
    }

    void feed(char c) {
        if (marked < 3 && partOfMark(c)) {
            return;
        }
        if (slash) {
            slash = false;
            if (c == '/') {
                inComment = true;
                return;
            }
            shape = LineShape::other;  // a "/" alone
        }
        if (isIdentifierByte(c)) {
            if (!inToken) {
                inToken = true;
                afterDigit = isDigit(c);
            }
            if (token.size() < longest) {
                token += c;
            } else {
                tooLong = true;
            }
            return;
        }
        endToken();
        if (c == '\n') {
            endLine();
        } else if (c == '#') {
            afterHash = afterHash || !inComment;
            inComment = true;
        } else if (c == '/' && !inComment) {
            slash = true;
        } else if (!isWhitespace(c) && !inComment) {
            shape = LineShape::other;
        }
    }
};

}  // namespace

std::error_code readProgramNames(const std::string& path, std::size_t longest,
                                 const NameLookup& lookUp, ProgramFile& file,
                                 const Platform& platform) {
    InputFile input = openForReading(platform, path);
    if (!input) {
        return {errno, std::generic_category()};
    }
    Reader reader{longest, lookUp, file};
    char chunk[1 << 16];
    long count = 0;
    while ((count = input.read(chunk, sizeof chunk)) > 0) {
        for (long i = 0; i < count; ++i) {
            reader.feed(chunk[i]);
        }
    }
    if (count < 0) {
        return {errno, std::generic_category()};
    }
    reader.endLine();
    return {};
}
