#pragma once
// What the program carries inside itself, made at build time by themegen:
// the "ThemeStream" value of Quillon's own theme (version 3), and the
// program's bitmap resources (the frame glyphs "TE_FORM_CLOSE",
// "TE_FORM_MINIMIZE", "TE_FORM_MAXIMIZE", "TE_FORM_RESTORE",
// "TE_FORM_ROLLUP" and "TE_FORM_TRAY"), each in the bitmap stream form:
// 16 x 16, ink with antialiased edges in alpha, clear pixels holding the
// transparent key (draw them with HasTransparentMarks set and the alpha flag
// as UpdateAlphaFlag finds it); and the program's icon, "QUILLON_ICON_16",
// _24, _32, _48, _64 and _128, in straight alpha; and the window's image
// list "QUILLON_IMAGELIST", 18 pictures of 16 x 16 side by side, opaque,
// magenta (0xFF00FF) where clear.
#include <cstddef>
#include <string_view>

namespace quillon {

std::string_view EmbeddedThemeStream();
// The bytes of a bitmap resource; empty for a name the program does not carry.
std::string_view EmbeddedBitmapResource(std::string_view name);

struct EmbeddedResource {
    const char *Name;
    const unsigned char *Data;
    size_t Size;
};
extern const unsigned char QuillonThemeStream[];
extern const size_t QuillonThemeStreamSize;
extern const EmbeddedResource QuillonBitmapResources[]; // ended by a null name

} // namespace quillon
