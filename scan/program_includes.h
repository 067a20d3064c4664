// The files a program's source includes in quotes, for --used-by to read beside it.
#pragma once

#include <string>
#include <system_error>
#include <vector>

#include "platform/platform.h"
// The names of the `#include "NAME"` lines of the file at `path`, in order: a line whose first
// bytes, blanks aside, are "#", "include" and a quoted name. Angle-bracket includes are the
// system's and are left out. Returns why the file could not be read.
std::error_code quotedIncludes(const Platform& platform, const std::string& path,
                               std::vector<std::string>& names);
