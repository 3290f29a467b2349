// The command line as Windows hands it to a program: one text, arguments
// separated by blanks and quoted where they must be.
#pragma once

#include <string>
#include <vector>

namespace xtb {

// The arguments joined by single blanks. An argument that is empty or holds
// a blank, a tab or a quote is put in quotes; inside, a quote becomes \" and
// the backslashes before a quote (or before the closing quote) are doubled,
// so that Windows' own splitting gives the arguments back.
std::string QuotedCommandLine(const std::vector<std::string>& arguments);

}  // namespace xtb
