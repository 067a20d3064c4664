// Every message linkweld writes to standard error, in one table (cli/messages.cpp): its
// identifier, its severity and its text with "%s" placeholders. A message is one line, in the
// forms build logs, editors and CI annotate: "FILE:LINE: warning: TEXT" for a place in a file,
// "linkweld: warning: TEXT" and "linkweld: error: TEXT" otherwise. Names and paths are escaped
// here, where the message is formed, and nowhere else.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

enum class Message {
    // Errors: the run fails with status 1.
    cannotOpen,
    cannotOpenThrough,
    untrustedLink,
    cannotWrite,
    cannotReplace,
    cannotKeepPrevious,
    bothLeadTo,
    reservedName,
    differs,
    differsInLineEnds,
    cannotReadGenerated,
    untrustedLinkRead,
    cannotWriteStandardOutput,
    cannotReadProgram,
    cannotReadHeaderAgain,
    cannotWriteDepfile,
    outOfMemory,
    outOfMemoryInPlace,
    cannotLock,
    lockTimedOut,
    lockNameTaken,
    cannotSync,
    cannotRemove,
    cannotRemoveInPlace,
    strictStopped,
    optionsApart,
    // Notes: what the run is doing, when it takes a while.
    waitingForLock,
    // Warnings about the command line.
    cannotReadHeader,
    ignoringArgument,
    flagWithoutFile,
    optionWithoutFile,
    notDeclared,
    usedButSkipped,
    usedByGenerated,
    noHeaderNamed,
    noHeaderRead,
    namedAgain,
    // Warnings that predict a broken loader.
    declaredAgain,
    notIdentifier,
    addsNothing,
    noEntryPoint,
    prototypesSkipped,
    moreOfKind,
    // Parts that other messages take in.
    previousKept,
    putBackUnsynced,
    heldByProcess,
    lastHeldBy,
    aLink,
    aFifo,
    aDirectory,
    aSocket,
    notRegular,
    leadlessHint,
    severalWords,
    noFormReads,
    optionReadsThem,
    kindDeclaredAgain,
    kindNotIdentifiers,
    kindAddsNothing,
    kindNoEntryPoint,
    kindSkipped,
    kindNotDeclared,
    formDefine,
    formPrototype,
    formAnyPrototype,
    formLeadless,
};

enum class Severity { error, warning, note, part };

struct MessageRow {
    Message id;
    Severity severity;
    bool placed;  // written as "FILE:LINE: ..."
    const char* text;
};

// The table, in the order of Message.
std::vector<MessageRow> messageTable();

// What a message of `severity` is written with after its place: "error: ", "warning: ", "note: ".
const char* severityWord(Severity severity);

// A value put in a message's text, escaped as its kind says. It may be several values end to end.
struct Arg {
    enum class Kind { text, quoted, path, shown, formed };
    struct Segment {
        Kind kind;
        std::string value;
    };
    std::vector<Segment> segments;

    Arg& operator+=(const Arg& more);
};

Arg text(std::string_view words);  // linkweld's own words, numbers, the system's reasons
Arg number(std::uint64_t value);
Arg quotedName(std::string_view name);  // a name from the user: in double quotes, escaped
Arg path(std::string_view path);        // a path: escaped, without quotes
Arg shownName(std::string_view name);   // bare when a C identifier, else as quotedName
Arg part(Message id, std::initializer_list<Arg> args = {});  // a part row, formed

// Writes the message, about the run or, for a placed one, about line `line` of `file`.
void report(Message id, std::initializer_list<Arg> args = {});
void reportAt(Message id, std::string_view file, std::uint64_t line,
              std::initializer_list<Arg> args = {});

// With --strict, every warning is written and counted as an error.
void makeWarningsErrors();
std::size_t warningsMadeErrors();

// "linkweld: error: out of memory", or that it ran out once the new files were in place,
// written without allocating.
void reportOutOfMemory(bool filesInPlace);
