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
#include <string_view>
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
inline constexpr const char *ElementSections[100] = {"Button.Pushbutton",
                                                     "Window",
                                                     "Window.Caption",
                                                     "Window.FrameLeft",
                                                     "Window.FrameRight",
                                                     "Window.FrameBottom",
                                                     "Window.CloseButton",
                                                     "Window.HelpButton",
                                                     "Window.MaxButton",
                                                     "Window.MinButton",
                                                     "Window.RestoreButton",
                                                     "Window.SmallCaption",
                                                     "Window.SmallFrameLeft",
                                                     "Window.SmallFrameRight",
                                                     "Window.SmallFrameBottom",
                                                     "Window.SmallCloseButton",
                                                     "Window.SysButton",
                                                     "Window.Caption(Active)",
                                                     "Window.Caption(Inactive)",
                                                     "Spin",
                                                     "Spin.Up",
                                                     "Spin.Down",
                                                     "Spin.Uphorz",
                                                     "Spin.Downhorz",
                                                     "Button.Pushbutton(Disabled)",
                                                     "Button.Pushbutton(Defaulted)",
                                                     "button.checkbox",
                                                     "Button.checkbox(checkeddisabled)",
                                                     "Button.checkbox(unchecked disabled)",
                                                     "Button.checkbox(mixeddisabled)",
                                                     "button.radiobutton",
                                                     "Button.radiobutton(checkeddisabled)",
                                                     "Button.radiobutton(unchecked disabled)",
                                                     "ScrollBar.ArrowBtn",
                                                     "ScrollBar.ThumbBtnHorz",
                                                     "ScrollBar.ThumbBtnVert",
                                                     "ScrollBar.LowerTrackHorz",
                                                     "ScrollBar.LowerTrackVert",
                                                     "ScrollBar.UpperTrackVert",
                                                     "ScrollBar.GripperHorz",
                                                     "ScrollBar.GripperVert",
                                                     "Progress",
                                                     "Progress.Bar",
                                                     "Progress.Chunk",
                                                     "Progress.BarVert",
                                                     "Progress.ChunkVert",
                                                     "TrackBar",
                                                     "TrackBar.Thumb",
                                                     "TrackBar.ThumbTop",
                                                     "TrackBar.ThumbBottom",
                                                     "TrackBar.ThumbLeft",
                                                     "TrackBar.ThumbRight",
                                                     "TrackBar.ThumbVert",
                                                     "TrackBar.Track",
                                                     "TrackBar.TrackVert",
                                                     "TrackBar.Tics",
                                                     "TrackBar.Tics",
                                                     "button.groupbox",
                                                     "edit",
                                                     "edit.edittext(disabled)",
                                                     "edit.edittext(readonly)",
                                                     "combobox",
                                                     "combobox(hot)",
                                                     "header",
                                                     "header.headeritem",
                                                     "status",
                                                     "status.pane",
                                                     "status.gripperpane",
                                                     "status.gripper",
                                                     "rebar",
                                                     "rebar.band",
                                                     "rebar.gripper",
                                                     "rebar.grippervert",
                                                     "rebar.chevron",
                                                     "rebar.chevronvert",
                                                     "toolbar",
                                                     "toolbar.button",
                                                     "toolbar.separator",
                                                     "toolbar.dropdownbutton",
                                                     "toolbar.splitbutton",
                                                     "toolbar.splitbuttondropdown",
                                                     "tab",
                                                     "tab.pane",
                                                     "tab.toptabitem",
                                                     "tab.body",
                                                     "explorerbar",
                                                     "explorerbar.SpecialGroupBackground",
                                                     "explorerbar.NormalGroupCollapse",
                                                     "explorerbar.NormalGroupExpand",
                                                     "explorerbar.NormalGroupHead",
                                                     "explorerbar.headerclose",
                                                     "listview",
                                                     "Window.MDIMinButton",
                                                     "Window.MDICloseButton",
                                                     "Window.MDIRestoreButton",
                                                     "tab.toptabitemleftedge",
                                                     "tab.toptabitemrightedge",
                                                     "ScrollBar.UpperTrackHorz",
                                                     "combobox(disabled)",
                                                     "Combobox.DropDownButton"};

// The index of a section, found when the program is compiled: drawing never
// looks an element up by name. Case does not matter; the first of two equal
// names answers, as at load time.
consteval int ElementIndex(std::string_view section)
{
    auto lower = [](char ch) { return ch >= 'A' && ch <= 'Z' ? char(ch - 'A' + 'a') : ch; };
    for (int i = 0; i < 100; ++i) {
        const std::string_view name = ElementSections[i];
        if (name.size() != section.size())
            continue;
        bool same = true;
        for (size_t k = 0; k < name.size() && same; ++k)
            same = lower(name[k]) == lower(section[k]);
        if (same)
            return i;
    }
    throw "no element of that name"; // a compile-time error
}

