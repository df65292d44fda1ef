#pragma once
// TteTheme: the one interface every skinned window and control paints
// through. For an element group (window frame, button, check box ...) and an
// object name a theme answers whether it draws it, what the content
// rectangle inside it is, and draws it and its text. Concrete classes
// override what they support; this base class answers "not supported" and
// draws plain placeholders. Besides the drawing operations a theme carries
// four tables: 22 colours, 26 system colours, 66 fonts and two options.
//
// The virtual operations are declared in their slot order (ThemeSlotNames
// lists them), starting at slot 3 after the persistent-object operations.

#include "theme/te_bitmap.h"
#include "theme/te_canvas.h"
#include "theme/te_theme_kinds.h"

#include <QFont>
#include <QRect>
#include <QRegion>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quillon {

// A colour value with red in the low byte. System colour references are
// symbolic (0x80000000 + the system colour number) until a shift resolves
// them; ColorNone is "no colour" (an element without a fill).
using ThemeColor = uint32_t;
inline constexpr ThemeColor ColorNone = 0x1FFFFFFF;
inline constexpr ThemeColor MakeThemeColor(int r, int g, int b)
{
    return uint32_t(r & 0xFF) | uint32_t(g & 0xFF) << 8 | uint32_t(b & 0xFF) << 16;
}

enum SystemColor : ThemeColor {
    clScrollBar = 0x80000000,
    clBackground = 0x80000001,
    clActiveCaption = 0x80000002,
    clInactiveCaption = 0x80000003,
    clMenu = 0x80000004,
    clWindow = 0x80000005,
    clWindowFrame = 0x80000006,
    clMenuText = 0x80000007,
    clWindowText = 0x80000008,
    clCaptionText = 0x80000009,
    clActiveBorder = 0x8000000A,
    clInactiveBorder = 0x8000000B,
    clAppWorkSpace = 0x8000000C,
    clHighlight = 0x8000000D,
    clHighlightText = 0x8000000E,
    clBtnFace = 0x8000000F,
    clBtnShadow = 0x80000010,
    clGrayText = 0x80000011,
    clBtnText = 0x80000012,
    clInactiveCaptionText = 0x80000013,
    clBtnHighlight = 0x80000014,
    cl3DDkShadow = 0x80000015,
    cl3DLight = 0x80000016,
    clInfoText = 0x80000017,
    clInfoBk = 0x80000018,
    clDefault = 0x20000040,
};
inline constexpr ThemeColor clNone = ColorNone;

// The 26 system colour constants, in the order of the system-colour table.
extern const std::array<ThemeColor, 26> ThemeSysColorConstants;
// A colour value resolved to red, green and blue (system colours from the palette).
ThemeColor ResolveColor(ThemeColor colour);
QColor ToQColor(ThemeColor colour);
// The colour shift of the theme: hue, then brightness; 0 and 0 leave it as it is.
ThemeColor ShiftColor(ThemeColor colour, int deltaHue, int deltaBrightness);

struct TteTextInfo {
    QRect Rect;
    QString Text;
    uint8_t Alignment = 0;   // 0 top-left ... 4 centre ... 8 bottom-right
    uint8_t Options = 0;     // bit 1 right-to-left, 2 no prefix, 3 word break, 4 single line
    uint8_t Orientation = 0; // 0 normal, 1 turned clockwise, 2 turned anticlockwise
};
// From DrawText-style flags.
TteTextInfo MakeTextInfo(QRect rect, const QString &text, unsigned format);

struct TteWindowInfo {
    QRect Rect;
    uint8_t State = 0;    // bit 0: the window is active
    uint16_t Buttons = 0; // which caption buttons the window has
    QRect Rect2;
    QString Caption;
    bool NonClientDisabled = false;
};

struct TteThemeConfig {
    bool Builtin = false, CanSave = false, CanLoad = false;
    std::string FileFilter, DefaultExt;
};

// What a caller says about the element it asks to be drawn.
struct TteElementInfo {
    QRect Rect;
    QRect Rect2; // a second rectangle where the group has one (a group box's caption)
    uint8_t State = 0;
    uint16_t KindState = 0;
    const TteBitmap *Glyph = nullptr;
    QPoint GlyphAt;
};

inline TteElementInfo MakeElementInfo(QRect rect, uint8_t state = 0, uint16_t kindState = 0)
{
    TteElementInfo info;
    info.Rect = rect;
    info.State = state;
    info.KindState = kindState;
    return info;
}

struct TteButtonInfo { // caption buttons of the window frame
    QRect Rect;
    uint8_t Button = 0;
    uint8_t State = 0; // 0 normal, 1 hot, 2 pressed, 3 window inactive
    const TteBitmap *Icon = nullptr;
};

struct TteGripInfo {
    QRect Rect;
    bool Grip = false;
};

struct ThemeFont {
    QFont Font;
    ThemeColor Color = clWindowText;
};

extern const char *const ThemeColorNames[22];
extern const char *const ThemeFontNames[66];
extern const char *const ThemeSlotNames[158];

class TteTheme {
public:
    TteTheme();
    virtual ~TteTheme();
    TteTheme(const TteTheme &) = delete;
    TteTheme &operator=(const TteTheme &) = delete;

