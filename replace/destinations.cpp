// Where each name of a set leads: every symbolic link on the way, the last name or a directory,
// followed here rather than by the system, so that a link another user planted in a shared
// directory is refused as the system refuses it where it is told to; two names that lead to one
// file refused.
#include <deque>
#include <string>
#include <vector>

#include "replace/shared_directory.h"
#include "replace/steps.h"
#include "replace/system.h"

namespace {

constexpr int kMaxLinkHops = 40;

// In a directory where anyone may make names, as /tmp, a link is trusted only when the user
// running or the directory's owner made it.
bool trusted(const FileStatus& link, const FileStatus& directory) {
    return !directory.sharedSticky || link.owner == currentUser() || link.owner == directory.owner;
}

void prependParts(const fs::path& path, std::deque<fs::path>& pending) {
    const fs::path relative = path.relative_path();
    const std::vector<fs::path> parts(relative.begin(), relative.end());
    pending.insert(pending.begin(), parts.begin(), parts.end());
}

// Where a walk along a name stands: the path so far, which holds no link, its last part's
// status, the parts still to walk, and the links followed.
struct Walk {
    std::deque<fs::path> pending;
    fs::path path;
    FileStatus status;
    int hops = 0;
};

// Why `part` cannot be walked into from where the walk stands; nothing when it can.
Error cannotEnter(const Walk& walk, const fs::path& part) {
    if (walk.status.type == fs::file_type::directory) {
        return {};
    }
    const bool missing =
        walk.status.type == fs::file_type::not_found && !part.empty() && part != ".";
    return std::make_error_code(missing ? std::errc::no_such_file_or_directory
                                        : std::errc::not_a_directory);
}

// Replaces the link `link`, the walk's next part, by the parts of where it leads, if it is to be
// trusted; false, with `failure` or `error` saying why, when it is not followed.
bool followLink(Walk& walk, const fs::path& link, ReplaceFailure& failure, Error& error) {
    FileStatus directory;
    fs::path target;
    if (!systemCalls().statusOf(walk.path, true, directory, error)) {
        walk.path = link;
        return false;
    }
    if (!trusted(walk.status, directory)) {
        failure.path = link;
        failure.owner = userName(walk.status.owner);
        failure.step = ReplaceStep::untrustedLink;
        return false;
    }
    if (++walk.hops > kMaxLinkHops || !systemCalls().readLink(link, target, error)) {
        error = error ? error : std::make_error_code(std::errc::too_many_symbolic_link_levels);
        walk.path = link;
        return false;
    }
    if (target.is_absolute()) {
        walk.path = target.root_path();
    }
    prependParts(target, walk.pending);
    walk.status.type = fs::file_type::directory;
    return true;
}

// Walks `name` a part at a time, each link replaced by where it leads, to the path it comes to,
// which holds no link and whose last part need not exist yet; `status` is that last part's.
bool resolve(const fs::path& name, fs::path& path, FileStatus& status, ReplaceFailure& failure) {
    Walk walk;
    prependParts(name, walk.pending);
    walk.path = name.root_path();
    walk.status.type = fs::file_type::directory;
    Error error;
    bool walking = true;
    while (walking && !walk.pending.empty()) {
        const fs::path part = walk.pending.front();
        walk.pending.pop_front();
        error = cannotEnter(walk, part);
        if (error || part.empty() || part == ".") {
            walking = !error;
            continue;
        }
        const fs::path next = walk.path / part;
        walking = systemCalls().statusOf(next, false, walk.status, error);
        if (walking && walk.status.type == fs::file_type::symlink) {
            walking = followLink(walk, next, failure, error);
        } else {
            walk.path = next;
        }
    }
    path = walk.path;
    status = walk.status;
    if (error) {
        failure.path = path;
        failure.step = ReplaceStep::open;
        failure.error = error;
    }
    return walking;
}

bool findDestination(ReplacedFile& file, ReplaceFailure& failure) {
    FileStatus status;
    if (!resolve(file.name, file.destination, status, failure)) {
        return false;
    }
    if (status.type == fs::file_type::directory) {
        failure.step = ReplaceStep::open;
        failure.error = std::make_error_code(std::errc::is_a_directory);
        return false;
    }
    file.type = status.type;
    file.mode = status.mode;
    file.inPlace = status.type != fs::file_type::regular && status.type != fs::file_type::not_found;
    file.identity = status.identity;
    return true;
}

// What a destination is, whether it exists or not: the file's own identity, or else its
// directory's with its name. So "x", "./x", "sub/../x" and an absolute path to x are one,
// however long the path.
bool identityOfDestination(const ReplacedFile& file, std::string& identity, Error& error) {
    if (!file.identity.empty()) {
        identity = file.identity;
        return true;
    }
    FileStatus directory;
    if (!systemCalls().statusOf(directoryOf(file.destination), true, directory, error)) {
        return false;
    }
    identity = directory.identity + "/" + file.destination.filename().u8string();
    return true;
}

}  // namespace

// Two names may share a device (/dev/null, say), which takes each text as it comes; any other
// file shared would get the two texts mixed.
bool shareable(const ReplacedFile& file) {
    return file.type == fs::file_type::character || file.type == fs::file_type::block;
}

bool findDestinations(FileSet& set, ReplaceFailure& failure) {
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        failure.file = i;
        if (!findDestination(set.files[i], failure)) {
            return false;
        }
        // A link to the lock file, or to a name of a temporary's shape, would have a run's own
        // bookkeeping remove what it wrote.
        if (isReservedName(set.files[i].destination.filename(), set.tag, set.lockName)) {
            failure.path = set.files[i].destination;
            return failed(failure, ReplaceStep::reserved, i, {});
        }
    }
    // Two names that lead to one file would have one text overwrite the other.
    std::vector<std::string> identities(set.files.size());
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        Error error;
        if (!identityOfDestination(set.files[i], identities[i], error)) {
            failure.path = directoryOf(set.files[i].destination);
            return failed(failure, ReplaceStep::open, i, error);
        }
    }
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        for (std::size_t j = i + 1; j < set.files.size(); ++j) {
            const ReplacedFile& a = set.files[i];
            const ReplacedFile& b = set.files[j];
            if (!shareable(a) && !shareable(b) && identities[i] == identities[j]) {
                failure.otherFile = j;
                failure.path = a.destination;
                return failed(failure, ReplaceStep::sameFile, i, {});
            }
        }
    }
    return true;
}
