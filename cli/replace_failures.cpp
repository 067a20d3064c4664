// The words of a replacement that failed, or waits: every step of replace/ as a row of the
// message table, with the names and paths escaped as their kinds say.
#include "cli/replace_failures.h"

#include "cli/messages.h"

namespace {

// " (process 4242)", or nothing when the process is not known.
Arg heldBy(long holder) {
    return holder > 0 ? part(Message::heldByProcess, {number(static_cast<std::uint64_t>(holder))})
                      : Arg{};
}

// What holds the lock file's name, in words.
Arg kindOf(std::filesystem::file_type type) {
    using std::filesystem::file_type;
    return part(type == file_type::symlink     ? Message::aLink
                : type == file_type::fifo      ? Message::aFifo
                : type == file_type::directory ? Message::aDirectory
                : type == file_type::socket    ? Message::aSocket
                                               : Message::notRegular);
}

void reportLockFailure(const ReplaceFailure& failure) {
    const Arg directory = quotedName(failure.path.u8string());
    if (failure.lockType != std::filesystem::file_type::none) {
        return report(Message::lockNameTaken,
                      {directory, text(kLockName), kindOf(failure.lockType)});
    }
    if (failure.error == std::errc::timed_out) {
        const std::string seconds = std::to_string(failure.waited / 1000) + "." +
                                    std::to_string(failure.waited % 1000 / 100);
        return report(
            Message::lockTimedOut,
            {directory, text(seconds),
             failure.holder > 0
                 ? part(Message::lastHeldBy, {number(static_cast<std::uint64_t>(failure.holder))})
                 : Arg{}});
    }
    report(Message::cannotLock, {directory, text(failure.error.message())});
}

}  // namespace

void reportFailure(const std::vector<std::string>& names, const ReplaceFailure& failure) {
    const auto nameOf = [&](std::size_t file) { return path(names[file]); };
    const Arg name = nameOf(failure.file);
    const Arg reason = text(failure.error.message());
    const Arg where = path(failure.path.u8string());
    const Arg quotedWhere = quotedName(failure.path.u8string());
    Arg kept;
    for (const KeptPrevious& previous : failure.kept) {
        kept += part(Message::previousKept, {nameOf(previous.file), text(previous.error.message()),
                                             path(previous.keptAs.u8string())});
    }
    if (failure.unsyncedError) {
        kept += part(Message::putBackUnsynced, {quotedName(failure.unsynced.u8string()),
                                                text(failure.unsyncedError.message())});
    }
    switch (failure.step) {
        case ReplaceStep::open:
            if (!failure.path.empty() && failure.path.u8string() != names[failure.file]) {
                return report(Message::cannotOpenThrough, {name, quotedWhere, reason});
            }
            return report(Message::cannotOpen, {name, reason});
        case ReplaceStep::untrustedLink:
            return report(Message::untrustedLink, {name, quotedWhere, quotedName(failure.owner)});
        case ReplaceStep::write:
            return report(Message::cannotWrite, {name, reason});
        case ReplaceStep::keepPrevious:
            return report(Message::cannotKeepPrevious, {name, reason, kept});
        case ReplaceStep::sameFile:
            return report(Message::bothLeadTo, {name, nameOf(failure.otherFile), where});
        case ReplaceStep::reserved:
            return report(Message::reservedName, {name, where});
        case ReplaceStep::lock:
            return reportLockFailure(failure);
        case ReplaceStep::memory:
            return reportOutOfMemory(failure.inPlace);
        case ReplaceStep::sync:
            return report(Message::cannotSync, {quotedName(failure.path.u8string()), reason});
        case ReplaceStep::cleanup:
            return report(failure.inPlace ? Message::cannotRemoveInPlace : Message::cannotRemove,
                          {quotedWhere, reason});
        case ReplaceStep::replace:
        case ReplaceStep::none:
            return report(Message::cannotReplace, {name, reason, kept});
    }
}

void reportWaiting(const std::filesystem::path& directory, long holder) {
    report(Message::waitingForLock, {heldBy(holder), quotedName(directory.u8string()),
                                     number(kLockGiveUpMilliseconds / 1000)});
}
