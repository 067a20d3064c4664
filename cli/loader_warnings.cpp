// The checks between scanning and rendering: each words one kind of problem in what scan/ found.
#include "cli/loader_warnings.h"

#include <string>
#include <vector>

#include "cli/messages.h"
#include "scan/prototype_forms.h"
#include "tables/apis.h"
#include "tables/ascii.h"
#include "tables/repeated_names.h"

namespace {

constexpr std::size_t kWarningsPerKind = 10;

// Counts the warnings of one kind: only the first few are written, then how many more there were.
struct WarningCap {
    Arg kind;  // as in "4521 more names declared again"
    std::size_t count = 0;

    bool admit() { return ++count <= kWarningsPerKind; }
};

void reportRest(const WarningCap& cap) {
    if (cap.count > kWarningsPerKind) {
        report(Message::moreOfKind, {number(cap.count - kWarningsPerKind), cap.kind});
    }
}

// "1 prototype", "10 prototypes".
Arg counted(std::size_t count, const char* noun) {
    return text(std::to_string(count) + " " + noun + (count == 1 ? "" : "s"));
}

const std::string& pathOf(const SymbolTables& tables, const Place& place) {
    return tables.headers[place.header].path;
}

// For each header, the first that is the same file: itself, unless it is named again.
std::vector<std::uint32_t> firstNamings(const Platform& platform, const SymbolTables& tables) {
    const std::vector<HeaderRecord>& headers = tables.headers;
    std::vector<std::uint32_t> first(headers.size());
    for (std::uint32_t i = 0; i < headers.size(); ++i) {
        first[i] = i;
        for (std::uint32_t j = 0; j < i && first[i] == i; ++j) {
            if (headers[j].path == headers[i].path ||
                platform.sameFile(headers[j].path, headers[i].path)) {
                first[i] = first[j];
            }
        }
    }
    return first;
}

// A header named again repeats every name of its own; one warning says so, not one per name.
void warnAboutRepeats(const SymbolTables& tables, const std::vector<const NameList*>& lists,
                      const std::vector<std::uint32_t>& firstNaming, WarningCap& cap) {
    findRepeatedNames(lists, [&](const RepeatedName& repeat) {
        const std::uint32_t header = repeat.place.header;
        const bool namedAgain = header != repeat.earlier.header &&
                                firstNaming[header] == firstNaming[repeat.earlier.header];
        if (!namedAgain && cap.admit()) {
            reportAt(Message::declaredAgain, pathOf(tables, repeat.place), repeat.place.line,
                     {shownName((*repeat.list)[repeat.entry]), path(pathOf(tables, repeat.earlier)),
                      number(repeat.earlier.line)});
        }
    });
}

void warnAboutNonIdentifiers(const SymbolTables& tables, const NameList& list, WarningCap& cap) {
    // Judged once per distinct name, then reported at each place it was read.
    std::vector<char> identifier(list.distinctCount());
    for (std::uint32_t name = 0; name < identifier.size(); ++name) {
        identifier[name] = isIdentifier(list.distinct(name));
    }
    list.forEachEntry([&](std::size_t, std::uint32_t name, const Place& place) {
        if (!identifier[name] && cap.admit()) {
            reportAt(Message::notIdentifier, pathOf(tables, place), place.line,
                     {quotedName(list.distinct(name))});
        }
    });
}

// The form of any prototype: "\"[GLAPI|extern] type... APIENTRY|WINAPI name(\"".
Arg anyPrototypeName() {
    std::string leads;
    std::string keywords;
    for (const PrototypeWords& words : kPrototypeWords) {
        leads += (leads.empty() ? "" : "|") + std::string(words.lead);
        keywords += (keywords.empty() ? "" : "|") + std::string(words.keyword);
    }
    return part(Message::formAnyPrototype, {text(leads), text(keywords)});
}

// How warnings name a form: "\"GLAPI type APIENTRY name\"".
Arg formName(const FormIdentity& form) {
    switch (form.kind) {
        case FormKind::define:
            return part(Message::formDefine);
        case FormKind::fixedPrototype:
            return part(Message::formPrototype,
                        {text(form.words->lead), text(form.words->keyword)});
        case FormKind::anyPrototype:
            return anyPrototypeName();
    }
    return {};
}

// "a", "a and b", "a, b and c"; `last` joins the last two.
Arg listed(const std::vector<Arg>& items, const char* last) {
    Arg list;
    for (std::size_t i = 0; i < items.size(); ++i) {
        list += text(i == 0 ? "" : i + 1 < items.size() ? ", " : last);
        list += items[i];
    }
    return list;
}

// The forms a scan with `options` reads, or only those of prototypes.
Arg formsRecognised(const ScanOptions& options, bool prototypesOnly = false) {
    std::vector<Arg> names;
    for (const FormIdentity& form : formsRead(options, prototypesOnly)) {
        names.push_back(formName(form));
    }
    return listed(names, prototypesOnly ? " or " : " and ");
}

// The prototype forms that --all-prototypes also reads without their lead: "\"type WINAPI name\"".
Arg leadlessForms() {
    std::vector<Arg> names;
    for (const PrototypeWords& words : kPrototypeWords) {
        if (words.leadOptional) {
            names.push_back(part(Message::formLeadless, {text(words.keyword)}));
        }
    }
    return listed(names, " or ");
}

// "glMapBuffer at line 537, glFoo at line 600, ..."
Arg skippedExamples(const HeaderRecord& header) {
    Arg examples;
    for (const SkippedPrototype& prototype : header.firstSkipped) {
        if (!examples.segments.empty()) {
            examples += text(", ");
        }
        examples += shownName(prototype.name);
        examples += text(" at line " + std::to_string(prototype.line));
    }
    if (header.prototypesSkipped > header.firstSkipped.size()) {
        examples += text(", ...");
    }
    return examples;
}

// The caps of the warnings about single headers.
struct HeaderCaps {
    WarningCap empty{part(Message::kindAddsNothing)};
    PerApi<WarningCap> noEntryPoints;
    WarningCap skipped{part(Message::kindSkipped)};
};

void warnAboutHeader(const HeaderRecord& header, const ScanOptions& options, HeaderCaps& caps) {
    const Arg name = quotedName(header.path);
    if (header.extensionsAdded == 0 && header.entryPointsAdded == 0) {
        if (caps.empty.admit()) {
            report(Message::addsNothing, {name, formsRecognised(options)});
        }
    } else if (apiRow(header.api).warnWithoutEntryPoints && header.entryPointsAdded == 0 &&
               caps.noEntryPoints[header.api].admit()) {
        report(Message::noEntryPoint,
               {name, counted(header.extensionsAdded, "extension"), formsRecognised(options, true),
                options.allPrototypes ? Arg{} : part(Message::leadlessHint, {leadlessForms()})});
    }
    if (header.prototypesSkipped > 0 && caps.skipped.admit()) {
        reportAt(Message::prototypesSkipped, header.path, header.firstSkipped[0].line,
                 {counted(header.prototypesSkipped, "prototype"),
                  part(options.allPrototypes ? Message::noFormReads : Message::severalWords),
                  skippedExamples(header),
                  options.allPrototypes ? Arg{} : part(Message::optionReadsThem)});
    }
}

}  // namespace

