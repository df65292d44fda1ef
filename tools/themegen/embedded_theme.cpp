#include "embedded_theme.h"

namespace quillon {

std::string_view EmbeddedThemeStream()
{
    return std::string_view(reinterpret_cast<const char *>(QuillonThemeStream), QuillonThemeStreamSize);
}

std::string_view EmbeddedBitmapResource(std::string_view name)
{
    for (const EmbeddedResource *r = QuillonBitmapResources; r->Name; ++r)
        if (name == r->Name)
            return std::string_view(reinterpret_cast<const char *>(r->Data), r->Size);
    return {};
}

} // namespace quillon
