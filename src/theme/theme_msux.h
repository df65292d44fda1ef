#pragma once
// TTeThemeMsStyles: the theme class that paints from MS-styles data, the INI
// text of a visual style and the bitmaps it names. It reads and writes the
// packed form, builds its 100 elements from the INI text, takes colours,
// system colours and fonts from [SysMetrics], and loads ".theme" files
// (packed form) and ".msstyles" libraries (PE resources).

#include "platform/pe_resources.h"
#include "theme/msux_ini.h"
#include "theme/te_theme.h"
#include "theme/theme_msux_package.h"
#include "theme/theme_msuxobjects.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

struct TteThemeClass;

class TTeThemeMsStyles : public TteTheme {
public:
    TTeThemeMsStyles();
    static TteThemeClass ThemeClass();

    std::string LibraryFile;
    std::string ThemeName;
    MsuxIni Ini;
    int SizeIndex = 0, ColorIndex = 0;
    std::vector<std::string> ColorNames, SizeNames, IniResourceNames;
    TteBitmapList Bitmaps;
    std::array<TmsuxThemeObject, 100> Elements;
    int CaptionBarHeight = 25, SmallCaptionBarHeight = 17, BorderWidth = 4, SmallBorderWidth = 3;
    ThemeColor MenuBarColor = clMenu, MenuColor = clMenu, MenuHighlightColor = clHighlight, TabFillColor = clBtnFace;
    QFont MenuFont, StatusFont, MsgBoxFont;
    std::string PristineCopy; // the packed form as last loaded, before colour shifts

    // Without bitmaps, or without "Button.Pushbutton", the theme keeps the defaults.
    bool IsEmptyTheme() const;
    TmsuxThemeObject &Element(int index) { return Elements.at(size_t(index)); }

    void Assign(const TteTheme &source) override;
    void ResetColors() override;
    void ResetSysColors() override;
    void ResetFonts() override;
    std::string GetThemeTypeName() const override { return "Microsoft msstyles"; }
    TteThemeConfig GetThemeConfig() const override;
    bool CanLoadStream(std::string_view stream) const override;
    bool LoadFromStream(std::string_view stream) override;
    bool SaveToStream(std::string &stream) override;
    bool LoadFromFile(const std::string &fileName) override;
    bool SaveToFile(const std::string &fileName) override;
    void UpdateTheme() override;

private:
    void ReadPacked(std::string_view bytes);
    TteBitmap *BitmapNamed(const std::string &name);
    std::optional<PeFile> Library; // while a library's theme is being built
};

// A bitmap resource (a DIB without its file header) as a bitmap; 32-bit
// pixels keep their alpha, other depths become opaque.
bool LoadDibResource(TteBitmap &bitmap, const std::string &dib);

} // namespace quillon
