#include "theme/te_theme.h"

#include "theme/te_colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace quillon {

const std::array<ThemeColor, 26> ThemeSysColorConstants = {clActiveBorder,
                                                           clActiveCaption,
                                                           clAppWorkSpace,
                                                           clBackground,
                                                           clBtnFace,
                                                           clBtnHighlight,
                                                           clBtnShadow,
                                                           clBtnText,
                                                           clCaptionText,
                                                           clDefault,
                                                           clGrayText,
                                                           clHighlight,
                                                           clHighlightText,
                                                           clInactiveBorder,
                                                           clInactiveCaption,
                                                           clInactiveCaptionText,
                                                           clInfoBk,
                                                           clInfoText,
                                                           clMenu,
                                                           clMenuText,
                                                           clScrollBar,
                                                           cl3DDkShadow,
                                                           cl3DLight,
                                                           clWindow,
                                                           clWindowFrame,
                                                           clWindowText};

const char *const ThemeColorNames[22] = {
    "CaptionNormal", "CaptionInactive", "WindowBorder", "Window",    "Border",
    "PanelNormal",   "PanelDisabled",   "ButtonNormal", "ButtonHot", "ButtonPressed",
    "ButtonFocused", "ButtonDisabled",  "EditNormal",   "EditHot",   "EditFocused",
    "EditDisabled",  "EditSelection",   "Hint",         "List",      "Tree",
    "Grid",          "BarDock"};

const char *const ThemeFontNames[66] = {"CaptionTextNormal",
                                        "CaptionTextInactive",
                                        "SmCaptionTextNormal",
                                        "SmCaptionTextInactive",
                                        "StaticTextNormal",
                                        "StaticTextHot",
                                        "StaticTextFocused",
                                        "StaticTextDisabled",
                                        "PanelTextNormal",
                                        "PanelTextDisabled",
                                        "ButtonTextNormal",
                                        "ButtonTextPressed",
                                        "ButtonTextHot",
                                        "ButtonTextFocused",
                                        "ButtonTextDisabled",
                                        "CheckBoxTextNormal",
                                        "CheckBoxTextPressed",
                                        "CheckBoxTextHot",
                                        "CheckBoxTextFocused",
                                        "CheckBoxTextDisabled",
                                        "RadioButtonTextNormal",
                                        "RadioButtonTextPressed",
                                        "RadioButtonTextHot",
                                        "RadioButtonTextFocused",
                                        "RadioButtonTextDisabled",
                                        "GroupBoxTextNormal",
                                        "GroupBoxTextDisabled",
                                        "WindowTextNormal",
                                        "WindowTextDisabled",
                                        "EditBoxTextNormal",
                                        "EditBoxTextFocused",
                                        "EditBoxTextHot",
                                        "EditBoxTextDisabled",
                                        "EditBoxTextSelected",
                                        "MenuItemTextNormal",
                                        "MenuItemTextSelected",
                                        "MenuItemTextHot",
                                        "MenuItemTextDisabled",
                                        "ToolItemTextNormal",
                                        "ToolItemTextSelected",
                                        "ToolItemTextHot",
                                        "ToolItemTextDisabled",
                                        "HeaderSectionTextNormal",
                                        "HeaderSectionTextPressed",
                                        "HeaderSectionTextDraggedOut",
                                        "HeaderSectionTextDragging",
                                        "HeaderSectionTextHot",
                                        "HeaderSectionTextUnderDrag",
                                        "HeaderSectionTextDisabled",
                                        "StatusPanelTextNormal",
                                        "StatusPanelTextDisabled",
                                        "TabTextInactiveNormal",
                                        "TabTextInactiveHot",
                                        "TabTextInactiveDisabled",
                                        "TabTextActiveNormal",
                                        "TabTextActiveHot",
                                        "TabTextActiveDisabled",
                                        "ListItemTextNormal",
                                        "ListItemTextHot",
                                        "ListItemTextSelected",
                                        "ListItemTextFocused",
                                        "ListItemTextDisabled",
                                        "PopupMenuItemTextNormal",
                                        "PopupMenuItemTextSelected",
                                        "PopupMenuItemTextHot",
                                        "PopupMenuItemTextDisabled"};