// The elements the theme class draws with.
namespace el {
inline constexpr int Caption = ElementIndex("Window.Caption");
inline constexpr int CaptionActive = ElementIndex("Window.Caption(Active)");
inline constexpr int CaptionInactive = ElementIndex("Window.Caption(Inactive)");
inline constexpr int CheckBox = ElementIndex("button.checkbox");
inline constexpr int CloseButton = ElementIndex("Window.CloseButton");
inline constexpr int ComboBox = ElementIndex("combobox");
inline constexpr int ComboBoxDisabled = ElementIndex("combobox(disabled)");
inline constexpr int DropDownButton = ElementIndex("Combobox.DropDownButton");
inline constexpr int Edit = ElementIndex("edit");
inline constexpr int EditDisabled = ElementIndex("edit.edittext(disabled)");
inline constexpr int EditReadOnly = ElementIndex("edit.edittext(readonly)");
inline constexpr int ExplorerBar = ElementIndex("explorerbar");
inline constexpr int FrameBottom = ElementIndex("Window.FrameBottom");
inline constexpr int FrameLeft = ElementIndex("Window.FrameLeft");
inline constexpr int FrameRight = ElementIndex("Window.FrameRight");
inline constexpr int GripperHorz = ElementIndex("ScrollBar.GripperHorz");
inline constexpr int GripperVert = ElementIndex("ScrollBar.GripperVert");
inline constexpr int GroupBox = ElementIndex("button.groupbox");
inline constexpr int Header = ElementIndex("header");
inline constexpr int HeaderItem = ElementIndex("header.headeritem");
inline constexpr int HelpButton = ElementIndex("Window.HelpButton");
inline constexpr int ListView = ElementIndex("listview");
inline constexpr int MaxButton = ElementIndex("Window.MaxButton");
inline constexpr int MdiCloseButton = ElementIndex("Window.MDICloseButton");
inline constexpr int MdiMinButton = ElementIndex("Window.MDIMinButton");
inline constexpr int MdiRestoreButton = ElementIndex("Window.MDIRestoreButton");
inline constexpr int MinButton = ElementIndex("Window.MinButton");
inline constexpr int ProgressBar = ElementIndex("Progress.Bar");
inline constexpr int ProgressBarVert = ElementIndex("Progress.BarVert");
inline constexpr int ProgressChunk = ElementIndex("Progress.Chunk");
inline constexpr int ProgressChunkVert = ElementIndex("Progress.ChunkVert");
inline constexpr int PushButton = ElementIndex("Button.Pushbutton");
inline constexpr int PushButtonDisabled = ElementIndex("Button.Pushbutton(Disabled)");
inline constexpr int RadioButton = ElementIndex("button.radiobutton");
inline constexpr int Rebar = ElementIndex("rebar");
inline constexpr int RestoreButton = ElementIndex("Window.RestoreButton");
inline constexpr int ScrollArrow = ElementIndex("ScrollBar.ArrowBtn");
inline constexpr int ScrollTrackHorz = ElementIndex("ScrollBar.UpperTrackHorz");
inline constexpr int ScrollTrackVert = ElementIndex("ScrollBar.UpperTrackVert");
inline constexpr int SmallCaption = ElementIndex("Window.SmallCaption");
inline constexpr int SmallCloseButton = ElementIndex("Window.SmallCloseButton");
inline constexpr int SmallFrameBottom = ElementIndex("Window.SmallFrameBottom");
inline constexpr int SmallFrameLeft = ElementIndex("Window.SmallFrameLeft");
inline constexpr int SmallFrameRight = ElementIndex("Window.SmallFrameRight");
inline constexpr int SpinDown = ElementIndex("Spin.Down");
inline constexpr int SpinDownHorz = ElementIndex("Spin.Downhorz");
inline constexpr int SpinUp = ElementIndex("Spin.Up");
inline constexpr int SpinUpHorz = ElementIndex("Spin.Uphorz");
inline constexpr int Status = ElementIndex("status");
inline constexpr int StatusGripper = ElementIndex("status.gripper");
inline constexpr int StatusGripperPane = ElementIndex("status.gripperpane");
inline constexpr int StatusPane = ElementIndex("status.pane");
inline constexpr int Tab = ElementIndex("tab");
inline constexpr int ThumbHorz = ElementIndex("ScrollBar.ThumbBtnHorz");
inline constexpr int ThumbVert = ElementIndex("ScrollBar.ThumbBtnVert");
inline constexpr int Track = ElementIndex("TrackBar.Track");
inline constexpr int TrackBar = ElementIndex("TrackBar");
inline constexpr int TrackThumb = ElementIndex("TrackBar.Thumb");
inline constexpr int TrackThumbBottom = ElementIndex("TrackBar.ThumbBottom");
inline constexpr int TrackThumbLeft = ElementIndex("TrackBar.ThumbLeft");
inline constexpr int TrackThumbRight = ElementIndex("TrackBar.ThumbRight");
inline constexpr int TrackThumbTop = ElementIndex("TrackBar.ThumbTop");
inline constexpr int TrackThumbVert = ElementIndex("TrackBar.ThumbVert");
inline constexpr int TrackVert = ElementIndex("TrackBar.TrackVert");
} // namespace el

} // namespace quillon
