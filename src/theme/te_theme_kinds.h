#pragma once
// Names for the kinds, parts and states that callers of the theme interface
// pass in its Kind argument and in the State and KindState fields of its
// records. The numbers are the interface's own and never change: a theme
// class reads them as numbers, a control writes them by name.

#include <cstdint>

namespace quillon {

// A word of a part (low byte) and a state (high byte): KindState.
constexpr uint16_t MakeKindState(uint8_t part, uint8_t state) { return uint16_t(part | state << 8); }
constexpr uint8_t PartOf(uint16_t kindState) { return uint8_t(kindState & 0xFF); }
constexpr uint8_t StateOf(uint16_t kindState) { return uint8_t(kindState >> 8); }

// The frame of a window (Kind of the window group).
enum TteWindowKind : uint8_t {
    WindowStandard = 0,
    WindowDialog = 1,
    WindowBorder = 2,
    WindowNoBorder = 4,
    WindowToolWindow = 6,
};

// Caption buttons, numbered as GetWindowButtonRect and PaintWindowButton
// take them; TteWindowInfo::Buttons has bit n for button n.
enum TteCaptionButton : uint8_t {
    CaptionSystemMenu = 0, // the window's icon
    CaptionClose = 1,
    CaptionHelp = 2,
    CaptionMinimize = 3,
    CaptionRestoreMinimized = 4,
    CaptionMaximize = 5,
    CaptionRestoreMaximized = 6,
    CaptionRollUp = 7,
    CaptionRollDown = 8,
    CaptionTray = 9,
};
constexpr uint16_t CaptionButtonBit(TteCaptionButton button) { return uint16_t(1u << button); }

enum TteCaptionButtonState : uint8_t {
    CaptionButtonNormal = 0,
    CaptionButtonHot = 1,
    CaptionButtonPressed = 2,
    CaptionButtonInactive = 3, // the window is not active
};

// What WindowHitTest answers for a point of the window.
enum TteHitCode : int {
    HitNowhere = 0,
    HitCaption = 1,
    HitLeft = 2,
    HitTop = 3,
    HitRight = 4,
    HitBottom = 5,
    HitTopLeft = 7,
    HitTopRight = 8,
    HitBottomLeft = 9,
    HitBottomRight = 10,
    HitClose = 11,
    HitHelp = 12,
    HitMinimize = 13,
    HitMaximize = 14,
    HitRollUp = 15,
    HitTray = 16,
    HitSystemMenu = 17,
};

// Push buttons (State of PaintButton); Kind 4 to 7 are the spin buttons.
enum TteButtonState : uint8_t {
    ButtonNormal = 0,
    ButtonHot = 1,
    ButtonPressed = 2,
    ButtonDisabled = 3,
    ButtonFocused = 4,
    ButtonDefault = 6, // the active default button
};
enum TteButtonKind : uint8_t {
    ButtonPush = 0,
    ButtonSpinUp = 4,
    ButtonSpinDown = 5,
    ButtonSpinDownHorz = 6,
    ButtonSpinUpHorz = 7,
};

// Check boxes and radio buttons: Kind, and State as value + look.
enum TteCheckKind : uint8_t { CheckBoxKind = 0, RadioButtonKind = 1 };
enum TteCheckState : uint8_t {
    CheckedNormal = 0,
    CheckedHot = 1,
    CheckedPressed = 2,
    CheckedDisabled = 3,
    UncheckedNormal = 5,
    UncheckedHot = 6,
    UncheckedPressed = 7,
    UncheckedDisabled = 8,
    MixedNormal = 10,
    MixedHot = 11,
    MixedPressed = 12,
    MixedDisabled = 13,
};

// Scroll bars: the part in the low byte of KindState, the state in the high.
enum TteScrollPart : uint8_t {
    ScrollArrowUp = 0,
    ScrollArrowDown = 1,
    ScrollArrowLeft = 4,
    ScrollArrowRight = 5,
    ScrollThumbHorz = 8,
    ScrollThumbVert = 9,
};
enum TteScrollTrack : uint8_t { ScrollTrackVert = 0, ScrollTrackHorz = 1 };
enum TteScrollState : uint8_t {
    ScrollNormal = 0,
    ScrollPressed = 1, // a button held with the pointer over it; the thumb while held
    ScrollHot = 2,
    ScrollDisabled = 3,
};

// Progress bars: the low byte of KindState.
enum TteProgressPart : uint8_t {
    ProgressFrameVert = 0,
    ProgressFrameHorz = 1,
    ProgressBlocksVert = 2,
    ProgressBlocksHorz = 3,
    ProgressSmoothVert = 4,
    ProgressSmoothHorz = 5,
};

// Edits (State of PaintEdit); Kind 4 to 6 are combo boxes.
enum TteEditState : uint8_t {
    EditNormal = 0,
    EditHot = 1,
    EditFocused = 2,
    EditDisabled = 4,
    EditReadOnly = 5,
    EditSelected = 6,
};
enum TteEditKind : uint8_t { EditKind = 0, ComboKind = 6 };
// The drop-down button of a combo box (low byte of KindState).
enum TteEditButtonState : uint8_t {
    EditButtonNormal = 0,
    EditButtonHot = 1,
    EditButtonDropped = 2,
    EditButtonDisabled = 4,
};

// Header sections: the state in the high byte of KindState.
enum TteHeaderState : uint8_t { HeaderNormal = 0, HeaderPressed = 1, HeaderHot = 3 };

// Status bars (State of PaintStatusPanel).
enum TteStatusPanel : uint8_t { StatusPanelNormal = 0, StatusPanelLast = 2, StatusSizeGrip = 3 };

// List items (State of PaintListItem) and their check glyphs (low byte).
enum TteListItemState : uint8_t {
    ListItemNormal = 0,
    ListItemHot = 1,
    ListItemSelected = 2,
    ListItemFocusedSelected = 3,
    ListItemFocused = 4,
};
enum TteListCheck : uint8_t { ListCheckUnchecked = 0, ListCheckChecked = 1, ListCheckMixed = 2, ListCheckGlyph = 3 };

// Menus: Kind 0 the menu bar, 1 a popup; items as part and state.
enum TteMenuKind : uint8_t { MenuBar = 0, MenuPopup = 1 };
enum TteMenuPart : uint8_t {
    MenuItem = 0,
    MenuSeparator = 1,
    MenuScrollUp = 3,
    MenuScrollDown = 4,
    MenuMdiMinimize = 7,
    MenuMdiRestore = 8,
    MenuMdiClose = 9,
};
enum TteMenuState : uint8_t { MenuNormal = 0, MenuHot = 1, MenuSelected = 2, MenuDisabled = 3 };
enum TteMenuGlyph : uint8_t {
    MenuGlyphCheck = 0,
    MenuGlyphRadio = 1,
    MenuGlyphSubMenu = 2,
    MenuGlyphImage = 3,
    MenuGlyphImagePlain = 4,
};

} // namespace quillon
