// Arbitrary bytes as a "ThemeStream" property value.
#include "platform/quillon_error.h"
#include "theme/te_theme_stream.h"
#include "theme_fuzz_setup.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    quillon::StartThemeFuzzing(); // version 1 is claimed through the registered classes
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    quillon::TTeThemeStream item;
    try {
        item.ReadThemeStream(std::string_view(reinterpret_cast<const char *>(data), size));
        quillon::TTeThemeStream back;
        back.ReadThemeStream(item.WriteThemeStream());
        if (back.PackedData != item.PackedData)
            __builtin_trap();
    } catch (const quillon::QuillonError &) {
    }
    return 0;
}