    std::array<ThemeColor, 22> Colors{};
    std::array<ThemeColor, 26> SysColors{};
    std::array<ThemeFont, 66> Fonts{};
    QFont ScratchFont;
    uint8_t Options[2] = {0, 0};
    std::string Name = "Default theme";
    std::string FileName;

    int DeltaHue() const { return DeltaHue_; }
    int DeltaBrightness() const { return DeltaBrightness_; }
    // Run UpdateTheme when the value differs.
    void SetDeltaHue(int value);
    void SetDeltaBrightness(int value);
    void SetDeltas(int hue, int brightness);

    ThemeColor GetThemeSysColor(ThemeColor constant) const;
    void SetThemeSysColor(ThemeColor constant, ThemeColor colour);
    // The table font, or for an object a copy passed through AssignThemeFont.
    QFont GetObjectFont(int fontIndex, const std::string &objectName);

    // Slots 0-2.
    virtual void Assign(const TteTheme &source);
    // Slots 3-16.
    virtual void ResetColors();
    virtual void ResetSysColors();
    virtual void ResetFonts();
    virtual void AssignThemeFont(QFont &font, uint8_t fontIndex, const std::string &objectName);
    virtual std::string GetThemeTypeName() const { return "Default"; }
    virtual TteThemeConfig GetThemeConfig() const { return {}; }
    virtual bool CanLoadStream(std::string_view) const { return false; }
    virtual bool LoadFromStream(std::string_view) { return false; }
    virtual bool SaveToStream(std::string &) { return false; }
    virtual bool LoadFromFile(const std::string &) { return false; }
    virtual bool SaveToFile(const std::string &) { return false; }
    virtual void UpdateTheme();
    virtual void DrawThemeText(TteCanvas &canvas, const TteTextInfo &info);
    // Slots 17-27: the window frame.
    virtual bool SupportsWindow(uint8_t kind, const std::string &object);
    virtual QRegion GetWindowRegion(uint8_t kind, QRect rect, const std::string &object);
    virtual int WindowHitTest(uint8_t kind, const TteWindowInfo &info, QPoint point, const std::string &object);
    virtual void GetWindowContentRect(uint8_t kind, const TteWindowInfo &info, QRect &rect, const std::string &object);
    virtual void GetWindowCaptionRect(uint8_t kind, const TteWindowInfo &info, QRect &rect, const std::string &object);
    virtual void GetWindowButtonRect(uint8_t kind, const TteWindowInfo &info, QRect &rect, const std::string &object,
                                     uint8_t button);
    virtual void PaintWindowFrame(uint8_t kind, TteCanvas &canvas, const std::string &object,
                                  const TteWindowInfo &info);
    virtual void PaintWindowClient(uint8_t kind, TteCanvas &canvas, const std::string &object, QRect rect);
    virtual void PaintWindowCaptionText(uint8_t kind, TteCanvas &canvas, const std::string &object, QRect rect,
                                        const TteWindowInfo &info);
    virtual void PaintWindowButton(uint8_t kind, TteCanvas &canvas, const std::string &object,
                                   const TteButtonInfo &info);
    virtual void PaintSizeGrip(uint8_t kind, TteCanvas &canvas, const std::string &object, const TteGripInfo &info);

// The element groups, slots 28-155: each with the operations the slot table
// names, in order.
#define QUILLON_SUPPORTS(G) virtual bool Supports##G(uint8_t kind, const std::string &object);
#define QUILLON_TRANSPARENT(G)                                                                                         \
    virtual bool G##IsTransparent(uint8_t kind, const std::string &object, const TteElementInfo &info);
#define QUILLON_CONTENT(G)                                                                                             \
    virtual QRect Get##G##ContentRect(uint8_t kind, const std::string &object, const TteElementInfo &info);
#define QUILLON_PAINT(Op)                                                                                              \
    virtual void Op(uint8_t kind, TteCanvas &canvas, const std::string &object, const TteElementInfo &info);
#define QUILLON_TEXT(Op)                                                                                               \
    virtual void Op(uint8_t kind, TteCanvas &canvas, const std::string &object, const TteTextInfo &text,               \
                    const TteElementInfo &info);
#define QUILLON_SIZE(Op) virtual QSize Op(uint8_t kind, const std::string &object, const TteElementInfo &info);
#include "theme/te_theme_slots.inc"
#undef QUILLON_SIZE
#undef QUILLON_SUPPORTS
#undef QUILLON_TRANSPARENT
#undef QUILLON_CONTENT
#undef QUILLON_PAINT
#undef QUILLON_TEXT
    // Slots 156-157.
    virtual QRect GetObjectBounds(const std::string &object);
    virtual ThemeColor GetCustomColor(const std::string &colorName);

protected:
    // Draws the plain placeholder of an element.
    void PaintPlaceholder(TteCanvas &canvas, QRect rect);
    ThemeColor Shifted(ThemeColor colour) const { return ShiftColor(colour, DeltaHue_, DeltaBrightness_); }

    int DeltaHue_ = 0;
    int DeltaBrightness_ = 0;
};

} // namespace quillon
