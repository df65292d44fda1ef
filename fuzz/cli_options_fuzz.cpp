// Arbitrary command lines for quillon-cli (arguments separated by NUL bytes):
// the parser answers with options or a usage error, never anything else.
#include "cli/cli_options.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }
    try {
        const quillon::cli::CliOptions o = quillon::cli::ParseCliArguments(args);
        if (!o.Help && !o.Version && o.Paths.empty())
            __builtin_trap(); // "no PATH given" is a usage error
    } catch (const quillon::cli::UsageError &) {
    }
    return 0;
}
