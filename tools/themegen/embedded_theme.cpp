#include "embedded_theme.h"

#include <cstddef>

extern const unsigned char QuillonThemeStream[];
extern const size_t QuillonThemeStreamSize;

namespace quillon {
std::string_view EmbeddedThemeStream()
{
    return std::string_view(reinterpret_cast<const char *>(QuillonThemeStream), QuillonThemeStreamSize);
}
} // namespace quillon
