#pragma once
// TTeThemeMsStyles: the theme class that paints from MS-styles data, the INI
// text of a visual style and the bitmaps it names. It reads and writes the
// packed form, builds its 100 elements from the INI text, takes colours,
// system colours and fonts from [SysMetrics], and loads ".theme" files
// (packed form) and ".msstyles" libraries (PE resources).

#include "platform/pe_resources.h"
#include "theme/msstyles/msux_ini.h"
#include "theme/msstyles/theme_msux_package.h"
#include "theme/msstyles/theme_msuxobjects.h"
#include "theme/te_theme.h"

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
    // The package as last loaded, before colour shifts; copies of the theme
    // share it.
    std::shared_ptr<const MsStylesPackage> Pristine;

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
    // A ".msstyles" library already read: its colour scheme ColorIndex and
    // size SizeIndex; fileName names the theme.
    bool LoadFromLibrary(std::string_view bytes, const std::string &fileName);
    void UpdateTheme() override;

    // Drawing (theme_msux_render.cpp).
    bool SupportsWindow(uint8_t kind, const std::string &object) override;
    QRegion GetWindowRegion(uint8_t kind, QRect rect, const std::string &object) override;
    int WindowHitTest(uint8_t kind, const TteWindowInfo &info, QPoint point, const std::string &object) override;
    void GetWindowContentRect(uint8_t kind, const TteWindowInfo &info, QRect &rect, const std::string &object) override;
    void GetWindowCaptionRect(uint8_t kind, const TteWindowInfo &info, QRect &rect, const std::string &object) override;
    void GetWindowButtonRect(uint8_t kind, const TteWindowInfo &info, QRect &rect, const std::string &object,
                             uint8_t button) override;
    void PaintWindowFrame(uint8_t kind, TteCanvas &canvas, const std::string &object,
                          const TteWindowInfo &info) override;
    void PaintWindowClient(uint8_t kind, TteCanvas &canvas, const std::string &object, QRect rect) override;
    void PaintWindowCaptionText(uint8_t kind, TteCanvas &canvas, const std::string &object, QRect rect,
                                const TteWindowInfo &info) override;
    void PaintWindowButton(uint8_t kind, TteCanvas &canvas, const std::string &object,
                           const TteButtonInfo &info) override;
    bool SupportsButton(uint8_t kind, const std::string &object) override;
    bool ButtonIsTransparent(uint8_t kind, const std::string &object, const TteElementInfo &info) override;
    void PaintButton(uint8_t kind, TteCanvas &canvas, const std::string &object, const TteElementInfo &info) override;
    bool SupportsCheckBox(uint8_t kind, const std::string &object) override;
    bool CheckBoxIsTransparent(uint8_t, const std::string &, const TteElementInfo &) override { return true; }
    void PaintCheckBox(uint8_t kind, TteCanvas &canvas, const std::string &object, const TteElementInfo &info) override;
    bool SupportsScrollBar(uint8_t kind, const std::string &object) override;
    bool ScrollBarIsTransparent(uint8_t, const std::string &, const TteElementInfo &) override { return false; }
    void PaintScrollBarButton(uint8_t kind, TteCanvas &canvas, const std::string &object,
                              const TteElementInfo &info) override;
    void PaintScrollBarTrack(uint8_t kind, TteCanvas &canvas, const std::string &object,
                             const TteElementInfo &info) override;
    bool SupportsProgressBar(uint8_t kind, const std::string &object) override;
    void PaintProgressBar(uint8_t kind, TteCanvas &canvas, const std::string &object,
                          const TteElementInfo &info) override;
    bool SupportsTrackBar(uint8_t kind, const std::string &object) override;
    bool TrackBarIsTransparent(uint8_t, const std::string &, const TteElementInfo &) override { return true; }
    void PaintTrackBarTrack(uint8_t kind, TteCanvas &canvas, const std::string &object,
                            const TteElementInfo &info) override;
    void PaintTrackBarThumb(uint8_t kind, TteCanvas &canvas, const std::string &object,
                            const TteElementInfo &info) override;
    QSize GetTrackBarThumbSize(uint8_t kind, const std::string &object, const TteElementInfo &info) override;
    bool SupportsEdit(uint8_t kind, const std::string &object) override;
    QRect GetEditContentRect(uint8_t kind, const std::string &object, const TteElementInfo &info) override;
    void PaintEdit(uint8_t kind, TteCanvas &canvas, const std::string &object, const TteElementInfo &info) override;
    void PaintEditButton(uint8_t kind, TteCanvas &canvas, const std::string &object,
                         const TteElementInfo &info) override;
    bool SupportsGroupBox(uint8_t kind, const std::string &object) override;
    bool GroupBoxIsTransparent(uint8_t kind, const std::string &object, const TteElementInfo &info) override;
    void PaintGroupBox(uint8_t kind, TteCanvas &canvas, const std::string &object, const TteElementInfo &info) override;
    bool SupportsHeader(uint8_t kind, const std::string &object) override;
    void PaintHeader(uint8_t kind, TteCanvas &canvas, const std::string &object, const TteElementInfo &info) override;
    void PaintHeaderSection(uint8_t kind, TteCanvas &canvas, const std::string &object,
                            const TteElementInfo &info) override;
    bool SupportsStatusBar(uint8_t kind, const std::string &object) override;
    QRect GetStatusBarContentRect(uint8_t kind, const std::string &object, const TteElementInfo &info) override;
    void PaintStatusBar(uint8_t kind, TteCanvas &canvas, const std::string &object,
                        const TteElementInfo &info) override;
    void PaintStatusPanel(uint8_t kind, TteCanvas &canvas, const std::string &object,
                          const TteElementInfo &info) override;
    bool SupportsPanel(uint8_t, const std::string &) override { return true; }
    QRect GetPanelContentRect(uint8_t kind, const std::string &object, const TteElementInfo &info) override;
    void PaintPanel(uint8_t kind, TteCanvas &canvas, const std::string &object, const TteElementInfo &info) override;
    bool SupportsListBox(uint8_t kind, const std::string &object) override;
    bool SupportsTreeView(uint8_t kind, const std::string &object) override;
    bool SupportsGrid(uint8_t kind, const std::string &object) override;
    bool SupportsEditFrame(uint8_t kind, const std::string &object) override;
    void PaintListBox(uint8_t kind, TteCanvas &canvas, const std::string &object, const TteElementInfo &info) override;
    void PaintTreeView(uint8_t kind, TteCanvas &canvas, const std::string &object, const TteElementInfo &info) override;
    void PaintGrid(uint8_t kind, TteCanvas &canvas, const std::string &object, const TteElementInfo &info) override;
    void PaintListItem(uint8_t kind, TteCanvas &canvas, const std::string &object, const TteElementInfo &info) override;
    void PaintListItemCheck(uint8_t kind, TteCanvas &canvas, const std::string &object,
                            const TteElementInfo &info) override;
    QRect GetEditFrameContentRect(uint8_t kind, const std::string &object, const TteElementInfo &info) override;
    QRect GetFrameContentRect(uint8_t kind, const std::string &object, const TteElementInfo &info) override;
    QRect GetScrollBoxContentRect(uint8_t kind, const std::string &object, const TteElementInfo &info) override;
    QRect GetTabContentRect(uint8_t kind, const std::string &object, const TteElementInfo &info) override;
    void PaintEditFrame(uint8_t kind, TteCanvas &canvas, const std::string &object,
                        const TteElementInfo &info) override;
    void PaintFrame(uint8_t kind, TteCanvas &canvas, const std::string &object, const TteElementInfo &info) override;
    bool SupportsFrame(uint8_t, const std::string &) override { return true; }
    bool SupportsScrollBox(uint8_t, const std::string &) override { return true; }
    bool SupportsSplitter(uint8_t, const std::string &) override { return true; }
    bool SupportsControlBar(uint8_t, const std::string &) override { return true; }
    bool SupportsMenu(uint8_t, const std::string &) override { return true; }
    void PaintSplitter(uint8_t kind, TteCanvas &canvas, const std::string &object, const TteElementInfo &info) override;
    bool SupportsTab(uint8_t kind, const std::string &object) override;
    bool SupportsToolBar(uint8_t kind, const std::string &object) override;
    bool SupportsRollPanel(uint8_t kind, const std::string &object) override;
    QRect GetMenuContentRect(uint8_t kind, const std::string &object, const TteElementInfo &info) override;
    void PaintMenu(uint8_t kind, TteCanvas &canvas, const std::string &object, const TteElementInfo &info) override;
    void PaintMenuItem(uint8_t kind, TteCanvas &canvas, const std::string &object, const TteElementInfo &info) override;
    void PaintMenuItemGlyph(uint8_t kind, TteCanvas &canvas, const std::string &object,
                            const TteElementInfo &info) override;
    void PaintTabItemText(uint8_t kind, TteCanvas &canvas, const std::string &object, const TteTextInfo &text,
                          const TteElementInfo &info) override;

private:
    bool Built() const { return !Ini.Empty(); }
    // Draws element number element (el::Caption, ...).
    void Draw(int element, TteCanvas &canvas, QRect rect, int imageNumber) const;
    void ReadPacked(std::string_view bytes);
    void CopyBuiltFrom(const TTeThemeMsStyles &other);
    TteBitmap *BitmapNamed(const std::string &name);
    std::optional<PeFile> Library; // while a library's theme is being built
};

// The image number a check-box state draws (0: none).
int CheckBoxImage(int state);

// A bitmap resource (a DIB without its file header) as a bitmap; 32-bit
// pixels keep their alpha, other depths become opaque.
bool LoadDibResource(TteBitmap &bitmap, const std::string &dib);

} // namespace quillon
