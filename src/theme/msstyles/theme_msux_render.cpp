// How the MS-styles theme answers the drawing requests of the theme
// interface: each operation picks an element and an image number from the
// kind and the state of its request and hands them to DrawElement.

#include "theme/msstyles/theme_msux.h"
#include "theme/te_colors.h"

#include <QFontMetrics>

namespace quillon {

namespace {

QRect ltrb(int l, int t, int r, int b) { return QRect(l, t, r - l, b - t); }
int rightOf(const QRect &r) { return r.left() + r.width(); }
int bottomOf(const QRect &r) { return r.top() + r.height(); }
bool hasButton(const TteWindowInfo &w, int b) { return (w.Buttons >> b) & 1; }

} // namespace

void TTeThemeMsStyles::Draw(int element, TteCanvas &canvas, QRect rect, int imageNumber) const
{
    Elements[size_t(element)].DrawElement(canvas, rect, imageNumber);
}

// ---- Window

bool TTeThemeMsStyles::SupportsWindow(uint8_t, const std::string &) { return Built(); }

void TTeThemeMsStyles::GetWindowContentRect(uint8_t kind, const TteWindowInfo &info, QRect &rect, const std::string &)
{
    const QRect &r = info.Rect;
    if (kind == WindowStandard || kind == WindowDialog)
        rect = ltrb(r.left() + BorderWidth, r.top() + CaptionBarHeight + BorderWidth, rightOf(r) - BorderWidth,
                    bottomOf(r) - BorderWidth);
    else if (kind == WindowToolWindow)
        rect = ltrb(r.left() + SmallBorderWidth, r.top() + SmallCaptionBarHeight + SmallBorderWidth,
                    rightOf(r) - SmallBorderWidth, bottomOf(r) - SmallBorderWidth);
    else
        rect = r;
}

void TTeThemeMsStyles::GetWindowCaptionRect(uint8_t kind, const TteWindowInfo &info, QRect &rect,
                                            const std::string &object)
{
    QRect c;
    GetWindowContentRect(kind, info, c, object);
    Margins m;
    if (Elements[el::Caption].Property("captionmargins"))
        m = Elements[el::Caption].CaptionMargins;
    const int border = kind == WindowToolWindow ? SmallBorderWidth : BorderWidth;
    int left = c.left() + m.Left;
    if ((kind == WindowStandard || kind == WindowDialog) && hasButton(info, CaptionSystemMenu))
        left += CaptionBarHeight;
    rect = ltrb(left, info.Rect.top() + border, rightOf(c) - m.Right, c.top());
}

void TTeThemeMsStyles::GetWindowButtonRect(uint8_t kind, const TteWindowInfo &info, QRect &rect,
                                           const std::string &object, uint8_t button)
{
    const QRect &r = info.Rect;
    rect = QRect();
    if (kind == WindowToolWindow) {
        const int s = SmallCaptionBarHeight - 2;
        if (button == CaptionClose && hasButton(info, CaptionClose))
            rect = ltrb(rightOf(r) - SmallBorderWidth - 1 - s, SmallBorderWidth + 1, rightOf(r) - SmallBorderWidth - 1,
                        r.top() + SmallBorderWidth + 1 + s);
        return;
    }
    if (kind != WindowStandard && kind != WindowDialog)
        return;
    const int s = CaptionBarHeight - BorderWidth;
    const QRect first = ltrb(rightOf(r) - BorderWidth - 1 - s, BorderWidth + 1, rightOf(r) - BorderWidth - 1,
                             r.top() + BorderWidth + 1 + s);
    const bool close = hasButton(info, CaptionClose),
               maxRestore = hasButton(info, CaptionMaximize) || hasButton(info, CaptionRestoreMaximized),
               minRestore = hasButton(info, CaptionMinimize) || hasButton(info, CaptionRestoreMinimized);
    const int step = s + 2;
    switch (button) {
    case CaptionSystemMenu: {
        QRect c;
        GetWindowContentRect(kind, info, c, object);
        rect = ltrb(c.left(), 5, c.left() + s, s + 5);
        break;
    }
    case CaptionClose: rect = close ? first : QRect(); break;
    case CaptionMaximize:
    case CaptionRestoreMaximized: rect = first.translated(close ? -step : 0, 0); break;
    case CaptionMinimize:
    case CaptionRestoreMinimized: rect = first.translated(-(close ? step : 0) - (maxRestore ? step : 0), 0); break;
    case CaptionHelp:
        if (hasButton(info, CaptionHelp))
            rect = first.translated(-(close ? step : 0) - (maxRestore ? step : 0) - (minRestore ? step : 0), 0);
        break;
    default: break; // roll-up and tray buttons have no place
    }
}

int TTeThemeMsStyles::WindowHitTest(uint8_t kind, const TteWindowInfo &info, QPoint p, const std::string &object)
{
    int code = TteTheme::WindowHitTest(kind, info, p, object);
    if (kind == WindowStandard || kind == WindowDialog || kind == WindowToolWindow) {
        QRect c;
        GetWindowContentRect(kind, info, c, object);
        if ((code == 3 || code == 0) && ltrb(c.left(), BorderWidth, rightOf(c), c.top()).contains(p))
            code = 1;
    }
    return code;
}

void TTeThemeMsStyles::PaintWindowFrame(uint8_t kind, TteCanvas &canvas, const std::string &object,
                                        const TteWindowInfo &info)
{
    const QRect &r = info.Rect;
    QRect c;
    GetWindowContentRect(kind, info, c, object);
    const int image = (info.State & 1) ? 1 : 2;
    const bool small = kind == WindowToolWindow;
    if (kind != WindowStandard && kind != WindowDialog && !small)
        return;
    if (info.Rect2.isEmpty() || info.Rect2.top() == 0)
        Draw(small ? el::SmallCaption : el::Caption, canvas, ltrb(r.left(), r.top(), rightOf(r), c.top()), image);
    Draw(small ? el::SmallFrameLeft : el::FrameLeft, canvas, ltrb(r.left(), c.top(), c.left(), bottomOf(c)), image);
    Draw(small ? el::SmallFrameRight : el::FrameRight, canvas, ltrb(rightOf(c), c.top(), rightOf(r), bottomOf(c)),
         image);
    Draw(small ? el::SmallFrameBottom : el::FrameBottom, canvas, ltrb(r.left(), bottomOf(c), rightOf(r), bottomOf(r)),
         image);
}

void TTeThemeMsStyles::PaintWindowClient(uint8_t, TteCanvas &canvas, const std::string &, QRect rect)
{
    canvas.FillRect(rect, ToQColor(GetThemeSysColor(clBtnFace)));
}

void TTeThemeMsStyles::PaintWindowCaptionText(uint8_t kind, TteCanvas &canvas, const std::string &, QRect rect,
                                              const TteWindowInfo &info)
{
    const bool active = info.State & 1;
    const ThemeFont &font = Fonts[active ? 0 : 1];
    const TmsuxThemeObject &e = Elements[kind == WindowToolWindow ? el::SmallCaption : el::Caption];
    if (kind == WindowStandard || kind == WindowDialog) {
        int available = info.Rect.width() - 2 * BorderWidth;
        for (std::initializer_list<int> group : {std::initializer_list<int>{1}, {5, 6}, {3, 4}, {2}, {9}, {7, 8}})
            if (std::any_of(group.begin(), group.end(), [&](int b) { return hasButton(info, b); }))
                available -= CaptionBarHeight;
        // The frame is measured from the window's own left edge.
        if (available < rect.width())
            rect.setWidth(std::max(0, info.Rect.left() + available - rect.left()));
    }
    canvas.Font = font.Font;
    const QFontMetrics metrics(canvas.Font);
    QString text = info.Caption;
    if (metrics.horizontalAdvance(text) > rect.width()) {
        QString prefix;
        for (const QChar ch : info.Caption) {
            if (metrics.horizontalAdvance(prefix + ch + "...") > rect.width())
                break;
            prefix += ch;
        }
        text = prefix + "...";
    }
    const unsigned align = e.ContentAlignment == 1 ? DT_CENTER : e.ContentAlignment == 2 ? DT_RIGHT : DT_LEFT;
    const unsigned flags = align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    TmsuxThemeObject &shadowSource = Elements[active ? 17 : 18];
    if (shadowSource.Defined && shadowSource.TextShadowType == 1) {
        QRect shadow = rect.translated(shadowSource.TextShadowOffset.first, shadowSource.TextShadowOffset.second);
        canvas.DrawText(text, shadow, flags, ToQColor(Elements[el::Caption].TextShadowColor));
    }
    canvas.DrawText(text, rect, flags, ToQColor(font.Color));
}

void TTeThemeMsStyles::PaintWindowButton(uint8_t kind, TteCanvas &canvas, const std::string &object,
                                         const TteButtonInfo &info)
{
    if (info.Rect.isEmpty() || info.State > 3)
        return;
    const int image = info.State + 1;
    if (kind == WindowToolWindow) {
        if (info.Button == CaptionClose)
            Draw(el::SmallCloseButton, canvas, info.Rect, image);
        return;
    }
    switch (info.Button) {
    case CaptionSystemMenu: TteTheme::PaintWindowButton(kind, canvas, object, info); break;
    case CaptionClose: Draw(el::CloseButton, canvas, info.Rect, image); break;
    case CaptionHelp: Draw(el::HelpButton, canvas, info.Rect, image); break;
    case CaptionMinimize: Draw(el::MinButton, canvas, info.Rect, image); break;
    case CaptionRestoreMinimized:
    case CaptionRestoreMaximized:
    case CaptionRollDown: Draw(el::RestoreButton, canvas, info.Rect, image); break;
    case CaptionMaximize: Draw(el::MaxButton, canvas, info.Rect, image); break;
    default: break;
    }
}

QRegion TTeThemeMsStyles::GetWindowRegion(uint8_t kind, QRect r, const std::string &object)
{
    if ((kind != WindowStandard && kind != WindowDialog && kind != WindowToolWindow) || r.isEmpty() || !Built())
        return {};
    TteWindowInfo info;
    info.Rect = r;
    QRect c;
    GetWindowContentRect(kind, info, c, object);
    const bool small = kind == WindowToolWindow;
    struct Part {
        int element;
        QRect at;
    };
    const Part parts[] = {
        {small ? el::SmallCaption : el::Caption, ltrb(0, 0, r.width(), c.top() - r.top())},
        {small ? el::SmallFrameLeft : el::FrameLeft, ltrb(0, c.top(), c.left() - r.left(), bottomOf(c))},
        {small ? el::SmallFrameRight : el::FrameRight, ltrb(rightOf(c), c.top(), rightOf(r), bottomOf(c))},
        {small ? el::SmallFrameBottom : el::FrameBottom, ltrb(0, bottomOf(c), r.width(), bottomOf(r))},
    };
    QRegion region(c);
    for (const Part &part : parts) {
        if (part.at.width() <= 0 || part.at.height() <= 0)
            continue;
        TteBitmap scratch(part.at.width(), part.at.height());
        scratch.Fill(TE_TRANSPARENT_KEY);
        Draw(part.element, scratch.Canvas(), scratch.Rect(), 1);
        region += scratch.CreateRegion(part.at.left(), part.at.top());
    }
    return region;
}

// ---- Buttons, check boxes, scroll bars, progress and track bars

bool TTeThemeMsStyles::SupportsButton(uint8_t, const std::string &) { return Built(); }

bool TTeThemeMsStyles::ButtonIsTransparent(uint8_t, const std::string &, const TteElementInfo &)
{
    return Elements[el::PushButton].Transparent;
}

void TTeThemeMsStyles::PaintButton(uint8_t kind, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    static const int images[12] = {1, 2, 3, 4, 5, 2, 5, 2, 3, 4, 3, 3};
    if (info.State >= 12)
        return;
    const int element = kind == ButtonSpinUp         ? el::SpinUp
                        : kind == ButtonSpinDown     ? el::SpinDown
                        : kind == ButtonSpinDownHorz ? el::SpinDownHorz
                        : kind == ButtonSpinUpHorz   ? el::SpinUpHorz
                                                     : el::PushButton;
    Draw(element, canvas, info.Rect, images[info.State]);
}

int CheckBoxImage(int state)
{
    static const int images[15] = {5, 6, 7, 8, 5, 1, 2, 3, 4, 1, 9, 10, 11, 12, 9};
    return state >= 0 && state < 15 ? images[state] : 0;
}

bool TTeThemeMsStyles::SupportsCheckBox(uint8_t, const std::string &) { return Built(); }

void TTeThemeMsStyles::PaintCheckBox(uint8_t kind, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    const int image = CheckBoxImage(info.State);
    if (image == 0 || kind > 1)
        return;
    Draw(kind == 0 ? el::CheckBox : el::RadioButton, canvas, info.Rect, image);
}

bool TTeThemeMsStyles::SupportsScrollBar(uint8_t, const std::string &) { return Built(); }

void TTeThemeMsStyles::PaintScrollBarButton(uint8_t kind, TteCanvas &canvas, const std::string &,
                                            const TteElementInfo &info)
{
    if (kind != 0)
        return;
    const int part = info.KindState & 0xFF, state = info.KindState >> 8;
    static const int base[4] = {1, 3, 2, 4};
    if (state > 3)
        return;
    int image = base[state] + (part == ScrollArrowDown    ? 4
                               : part == ScrollArrowLeft  ? 8
                               : part == ScrollArrowRight ? 12
                                                          : 0);
    if (part == ScrollThumbHorz || part == ScrollThumbVert) {
        const TmsuxThemeObject &thumb = Elements[part == ScrollThumbHorz ? el::ThumbHorz : el::ThumbVert];
        const TteBitmapLink *chosen = thumb.ChooseImage(info.Rect.width());
        const QRect frame = chosen->Valid() ? thumb.FrameOf(*chosen, image) : QRect();
        if (frame.width() > info.Rect.width() && !info.Rect.isEmpty()) {
            // Composed at the destination's size first, then put in place.
            TteBitmap scratch(info.Rect.width(), info.Rect.height());
            scratch.Fill(TE_TRANSPARENT_KEY);
            thumb.DrawElement(scratch.Canvas(), scratch.Rect(), image);
            scratch.HasTransparentMarks = true;
            scratch.Draw(canvas, info.Rect.left(), info.Rect.top());
        } else {
            thumb.DrawElement(canvas, info.Rect, image);
        }
        const TmsuxThemeObject &gripper = Elements[part == ScrollThumbHorz ? el::GripperHorz : el::GripperVert];
        const TteBitmapLink *g = gripper.ChooseImage(info.Rect.width());
        if (g->Valid()) {
            const QRect gf = gripper.FrameOf(*g, image);
            if (gf.width() < info.Rect.width() && gf.height() < info.Rect.height())
                gripper.DrawElement(canvas, info.Rect, image);
        }
        return;
    }
    Draw(el::ScrollArrow, canvas, info.Rect, image);
}

void TTeThemeMsStyles::PaintScrollBarTrack(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    const int part = info.KindState & 0xFF;
    if (part == ScrollTrackVert)
        Draw(el::ScrollTrackVert, canvas, info.Rect, 1);
    else if (part == ScrollTrackHorz)
        Draw(el::ScrollTrackHorz, canvas, info.Rect, 1);
}

bool TTeThemeMsStyles::SupportsProgressBar(uint8_t, const std::string &) { return Built(); }

void TTeThemeMsStyles::PaintProgressBar(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    static const int elements[6] = {el::ProgressBarVert, el::ProgressBar,       el::ProgressChunkVert,
                                    el::ProgressChunk,   el::ProgressChunkVert, el::ProgressChunk};
    const int which = info.KindState & 0xFF;
    if (which < 6)
        Draw(elements[which], canvas, info.Rect, 1);
}

bool TTeThemeMsStyles::SupportsTrackBar(uint8_t, const std::string &) { return Elements[el::TrackBar].Defined; }

void TTeThemeMsStyles::PaintTrackBarTrack(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    const int which = info.KindState & 0xFF, state = info.KindState >> 8;
    if (state > 1 || which > 1)
        return;
    Draw(which == 0 ? el::TrackVert : el::Track, canvas, info.Rect, 1);
}

namespace {
const int ThumbElements[6] = {el::TrackThumbVert, el::TrackThumbRight,  el::TrackThumbLeft,
                              el::TrackThumb,     el::TrackThumbBottom, el::TrackThumbTop};
}

void TTeThemeMsStyles::PaintTrackBarThumb(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    const int which = info.KindState & 0xFF, state = info.KindState >> 8;
    if (which < 6 && state <= 4)
        Draw(ThumbElements[which], canvas, info.Rect, state + 1);
}

QSize TTeThemeMsStyles::GetTrackBarThumbSize(uint8_t, const std::string &, const TteElementInfo &info)
{
    const int which = info.KindState & 0xFF;
    if (which >= 6)
        return {};
    const TmsuxThemeObject &e = Elements[size_t(ThumbElements[which])];
    if (e.SizingType != 4)
        return {};
    const TteBitmapLink *chosen = e.ChooseImage(10);
    return chosen->Valid() ? e.FrameOf(*chosen, 1).size() : QSize();
}

// ---- Edits, group boxes, headers, status bars, panels and lists

bool TTeThemeMsStyles::SupportsEdit(uint8_t, const std::string &) { return Elements[el::Edit].Defined; }

QRect TTeThemeMsStyles::GetEditContentRect(uint8_t, const std::string &, const TteElementInfo &info)
{
    return info.Rect.adjusted(4, 4, -4, -4);
}

namespace {
// Draws an element with another element's fill colour.
void drawFilledAs(const TmsuxThemeObject &e, const TmsuxThemeObject &colourOf, TteCanvas &canvas, QRect rect)
{
    e.DrawElement(canvas, rect, 1, colourOf.FillColor);
}
} // namespace

void TTeThemeMsStyles::PaintEdit(uint8_t kind, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    const int state = info.State;
    if (kind >= 4 && kind <= 6) {
        if (state <= 3)
            Elements[el::ComboBox].DrawElement(canvas, info.Rect, 1);
        else if (state == 4)
            drawFilledAs(Elements[el::ComboBox], Elements[el::ComboBoxDisabled], canvas, info.Rect);
        return;
    }
    if (state <= 3)
        Elements[el::Edit].DrawElement(canvas, info.Rect, 1);
    else if (state == 4)
        drawFilledAs(Elements[el::Edit], Elements[el::EditDisabled], canvas, info.Rect);
    else if (state == 5)
        drawFilledAs(Elements[el::Edit], Elements[el::EditReadOnly], canvas, info.Rect);
    else if (state == 6)
        canvas.FillRect(info.Rect, ToQColor(GetThemeSysColor(clHighlight)));
}

void TTeThemeMsStyles::PaintEditButton(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    const int which = info.KindState & 0xFF;
    const int image = which == 1 ? 2 : which == 2 ? 3 : which == 4 ? 4 : (which == 0 || which == 3) ? 1 : 0;
    if (image)
        Draw(el::DropDownButton, canvas, info.Rect, image);
}

bool TTeThemeMsStyles::SupportsGroupBox(uint8_t, const std::string &) { return Elements[el::GroupBox].Defined; }

bool TTeThemeMsStyles::GroupBoxIsTransparent(uint8_t, const std::string &, const TteElementInfo &)
{
    return Elements[el::GroupBox].Transparent;
}

void TTeThemeMsStyles::PaintGroupBox(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    // The frame must not cross the caption: what lies under it is kept.
    const QRect caption = info.Rect2.translated(-canvas.WindowOrigin()).intersected(canvas.Target().Rect());
    TteBitmap saved;
    if (!caption.isEmpty()) {
        saved.SetSize(caption.width(), caption.height());
        canvas.Target().DrawOnBitmap(saved, saved.Rect(), caption);
    }
    Elements[el::GroupBox].DrawElement(canvas, info.Rect, 1);
    if (!caption.isEmpty())
        saved.DrawOnBitmap(canvas.Target(), caption, saved.Rect());
}

bool TTeThemeMsStyles::SupportsHeader(uint8_t, const std::string &) { return Elements[el::Header].Defined; }

void TTeThemeMsStyles::PaintHeader(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    Elements[el::Header].DrawElement(canvas, info.Rect, 1);
}

void TTeThemeMsStyles::PaintHeaderSection(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    const int state = info.KindState >> 8;
    const int image = (state == 1 || state == 5) ? 3 : (state == 3 || state == 4) ? 2 : state < 7 ? 1 : 0;
    if (image)
        Elements[el::HeaderItem].DrawElement(canvas, info.Rect, image);
}

bool TTeThemeMsStyles::SupportsStatusBar(uint8_t, const std::string &) { return Elements[el::Status].Defined; }

QRect TTeThemeMsStyles::GetStatusBarContentRect(uint8_t, const std::string &, const TteElementInfo &info)
{
    return info.Rect.adjusted(2, 2, -2, -2);
}

void TTeThemeMsStyles::PaintStatusBar(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    Elements[el::Status].DrawElement(canvas, info.Rect, 1);
}

void TTeThemeMsStyles::PaintStatusPanel(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    const int which = info.State;
    if (which <= 1)
        Elements[el::StatusPane].DrawElement(canvas, info.Rect, 1);
    else if (which == 2)
        Elements[el::StatusGripperPane].DrawElement(canvas, info.Rect, 1);
    else if (which == 3)
        Elements[el::StatusGripper].DrawElement(canvas, info.Rect, 1);
}

QRect TTeThemeMsStyles::GetPanelContentRect(uint8_t, const std::string &, const TteElementInfo &info)
{
    return info.Rect.adjusted(2, 2, -2, -2);
}

void TTeThemeMsStyles::PaintPanel(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    const QRect r = info.Rect;
    const ThemeColor face = GetThemeSysColor(clBtnFace);
    canvas.FillRect(r, ToQColor(face));
    const QColor light = ToQColor(ShiftColor(face, 0, 30)), dark = ToQColor(ShiftColor(face, 0, -30));
    canvas.FillRect(QRect(r.left(), r.top(), r.width(), 1), light);
    canvas.FillRect(QRect(r.left(), r.top(), 1, r.height()), light);
    canvas.FillRect(QRect(r.left(), r.bottom(), r.width(), 1), dark);
    canvas.FillRect(QRect(r.right(), r.top(), 1, r.height()), dark);
}

bool TTeThemeMsStyles::SupportsListBox(uint8_t, const std::string &) { return Elements[el::Edit].Defined; }
bool TTeThemeMsStyles::SupportsTreeView(uint8_t, const std::string &) { return Elements[el::Edit].Defined; }
bool TTeThemeMsStyles::SupportsGrid(uint8_t, const std::string &) { return Elements[el::Edit].Defined; }
bool TTeThemeMsStyles::SupportsEditFrame(uint8_t, const std::string &) { return Elements[el::Edit].Defined; }

void TTeThemeMsStyles::PaintListBox(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    Elements[el::ListView].DrawElement(canvas, info.Rect, 1);
}
void TTeThemeMsStyles::PaintTreeView(uint8_t k, TteCanvas &c, const std::string &o, const TteElementInfo &i)
{
    PaintListBox(k, c, o, i);
}
void TTeThemeMsStyles::PaintGrid(uint8_t k, TteCanvas &c, const std::string &o, const TteElementInfo &i)
{
    PaintListBox(k, c, o, i);
}

void TTeThemeMsStyles::PaintListItem(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    if (info.State == 2 || info.State == 3)
        canvas.FillRect(info.Rect, ToQColor(GetThemeSysColor(clHighlight)));
    else if (info.State <= 4)
        canvas.FillRect(info.Rect, ToQColor(GetThemeSysColor(clWindow)));
}

void TTeThemeMsStyles::PaintListItemCheck(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    switch (info.KindState & 0xFF) {
    case 0: Elements[el::CheckBox].DrawElement(canvas, info.Rect, 5); break;
    case 1: Elements[el::CheckBox].DrawElement(canvas, info.Rect, 1); break;
    case 2: Elements[el::CheckBox].DrawElement(canvas, info.Rect, 9); break;
    case 3:
        if (info.Glyph)
            info.Glyph->Draw(canvas, info.Rect.left() + (info.Rect.width() - info.Glyph->Width()) / 2,
                             info.Rect.top() + (info.Rect.height() - info.Glyph->Height()) / 2);
        break;
    default: break;
    }
}

QRect TTeThemeMsStyles::GetEditFrameContentRect(uint8_t, const std::string &, const TteElementInfo &info)
{
    return info.Rect.adjusted(2, 2, -2, -2);
}
QRect TTeThemeMsStyles::GetFrameContentRect(uint8_t, const std::string &, const TteElementInfo &info)
{
    return info.Rect.adjusted(2, 2, -2, -2);
}
QRect TTeThemeMsStyles::GetScrollBoxContentRect(uint8_t, const std::string &, const TteElementInfo &info)
{
    return info.Rect.adjusted(2, 2, -2, -2);
}
QRect TTeThemeMsStyles::GetTabContentRect(uint8_t, const std::string &, const TteElementInfo &info)
{
    return info.Rect.adjusted(1, 1, -1, -1);
}

void TTeThemeMsStyles::PaintEditFrame(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    const int state = info.State;
    if (state <= 2)
        Elements[el::Edit].DrawElement(canvas, info.Rect, 1);
    else if (state == 3)
        drawFilledAs(Elements[el::Edit], Elements[el::EditDisabled], canvas, info.Rect);
    else if (state == 4)
        drawFilledAs(Elements[el::Edit], Elements[el::EditReadOnly], canvas, info.Rect);
    else if (state == 5)
        canvas.FillRect(info.Rect, ToQColor(GetThemeSysColor(clHighlight)));
}

void TTeThemeMsStyles::PaintFrame(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    canvas.FillRect(info.Rect, ToQColor(GetThemeSysColor(clBtnFace)));
    canvas.FrameRect(info.Rect, ToQColor(Elements[el::Edit].BorderColor));
}

void TTeThemeMsStyles::PaintSplitter(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    canvas.FillRect(info.Rect, ToQColor(GetThemeSysColor(clBtnFace)));
}

bool TTeThemeMsStyles::SupportsTab(uint8_t, const std::string &) { return Elements[el::Tab].Defined; }
bool TTeThemeMsStyles::SupportsToolBar(uint8_t, const std::string &) { return Elements[el::Rebar].Defined; }
bool TTeThemeMsStyles::SupportsRollPanel(uint8_t, const std::string &) { return Elements[el::ExplorerBar].Defined; }

// ---- Menus and text

QRect TTeThemeMsStyles::GetMenuContentRect(uint8_t kind, const std::string &, const TteElementInfo &info)
{
    return kind == 0 ? info.Rect : info.Rect.adjusted(2, 2, -2, -2);
}

void TTeThemeMsStyles::PaintMenu(uint8_t kind, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    canvas.FillRect(info.Rect, ToQColor(MenuColor));
    if (kind == 1)
        canvas.FrameRect(info.Rect, ToQColor(MenuHighlightColor));
}

namespace {
void arrow(TteCanvas &canvas, QRect square, QColor colour, int direction) // 0 up, 1 down, 2 right
{
    const QPoint c = square.center();
    canvas.PenColor = colour;
    canvas.BrushColor = colour;
    canvas.BrushClear = false;
    if (direction == 0)
        canvas.Polygon(
            QPolygon({QPoint(c.x() - 3, c.y() + 1), QPoint(c.x() + 3, c.y() + 1), QPoint(c.x(), c.y() - 2)}));
    else if (direction == 1)
        canvas.Polygon(
            QPolygon({QPoint(c.x() - 3, c.y() - 1), QPoint(c.x() + 3, c.y() - 1), QPoint(c.x(), c.y() + 2)}));
    else
        canvas.Polygon(
            QPolygon({QPoint(c.x() - 1, c.y() - 3), QPoint(c.x() - 1, c.y() + 3), QPoint(c.x() + 2, c.y())}));
}
} // namespace

void TTeThemeMsStyles::PaintMenuItem(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    const int part = info.KindState & 0xFF, state = info.KindState >> 8;
    const QRect r = info.Rect;
    switch (part) {
    case 0: canvas.FillRect(r, ToQColor((state == 1 || state == 2) ? MenuHighlightColor : MenuColor)); break;
    case 1:
        canvas.FillRect(r, ToQColor(MenuColor));
        canvas.FillRect(r.adjusted(5, r.height() / 2, -5, -(r.height() - r.height() / 2 - 1)),
                        ToQColor(MenuHighlightColor));
        break;
    case 3:
    case 4:
        canvas.FillRect(r, ToQColor(MenuColor));
        if (state == 1 || state == 2) {
            canvas.PenColor = ToQColor(MenuHighlightColor);
            canvas.BrushClear = true;
            canvas.RoundRect(r, 3, 3);
            canvas.BrushClear = false;
        }
        arrow(canvas, QRect(r.left() + (r.width() - 14) / 2, r.top() + (r.height() - 14) / 2, 14, 14),
              QColor(0x80, 0x80, 0x80), part == 3 ? 0 : 1);
        break;
    case 7:
    case 8:
    case 9: {
        const int image = state == 0 ? 1 : state == 3 ? 3 : 2;
        Draw(part == 7 ? el::MdiMinButton : part == 8 ? el::MdiRestoreButton : el::MdiCloseButton, canvas, r, image);
        break;
    }
    default: break;
    }
}

void TTeThemeMsStyles::PaintMenuItemGlyph(uint8_t, TteCanvas &canvas, const std::string &, const TteElementInfo &info)
{
    const QRect r = info.Rect;
    const QRect square(r.left() + (r.width() - 16) / 2, r.top() + (r.height() - 16) / 2, 16, 16);
    const int cx = square.left() + 8, cy = square.top() + 8;
    const QColor colour = canvas.FontColor;
    switch (info.KindState & 0xFF) {
    case 0: { // the check mark: two polylines
        auto moved = [&](std::initializer_list<QPoint> points) {
            QPolygon p;
            for (const QPoint &pt : points)
                p << pt + QPoint(cx - 2, cy + 1);
            return p;
        };
        canvas.PenColor = colour;
        canvas.Polyline(moved({{-2, -2}, {0, 0}, {4, -4}, {4, -3}, {0, 1}, {-2, -1}, {-2, -2}}));
        canvas.Polyline(moved({{-3, -2}, {-3, -1}, {0, 2}, {5, -3}, {5, -5}}));
        break;
    }
    case 1:
        canvas.PenColor = Qt::black;
        canvas.BrushColor = Qt::black;
        canvas.BrushClear = false;
        canvas.RoundRect(QRect(cx - 3, cy - 3, 6, 6), 3, 3);
        break;
    case 2: arrow(canvas, square, colour, 2); break;
    case 3:
    case 4:
        if (info.Glyph) {
            const int x = r.left() + (r.width() - info.Glyph->Width()) / 2,
                      y = r.top() + (r.height() - info.Glyph->Height()) / 2;
            const int state = info.KindState >> 8;
            if ((info.KindState & 0xFF) == 3 && (state == 1 || state == 2)) {
                TteBitmap shadow;
                shadow.Assign(*info.Glyph);
                for (int yy = 0; yy < shadow.Height(); ++yy)
                    for (int xx = 0; xx < shadow.Width(); ++xx)
                        if (!IsTransparentMark(shadow.Pixel(xx, yy)) && (shadow.Pixel(xx, yy) >> 24))
                            shadow.SetPixel(xx, yy, 0xFF808080);
                shadow.Draw(canvas, x + 1, y + 1);
                info.Glyph->Draw(canvas, x - 1, y - 1);
            } else {
                info.Glyph->Draw(canvas, x, y);
            }
        }
        break;
    default: break;
    }
}

void TTeThemeMsStyles::PaintTabItemText(uint8_t kind, TteCanvas &canvas, const std::string &object,
                                        const TteTextInfo &text, const TteElementInfo &info)
{
    TteTextInfo turned = text;
    const int tabKind = info.KindState & 0xFF;
    if (tabKind >= 3 && tabKind <= 5)
        turned.Orientation = 2;
    else if (tabKind >= 6 && tabKind <= 8)
        turned.Orientation = 1;
    TteTheme::PaintTabItemText(kind, canvas, object, turned, info);
}

} // namespace quillon
