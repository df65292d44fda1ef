#pragma once
// TmsuxThemeObject: one element of an MS-styles theme, built from the keys of
// its INI section, and the value parsers of the theme's INI text.
//
// Errors a caller can act on: a colour, integer or font size that is not a
// decimal number raises "'<text>' is not a valid integer value", which aborts
// the load of the theme; margins fall back to zeros instead.

#include "theme/te_bitmap_list.h"
#include "theme/te_canvas.h"
#include "theme/te_theme.h"

#include <QFont>

#include <functional>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillon {

class MsuxIni;

struct Margins {
    int Left = 0, Right = 0, Top = 0, Bottom = 0;
    bool operator==(const Margins &) const = default;
};

// The value parsers.
std::vector<std::string> ValueWords(const std::string &value);
ThemeColor ParseThemeColor(const std::string &value);
bool ParseThemeBoolean(const std::string &value);
int ParseThemeInteger(const std::string &value);
Margins ParseThemeMargins(const std::string &value);
std::pair<int, int> ParseThemePoint(const std::string &value);
QFont ParseThemeFont(const std::string &value);
// "Blue\CheckBox13.bmp" -> "BLUE_CHECKBOX13_BMP".
std::string MsStylesImageName(const std::string &value);

class TmsuxThemeObject {
public:
    // Finds or makes the bitmaps that image keys name; the theme supplies it.
    using BitmapSource = std::function<TteBitmap *(const std::string &name)>;

    std::string SectionName;
    std::vector<std::pair<std::string, std::string>> Properties; // raw: key in lower case, value as written
    bool Defined = false;

    int BgType = 0;
    ThemeColor FillColorHint = 0, FillColor = ColorNone, TextColor = 0, BorderColor = 0;
    ThemeColor TransparentColor = MakeThemeColor(255, 0, 255);
    bool Transparent = false;
    int BorderSize = 0;
    int ImageSelectType = 0;
    TteBitmapLink Image, Image1, Image2, Image3, GlyphImage;
    int ImageCount = 1;
    int ImageLayout = 1;
    int SizingType = 1;
    Margins SizingMargins, ContentMargins, CaptionMargins;
    bool GlyphTransparent = false;
    int GlyphType = 0;
    int ContentAlignment = 0;
    int TextShadowType = 0;
    ThemeColor TextShadowColor = MakeThemeColor(40, 40, 40);
    std::pair<int, int> TextShadowOffset{0, 0};
    uint8_t DrawMode = 0;

    // Draws the element into rect with a 1-based image number (0: the whole
    // image); fill, when given, stands in for FillColor. Drawing changes
    // nothing in the element or its bitmaps.
    void DrawElement(TteCanvas &canvas, QRect rect, int imageNumber, std::optional<ThemeColor> fill = {}) const;
    // How the background image and the glyph are put on the canvas.
    TteDrawMode BackgroundMode(const TteBitmap &bitmap) const;
    TteDrawMode GlyphMode(const TteBitmap &bitmap) const;
    // The frame that DrawElement would take from link for an image number.
    QRect FrameOf(const TteBitmapLink &link, int imageNumber) const;
    // The background image DrawElement chooses for a destination width.
    const TteBitmapLink *ChooseImage(int destWidth) const;

    // Builds the element from its section of the INI text.
    void Load(const MsuxIni &ini, const std::string &sectionName, const BitmapSource &bitmaps);
    std::optional<std::string> Property(const std::string &key) const;

private:
    void Apply(const std::string &key, const std::string &value, const BitmapSource &bitmaps);
    void LinkImage(TteBitmapLink &link, const std::string &value, const BitmapSource &bitmaps, bool changesDrawMode);
    void MarkTransparent(TteBitmapLink &link);
};

// The 100 element sections, by index.
extern const char *const ElementSections[100];

} // namespace quillon
