#pragma once
// TTeThemeStream: one item of a theme list, carrying a packed theme as the
// "ThemeStream" property value of a form:
//   version byte 0: an empty item;
//   1: the packed theme follows directly (re-encoded through the class that
//      claims it among the theme manager's registered classes);
//   2: name (32-bit length + characters), 64-bit length, packed theme;
//   3: name, 32-bit length, packed theme (what the writer produces).
// Errors a caller can act on: "Invalid theme data" for a value that is cut
// short or declares more than it holds; the packed form's own errors.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quillon {

class TteTheme;

class TTeThemeStream {
public:
    std::string PackedData;
    std::string ThemeStore = "(empty)";
    int32_t Tag = 0;

    void ReadThemeStream(std::string_view value);
    std::string WriteThemeStream() const;

    // The theme built from PackedData the last time one was needed, and the
    // data it was built from; themes made from the item are copies of it, so
    // the packed data is inflated and parsed once.
    std::shared_ptr<const TteTheme> Parsed;
    std::string ParsedFrom;
};

} // namespace quillon