#define QUILLON_SUPPORTS(G) "Supports" #G,
#define QUILLON_TRANSPARENT(G) #G "IsTransparent",
#define QUILLON_CONTENT(G) "Get" #G "ContentRect",
#define QUILLON_PAINT(Op) #Op,
#define QUILLON_TEXT(Op) #Op,
#define QUILLON_SIZE(Op) #Op,
const char *const ThemeSlotNames[158] = {"AssignTo",
                                         "DefineProperties",
                                         "Assign",
                                         "ResetColors",
                                         "ResetSysColors",
                                         "ResetFonts",
                                         "AssignThemeFont",
                                         "Create",
                                         "GetThemeTypeName",
                                         "GetThemeConfig",
                                         "CanLoadStream",
                                         "LoadFromStream",
                                         "SaveToStream",
                                         "LoadFromFile",
                                         "SaveToFile",
                                         "UpdateTheme",
                                         "DrawThemeText",
                                         "SupportsWindow",
                                         "GetWindowRegion",
                                         "WindowHitTest",
                                         "GetWindowContentRect",
                                         "GetWindowCaptionRect",
                                         "GetWindowButtonRect",
                                         "PaintWindowFrame",
                                         "PaintWindowClient",
                                         "PaintWindowCaptionText",
                                         "PaintWindowButton",
                                         "PaintSizeGrip",
#include "theme/te_theme_slots.inc"
                                         "GetObjectBounds",
                                         "GetCustomColor"};
#undef QUILLON_SUPPORTS
#undef QUILLON_TRANSPARENT
#undef QUILLON_CONTENT
#undef QUILLON_PAINT
#undef QUILLON_TEXT
#undef QUILLON_SIZE

namespace {

QRect ltrb(int l, int t, int r, int b) { return QRect(l, t, r - l, b - t); }

uint32_t toPixel(ThemeColor c) { return 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }
ThemeColor fromPixel(uint32_t p) { return MakeThemeColor(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF); }

ThemeColor fromQColor(const QColor &c) { return MakeThemeColor(c.red(), c.green(), c.blue()); }

QColor paletteColor(ThemeColor constant)
{
    const QPalette palette = QGuiApplication::palette();
    switch (constant) {
    case clActiveCaption: return palette.color(QPalette::Active, QPalette::Highlight);
    case clInactiveCaption: return palette.color(QPalette::Inactive, QPalette::Mid);
    case clCaptionText: return palette.color(QPalette::Active, QPalette::HighlightedText);
    case clInactiveCaptionText: return palette.color(QPalette::Inactive, QPalette::Light);
    case clBtnHighlight: return palette.color(QPalette::Light);
    case clBtnShadow: return palette.color(QPalette::Mid);
    case clBtnText: return palette.color(QPalette::ButtonText);
    case clGrayText: return palette.color(QPalette::Disabled, QPalette::Text);
    case clHighlight: return palette.color(QPalette::Active, QPalette::Highlight);
    case clHighlightText: return palette.color(QPalette::Active, QPalette::HighlightedText);
    case clInfoBk: return palette.color(QPalette::ToolTipBase);
    case clInfoText: return palette.color(QPalette::ToolTipText);
    case clMenuText: return palette.color(QPalette::WindowText);
    case cl3DDkShadow: return palette.color(QPalette::Shadow);
    case cl3DLight: return palette.color(QPalette::Midlight);
    case clWindow: return palette.color(QPalette::Base);
    case clWindowFrame: return palette.color(QPalette::Shadow);
    case clWindowText: return palette.color(QPalette::Text);
    case clDefault: return palette.color(QPalette::Base);
    default: return palette.color(QPalette::Button); // the faces: buttons, borders, menus, desktop
    }
}

// The plain group answers of the base class.
bool baseTransparent(std::string_view group)
{
    return group == "Label" || group == "CheckBox" || group == "TrackBar" || group == "GroupBox" || group == "Tab";
}

QRect baseContentRect(std::string_view group, QRect r)
{
    auto inset = [&](int a, int b) { return r.adjusted(a, b, -a, -b); };
    if (group == "Hint")
        return inset(10, 13);
    if (group == "StatusBar")
        return inset(5, 2);
    if (group == "Edit" || group == "ScrollBox")
        return inset(3, 3);
    if (group == "Menu")
        return inset(3, 5);
    if (group == "ToolBar")
        return inset(2, 2).adjusted(9, 0, 0, 0);
    if (group == "ListBox")
        return inset(4, 5);
    if (group == "TreeView" || group == "Grid")
        return inset(2, 2);
    return r;
}

} // namespace

