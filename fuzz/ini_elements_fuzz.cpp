// Arbitrary INI text: parsed, written back, and every one of the 100 elements
// built from it, with bitmaps that image keys find by name.
#include "platform/quillon_error.h"
#include "theme/msstyles/msux_ini.h"
#include "theme/msstyles/theme_msuxobjects.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace quillon;
    MsuxIni ini;
    ini.LoadFromText(std::string(reinterpret_cast<const char *>(data), size));
    MsuxIni again;
    again.LoadFromText(ini.ToText());
    if (again.ToText() != ini.ToText())
        __builtin_trap(); // the canonical form is stable
    TteBitmapList bitmaps;
    const TmsuxThemeObject::BitmapSource source = [&](const std::string &name) -> TteBitmap * {
        if (TteBitmap *b = bitmaps.FindBitmap(name))
            return b;
        auto b = std::make_unique<TteBitmap>(4, 3);
        b->Name = name;
        b->Fill(0xFFFF00FF);
        return &bitmaps.Add(std::move(b));
    };
    for (const char *section : ElementSections) {
        TmsuxThemeObject element;
        try {
            element.Load(ini, section, source);
        } catch (const QuillonError &) {
        }
    }
    return 0;
}
