// Arbitrary bytes as a "ThemeStream" property value.
#include "platform/quillon_error.h"
#include "theme/te_theme_stream.h"

#include <cstddef>
#include <cstdint>
#include <string>

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
