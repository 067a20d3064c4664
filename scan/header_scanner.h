// Reads OpenGL extension headers into extension and entry-point lists.
#pragma once

#include <string>
#include <string_view>

#include "scan/symbol_tables.h"

// Appends what one header line declares: the name of a "#define GL_... 1" or
// "#define WGL_... 1" line, or the entry point of a "GLAPI type APIENTRY name" or
// "extern type WINAPI name" prototype. Any other line adds nothing.
void scanLine(std::string_view line, ExtensionList& extensions, EntryPointList& entryPoints);

// Scans every line of the file at `path`. Returns false, with the system's reason in `failure`,
// when the file cannot be opened or a read fails; what was appended before a read error stays.
bool scanHeader(const std::string& path, ExtensionList& extensions, EntryPointList& entryPoints,
                std::string& failure);