void warnAboutLoader(const Platform& platform, const SymbolTables& tables,
                     const ScanOptions& options) {
    // Every api's extensions share one namespace, and every api's entry points another.
    std::vector<const NameList*> extensions;
    std::vector<const NameList*> entryPoints;
    for (const ApiRow& api : kApis) {
        extensions.push_back(&tables.extensions[api.api]);
        entryPoints.push_back(&tables.entryPoints[api.api]);
    }
    const std::vector<std::uint32_t> firstNaming = firstNamings(platform, tables);
    for (std::uint32_t i = 0; i < firstNaming.size(); ++i) {
        if (firstNaming[i] != i) {
            report(Message::namedAgain, {quotedName(tables.headers[i].path)});
        }
    }
    WarningCap repeats{part(Message::kindDeclaredAgain)};
    warnAboutRepeats(tables, extensions, firstNaming, repeats);
    warnAboutRepeats(tables, entryPoints, firstNaming, repeats);
    reportRest(repeats);

    WarningCap nonIdentifiers{part(Message::kindNotIdentifiers)};
    for (const std::vector<const NameList*>* lists : {&extensions, &entryPoints}) {
        for (const NameList* list : *lists) {
            warnAboutNonIdentifiers(tables, *list, nonIdentifiers);
        }
    }
    reportRest(nonIdentifiers);

    HeaderCaps caps;
    for (const ApiRow& api : kApis) {
        caps.noEntryPoints[api.api].kind = part(Message::kindNoEntryPoint, {text(api.flag)});
    }
    for (std::uint32_t i = 0; i < tables.headers.size(); ++i) {
        if (firstNaming[i] == i) {
            warnAboutHeader(tables.headers[i], options, caps);
        }
    }
    reportRest(caps.empty);
    for (const WarningCap& cap : caps.noEntryPoints) {
        reportRest(cap);
    }
    reportRest(caps.skipped);
}
