#pragma once
// The "ThemeStream" value of Quillon's own theme (version 3), made at build time.
#include <string_view>

namespace quillon {
std::string_view EmbeddedThemeStream();
}
