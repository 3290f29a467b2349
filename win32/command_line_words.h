// A Windows command line split into a program's arguments, by the rules
// the C runtime and CommandLineToArgvW share: blanks and tabs separate
// arguments; quotes group and are dropped; 2n backslashes before a quote
// are n backslashes and the quote groups, 2n+1 are n and a literal quote;
// "" inside quotes is one literal quote; backslashes elsewhere are text.
// The first word, the program's name, is read as Windows reads it: up to
// the next blank, or between quotes, backslashes as text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace xtb::win32 {

// The program's name and where the rest of the line begins.
std::string ProgramWordOf(std::string_view line, size_t& rest);

// The arguments of `line`, a command line's rest after the program's name
// (or ShellExecute's parameters).
std::vector<std::string> ArgumentWordsOf(std::string_view line);

}  // namespace xtb::win32
