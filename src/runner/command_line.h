#pragma once
// Command lines are single strings, as on the platform the program was
// designed for. The runner turns one into an argument vector by the Windows
// rules, and the command builders quote paths by the same rules, so any path
// arrives at the child as exactly one argument.

#include <string>
#include <vector>

namespace quillon {

// Splits by the Windows C runtime rules. The first word follows the
// program-name rule (quotes group, no backslash escapes); the other words
// follow the argument rules (2n backslashes + quote: n backslashes and a
// quote toggle; 2n+1 backslashes + quote: n backslashes and a literal quote;
// "" inside quotes: a literal quote).
std::vector<std::string> SplitCommandLine(const std::string &commandLine);

// As SplitCommandLine, but an unquoted program path that contains blanks is
// resolved as process creation does: the shortest blank-separated prefix of
// the command line that names an existing file is the program; the rest of
// the line holds the arguments. When no prefix names a file, the first word is
// the program.
std::vector<std::string> SplitCommandLineResolvingProgram(const std::string &commandLine);

// Wraps text in double quotes so that SplitCommandLine gives it back
// unchanged. For text without double quotes and without a trailing backslash
// the result is simply '"' + text + '"'.
std::string QuoteCommandLineArgument(const std::string &text);

} // namespace quillon
