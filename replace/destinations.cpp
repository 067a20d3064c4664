// Where each name of a set leads: symbolic links followed to the file they name, which need not
// exist yet; two names that lead to one file refused.
#include <string>
#include <vector>

#include "replace/shared_directory.h"
#include "replace/steps.h"
#include "replace/system.h"

namespace {

constexpr int kMaxLinkHops = 40;

// Follows symbolic links from `name` to the path they lead to, which need not exist yet.
bool followLinks(const fs::path& name, fs::path& destination, fs::file_type& type,
                 std::error_code& error) {
    fs::path path = name;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        type = fs::symlink_status(path, error).type();
        if (type == fs::file_type::not_found) {
            error.clear();
        }
        if (error) {
            return false;
        }
        if (type != fs::file_type::symlink) {
            destination = path;
            return true;
        }
        const fs::path target = fs::read_symlink(path, error);
        if (error) {
            return false;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return false;
}

bool findDestination(ReplacedFile& file, std::error_code& error) {
    fs::file_type type = fs::file_type::none;
    if (!followLinks(file.name, file.destination, type, error)) {
        return false;
    }
    if (type == fs::file_type::directory) {
        error = std::make_error_code(std::errc::is_a_directory);
        return false;
    }
    file.type = type;
    if (type == fs::file_type::regular) {
        file.mode = fs::status(file.destination, error).permissions();
    } else {
        file.inPlace = type != fs::file_type::not_found;
    }
    return !error;
}

// What a destination is, once every link is followed, whether it exists or not: the file's own
// identity, or else its directory's with its name. So "x", "./x", "sub/../x" and an absolute path
// to x are one, however long the path.
std::string identityOfDestination(const fs::path& destination) {
    std::string identity = identityOf(destination);
    if (identity.empty()) {
        const std::string directory = identityOf(directoryOf(destination));
        identity = directory.empty() ? destination.lexically_normal().u8string()
                                     : directory + "/" + destination.filename().u8string();
    }
    return identity;
}

}  // namespace

// Two names may share a device (/dev/null, say), which takes each text as it comes; any other
// file shared would get the two texts mixed.
bool shareable(const ReplacedFile& file) {
    return file.type == fs::file_type::character || file.type == fs::file_type::block;
}

bool findDestinations(FileSet& set, ReplaceFailure& failure) {
    for (std::size_t i = 0; i < set.files.size(); ++i) {
        std::error_code error;
        if (!findDestination(set.files[i], error)) {
            return failed(failure, ReplaceStep::open, i, error);
        }
        // A link to the lock file, or to a name of a temporary's shape, would have a run's own
        // bookkeeping remove what it wrote.
        if (isReservedName(set.files[i].destination.filename(), set.tag, set.lockName)) {
            failure.path = set.files[i].destination;
            return failed(failure, ReplaceStep::reserved, i, {});
        }
    }
    // Two names that lead to one file would have one text overwrite the other.
    std::vector<std::string> identities;
    for (const ReplacedFile& file : set.files) {
        identities.push_back(identityOfDestination(file.destination));
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
