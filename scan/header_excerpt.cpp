// A header's declarations of the names a subset needs, taken with their conditionals.
#include "scan/header_excerpt.h"

#include <unordered_map>

#include "tables/ascii.h"

namespace {

// The few names one line declares (a struct's typedef may give two or three).
struct LineNames {
    std::string_view at[4];
    std::size_t count = 0;

    void add(std::string_view name) {
        if (count < std::size(at)) {
            at[count++] = name;
        }
    }
    const std::string_view* begin() const { return at; }
    const std::string_view* end() const { return at + count; }
};

enum class Kind : unsigned char { other, open, branch, close, declaration, include };

struct Line {
    std::string_view text;  // as in the header, a continued line's line feeds included
    Kind kind = Kind::other;
    bool define = false;
    bool handle = false;   // DECLARE_HANDLE(NAME)
    LineNames names = {};  // what a declaration declares
};

std::string_view afterBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    return text.substr(i);
}

bool startsWithWord(std::string_view text, std::string_view word) {
    return text.substr(0, word.size()) == word &&
           (text.size() == word.size() || !isIdentifierByte(text[word.size()]));
}

// Calls f(identifier) for each identifier of `text` in order, comments and numbers passed over.
template <class F>
void forEachIdentifier(std::string_view text, F&& f) {
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, 2) == "/*") {
            const std::size_t end = text.find("*/", i + 2);
            i = end == std::string_view::npos ? text.size() : end + 2;
        } else if (text.substr(i, 2) == "//") {
            const std::size_t end = text.find('\n', i);
            i = end == std::string_view::npos ? text.size() : end;
        } else if (isIdentifierByte(text[i])) {
            const std::size_t start = i;
            while (i < text.size() && isIdentifierByte(text[i])) {
                ++i;
            }
            if (!isDigit(text[start])) {
                f(text.substr(start, i - start));
            }
        } else {
            ++i;
        }
    }
}

// Whether a typedef's text is whole: a ';' outside any braces.
bool typedefEnds(std::string_view text) {
    int depth = 0;
    for (const char c : text) {
        depth += (c == '{') - (c == '}');
        if (c == ';' && depth <= 0) {
            return true;
        }
    }
    return false;
}

// What a typedef declares: the names after its closing brace; else the last identifier before
// the first ')' (a pointer to function) or before the ';'.
LineNames typedefNames(std::string_view text) {
    LineNames names;
    const std::size_t brace = text.rfind('}');
    if (brace != std::string_view::npos) {
        forEachIdentifier(text.substr(brace), [&](std::string_view name) { names.add(name); });
        return names;
    }
    const std::size_t paren = text.find(')');
    std::string_view last;
    forEachIdentifier(text.substr(0, paren == std::string_view::npos ? text.find(';') : paren),
                      [&](std::string_view name) { last = name; });
    if (!last.empty()) {
        names.add(last);
    }
    return names;
}

void classify(Line& line) {
    std::string_view text = afterBlanks(line.text);
    if (startsWithWord(text, "typedef")) {
        line.kind = Kind::declaration;
        line.names = typedefNames(text);
    } else if (startsWithWord(text, "DECLARE_HANDLE")) {
        line.kind = Kind::declaration;
        line.handle = true;
        forEachIdentifier(text.substr(14), [&](std::string_view name) {
            if (line.names.count == 0) {
                line.names.add(name);
            }
        });
    } else if (!text.empty() && text[0] == '#') {
        text = afterBlanks(text.substr(1));
        for (const auto& [word, kind] : {std::pair{"ifdef", Kind::open},
                                         {"ifndef", Kind::open},
                                         {"if", Kind::open},
                                         {"elif", Kind::branch},
                                         {"else", Kind::branch},
                                         {"endif", Kind::close},
                                         {"include", Kind::include}}) {
            if (startsWithWord(text, word)) {
                line.kind = kind;
                return;
            }
        }
        if (startsWithWord(text, "define")) {
            line.kind = Kind::declaration;
            line.define = true;
            forEachIdentifier(afterBlanks(text.substr(6)), [&](std::string_view name) {
                if (line.names.count == 0) {
                    line.names.add(name);
                }
            });
        }
    }
}

