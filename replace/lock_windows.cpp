// The directory's lock file on Windows: a file that Windows deletes when its last handle closes,
// so no run ever leaves it behind, held without sharing.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "replace/system.h"

Error windowsError(DWORD code);  // system_windows.cpp

// A new lock file is made to vanish as its handle closes, even when the run is killed; a file
// already there that no run holds (the user's, say) is held as it is and never removed.
bool tryLockNow(const Directory&, const fs::path& file, HeldLock& lock, LockState& state,
                Error& error) {
    state = {};  // Windows does not tell which process holds a file
    HANDLE handle =
        CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    DWORD reason = handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    if (reason == ERROR_FILE_EXISTS) {
        handle = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        reason = handle == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    }
    switch (reason) {
        case ERROR_SUCCESS:
            lock.handle = reinterpret_cast<std::intptr_t>(handle);
            lock.file = file;
            state.attempt = LockAttempt::taken;
            return true;
        case ERROR_SHARING_VIOLATION:
            state.attempt = LockAttempt::busy;
            return true;
        case ERROR_FILE_NOT_FOUND:
            return true;  // removed between the two attempts: again
        case ERROR_ACCESS_DENIED:
            // Also a lock file whose last handle is closing; a lasting denial, such as a
            // directory of that name, fails once the wait for it runs out.
            error = std::make_error_code(std::errc::permission_denied);
            state.attempt = LockAttempt::denied;
            return true;
        case ERROR_WRITE_PROTECT:
            state.attempt = LockAttempt::unneeded;
            return true;
        default:
            error = windowsError(reason);
            return false;
    }
}

bool unlockNow(HeldLock& lock, Error&) {
    CloseHandle(reinterpret_cast<HANDLE>(lock.handle));
    return true;
}
