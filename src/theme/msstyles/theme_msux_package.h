#pragma once
// The packed form of an MS-styles theme: "QZMSSTL", then one zlib stream
// holding the theme's name, its INI text and its bitmaps. Untrusted bytes:
// every length is checked against what the data still holds before anything
// is allocated, bitmap sides are 1 to 16384, and no more than 64 MiB are
// inflated.
//
// Errors a caller can act on (QuillonError): "Decompression error" for a
// damaged zlib stream, "Invalid theme data" for contents that do not fit.

#include "theme/te_bitmap.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

inline constexpr std::string_view MsStylesSignature = "QZMSSTL";
inline constexpr size_t MaxInflatedTheme = size_t(64) << 20;

struct MsStylesPackage {
    std::string Name;
    std::string IniText;
    std::vector<std::unique_ptr<TteBitmap>> Bitmaps;
};

// Nothing when the bytes do not begin with the signature.
std::optional<MsStylesPackage> ReadPackedTheme(std::string_view bytes);
// The signature and the package deflated at compression level 1.
std::string WritePackedTheme(const MsStylesPackage &package);

// zlib with a cap on what one stream may inflate to.
std::string InflateZlib(std::string_view compressed, size_t maxSize);
std::string DeflateZlib(std::string_view data, int level);

} // namespace quillon