ThemeColor ResolveColor(ThemeColor colour)
{
    if (colour == clNone)
        return colour;
    if (colour & 0x80000000u || colour == clDefault)
        return fromQColor(paletteColor(colour));
    return colour & 0x00FFFFFFu;
}

QColor ToQColor(ThemeColor colour)
{
    const ThemeColor c = ResolveColor(colour);
    return QColor(c & 0xFF, c >> 8 & 0xFF, c >> 16 & 0xFF);
}

ThemeColor ShiftColor(ThemeColor colour, int deltaHue, int deltaBrightness)
{
    if ((deltaHue == 0 && deltaBrightness == 0) || colour == clNone)
        return colour;
    uint32_t p = toPixel(ResolveColor(colour));
    p = ShiftHuePixel(p, deltaHue);
    p = ShiftBrightnessPixel(p, deltaBrightness);
    return fromPixel(p);
}

TteTextInfo MakeTextInfo(QRect rect, const QString &text, unsigned format)
{
    TteTextInfo info;
    info.Rect = rect;
    info.Text = text;
    const int column = (format & DT_CENTER) ? 1 : (format & DT_RIGHT) ? 2 : 0;
    const int row = (format & DT_VCENTER) ? 1 : (format & DT_BOTTOM) ? 2 : 0;
    info.Alignment = static_cast<uint8_t>(column * 3 + row);
    info.Options = static_cast<uint8_t>(((format & DT_RTLREADING) ? 2 : 0) | ((format & DT_NOPREFIX) ? 4 : 0) |
                                        ((format & DT_WORDBREAK) ? 8 : 0) | ((format & DT_SINGLELINE) ? 16 : 0));
    return info;
}

TteTheme::TteTheme()
{
    ScratchFont = QFont("Tahoma");
    UpdateTheme();
}

TteTheme::~TteTheme() = default;

void TteTheme::SetDeltaHue(int value)
{
    if (value != DeltaHue_) {
        DeltaHue_ = value;
        UpdateTheme();
    }
}

void TteTheme::SetDeltaBrightness(int value)
{
    if (value != DeltaBrightness_) {
        DeltaBrightness_ = value;
        UpdateTheme();
    }
}

void TteTheme::SetDeltas(int hue, int brightness)
{
    if (hue != DeltaHue_ || brightness != DeltaBrightness_) {
        DeltaHue_ = hue;
        DeltaBrightness_ = brightness;
        UpdateTheme();
    }
}

ThemeColor TteTheme::GetThemeSysColor(ThemeColor constant) const
{
    for (size_t i = 0; i < ThemeSysColorConstants.size(); ++i)
        if (ThemeSysColorConstants[i] == constant)
            return SysColors[i];
    return clNone;
}

void TteTheme::SetThemeSysColor(ThemeColor constant, ThemeColor colour)
{
    for (size_t i = 0; i < ThemeSysColorConstants.size(); ++i)
        if (ThemeSysColorConstants[i] == constant)
            SysColors[i] = colour;
}

QFont TteTheme::GetObjectFont(int fontIndex, const std::string &objectName)
{
    const QFont &table = Fonts.at(size_t(fontIndex)).Font;
    if (objectName == "default")
        return table;
    ScratchFont = table;
    AssignThemeFont(ScratchFont, static_cast<uint8_t>(fontIndex), objectName);
    return ScratchFont;
}

void TteTheme::Assign(const TteTheme &source)
{
    Name = source.Name;
    Colors = source.Colors;
    SysColors = source.SysColors;
    Fonts = source.Fonts;
    Options[0] = source.Options[0];
    Options[1] = source.Options[1];
}

void TteTheme::ResetColors()
{
    const ThemeColor defaults[22] = {0xFF0000,  0xC0C0C0,  0x808080,  0xC0C0C0,  0x000000,    clBtnFace,
                                     clBtnFace, clBtnFace, clBtnFace, clBtnFace, clBtnFace,   clBtnFace,
                                     clWindow,  clWindow,  clWindow,  clBtnFace, clHighlight, clInfoBk,
                                     clWindow,  clWindow,  clWindow,  clBtnFace};
    for (size_t i = 0; i < 22; ++i)
        Colors[i] = Shifted(defaults[i]);
}

