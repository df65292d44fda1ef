#include "theme/te_theme_stream.h"

#include "platform/byte_reader.h"
#include "platform/quillon_error.h"
#include "theme/theme_msux_package.h"

namespace quillon {

std::optional<std::pair<std::string, std::string>> TTeThemeStream::MsStylesClaim(std::string_view packed)
{
    auto package = ReadPackedTheme(packed);
    if (!package)
        return std::nullopt;
    return std::make_pair(package->Name, WritePackedTheme(*package));
}

void TTeThemeStream::ReadThemeStream(std::string_view value, const Claim &claim)
{
    if (value.empty())
        return;
    const uint8_t version = static_cast<uint8_t>(value[0]);
    const ByteReader r(value);
    auto fail = [] { RaiseError("Invalid theme data"); };
    switch (version) {
    case 1: {
        PackedData.clear();
        if (const auto theme = claim ? claim(value.substr(1)) : std::nullopt) {
            ThemeStore = theme->first;
            PackedData = theme->second;
        }
        return;
    }
    case 2:
    case 3: {
        const auto nameLength = r.u32(1);
        if (!nameLength || static_cast<int32_t>(*nameLength) < 0 || !r.has(5, *nameLength))
            fail();
        const size_t lengthAt = 5 + size_t(*nameLength);
        // Of version 2's 64-bit length only the low 32 bits count.
        const auto length = r.u32(lengthAt);
        const size_t dataAt = lengthAt + (version == 2 ? 8 : 4);
        if (!length || !r.has(lengthAt, dataAt - lengthAt) || !r.has(dataAt, *length))
            fail();
        ThemeStore = std::string(value.substr(5, *nameLength));
        PackedData = std::string(value.substr(dataAt, *length));
        return;
    }
    default: return; // version 0 or unknown: the item stays empty
    }
}

std::string TTeThemeStream::WriteThemeStream() const
{
    if (PackedData.empty())
        return std::string(1, '\0');
    std::string out(1, '\3');
    auto putU32 = [&out](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out += static_cast<char>(v >> (8 * i) & 0xFF);
    };
    putU32(static_cast<uint32_t>(ThemeStore.size()));
    out += ThemeStore;
    putU32(static_cast<uint32_t>(PackedData.size()));
    out += PackedData;
    return out;
}

} // namespace quillon
