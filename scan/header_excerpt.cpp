// A header's declarations of the names a subset needs, taken with their conditionals.
#include "scan/header_excerpt.h"

#include <unordered_map>

#include "scan/declaration_lines.h"

namespace {

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
std::vector<std::string> writtenWithConditionals(const std::vector<HeaderLine>& lines,
                                                 const std::vector<char>& taken) {
    std::vector<std::string> out;
    std::vector<std::vector<std::string_view>> open;  // each level's #if and its #elif/#else
    std::vector<std::size_t> written;                 // of the levels written, how much of each
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const HeaderLine& line = lines[i];
        if (line.kind == LineKind::open) {
            open.push_back({line.text});
        } else if (line.kind == LineKind::branch && !open.empty()) {
            open.back().push_back(line.text);
        } else if (line.kind == LineKind::close && !open.empty()) {
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
    std::vector<std::vector<HeaderLine>> lines;
    std::unordered_map<std::string_view, std::size_t> last;
    std::vector<Link> chain;
};

void HeaderIndexDeleter::operator()(const HeaderIndex* index) const {
    delete index;
}

HeaderIndexPtr indexHeaders(const std::vector<std::string_view>& texts) {
    std::unique_ptr<HeaderIndex> index(new HeaderIndex);
    for (const std::string_view text : texts) {
        index->lines.push_back(declarationLines(text));
        const std::vector<HeaderLine>& lines = index->lines.back();
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
    const std::vector<std::vector<HeaderLine>>& lines = index.lines;
    const auto& last = index.last;
    const auto& chain = index.chain;
    std::vector<std::vector<char>> taken;
    for (const std::vector<HeaderLine>& header : lines) {
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
            const HeaderLine& line = lines[at.header][at.line];
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
            taken[h][i] = taken[h][i] || (any && lines[h][i].kind == LineKind::include);
        }
        out.push_back(writtenWithConditionals(lines[h], taken[h]));
    }
    return out;
}
