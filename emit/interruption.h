// Signals that end a run while it writes: its temporaries are removed, and a signal that arrives
// while the finished files are being renamed into place waits until they all are.
#pragma once

// Catches SIGINT, SIGTERM, SIGHUP and SIGXFSZ (those the platform has, and not those the parent
// made the process ignore). Each ends the process as that signal would, after cleaning up.
void catchInterruptions();

// Registers a temporary to remove if a signal ends the run; `path` must stay valid until
// forgetTemporaries. At most four are held.
void trackTemporary(const char* path);
void forgetTemporaries();

// Between these two calls a signal is held back; the second delivers it, if one came.
void holdInterruptions();
void releaseInterruptions();
