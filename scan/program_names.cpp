// Identifiers of a program's files, found a byte at a time through a fixed buffer, so a file of
// any size or a line of any length reads in bounded memory.
#include "scan/program_names.h"

#include <cerrno>

#include "scan/open_file.h"
#include "tables/ascii.h"

namespace {

// Where a line stands: nothing seen yet, one identifier alone so far, or anything else.
enum class LineShape { blank, comment, oneName, other };

struct Reader {
    std::size_t longest;
    const std::function<void(std::string_view)>& found;
    ProgramFile& file;
    std::string token;
    bool inToken = false;
    bool tooLong = false;
    bool afterDigit = false;  // the token began with a digit: a number, not a name
    LineShape shape = LineShape::blank;
    std::uint32_t line = 1;

    void endToken() {
        const bool name = inToken && !tooLong && !afterDigit;
        if (name) {
            found(token);
        }
        if (name && shape == LineShape::blank) {
            shape = LineShape::oneName;
            if (file.isList) {
                file.listed.push_back({token, line});
            }
        } else if (inToken && shape != LineShape::comment) {
            shape = LineShape::other;
        }
        token.clear();
        inToken = tooLong = afterDigit = false;
    }

    void endLine() {
        endToken();
        if (shape == LineShape::other) {
            file.isList = false;
            file.listed.clear();
        }
        shape = LineShape::blank;
        ++line;
    }

    void take(char c) {
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
        } else if (c == '#' && shape == LineShape::blank) {
            shape = LineShape::comment;
        } else if (!isWhitespace(c) && shape != LineShape::comment) {
            shape = LineShape::other;
        }
    }
};

}  // namespace

std::error_code readProgramNames(const std::string& path, std::size_t longest,
                                 const std::function<void(std::string_view)>& found,
                                 ProgramFile& file) {
    const FileHandle input = openForReading(path);
    if (!input) {
        return {errno, std::generic_category()};
    }
    Reader reader{longest, found, file, {}};
    char chunk[1 << 16];
    std::size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, input.get())) > 0) {
        for (std::size_t i = 0; i < count; ++i) {
            reader.take(chunk[i]);
        }
    }
    if (std::ferror(input.get())) {
        return {errno ? errno : EIO, std::generic_category()};
    }
    reader.endLine();
    return {};
}
