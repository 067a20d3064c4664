// Names and paths from the user made safe to show in a one-line message (cli/messages.cpp is where
// messages are formed): what a reader would act on or not see, and every byte that is not
// well-formed UTF-8, becomes escapes (a line feed as \n, a tab as \t, anything else as its bytes,
// \x01, \xe2\x80\xa8), so that a name can neither split a line nor forge or disguise one.
#pragma once

#include <string>
#include <string_view>

std::string escaped(std::string_view text);
// In double quotes, the quote and the backslash escaped too.
std::string quoted(std::string_view text);
