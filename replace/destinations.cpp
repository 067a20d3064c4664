// Where each name of a set leads: walked a part at a time through directories held open, every
// symbolic link on the way (the last name or a directory) followed here rather than by the
// system, so that a link another user planted in a shared directory is refused as the system
// refuses it where it is told to, and nothing put in a directory's place after it was looked at
// is followed; two names that lead to one file refused.
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
    pending.insert(pending.begin(), relative.begin(), relative.end());
}

// Why the walk stopped at `part`: the step, the path it came to and the system's reason.
bool stopped(const Walk& walk, const fs::path& part, Error error, ReplaceFailure& failure) {
    failure.path = pathIn(walk.at, part);
    failure.step = ReplaceStep::open;
    failure.error = error;
    return false;
}

// Replaces the link `part` of the walk's directory, of status `link`, by the parts of where it
// leads, if it is to be trusted.
bool followLink(Walk& walk, const fs::path& part, const FileStatus& link, ReplaceFailure& failure) {
    if (!trusted(link, walk.at.status)) {
        failure.path = pathIn(walk.at, part);
        failure.owner = userName(link.owner);
        failure.step = ReplaceStep::untrustedLink;
        return false;
    }
    fs::path target;
    Error error;
    if (++walk.hops > kMaxLinkHops) {
        return stopped(walk, part, std::make_error_code(std::errc::too_many_symbolic_link_levels),
                       failure);
    }
    if (!walk.calls->readLink(walk.at, pathIn(walk.at, part), target, error)) {
        return stopped(walk, part, error, failure);
    }
    prependParts(target, walk.pending);
    return !target.has_root_path() || walk.calls->openStart(target.root_path(), walk.at, error) ||
           stopped(walk, target.root_path(), error, failure);
}

// Walks into the directory `part`, or on through it where it is a link.
bool enter(Walk& walk, const fs::path& part, ReplaceFailure& failure) {
    if (part.empty() || part == ".") {
        return true;
    }
    FileStatus status;
    Error error;
    if (part != ".." && !walk.calls->statusOf(walk.at, pathIn(walk.at, part), status, error)) {
        return stopped(walk, part, error, failure);
    }
    if (status.type == fs::file_type::symlink) {
        return followLink(walk, part, status, failure);
    }
    if (part != ".." && status.type != fs::file_type::directory) {
        return stopped(walk, part,
                       std::make_error_code(status.type == fs::file_type::not_found
                                                ? std::errc::no_such_file_or_directory
                                                : std::errc::not_a_directory),
                       failure);
    }
    Directory next;
    if (!walk.calls->openDirectory(walk.at, pathIn(walk.at, part), next, error)) {
        return stopped(walk, part, error, failure);
    }
    walk.at = std::move(next);
    return true;
}

// Walks every part of the walk but the last.
bool walkDirectories(Walk& walk, ReplaceFailure& failure) {
    while (walk.pending.size() > 1) {
        const fs::path part = walk.pending.front();
        walk.pending.pop_front();
        if (!enter(walk, part, failure)) {
            return false;
        }
    }
    return true;
}

bool findDestination(FileSet& set, ReplacedFile& file, Walk& walk, ReplaceFailure& failure) {
    FileStatus status;
    if (!walkToFile(walk, status, failure)) {
        return false;
    }
    if (status.type == fs::file_type::directory) {
        failure.step = ReplaceStep::open;
        failure.error = std::make_error_code(std::errc::is_a_directory);
        return false;
    }
    file.destination = pathIn(walk.at, walk.pending.front());
    file.type = status.type;
    file.mode = status.mode;
    file.owner = status.owner;
    file.group = status.group;
    file.inPlace = status.type != fs::file_type::regular && status.type != fs::file_type::not_found;
    file.identity = status.identity;
    set.directories.push_back(std::move(walk.at));
    file.directory = &set.directories.back();
    return true;
}

// What a destination is, whether it exists or not: the file's own identity, or else its
// directory's with its name. So "x", "./x", "sub/../x" and an absolute path to x are one,
// however long the path.
std::string identityOfDestination(const ReplacedFile& file) {
    return !file.identity.empty()
               ? file.identity
               : file.directory->status.identity + "/" + file.destination.filename().u8string();
}

// Two names may share a device (/dev/null, say), which takes each text as it comes; any other
// file shared would get the two texts mixed.
bool shareable(const ReplacedFile& file) {
    return file.type == fs::file_type::character || file.type == fs::file_type::block;
}

}  // namespace

bool walkToDirectory(const fs::path& name, Walk& walk, ReplaceFailure& failure) {
    Error error;
    prependParts(name, walk.pending);
    if (!walk.calls->openStart(name.root_path(), walk.at, error)) {
        failure.path = name.root_path().empty() ? fs::path(".") : name.root_path();
        failure.step = ReplaceStep::open;
        failure.error = error;
        return false;
    }
    return walkDirectories(walk, failure);
}

bool walkToFile(Walk& walk, FileStatus& status, ReplaceFailure& failure) {
    for (;;) {
        if (!walkDirectories(walk, failure)) {
            return false;
        }
        // A name that ends in a directory's part ("x/", "..", "/") names no file.
        if (walk.pending.empty()) {
            walk.pending.push_back(".");
        }
        const fs::path name = walk.pending.front();
        Error error;
        if (name.empty() || name == "." || name == "..") {
            return stopped(walk, name, std::make_error_code(std::errc::is_a_directory), failure);
        }
        if (!walk.calls->statusOf(walk.at, pathIn(walk.at, name), status, error)) {
            return stopped(walk, name, error, failure);
        }
        if (status.type != fs::file_type::symlink) {
            return true;
        }
        walk.pending.pop_front();
        if (!followLink(walk, name, status, failure)) {
            return false;
        }
    }
}

bool findDestinations(FileSet& set, std::vector<Walk>& walks, ReplaceFailure& failure) {
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        failure.file = i;
        if (!findDestination(set, set.files[i], walks[i], failure)) {
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
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        for (std::size_t j = i + 1; j < set.files.size(); ++j) {
            const ReplacedFile& a = set.files[i];
            const ReplacedFile& b = set.files[j];
            if (!shareable(a) && !shareable(b) &&
                identityOfDestination(a) == identityOfDestination(b)) {
                failure.otherFile = j;
                failure.path = a.destination;
                return failed(failure, ReplaceStep::sameFile, i, {});
            }
        }
    }
    return true;
}
