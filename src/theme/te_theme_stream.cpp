#include "theme/te_theme_stream.h"

#include "platform/byte_reader.h"
#include "platform/quillon_error.h"
#include "theme/te_theme_manager.h"

namespace quillon {

void TTeThemeStream::ReadThemeStream(std::string_view value)
{
    if (value.empty())
        return;
    const uint8_t version = static_cast<uint8_t>(value[0]);
    const ByteReader r(value);
    auto fail = [] { RaiseError("Invalid theme data"); };
    switch (version) {
    case 1: {
        // Re-encoded through the class that claims it: the item then holds
        // the packed form that class writes, as with every other version.
        TteThemeManager &manager = TteThemeManager::Instance();
        PackedData.clear();
        Parsed.reset();
        std::shared_ptr<TteTheme> theme = manager.LoadThemeFromStream(value.substr(1));
        if (!theme)
            return;
        manager.SaveThemeToStream(theme.get(), PackedData);
        ThemeStore = theme->Name;
        if (!PackedData.empty()) {
            Parsed = std::move(theme);
            ParsedFrom = PackedData;
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
        Parsed.reset();
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
