// Arbitrary command lines are split without harm; and any arguments, quoted
// and joined, split back into exactly those arguments (NUL bytes separate the
// arguments in the input).
#include "runner/command_line.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    quillon::SplitCommandLine(text);

    std::vector<std::string> args;
    std::string current;
    for (char c : text) {
        if (c == '\0') {
            args.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    args.push_back(current);
    std::string line = "program";
    for (const std::string &a : args)
        line += " " + quillon::QuoteCommandLineArgument(a);
    const std::vector<std::string> split = quillon::SplitCommandLine(line);
    if (split.size() != args.size() + 1 || split[0] != "program")
        __builtin_trap();
    for (size_t i = 0; i < args.size(); ++i)
        if (split[i + 1] != args[i])
            __builtin_trap();
    return 0;
}
