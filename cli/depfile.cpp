// The make rule of --depfile, written whole through the platform.
#include "cli/depfile.h"

#include <system_error>

#include "cli/messages.h"
#include "tables/ascii.h"

namespace {

// A name as make and Ninja read it in a rule: blanks, "#" and ":" (but a drive's, "C:/") behind
// a backslash, "$" doubled. False for a name no rule can carry: one with ";" or a line end.
bool appendEscaped(std::string& rule, const std::string& name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c == ';' || c == '\n' || c == '\r') {
            return false;
        }
        const bool driveLetter = i == 1 && isAsciiLetter(name[0]) && i + 1 < name.size() &&
                                 (name[i + 1] == '/' || name[i + 1] == '\\');
        if (c == ' ' || c == '\t' || c == '#' || (c == ':' && !driveLetter)) {
            rule += '\\';
        } else if (c == '$') {
            rule += '$';
        }
        rule += c;
    }
    return true;
}

}  // namespace

bool writeDepfile(const Platform& platform, const std::string& path,
                  const std::vector<std::string>& prerequisites) {
    std::string rule;
    bool carried = appendEscaped(rule, path);
    rule += ":";
    for (const std::string& prerequisite : prerequisites) {
        rule += " \\\n  ";
        if (!appendEscaped(rule, prerequisite)) {
            Arg reason = quotedName(prerequisite);
            reason += text(" holds a \";\" or a line end, which no make rule can carry");
            report(Message::cannotWriteDepfile, {quotedName(path), reason});
            return false;
        }
    }
    rule += "\n";
    if (!carried) {
        report(Message::cannotWriteDepfile,
               {quotedName(path), text("its name holds a \";\" or a line end, which no make "
                                       "rule can carry")});
        return false;
    }
    if (const int error = platform.writeWhole(path, rule.data(), rule.size())) {
        report(Message::cannotWriteDepfile,
               {quotedName(path), text(std::error_code(error, std::generic_category()).message())});
        return false;
    }
    return true;
}
