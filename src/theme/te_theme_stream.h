#pragma once
// TTeThemeStream: one item of a theme list, carrying a packed theme as the
// "ThemeStream" property value of a form:
//   version byte 0: an empty item;
//   1: the packed theme follows directly (re-encoded through its class);
//   2: name (32-bit length + characters), 64-bit length, packed theme;
//   3: name, 32-bit length, packed theme (what the writer produces).
// Errors a caller can act on: "Invalid theme data" for a value that is cut
// short or declares more than it holds; the packed form's own errors.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quillon {

class TTeThemeStream {
public:
    // Claims a version-1 packed theme: answers the theme's name and its
    // packed form as its class writes it, or nothing when no class claims it.
    using Claim = std::function<std::optional<std::pair<std::string, std::string>>(std::string_view packed)>;

    std::string PackedData;
    std::string ThemeStore = "(empty)";
    int32_t Tag = 0;

    void ReadThemeStream(std::string_view value, const Claim &claim = MsStylesClaim);
    std::string WriteThemeStream() const;

    // The claim of the MS-styles class: "QZMSSTL" packed themes.
    static std::optional<std::pair<std::string, std::string>> MsStylesClaim(std::string_view packed);
};

} // namespace quillon
