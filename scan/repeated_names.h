// Names that lists share one namespace for in the generated code, declared more than once:
// extension names give map_ functions and fl members, entry-point names give pointer variables.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "scan/name_list.h"

// Entry `entry` of `list`, whose name was declared before at `earlier`.
struct RepeatedName {
    const NameList* list;
    std::size_t entry;
    Place earlier;
};

// Calls found() for every entry of each list, in order, whose name an earlier list holds (naming
// its first place in the first such list) or an earlier entry of its own list does.
void findRepeatedNames(const std::vector<const NameList*>& lists,
                       const std::function<void(const RepeatedName&)>& found);
