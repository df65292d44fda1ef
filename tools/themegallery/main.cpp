// theme-gallery: renders every element of a theme in every state, and a
// mock-up of Quillon's main window in its frame, into one PNG.
//   theme-gallery OUT.png [THEME]   (THEME: a .theme or .msstyles file; default: the embedded theme)

#include "embedded_theme.h"
#include "theme/msstyles/theme_msux.h"
#include "theme/te_engine.h"

#include <QGuiApplication>

#include <cstdio>

using namespace quillon;

namespace {

TteElementInfo at(QRect r, int state = 0, int kindState = 0)
{
    TteElementInfo info;
    info.Rect = r;
    info.State = static_cast<uint8_t>(state);
    info.KindState = static_cast<uint16_t>(kindState);
    return info;
}

void label(TteCanvas &c, QRect r, const QString &text, QColor colour = QColor(24, 32, 44), unsigned align = DT_LEFT)
{
    c.DrawText(text, r, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, colour);
}

// The main window as it will look: frame, caption and the controls of the batch panel.
void windowMockup(TTeThemeMsStyles &t, TteCanvas &c, QPoint origin)
{
    TteWindowInfo w;
    w.Rect = QRect(0, 0, 522 + 2 * t.BorderWidth, 410 + t.CaptionBarHeight + 2 * t.BorderWidth);
    w.State = 1;
    w.Buttons = 1 << 1 | 1 << 3 | 1 << 5;
    w.Caption = "Quillon 1.0.0";
    c.SetWindowOrigin(-origin);
    QRect content, caption;
    t.GetWindowContentRect(0, w, content, "frmMain");
    t.GetWindowCaptionRect(0, w, caption, "frmMain");
    t.PaintWindowClient(0, c, "frmMain", content);
    t.PaintWindowFrame(0, c, "frmMain", w);
    t.PaintWindowCaptionText(0, c, "frmMain", caption, w);
    for (uint8_t b : {1, 3, 5}) {
        TteButtonInfo button;
        t.GetWindowButtonRect(0, w, button.Rect, "frmMain", b);
        button.Button = b;
        button.State = b == 1 ? 1 : 0;
        t.PaintWindowButton(0, c, "frmMain", button);
    }
    const QPoint o = content.topLeft();
    auto r = [&](int x, int y, int wd, int ht) { return QRect(o.x() + x, o.y() + y, wd, ht); };
    c.Font = t.MsgBoxFont;
    // Left strip.
    const char *left[3] = {"Batch", "Options", "Help"};
    for (int i = 0; i < 3; ++i) {
        t.PaintButton(0, c, "btn", at(r(16, 8 + 40 * i, 84, 25), i == 0 ? 4 : 0));
        label(c, r(16, 8 + 40 * i, 84, 25), left[i], ToQColor(t.Fonts[10].Color), DT_CENTER);
    }
    label(c, r(14, 208, 99, 20), "Batch conversion", QColor(64, 72, 84));
    QFont brand("Liberation Serif");
    brand.setPixelSize(16);
    brand.setBold(true);
    c.Font = brand;
    QRect brandBox = r(8, 300, 97, 60);
    c.DrawText("Orvella Software", brandBox, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX, QColor(47, 111, 222));
    // Batch panel.
    QFont heading("Liberation Serif");
    heading.setPixelSize(21);
    c.Font = heading;
    label(c, r(119, 5, 300, 28), "Batch Ripping Audio", QColor(196, 43, 28));
    c.Font = t.MsgBoxFont;
    label(c, r(122, 31, 200, 14), "Video File List:");
    const QRect list = r(113, 46, 409, 269);
    t.PaintListBox(0, c, "lvFiles", at(list));
    t.PaintHeader(0, c, "lvFiles", at(QRect(list.left() + 1, list.top() + 1, list.width() - 2, 22)));
    const int widths[3] = {200, 150, 57};
    const char *titles[3] = {"File Name", "Information", "Progress"};
    int x = list.left() + 1;
    for (int i = 0; i < 3; ++i) {
        t.PaintHeaderSection(0, c, "lvFiles", at(QRect(x, list.top() + 1, widths[i], 22), 0, (i == 0 ? 3 : 0) << 8));
        label(c, QRect(x + 6, list.top() + 1, widths[i] - 8, 22), titles[i]);
        x += widths[i];
    }
    const char *rows[3][3] = {{"/home/ana/Videos/holiday trip.mp4", "1280X720 00:04:12", "Done"},
                              {"/home/ana/Videos/interview.avi", "640X480 00:31:05", "42.0%"},
                              {"/home/ana/Videos/lecture.wmv", "320X240 01:12:40", ""}};
    for (int i = 0; i < 3; ++i) {
        const QRect row(list.left() + 1, list.top() + 24 + 18 * i, list.width() - 2, 18);
        t.PaintListItem(0, c, "lvFiles", at(row, i == 1 ? 2 : 0));
        const QColor ink = i == 1 ? QColor(255, 255, 255) : QColor(24, 32, 44);
        int cx = row.left() + 6;
        for (int k = 0; k < 3; ++k) {
            QRect cell(cx, row.top(), widths[k] - 10, row.height());
            c.DrawText(rows[i][k], cell, DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX, ink);
            cx += widths[k];
        }
    }
    // Scroll bar at the list's right edge.
    const QRect bar(list.right() - 16, list.top() + 24, 16, list.height() - 25);
    t.PaintScrollBarTrack(0, c, "", at(bar, 0, 0));
    t.PaintScrollBarButton(0, c, "", at(QRect(bar.left(), bar.top(), 16, 16), 0, 0));
    t.PaintScrollBarButton(0, c, "", at(QRect(bar.left(), bar.bottom() - 15, 16, 16), 0, 1));
    t.PaintScrollBarButton(0, c, "", at(QRect(bar.left(), bar.top() + 20, 16, 60), 0, 9 | 1 << 8));
    // Buttons, progress and status.
    const char *captions[7] = {"Load List", "Save List", "Clear List", "Extract", "Add File", "Folder", "Stop"};
    const QPoint places[7] = {{8, 6}, {104, 6}, {200, 6}, {297, 6}, {8, 38}, {104, 38}, {297, 38}};
    const int states[7] = {0, 0, 0, 4, 1, 0, 3};
    for (int i = 0; i < 7; ++i) {
        const QRect b = r(113 + places[i].x(), 315 + places[i].y(), 81, 25);
        t.PaintButton(0, c, "btn", at(b, states[i]));
        label(c, b, captions[i], ToQColor(t.Fonts[states[i] == 3 ? 14 : 10].Color), DT_CENTER);
    }
    const QRect status = r(113, 385, 409, 25);
    t.PaintStatusBar(0, c, "sbConvert", at(status));
    t.PaintStatusPanel(0, c, "sbConvert", at(QRect(status.left(), status.top() + 2, 100, 21), 0));
    t.PaintStatusPanel(0, c, "sbConvert", at(QRect(status.left() + 100, status.top() + 2, 300, 21), 1));
    t.PaintProgressBar(0, c, "progConvert", at(QRect(status.left() + 4, status.top() + 6, 90, 13), 0, 1));
    t.PaintProgressBar(0, c, "progConvert", at(QRect(status.left() + 6, status.top() + 8, 42, 9), 0, 3));
    label(c, QRect(status.left() + 108, status.top(), 200, 25), "Batch converting", ToQColor(t.Element(66).TextColor));
    t.PaintStatusPanel(0, c, "sbConvert", at(QRect(status.right() - 12, status.top() + 12, 12, 12), 3));
    c.SetWindowOrigin(QPoint());
}

void elementRows(TTeThemeMsStyles &t, TteCanvas &c, QPoint o)
{
    c.Font = t.MsgBoxFont;
    int y = o.y();
    auto row = [&](const QString &name, int height) {
        label(c, QRect(o.x(), y, 120, height), name);
        const int top = y;
        y += height + 8;
        return top;
    };
    int top = row("Push buttons", 25);
    for (int s = 0; s < 5; ++s)
        t.PaintButton(0, c, "", at(QRect(o.x() + 120 + 70 * s, top, 64, 25), s == 4 ? 4 : s == 3 ? 3 : s));
    top = row("Check boxes", 13);
    for (int s = 0; s < 15; ++s)
        t.PaintCheckBox(0, c, "", at(QRect(o.x() + 120 + 20 * s, top, 13, 13), s));
    top = row("Radio buttons", 13);
    for (int s = 0; s < 10; ++s)
        t.PaintCheckBox(1, c, "", at(QRect(o.x() + 120 + 20 * s, top, 13, 13), s));
    top = row("Caption buttons", 24);
    int x = o.x() + 120;
    for (uint8_t b : {1, 3, 5, 6, 2})
        for (uint8_t s = 0; s < 4; ++s) {
            TteButtonInfo button;
            button.Rect = QRect(x, top, 24, 24);
            button.Button = b;
            button.State = s;
            t.PaintWindowButton(0, c, "", button);
            x += 26;
        }
    top = row("Edit, combo", 22);
    for (int s : {0, 4, 5})
        t.PaintEdit(0, c, "", at(QRect(o.x() + 120 + 110 * (s == 0 ? 0 : s - 3), top, 100, 22), s));
    t.PaintEdit(4, c, "", at(QRect(o.x() + 450, top, 110, 22), 0));
    t.PaintEditButton(0, c, "", at(QRect(o.x() + 450 + 110 - 18, top + 1, 17, 20), 0, 0));
    top = row("Scroll bar", 16);
    for (int s = 0; s < 4; ++s)
        for (int part : {0, 1, 4, 5})
            t.PaintScrollBarButton(0, c, "",
                                   at(QRect(o.x() + 120 +
                                                (part == 0   ? 0
                                                 : part == 1 ? 1
                                                             : part - 2) *
                                                    18 +
                                                80 * s,
                                            top, 16, 16),
                                      0, part | s << 8));
    top = row("Thumbs", 16);
    for (int s = 0; s < 4; ++s)
        t.PaintScrollBarButton(0, c, "", at(QRect(o.x() + 120 + 70 * s, top, 60, 16), 0, 8 | s << 8));
    top = row("Progress", 16);
    t.PaintProgressBar(0, c, "", at(QRect(o.x() + 120, top, 200, 16), 0, 1));
    t.PaintProgressBar(0, c, "", at(QRect(o.x() + 122, top + 2, 120, 12), 0, 3));
    top = row("Group box", 60);
    const QRect group(o.x() + 120, top + 6, 260, 54);
    TteElementInfo gi = at(group);
    gi.Rect2 = QRect(group.left() + 10, top, 50, 14);
    t.PaintGroupBox(0, c, "", gi);
    label(c, gi.Rect2, "Output", ToQColor(t.Element(57).TextColor), DT_CENTER);
    top = row("Menu", 22);
    t.PaintMenu(1, c, "", at(QRect(o.x() + 120, top, 180, 22)));
    t.PaintMenuItem(0, c, "", at(QRect(o.x() + 122, top + 2, 176, 18), 0, 1 << 8));
    TteElementInfo check = at(QRect(o.x() + 122, top + 2, 18, 18), 0, 0);
    c.FontColor = QColor(24, 32, 44);
    t.PaintMenuItemGlyph(0, c, "", check);
    label(c, QRect(o.x() + 144, top + 2, 120, 18), "Mono");
    top = row("Window frame", 60);
    TteWindowInfo small;
    small.Rect = QRect(o.x() + 120, top, 200, 60);
    small.State = 0;
    small.Buttons = 2;
    small.Caption = "An inactive window with a long caption";
    c.SetWindowOrigin(QPoint(0, 0));
    t.PaintWindowFrame(0, c, "", small);
    QRect cap;
    t.GetWindowCaptionRect(0, small, cap, "");
    t.PaintWindowCaptionText(0, c, "", cap, small);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    TteThemeManager::Instance().RegisterThemeClass(TTeThemeMsStyles::ThemeClass());
    if (argc < 2) {
        std::fprintf(stderr, "usage: theme-gallery OUT.png [THEME]\n");
        return 2;
    }
    std::unique_ptr<TteTheme> theme;
    if (argc > 2) {
        theme = TteThemeManager::Instance().LoadThemeFromFile(argv[2]);
    } else {
        TTeThemeStream item;
        item.ReadThemeStream(EmbeddedThemeStream());
        theme = CreateThemeFromItem(item);
    }
    auto *ms = dynamic_cast<TTeThemeMsStyles *>(theme.get());
    if (!ms) {
        std::fprintf(stderr, "theme-gallery: no MS-styles theme to show\n");
        return 1;
    }
    TteBitmap page(1220, 520);
    page.Fill(0xFFFFFFFF);
    TteCanvas &c = page.Canvas();
    windowMockup(*ms, c, QPoint(10, 10));
    elementRows(*ms, c, QPoint(570, 14));
    if (!page.AssignTo().save(argv[1])) {
        std::fprintf(stderr, "theme-gallery: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
