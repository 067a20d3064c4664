// The message table, and the one place a message is formed: its values escaped, its severity and
// place put before it, the whole line written in one write.
#include "cli/messages.h"

#include <cstdio>
#include <iterator>

#include "cli/escaping.h"
#include "tables/ascii.h"

namespace {

constexpr Severity E = Severity::error;
constexpr Severity W = Severity::warning;
constexpr Severity N = Severity::note;
constexpr Severity P = Severity::part;

// clang-format off
constexpr MessageRow kMessages[] = {
    {Message::cannotOpen, E, false, "cannot open %s: %s"},
    {Message::cannotOpenThrough, E, false, "cannot open %s: it leads to %s: %s"},
    {Message::untrustedLink, E, false, "cannot write %s: %s is a link made by %s in a directory where anyone may make names; only links of the user running or of the directory's owner are followed there"},
    {Message::cannotWrite, E, false, "cannot write %s: %s"},
    {Message::cannotReplace, E, false, "cannot replace %s: %s%s"},
    {Message::cannotKeepPrevious, E, false, "cannot keep the previous %s: %s%s"},
    {Message::bothLeadTo, E, false, "cannot write %s and %s: both lead to %s"},
    {Message::reservedName, E, false, "cannot write %s: it leads to %s, a name linkweld keeps for its own files"},
    {Message::differs, E, true, "differs from what linkweld would write; run it without --check to update"},
    {Message::differsInLineEnds, E, true, "differs from what linkweld would write in its line ends alone (%s where this linkweld writes %s); run it without --check to update"},
    {Message::cannotReadGenerated, E, false, "cannot read %s: %s"},
    {Message::untrustedLinkRead, E, false, "cannot read %s: %s is a link made by %s in a directory where anyone may make names; only links of the user running or of the directory's owner are followed there"},
    {Message::cannotWriteStandardOutput, E, false, "cannot write the %s to standard output: %s"},
    {Message::cannotReadProgram, E, false, "cannot read %s, which --used-by names: %s; nothing was written"},
    {Message::cannotReadHeaderAgain, E, false, "cannot read header %s again for the declarations of --used-by: %s; nothing was written"},
    {Message::cannotWriteDepfile, E, false, "cannot write %s, which --depfile names: %s; the new files are in place"},
    {Message::outOfMemory, E, false, "out of memory"},
    {Message::outOfMemoryInPlace, E, false, "out of memory once the new files were in place; a power loss may bring the previous ones back"},
    {Message::cannotLock, E, false, "cannot lock %s: %s"},
    {Message::lockTimedOut, E, false, "cannot lock %s: gave up after waiting %s seconds for other runs%s"},
    {Message::lockNameTaken, E, false, "cannot lock %s: %s is %s, not a lock file; move it away"},
    {Message::cannotSync, E, false, "cannot push %s to the disk: %s; the new files are in place, but a power loss may bring the previous ones back"},
    {Message::cannotRemove, E, false, "cannot remove %s: %s; nothing was written"},
    {Message::cannotRemoveInPlace, E, false, "cannot remove %s: %s; the new files are in place"},
    {Message::strictStopped, E, false, "with --strict, %s; nothing was %s"},
    {Message::optionsApart, E, false, "%s and %s cannot be given together; nothing was %s"},
    {Message::waitingForLock, N, false, "another run%s holds the lock of %s; waiting up to %s seconds"},

    {Message::cannotReadHeader, W, false, "cannot read header %s: %s; skipped"},
    {Message::ignoringArgument, W, false, "ignoring argument %s: not %s or an option (see --help)"},
    {Message::flagWithoutFile, W, false, "%s needs a header file name; ignored"},
    {Message::optionWithoutFile, W, false, "%s needs a file name; ignored"},
    {Message::notDeclared, W, true, "%s names no extension or entry point of the headers read; nothing is kept for it"},
    {Message::usedButSkipped, W, true, "%s is declared only by a prototype that --all-prototypes reads; nothing is kept for it"},
    {Message::usedByGenerated, W, false, "%s is a file this run writes; --used-by reads nothing of it"},
    {Message::noHeaderNamed, W, false, "no header named with %s; the loader's lists are empty"},
    {Message::noHeaderRead, W, false, "no header could be read; the loader's lists are empty"},
    {Message::namedAgain, W, false, "%s is named again; the generated code will define each of its names twice"},

    {Message::declaredAgain, W, true, "%s already declared at %s:%s; the generated code will define it twice"},
    {Message::notIdentifier, W, true, "%s is not a C identifier; the generated code will not compile"},
    {Message::addsNothing, W, false, "%s adds nothing; the line forms recognised are %s"},
    {Message::noEntryPoint, W, false, "%s adds %s but no entry point; prototypes are recognised only as %s%s"},
    {Message::prototypesSkipped, W, true, "%s skipped, %s: %s%s"},
    {Message::moreOfKind, W, false, "%s more %s"},

    {Message::previousKept, P, false, "; the previous %s could not be put back (%s) and is kept as %s"},
    {Message::putBackUnsynced, P, false, "; what was put back may not survive a power loss: %s could not be pushed to the disk (%s)"},
    {Message::heldByProcess, P, false, " (process %s)"},
    {Message::lastHeldBy, P, false, "; the last to hold it was process %s"},
    {Message::aLink, P, false, "a symbolic link"},
    {Message::aFifo, P, false, "a FIFO"},
    {Message::aDirectory, P, false, "a directory"},
    {Message::aSocket, P, false, "a socket"},
    {Message::notRegular, P, false, "no regular file"},
    {Message::leadlessHint, P, false, "; --all-prototypes also reads %s"},
    {Message::severalWords, P, false, "the return type being several words"},
    {Message::noFormReads, P, false, "written in no form linkweld reads"},
    {Message::optionReadsThem, P, false, "; --all-prototypes reads them"},
    {Message::kindDeclaredAgain, P, false, "names declared again"},
    {Message::kindNotIdentifiers, P, false, "names that are not C identifiers"},
    {Message::kindAddsNothing, P, false, "headers that add nothing"},
    {Message::kindNoEntryPoint, P, false, "%s headers without entry points"},
    {Message::kindSkipped, P, false, "headers with skipped prototypes"},
    {Message::kindNotDeclared, P, false, "lines of lists that name nothing the headers declare"},
    {Message::formDefine, P, false, "\"#define GL_NAME 1\""},
    {Message::formPrototype, P, false, "\"%s type %s name\""},
    {Message::formAnyPrototype, P, false, "\"[%s] type... %s name(\""},
    {Message::formLeadless, P, false, "\"type %s name\""},
};
// clang-format on

bool strict = false;
std::size_t madeErrors = 0;

// Each row stands at its identifier's place, which is how rowOf finds it.
constexpr bool rowsInOrder() {
    for (std::size_t i = 0; i < std::size(kMessages); ++i) {
        if (static_cast<std::size_t>(kMessages[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(rowsInOrder(), "the message table is in the order of Message");

const MessageRow& rowOf(Message id) {
    return kMessages[static_cast<std::size_t>(id)];
}

Arg single(Arg::Kind kind, std::string_view value) {
    return Arg{{{kind, std::string(value)}}};
}

// The value as the message shows it: each segment escaped as its kind says.
std::string valueText(const Arg& arg) {
    std::string text;
    for (const Arg::Segment& segment : arg.segments) {
        switch (segment.kind) {
            case Arg::Kind::text:
            case Arg::Kind::formed:
                text += segment.value;
                break;
            case Arg::Kind::quoted:
                text += quoted(segment.value);
                break;
            case Arg::Kind::path:
                text += escaped(segment.value);
                break;
            case Arg::Kind::shown:
                text += isIdentifier(segment.value) ? segment.value : quoted(segment.value);
                break;
        }
    }
    return text;
}

// The row's text with each "%s" replaced by the next value, as shown.
std::string formed(Message id, std::initializer_list<Arg> args) {
    std::string text;
    const Arg* next = args.begin();
    for (const char* c = rowOf(id).text; *c != '\0'; ++c) {
        if (c[0] == '%' && c[1] == 's') {
            if (next != args.end()) {
                text += valueText(*next++);
            }
            ++c;
        } else {
            text += *c;
        }
    }
    return text;
}

// The severity a message is written with: under --strict a warning is an error, and counted.
Severity writtenSeverity(Severity severity) {
    if (severity == Severity::warning && strict) {
        ++madeErrors;
        return Severity::error;
    }
    return severity;
}

// Writes "PLACE SEVERITY: TEXT" as one line, in one write.
void writeLine(const std::string& place, Message id, std::initializer_list<Arg> args) {
    const std::string line =
        place + severityWord(writtenSeverity(rowOf(id).severity)) + formed(id, args) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace

const char* severityWord(Severity severity) {
    return severity == Severity::error  ? "error: "
           : severity == Severity::note ? "note: "
                                        : "warning: ";
}

std::vector<MessageRow> messageTable() {
    return {std::begin(kMessages), std::end(kMessages)};
}

Arg& Arg::operator+=(const Arg& more) {
    segments.insert(segments.end(), more.segments.begin(), more.segments.end());
    return *this;
}

Arg text(std::string_view words) {
    return single(Arg::Kind::text, words);
}

Arg number(std::uint64_t value) {
    return text(std::to_string(value));
}

Arg quotedName(std::string_view name) {
    return single(Arg::Kind::quoted, name);
}

Arg path(std::string_view path) {
    return single(Arg::Kind::path, path);
}

Arg shownName(std::string_view name) {
    return single(Arg::Kind::shown, name);
}

Arg part(Message id, std::initializer_list<Arg> args) {
    return single(Arg::Kind::formed, formed(id, args));
}

void report(Message id, std::initializer_list<Arg> args) {
    writeLine("linkweld: ", id, args);
}

void reportAt(Message id, std::string_view file, std::uint64_t line,
              std::initializer_list<Arg> args) {
    writeLine(escaped(file) + ":" + std::to_string(line) + ": ", id, args);
}

void makeWarningsErrors() {
    strict = true;
}

std::size_t warningsMadeErrors() {
    return madeErrors;
}

void reportOutOfMemory(bool filesInPlace) {
    std::fputs("linkweld: error: ", stderr);
    std::fputs(rowOf(filesInPlace ? Message::outOfMemoryInPlace : Message::outOfMemory).text,
               stderr);
    std::fputc('\n', stderr);
}