// Whether a block comment is still open at the end of `line`, which starts inside one or not.
bool endsInComment(std::string_view line, bool inComment) {
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        if (inComment && line[i] == '*' && line[i + 1] == '/') {
            inComment = false;
            ++i;
        } else if (!inComment && line[i] == '/' && line[i + 1] == '/') {
            return false;
        } else if (!inComment && line[i] == '/' && line[i + 1] == '*') {
            inComment = true;
            ++i;
        }
    }
    return inComment;
}

// The header's lines that may be written: a line ending in a backslash goes on to the next, and
// a typedef to its ';', at most 256 lines on; a line that starts in or with a comment is none.
std::vector<Line> linesOf(std::string_view text) {
    std::vector<Line> lines;
    lines.reserve(text.size() / 64);
    std::size_t start = 0;
    bool inComment = false;  // the line starts inside a block comment
    while (start < text.size()) {
        std::size_t lineEnd = text.find('\n', start);
        lineEnd = lineEnd == std::string_view::npos ? text.size() : lineEnd;
        const std::string_view physical = text.substr(start, lineEnd - start);
        const std::string_view head = afterBlanks(physical).substr(0, 2);
        if (inComment || head == "/*" || head == "//") {
            // A comment's lines are no declarations, whatever their first word.
            inComment = endsInComment(physical, inComment);
            start = lineEnd + 1;
            continue;
        }
        std::size_t end = start;
        int more = 256;
        for (;;) {
            std::size_t feed = text.find('\n', end);
            feed = feed == std::string_view::npos ? text.size() : feed;
            std::size_t content = feed;
            if (content > end && text[content - 1] == '\r') {
                --content;
            }
            end = feed;
            const std::string_view sofar = afterBlanks(text.substr(start, content - start));
            const bool continued = content > start && text[content - 1] == '\\';
            const bool openTypedef = startsWithWord(sofar, "typedef") && !typedefEnds(sofar);
            if (feed == text.size() || --more == 0 || !(continued || openTypedef)) {
                Line line{text.substr(start, content - start)};
                inComment = endsInComment(line.text, false);
                classify(line);
                if (line.kind != Kind::other) {  // prototypes, comments: nothing to write
                    lines.push_back(std::move(line));
                }
                break;
            }
            ++end;
        }
        start = end + 1;
    }
    return lines;
}

// A handle type as <windows.h> declares it, but without defining its struct: the header's own
// DECLARE_HANDLE, read after this, then defines it once and repeats the same typedef, where a
// second DECLARE_HANDLE would define the struct twice.
void writeHandle(std::vector<std::string>& out, std::string_view name) {
    const std::string type(name);
    out.insert(out.end(), {"#ifdef STRICT", "typedef struct " + type + "__ *" + type + ";", "#else",
                           "typedef HANDLE " + type + ";", "#endif"});
}

// Writes the taken lines, each after the conditional lines around it in the header that are not
// written yet, and every conditional it opened closed where the header closes it.
std::vector<std::string> writtenWithConditionals(const std::vector<Line>& lines,
                                                 const std::vector<char>& taken) {
    std::vector<std::string> out;
    std::vector<std::vector<std::string_view>> open;  // each level's #if and its #elif/#else
    std::vector<std::size_t> written;                 // of the levels written, how much of each
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.kind == Kind::open) {
            open.push_back({line.text});
        } else if (line.kind == Kind::branch && !open.empty()) {
            open.back().push_back(line.text);
        } else if (line.kind == Kind::close && !open.empty()) {
            if (written.size() == open.size()) {
                out.emplace_back(line.text);
                written.pop_back();
            }
            open.pop_back();
        } else if (taken[i]) {
            for (std::size_t level = 0; level < open.size(); ++level) {
                if (level == written.size()) {
                    written.push_back(0);
                }
                for (; written[level] < open[level].size(); ++written[level]) {
                    out.emplace_back(open[level][written[level]]);
                }
            }
            if (line.handle) {
                writeHandle(out, line.names.at[0]);
            } else {
                out.emplace_back(line.text);
            }
        }
    }
    out.insert(out.end(), written.size(), "#endif");
    return out;
}

}  // namespace

