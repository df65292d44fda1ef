// theme-gallery: renders every element of a theme in every state, and a
// mock-up of Quillon's main window in its frame, into one PNG.
//   theme-gallery OUT.png [THEME]   (THEME: a .theme or .msstyles file; default: the embedded theme)

#include "embedded_theme.h"
#include "main_window_mockup.h"
#include "platform/quillon_error.h"
#include "theme/msstyles/theme_msux.h"
#include "theme/te_engine.h"

#include <QGuiApplication>

#include <cstdio>

using namespace quillon;

namespace {

TteElementInfo at(QRect r, int state = 0, int kindState = 0)
{
    return MakeElementInfo(r, uint8_t(state), uint16_t(kindState));
}

void label(TteCanvas &c, QRect r, const QString &text, QColor colour = QColor(24, 32, 44), unsigned align = DT_LEFT)
{
    c.DrawText(text, r, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, colour);
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
    try {
        if (argc > 2) {
            theme = TteThemeManager::Instance().LoadThemeFromFile(argv[2]);
        } else {
            TTeThemeStream item;
            item.ReadThemeStream(EmbeddedThemeStream());
            theme = CreateThemeFromItem(item);
        }
    } catch (const QuillonError &e) { // a damaged or oversized theme file says why
        std::fprintf(stderr, "theme-gallery: %s\n", e.what());
        return 1;
    }
    auto *ms = dynamic_cast<TTeThemeMsStyles *>(theme.get());
    if (!ms) {
        std::fprintf(stderr, "theme-gallery: no MS-styles theme to show\n");
        return 1;
    }
    TteBitmap page(1220, 520);
    page.Fill(0xFFFFFFFF);
    TteCanvas &c = page.Canvas();
    PaintMainWindowMockup(*ms, c, QPoint(10, 10), MockupPanel::Batch, true);
    elementRows(*ms, c, QPoint(570, 14));
    if (!page.AssignTo().save(argv[1])) {
        std::fprintf(stderr, "theme-gallery: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
