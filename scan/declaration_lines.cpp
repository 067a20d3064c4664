// Reading a header's lines for the declarations a subset's header copies.
#include "scan/declaration_lines.h"

#include "scan/line_pattern.h"

namespace {

bool startsWithWord(std::string_view text, std::string_view word) {
    return text.substr(0, word.size()) == word &&
           (text.size() == word.size() || !isIdentifierByte(text[word.size()]));
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

void classify(HeaderLine& line) {
    std::string_view text = afterWhitespace(line.text);
    if (startsWithWord(text, "typedef")) {
        line.kind = LineKind::declaration;
        line.names = typedefNames(text);
    } else if (startsWithWord(text, "DECLARE_HANDLE")) {
        line.kind = LineKind::declaration;
        line.handle = true;
        forEachIdentifier(text.substr(14), [&](std::string_view name) {
            if (line.names.count == 0) {
                line.names.add(name);
            }
        });
    } else if (!text.empty() && text[0] == '#') {
        text = afterWhitespace(text.substr(1));
        for (const auto& [word, kind] : {std::pair{"ifdef", LineKind::open},
                                         {"ifndef", LineKind::open},
                                         {"if", LineKind::open},
                                         {"elif", LineKind::branch},
                                         {"else", LineKind::branch},
                                         {"endif", LineKind::close},
                                         {"include", LineKind::include}}) {
            if (startsWithWord(text, word)) {
                line.kind = kind;
                return;
            }
        }
        if (startsWithWord(text, "define")) {
            line.kind = LineKind::declaration;
            line.define = true;
            forEachIdentifier(afterWhitespace(text.substr(6)), [&](std::string_view name) {
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

}  // namespace

std::vector<HeaderLine> declarationLines(std::string_view text) {
    std::vector<HeaderLine> lines;
    lines.reserve(text.size() / 64);
    std::size_t start = 0;
    bool inComment = false;  // the line starts inside a block comment
    while (start < text.size()) {
        std::size_t lineEnd = text.find('\n', start);
        lineEnd = lineEnd == std::string_view::npos ? text.size() : lineEnd;
        const std::string_view physical = text.substr(start, lineEnd - start);
        const std::string_view head = afterWhitespace(physical).substr(0, 2);
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
            const std::string_view sofar = afterWhitespace(text.substr(start, content - start));
            const bool continued = content > start && text[content - 1] == '\\';
            const bool openTypedef = startsWithWord(sofar, "typedef") && !typedefEnds(sofar);
            if (feed == text.size() || --more == 0 || !(continued || openTypedef)) {
                HeaderLine line{text.substr(start, content - start)};
                inComment = endsInComment(line.text, false);
                classify(line);
                if (line.kind != LineKind::other) {  // prototypes, comments: nothing to write
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