// Every declaration of each name, in all the headers: the last one found, and each one's
// previous (itself for the first), as indexes into `chain`.
struct HeaderIndex {
    struct Link {
        std::size_t header;
        std::size_t line;
        std::size_t previous;
    };
    std::vector<std::vector<Line>> lines;
    std::unordered_map<std::string_view, std::size_t> last;
    std::vector<Link> chain;
};

void HeaderIndexDeleter::operator()(const HeaderIndex* index) const {
    delete index;
}

HeaderIndexPtr indexHeaders(const std::vector<std::string_view>& texts) {
    std::unique_ptr<HeaderIndex> index(new HeaderIndex);
    for (const std::string_view text : texts) {
        index->lines.push_back(linesOf(text));
        const std::vector<Line>& lines = index->lines.back();
        for (std::size_t i = 0; i < lines.size(); ++i) {
            for (const std::string_view name : lines[i].names) {
                const auto [at, added] = index->last.emplace(name, index->chain.size());
                index->chain.push_back(
                    {index->lines.size() - 1, i, added ? index->chain.size() : at->second});
                at->second = index->chain.size() - 1;
            }
        }
    }
    return HeaderIndexPtr(index.release());
}

bool declares(const HeaderIndex& index, std::string_view name) {
    return index.last.count(name) > 0;
}

std::vector<std::vector<std::string>> excerptsOf(
    const HeaderIndex& index, const Names& wanted,
    const std::function<bool(std::string_view)>& isGuard) {
    const std::vector<std::vector<Line>>& lines = index.lines;
    const auto& last = index.last;
    const auto& chain = index.chain;
    std::vector<std::vector<char>> taken;
    for (const std::vector<Line>& header : lines) {
        taken.emplace_back(header.size(), 0);
    }
    std::unordered_set<std::string_view> seen(wanted.begin(), wanted.end());
    std::vector<std::string_view> work(seen.begin(), seen.end());
    while (!work.empty()) {
        const std::string_view name = work.back();
        work.pop_back();
        const auto found = last.find(name);
        if (found == last.end()) {
            continue;
        }
        // The declarations of the first header that has one, the others' left out.
        std::size_t firstHeader = chain[found->second].header;
        for (std::size_t link = found->second;; link = chain[link].previous) {
            firstHeader = std::min(firstHeader, chain[link].header);
            if (chain[link].previous == link) {
                break;
            }
        }
        for (std::size_t link = found->second;; link = chain[link].previous) {
            const HeaderIndex::Link& at = chain[link];
            const Line& line = lines[at.header][at.line];
            if (at.header == firstHeader && !taken[at.header][at.line] &&
                !(line.define && isGuard(name))) {
                taken[at.header][at.line] = 1;
                forEachIdentifier(line.text, [&](std::string_view used) {
                    if (seen.insert(used).second) {
                        work.push_back(used);
                    }
                });
            }
            if (at.previous == link) {
                break;
            }
        }
    }
    std::vector<std::vector<std::string>> out;
    for (std::size_t h = 0; h < lines.size(); ++h) {
        bool any = false;
        for (const char line : taken[h]) {
            any = any || line;
        }
        for (std::size_t i = 0; i < lines[h].size(); ++i) {
            taken[h][i] = taken[h][i] || (any && lines[h][i].kind == Kind::include);
        }
        out.push_back(writtenWithConditionals(lines[h], taken[h]));
    }
    return out;
}
