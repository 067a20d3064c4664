// The names a program keeps, and the lists cut down to them.
#include "tables/kept_names.h"

namespace {

bool declared(const SymbolTables& tables, std::string_view name) {
    for (const ApiRow& api : kApis) {
        if (tables.extensions[api.api].find(name) != NameList::npos ||
            tables.entryPoints[api.api].find(name) != NameList::npos) {
            return true;
        }
    }
    return false;
}

NameList keptOf(const NameList& list, const std::unordered_set<std::string>& kept) {
    NameList result;
    list.forEachEntry([&](std::size_t, std::uint32_t name, const Place& place) {
        const std::string_view text = list.distinct(name);
        if (kept.count(std::string(text)) != 0) {
            result.append(text, place);
        }
    });
    return result;
}

}  // namespace

NamesKept namesKeptBy(const SymbolTables& tables, std::string_view identifier) {
    NamesKept names{};
    if (declared(tables, identifier)) {
        names[0] = identifier;
        return names;
    }
    // A flag member, "fl" and an extension's name, as EXTCAPS and ExtCaps.fl... spell it.
    const std::string_view flag = identifier.substr(0, 2) == "fl" ? identifier.substr(2) : "";
    for (const ApiRow& api : kApis) {
        if (!flag.empty() && tables.extensions[api.api].find(flag) != NameList::npos) {
            names[0] = flag;
            return names;
        }
    }
    // An entry point's member in a table of --contexts, its name less the api's prefix, as a call
    // through a table spells it ("table->gl.BindBuffer"); each api's table may have one.
    for (const ApiRow& api : kApis) {
        const NameList& entryPoints = tables.entryPoints[api.api];
        const std::size_t entry =
            tables.contexts
                ? entryPoints.find(std::string(api.entryPrefix) + std::string(identifier))
                : NameList::npos;
        if (entry != NameList::npos && memberName(entryPoints[entry], api.api) == identifier) {
            names[indexOf(api.api)] = entryPoints[entry];
        }
    }
    return names;
}

void keepOnly(SymbolTables& tables, const std::unordered_set<std::string>& kept) {
    for (const ApiRow& api : kApis) {
        tables.extensions[api.api] = keptOf(tables.extensions[api.api], kept);
        tables.entryPoints[api.api] = keptOf(tables.entryPoints[api.api], kept);
    }
    tables.subset = true;
}

bool holdsNamesOf(const SymbolTables& tables, Api api) {
    return !tables.extensions[api].empty() || !tables.entryPoints[api].empty();
}
