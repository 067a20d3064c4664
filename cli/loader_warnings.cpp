// The checks between scanning and emission: each finds one kind of problem and reports it.
#include "cli/loader_warnings.h"

#include <string>
#include <string_view>
#include <vector>

#include "cli/diagnostic.h"
#include "scan/ascii.h"

namespace {

constexpr std::size_t kWarningsPerKind = 10;

// Counts the warnings of one kind: only the first few are written, then how many more there were.
struct WarningCap {
    const char* what;  // the kind, as in "4521 more names declared again"
    std::size_t count = 0;

    bool admit() { return ++count <= kWarningsPerKind; }
};

void reportRest(const WarningCap& cap) {
    if (cap.count > kWarningsPerKind) {
        reportWarning("%s more %s", std::to_string(cap.count - kWarningsPerKind).c_str(), cap.what);
    }
}

// "1 prototype", "10 prototypes".
std::string counted(std::size_t count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// A name as it is shown: bare when it is an identifier, quoted and escaped otherwise.
std::string shown(std::string_view name) {
    return isIdentifier(name) ? std::string(name) : quoted(name);
}

const std::string& pathOf(const SymbolTables& tables, const Place& place) {
    return tables.headers[place.header].path;
}

void warnAboutRepeat(const SymbolTables& tables, const NameList& list, std::size_t entry,
                     const Place& before, WarningCap& cap) {
    if (cap.admit()) {
        const Place& place = list.place(entry);
        warningAt(pathOf(tables, place), place.line,
                  "%s already declared at %s:%u; the generated code will define it twice",
                  shown(list[entry]).c_str(), escaped(pathOf(tables, before)).c_str(),
                  static_cast<unsigned>(before.line));
    }
}

// Names that two lists share a namespace for in the generated code: extension names give map_
// functions and fl members, entry-point names give pointer variables. Each list knows the first
// entry of each of its distinct names, so only the second list's names are looked up in the first.
void warnAboutRepeats(const SymbolTables& tables, const NameList& first, const NameList& second,
                      WarningCap& cap) {
    std::size_t i = 0;
    for (const NameList::Entry& entry : first.entries) {
        const std::size_t earliest = first.first[entry.name];
        if (earliest != i) {
            warnAboutRepeat(tables, first, i, first.place(earliest), cap);
        }
        ++i;
    }
    // Where each distinct name of the second list first stands in the first, if it does.
    std::vector<const Place*> inFirst(second.ends.size(), nullptr);
    for (std::uint32_t name = 0; name < inFirst.size(); ++name) {
        std::uint32_t found = 0;
        if (first.find(second.distinct(name), found)) {
            inFirst[name] = &first.place(first.first[found]);
        }
    }
    i = 0;
    for (const NameList::Entry& entry : second.entries) {
        if (inFirst[entry.name]) {
            warnAboutRepeat(tables, second, i, *inFirst[entry.name], cap);
        } else if (second.first[entry.name] != i) {
            warnAboutRepeat(tables, second, i, second.place(second.first[entry.name]), cap);
        }
        ++i;
    }
}

void warnAboutNonIdentifiers(const SymbolTables& tables, const NameList& list, WarningCap& cap) {
    // Judged once per distinct name, then reported at each place it was read.
    std::vector<char> identifier(list.ends.size());
    for (std::uint32_t name = 0; name < identifier.size(); ++name) {
        identifier[name] = isIdentifier(list.distinct(name));
    }
    for (const NameList::Entry& entry : list.entries) {
        if (!identifier[entry.name] && cap.admit()) {
            warningAt(pathOf(tables, entry.place), entry.place.line,
                      "%s is not a C identifier; the generated code will not compile",
                      quoted(list.distinct(entry.name)).c_str());
        }
    }
}

// What the run reads, for the warnings that suggest more.
struct ReadingHints {
    std::string forms;       // every form the run reads
    std::string prototypes;  // the prototype forms alone
    bool allPrototypes;
};

void warnAboutHeader(const HeaderRecord& header, const ReadingHints& hints, WarningCap& empty,
                     WarningCap& noEntryPoints, WarningCap& skipped) {
    const std::string path = quoted(header.path);
    const char* const more = hints.allPrototypes ? "" : "; --all-prototypes reads them";
    if (header.extensionsAdded == 0 && header.entryPointsAdded == 0) {
        if (empty.admit()) {
            reportWarning("%s adds nothing; the line forms recognised are %s", path.c_str(),
                          hints.forms.c_str());
        }
    } else if (header.api == Api::wgl && header.entryPointsAdded == 0 && noEntryPoints.admit()) {
        reportWarning(
            "%s adds %s but no entry point; prototypes are recognised only as %s%s", path.c_str(),
            counted(header.extensionsAdded, "extension").c_str(), hints.prototypes.c_str(),
            hints.allPrototypes ? "" : "; --all-prototypes also reads \"type WINAPI name\"");
    }
    if (header.prototypesSkipped > 0 && skipped.admit()) {
        std::string examples;
        for (const SkippedPrototype& prototype : header.firstSkipped) {
            examples += (examples.empty() ? "" : ", ") + shown(prototype.name) + " at line " +
                        std::to_string(prototype.line);
        }
        const bool others = header.prototypesSkipped > header.firstSkipped.size();
        warningAt(header.path, header.firstSkipped[0].line, "%s skipped, %s: %s%s%s",
                  counted(header.prototypesSkipped, "prototype").c_str(),
                  hints.allPrototypes ? "written in no form linkweld reads"
                                      : "the return type being several words",
                  examples.c_str(), others ? ", ..." : "", more);
    }
}

}  // namespace

void warnAboutLoader(const SymbolTables& tables, const ScanOptions& options) {
    WarningCap repeats{"names declared again"};
    warnAboutRepeats(tables, tables.glExtensions, tables.wglExtensions, repeats);
    warnAboutRepeats(tables, tables.glEntryPoints, tables.wglEntryPoints, repeats);
    reportRest(repeats);

    WarningCap nonIdentifiers{"names that are not C identifiers"};
    for (const NameList* list : {&tables.glExtensions, &tables.wglExtensions, &tables.glEntryPoints,
                                 &tables.wglEntryPoints}) {
        warnAboutNonIdentifiers(tables, *list, nonIdentifiers);
    }
    reportRest(nonIdentifiers);

    WarningCap empty{"headers that add nothing"};
    WarningCap noEntryPoints{"-wgl headers without entry points"};
    WarningCap skipped{"headers with skipped prototypes"};
    const ReadingHints hints{formNames(options), formNames(options, true), options.allPrototypes};
    for (const HeaderRecord& header : tables.headers) {
        warnAboutHeader(header, hints, empty, noEntryPoints, skipped);
    }
    for (const WarningCap* cap : {&empty, &noEntryPoints, &skipped}) {
        reportRest(*cap);
    }
}