void TteTheme::ResetSysColors()
{
    for (size_t i = 0; i < SysColors.size(); ++i)
        SysColors[i] = Shifted(ResolveColor(ThemeSysColorConstants[i]));
}

void TteTheme::ResetFonts()
{
    auto set = [this](std::initializer_list<int> indexes, int size, bool bold, ThemeColor colour) {
        for (int i : indexes) {
            QFont font("Tahoma");
            font.setPointSize(size);
            font.setBold(bold);
            Fonts[size_t(i)] = ThemeFont{font, colour};
        }
    };
    for (int i = 0; i < 66; ++i)
        set({i}, 8, false, clWindowText);
    set({0}, 10, true, 0xFFFFFF);
    set({1}, 10, true, 0xC0C0C0);
    set({2}, 8, true, 0xFFFFFF);
    set({3}, 8, true, 0xC0C0C0);
    set({4, 5, 6, 7, 10, 11, 12, 13, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 27, 29, 30, 31, 46}, 8, false,
        0x000000);
    set({14, 26, 28, 32, 37, 41, 65}, 8, false, clBtnShadow);
    set({33}, 8, false, 0xFFFFFF);
    for (ThemeFont &f : Fonts)
        f.Color = Shifted(f.Color);
}

void TteTheme::AssignThemeFont(QFont &font, uint8_t fontIndex, const std::string &)
{
    if (fontIndex < Fonts.size())
        font = Fonts[fontIndex].Font;
}

void TteTheme::UpdateTheme()
{
    ResetColors();
    ResetSysColors();
    ResetFonts();
}

void TteTheme::DrawThemeText(TteCanvas &canvas, const TteTextInfo &info)
{
    unsigned flags = 0;
    int alignment = info.Alignment;
    if (info.Options & 2) {
        flags |= DT_RTLREADING;
        if (alignment <= 2)
            alignment += 6;
    }
    if (info.Options & 4)
        flags |= DT_NOPREFIX;
    if (info.Options & 8)
        flags |= DT_WORDBREAK;
    if (info.Options & 16)
        flags |= DT_SINGLELINE;
    const QColor colour = canvas.FontColor;

    if (info.Orientation == 0) {
        QRect target = info.Rect;
        if (alignment != 0) {
            QRect measured = info.Rect;
            canvas.DrawText(info.Text, measured, flags | DT_CALCRECT, colour);
            const int dx = info.Rect.width() - measured.width(), dy = info.Rect.height() - measured.height();
            static const int shifts[9][2] = {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}, {2, 0}, {2, 1}, {2, 2}};
            const int sx = shifts[alignment % 9][0], sy = shifts[alignment % 9][1];
            target = measured.translated(sx == 1 ? dx / 2 : sx == 2 ? dx : 0, sy == 1 ? dy / 2 : sy == 2 ? dy : 0);
        }
        canvas.DrawText(info.Text, target, flags, colour);
        return;
    }
    if (alignment != 0 && alignment != 4)
        return; // turned text has only these two placements
    QRect box = info.Rect;
    if (alignment == 4) {
        QRect measured(0, 0, info.Rect.height(), info.Rect.width());
        canvas.DrawText(info.Text, measured, flags | DT_CALCRECT, colour);
        const QSize turned(measured.height(), measured.width());
        box = QRect(info.Rect.left() + (info.Rect.width() - turned.width()) / 2,
                    info.Rect.top() + (info.Rect.height() - turned.height()) / 2, turned.width(), turned.height())
                  .adjusted(0, -2, 0, 2);
    }
    if (box.width() <= 0 || box.height() <= 0)
        return;
    // Drawn upright off screen, then turned pixel by pixel.
    TteBitmap upright(box.height(), box.width());
    upright.Fill(TE_TRANSPARENT_KEY);
    TteCanvas &off = upright.Canvas();
    off.Font = canvas.Font;
    off.Font.setStyleStrategy(QFont::NoAntialias); // no blends with the key colour
    QRect all = upright.Rect();
    off.DrawText(info.Text, all, flags, colour);
    TteBitmap turnedText(box.width(), box.height());
    turnedText.Fill(TE_TRANSPARENT_KEY);
    for (int y = 0; y < upright.Height(); ++y)
        for (int x = 0; x < upright.Width(); ++x) {
            const uint32_t p = upright.Pixel(x, y);
            if (IsTransparentMark(p))
                continue;
            if (info.Orientation == 1)
                turnedText.SetPixel(box.width() - 1 - y, x, p);
            else
                turnedText.SetPixel(y, box.height() - 1 - x, p);
        }
    turnedText.HasTransparentMarks = true;
    turnedText.Draw(canvas, box.left(), box.top());
}

