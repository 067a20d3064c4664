// Several contexts and threads, for a pair generated with linkweld --contexts: each context gets
// a LinkweldTable of its own pointers and flags, and the usual names (glBindBuffer,
// EXTCAPS(GL_ARB_...), ExtCaps) reach the table current on the calling thread. Shipped with
// linkweld; the generated glEntryHub.h includes it after LinkweldTable, and the checked units
// (glEntryHubChecked.cpp, glEntryHubCChecked.cpp) define it. See doc/contexts.md.
#ifndef LINKWELD_GL_ENTRY_HUB_CONTEXTS_H
#define LINKWELD_GL_ENTRY_HUB_CONTEXTS_H

// Fills `table` for the context current on this thread, as InitOpenGLExtensionsChecked fills the
// loader: false, changing nothing, without a current context; else every flag the context
// announces and every GL_VERSION_x_y it reaches set, every pointer filled (null where the driver
// answers 1, 2, 3 or -1), and true; then each announced name the loader does not know goes to
// `unknownName` (when not null), once the fill is over, so that it may call through the loader.
// Fills run one at a time, whatever the thread.
bool InitOpenGLTable(LinkweldTable* table, void (*unknownName)(const char* name));

// Makes the calling thread's usual names reach `table`, filled before, until it is called again;
// call it beside wglMakeCurrent. Null gives the thread back to the automatic mode below. Costs
// one read of a thread-local slot per call through a usual name.
void MakeOpenGLTableCurrent(LinkweldTable* table);

// The table the usual names reach on the calling thread: the one made current there; else, in
// the automatic mode, the table of the context current on the thread (which costs a
// wglGetCurrentContext per call), filled the first time a thread asks for it: not between
// glBegin and glEnd, where the fill's own questions to the context are errors (ask once after
// wglMakeCurrent); else, with no context current or no memory for a table, one with every
// pointer null and every flag false.
LinkweldTable* CurrentOpenGLTable(void);

// Forgets the automatic mode's table of `context`: call it beside wglDeleteContext, so that a
// later context of the same handle gets a table of its own. The table's memory then serves a
// later context.
void ForgetOpenGLContext(HGLRC context);

// Generated into glEntryHub.cpp: the loader's pointers and flags into `table`.
void LinkweldCopyLoader(LinkweldTable* table);

#endif
