// Arbitrary bytes as a list file; and the sources of a list written out and
// read back are the same sources.
#include "joblist/list_file.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const std::vector<std::string> sources = quillon::ListFileSources(text);
    // Every line read is one a list can hold again: no line break, no Ctrl+Z,
    // not empty, not a comment. Written out, it reads back the same.
    for (const std::string &s : sources)
        if (s.empty() || s[0] == '#' || s.find_first_of("\n\x1A") != std::string::npos)
            __builtin_trap();
    if (quillon::ListFileSources(quillon::ListFileText(sources)) != sources)
        __builtin_trap();
    return 0;
}