bool TteTheme::SupportsWindow(uint8_t, const std::string &) { return false; }
QRegion TteTheme::GetWindowRegion(uint8_t, QRect, const std::string &) { return {}; }

void TteTheme::GetWindowContentRect(uint8_t, const TteWindowInfo &info, QRect &rect, const std::string &)
{
    rect = info.Rect.adjusted(4, 22, -4, -4);
}

void TteTheme::GetWindowCaptionRect(uint8_t kind, const TteWindowInfo &info, QRect &rect, const std::string &object)
{
    QRect content;
    GetWindowContentRect(kind, info, content, object);
    rect = ltrb(content.left(), 3, content.left() + content.width(), content.top());
}

void TteTheme::GetWindowButtonRect(uint8_t kind, const TteWindowInfo &info, QRect &rect, const std::string &object,
                                   uint8_t button)
{
    QRect content;
    GetWindowContentRect(kind, info, content, object);
    const int top = 4, bottom = content.top() - 1;
    const int right = content.left() + content.width();
    if (button == 0) {
        rect = ltrb(content.left(), top, content.left() + 22, bottom);
        return;
    }
    // The row at the right, in this order from the right edge.
    static const std::vector<std::vector<int>> order = {{1}, {5, 6}, {3, 4}, {7, 8}, {9}, {2}};
    auto has = [&](int b) { return (info.Buttons >> b) & 1; };
    int place = 0;
    if (has(button)) {
        for (const auto &member : order) {
            if (std::find(member.begin(), member.end(), button) != member.end())
                break;
            if (std::any_of(member.begin(), member.end(), has))
                ++place;
        }
    }
    rect = ltrb(right - 23 - 22 * place, top, right - 1 - 22 * place, bottom);
}

int TteTheme::WindowHitTest(uint8_t kind, const TteWindowInfo &info, QPoint p, const std::string &object)
{
    if (kind != 0 && kind != 1 && kind != 2 && kind != 6)
        return 0;
    QRect content, caption;
    GetWindowContentRect(kind, info, content, object);
    GetWindowCaptionRect(kind, info, caption, object);
    const QRect &r = info.Rect;
    int code = 0;
    if (!r.contains(p))
        return 0;
    const bool left = p.x() < content.left(), right = p.x() >= content.left() + content.width();
    const bool top = p.y() < content.top(), bottom = p.y() >= content.top() + content.height();
    if (left)
        code = 2;
    if (top)
        code = 3;
    if (right)
        code = 4;
    if (bottom)
        code = 5;
    if (left && top)
        code = 7;
    if (right && top)
        code = 8;
    if (left && bottom)
        code = 9;
    if (right && bottom)
        code = 10;
    if (caption.contains(p))
        code = 1;
    static const int codes[13] = {17, 11, 12, 13, 13, 14, 14, 15, 15, 16, 0, 0, 0};
    for (uint8_t b = 0; b <= 12; ++b) {
        QRect buttonRect;
        GetWindowButtonRect(kind, info, buttonRect, object, b);
        if (buttonRect.contains(p)) {
            code = codes[b];
            break;
        }
    }
    return code;
}

void TteTheme::PaintWindowFrame(uint8_t kind, TteCanvas &canvas, const std::string &object, const TteWindowInfo &info)
{
    const QRect r = info.Rect;
    const ThemeColor face = ResolveColor(Colors[7]);
    canvas.FillRect(r, ToQColor(Colors[2]));
    canvas.FrameRect(r, Qt::black);
    const QRect edge = r.adjusted(1, 1, -1, -1);
    canvas.FillRect(QRect(edge.left(), edge.top(), edge.width(), 1), ToQColor(ShiftColor(face, 0, 100)));
    canvas.FillRect(QRect(edge.left(), edge.top(), 1, edge.height()), ToQColor(ShiftColor(face, 0, 100)));
    canvas.FillRect(QRect(edge.left(), edge.bottom(), edge.width(), 1), ToQColor(ShiftColor(face, 0, -100)));
    canvas.FillRect(QRect(edge.right(), edge.top(), 1, edge.height()), ToQColor(ShiftColor(face, 0, -100)));
    QRect caption;
    GetWindowCaptionRect(kind, info, caption, object);
    canvas.FillRect(caption, ToQColor(Colors[(info.State & 1) ? 0 : 1]));
}

