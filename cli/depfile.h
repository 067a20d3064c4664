// --depfile: a make rule that names what a run read, for build tools to rerun linkweld when one
// of those files changes.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

// Writes at `path` the rule "PATH: PREREQUISITE...", the file itself its target, so that a
// build tool can take it as the run's stamp: it is written anew by every run that writes the
// pair, whether or not the pair changed. Blanks, "#", ":" and "$" in names are escaped as make
// reads them. False, having said why, when it cannot be written or a name cannot be carried.
bool writeDepfile(const Platform& platform, const std::string& path,
                  const std::vector<std::string>& prerequisites);
