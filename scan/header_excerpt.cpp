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

// The header's lines that may be written: a line ending in a backslash goes on to the next, and
// a typedef to its ';', at most 256 lines on.
std::vector<Line> linesOf(std::string_view text) {
    std::vector<Line> lines;
    lines.reserve(text.size() / 64);
    std::size_t start = 0;
    while (start < text.size()) {
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

std::vector<std::string> excerptOf(std::string_view text, Names wanted, Names& declared,
                                   const std::function<bool(std::string_view)>& isGuard) {
    const std::vector<Line> lines = linesOf(text);
    // The declarations of each name: its first, and each one's next, as indexes into `chain`.
    std::unordered_map<std::string_view, std::size_t> first;
    first.reserve(lines.size());
    std::vector<std::pair<std::size_t, std::size_t>> chain;  // a line, and the name's next
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (const std::string_view name : lines[i].names) {
            const auto [at, added] = first.emplace(name, chain.size());
            chain.push_back({i, added ? chain.size() : at->second});
            at->second = chain.size() - 1;
        }
    }
    std::unordered_set<std::string_view> seen(wanted.begin(), wanted.end());
    std::vector<std::string_view> work(seen.begin(), seen.end());
    std::vector<char> taken(lines.size(), 0);
    bool any = false;
    while (!work.empty()) {
        const std::string_view name = work.back();
        work.pop_back();
        const auto found = first.find(name);
        for (std::size_t link = found == first.end() ? chain.size() : found->second;
             link < chain.size();
             link = chain[link].second == link ? chain.size() : chain[link].second) {
            const std::size_t i = chain[link].first;
            const Line& line = lines[i];
            bool fresh = false;
            for (const std::string_view declares : line.names) {
                fresh = fresh || declared.count(std::string(declares)) == 0;
            }
            if (taken[i] || !fresh || (line.define && isGuard(name))) {
                continue;
            }
            taken[i] = 1;
            any = true;
            forEachIdentifier(line.text, [&](std::string_view used) {
                if (seen.insert(used).second) {
                    work.push_back(used);
                }
            });
        }
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        taken[i] = taken[i] || (any && lines[i].kind == Kind::include);
        for (const std::string_view name : lines[i].names) {
            if (taken[i]) {
                declared.emplace(name);
            }
        }
    }
    return writtenWithConditionals(lines, taken);
}