void TteTheme::PaintWindowClient(uint8_t, TteCanvas &canvas, const std::string &, QRect rect)
{
    canvas.FillRect(rect, ToQColor(Colors[3]));
}

void TteTheme::PaintWindowCaptionText(uint8_t, TteCanvas &canvas, const std::string &, QRect rect,
                                      const TteWindowInfo &info)
{
    const ThemeFont &font = Fonts[(info.State & 1) ? 0 : 1];
    canvas.Font = font.Font;
    canvas.DrawText(info.Caption, rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE, ToQColor(font.Color));
}

void TteTheme::PaintWindowButton(uint8_t, TteCanvas &canvas, const std::string &, const TteButtonInfo &info)
{
    const QRect r = info.Rect;
    if (r.isEmpty())
        return;
    if (info.Button == 0) {
        if (info.Icon)
            info.Icon->Draw(canvas, r.left() + (r.width() - info.Icon->Width()) / 2,
                            r.top() + (r.height() - info.Icon->Height()) / 2);
        return;
    }
    const ThemeColor face = ResolveColor(Colors[info.State == 1 ? 8 : 7]);
    const QColor light = ToQColor(ShiftColor(face, 0, 100)), dark = ToQColor(ShiftColor(face, 0, -100));
    canvas.FillRect(r, ToQColor(face));
    const bool pressed = info.State == 2;
    canvas.FillRect(QRect(r.left(), r.top(), r.width(), 1), pressed ? dark : light);
    canvas.FillRect(QRect(r.left(), r.top(), 1, r.height()), pressed ? dark : light);
    canvas.FillRect(QRect(r.left(), r.bottom(), r.width(), 1), pressed ? light : dark);
    canvas.FillRect(QRect(r.right(), r.top(), 1, r.height()), pressed ? light : dark);
    const int push = pressed ? 1 : 0;
    const QRect g = r.adjusted(4 + push, 4 + push, -4 + push, -4 + push);
    canvas.PenColor = Qt::black;
    canvas.BrushColor = Qt::black;
    canvas.BrushClear = false;
    switch (info.Button) {
    case 1: // close: a cross
        canvas.PenWidth = 2;
        canvas.Line(g.topLeft(), g.bottomRight() + QPoint(1, 1));
        canvas.Line(QPoint(g.right(), g.top()), QPoint(g.left() - 1, g.bottom() + 1));
        canvas.PenWidth = 1;
        break;
    case 2: { // help: a question mark
        QRect text = g;
        canvas.Font = QFont("Tahoma");
        canvas.Font.setPixelSize(std::max(6, g.height()));
        canvas.Font.setBold(true);
        canvas.DrawText("?", text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, Qt::black);
        break;
    }
    case 3: // minimize: a bar at the bottom
        canvas.FillRect(QRect(g.left(), g.bottom() - 1, g.width() * 2 / 3, 2), Qt::black);
        break;
    case 5: // maximize: a window
        canvas.FrameRect(g, Qt::black);
        canvas.FillRect(QRect(g.left(), g.top(), g.width(), 2), Qt::black);
        break;
    case 4:
    case 6: { // restore: two windows
        const QRect back = QRect(g.left() + 2, g.top(), g.width() - 2, g.height() - 2);
        const QRect front = QRect(g.left(), g.top() + 2, g.width() - 2, g.height() - 2);
        canvas.FrameRect(back, Qt::black);
        canvas.FillRect(front, ToQColor(face));
        canvas.FrameRect(front, Qt::black);
        canvas.FillRect(QRect(front.left(), front.top(), front.width(), 2), Qt::black);
        break;
    }
    case 7:
    case 8: {
        const QRect t = r.adjusted(4, 5, -4, -5).translated(pressed ? -1 : 0, pressed ? -1 : 0);
        const int middle = (t.left() + t.left() + t.width()) / 2;
        if (info.Button == 7)
            canvas.Polygon(
                QPolygon({QPoint(t.left(), t.bottom()), QPoint(t.right(), t.bottom()), QPoint(middle, t.top())}));
        else
            canvas.Polygon(
                QPolygon({QPoint(t.left(), t.top()), QPoint(t.right(), t.top()), QPoint(middle, t.bottom())}));
        break;
    }
    case 9: {
        const QRect inner = r.adjusted(3, 3, -3, -3);
        const QPoint corner = inner.bottomRight() + (pressed ? QPoint(0, 0) : QPoint(1, 1));
        canvas.FillRect(QRect(corner.x() - 2, corner.y() - 2, 3, 3), Qt::black);
        break;
    }
    default: break;
    }
}

void TteTheme::PaintSizeGrip(uint8_t, TteCanvas &canvas, const std::string &, const TteGripInfo &info)
{
    canvas.FillRect(info.Rect, ToQColor(Colors[2]));
    if (!info.Grip)
        return;
    const QRect inner = info.Rect.adjusted(4, 4, -4, -4).translated(3, 3);
    const int l = inner.left(), t = inner.top(), r = inner.left() + inner.width(), b = inner.top() + inner.height();
    canvas.BrushClear = false;
    canvas.BrushColor = QColor(0x80, 0x80, 0x80);
    canvas.PenColor = Qt::black;
    canvas.Polygon(QPolygon({QPoint(r, t - 4), QPoint(r, t), QPoint(l, b), QPoint(l - 4, b)}));
    canvas.Polygon(QPolygon({QPoint(r, t + 3), QPoint(r, b), QPoint(l + 3, b)}));
}

void TteTheme::PaintPlaceholder(TteCanvas &canvas, QRect rect)
{
    canvas.FillRect(rect, ToQColor(Colors[5]));
    canvas.FrameRect(rect, ToQColor(Colors[4]));
}

// The element groups' base behaviours, generated from the slot list.
#define QUILLON_SUPPORTS(G)                                                                                            \
    bool TteTheme::Supports##G(uint8_t, const std::string &) { return false; }
#define QUILLON_TRANSPARENT(G)                                                                                         \
    bool TteTheme::G##IsTransparent(uint8_t, const std::string &, const TteElementInfo &)                              \
    {                                                                                                                  \
        return baseTransparent(#G);                                                                                    \
    }
#define QUILLON_CONTENT(G)                                                                                             \
    QRect TteTheme::Get##G##ContentRect(uint8_t, const std::string &, const TteElementInfo &info)                      \
    {                                                                                                                  \
        return baseContentRect(#G, info.Rect);                                                                         \
    }
#define QUILLON_PAINT(Op)                                                                                              \
    void TteTheme::Op(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)                     \
    {                                                                                                                  \
        constexpr std::string_view name = #Op;                                                                         \
        if (name == "PaintPanelPart" || name == "PaintScrollBoxFrame")                                                 \
            return;                                                                                                    \
        if (name.ends_with("Glyph")) {                                                                                 \
            if (info.Glyph)                                                                                            \
                info.Glyph->Draw(canvas, info.GlyphAt.x(), info.GlyphAt.y());                                          \
            return;                                                                                                    \
        }                                                                                                              \
        PaintPlaceholder(canvas, info.Rect);                                                                           \
    }
#define QUILLON_TEXT(Op)                                                                                               \
    void TteTheme::Op(uint8_t, TteCanvas &canvas, const std::string &, const TteTextInfo &text,                        \
                      const TteElementInfo &)                                                                          \
    {                                                                                                                  \
        DrawThemeText(canvas, text);                                                                                   \
    }
#define QUILLON_SIZE(Op)                                                                                               \
    QSize TteTheme::Op(uint8_t, const std::string &, const TteElementInfo &)                                           \
    {                                                                                                                  \
        return std::string_view(#Op) == "GetCheckBoxSize" ? QSize(13, 13) : QSize(0, 0);                               \
    }
#include "theme/te_theme_slots.inc"
#undef QUILLON_SUPPORTS
#undef QUILLON_TRANSPARENT
#undef QUILLON_CONTENT
#undef QUILLON_PAINT
#undef QUILLON_TEXT
#undef QUILLON_SIZE

QRect TteTheme::GetObjectBounds(const std::string &) { return {}; }
ThemeColor TteTheme::GetCustomColor(const std::string &) { return clNone; }

} // namespace quillon
