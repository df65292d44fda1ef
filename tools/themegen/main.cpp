// themegen: draws the bitmaps of Quillon's own theme and packs the theme.
//   themegen THEME.ini OUT.theme OUT.cpp
// OUT.theme is the packed form ("QZMSSTL" + zlib); OUT.cpp holds the same
// theme as a version-3 "ThemeStream" value for the program to carry.
//
// All artwork is drawn here, from code, so that it is reproducible: flat
// colours, one-pixel lines on whole pixels (crisp at 1x), rounded corners
// and circles antialiased through alpha, fully transparent areas in the
// theme's transparent colour.

#include "theme/msstyles/msux_ini.h"
#include "theme/msstyles/theme_msux_package.h"
#include "theme/msstyles/theme_msuxobjects.h"
#include "theme/te_theme_stream.h"

#include <QGuiApplication>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <vector>

using namespace quillon;

namespace {

struct Rgb {
    int r, g, b;
};
constexpr Rgb Accent{47, 111, 222}, AccentHot{38, 96, 199}, AccentPressed{31, 80, 170}, AccentSoft{169, 196, 240};
constexpr Rgb Ink{58, 68, 82}, InkSoft{154, 163, 175}, Line{169, 180, 194}, LineSoft{201, 209, 220};
constexpr Rgb White{255, 255, 255}, Face{243, 245, 248}, HotFill{234, 242, 253}, PressedFill{212, 228, 250};
constexpr Rgb DisabledFill{244, 245, 247}, CaptionActive{233, 238, 246}, FrameActive{143, 167, 198};
constexpr uint32_t Clear = 0x00FF00FF; // the transparent colour, fully clear

// A frame being drawn: straight-alpha pixels, composed with "over".
class Canvas {
public:
    Canvas(TteBitmap &b, QRect frame) : B(b), F(frame) {}
    int w() const { return F.width(); }
    int h() const { return F.height(); }

    void Over(int x, int y, Rgb c, double coverage)
    {
        if (x < 0 || y < 0 || x >= w() || y >= h() || coverage <= 0)
            return;
        const uint32_t d = B.Pixel(F.left() + x, F.top() + y);
        const double da = (d >> 24) / 255.0, sa = std::min(1.0, coverage);
        const double oa = sa + da * (1 - sa);
        auto mix = [&](int s, int dc) { return oa > 0 ? (s * sa + dc * da * (1 - sa)) / oa : 0.0; };
        const int r = int(std::lround(mix(c.r, d >> 16 & 0xFF))), g = int(std::lround(mix(c.g, d >> 8 & 0xFF))),
                  b = int(std::lround(mix(c.b, d & 0xFF)));
        const int a = int(std::lround(oa * 255));
        B.SetPixel(F.left() + x, F.top() + y,
                   a == 0 ? Clear : uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b));
    }
    void Rect(int x, int y, int rw, int rh, Rgb c)
    {
        for (int yy = y; yy < y + rh; ++yy)
            for (int xx = x; xx < x + rw; ++xx)
                Over(xx, yy, c, 1);
    }
    // A shape given by an inside test, antialiased by 4 x 4 samples.
    void Shape(const std::function<bool(double, double)> &inside, Rgb c)
    {
        for (int y = 0; y < h(); ++y)
            for (int x = 0; x < w(); ++x) {
                int hits = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx)
                        hits += inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4);
                Over(x, y, c, hits / 16.0);
            }
    }
    static std::function<bool(double, double)> RoundRect(double x0, double y0, double x1, double y1, double r,
                                                         bool roundBottom = true)
    {
        return [=](double x, double y) {
            if (x < x0 || x > x1 || y < y0 || y > y1)
                return false;
            const double cx = std::clamp(x, x0 + r, x1 - r);
            const double cy = roundBottom ? std::clamp(y, y0 + r, y1 - r) : std::max(y, y0 + r);
            return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
        };
    }
    // A rounded box with a one-pixel border.
    void Box(double r, Rgb border, Rgb fill, bool roundBottom = true)
    {
        Shape(RoundRect(0, 0, w(), h(), r, roundBottom), border);
        Shape(RoundRect(1, 1, w() - 1, h() - (roundBottom ? 1 : 0), std::max(0.0, r - 1), roundBottom), fill);
    }
    void Circle(double cx, double cy, double r, Rgb c)
    {
        Shape([=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; }, c);
    }
    // A one-pixel line from (x0, y0) to (x1, y1), on pixel centres.
    void LineTo(double x0, double y0, double x1, double y1, Rgb c, double width = 1.0)
    {
        Shape(
            [=](double x, double y) {
                const double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
                const double t = std::clamp(((x - x0) * dx + (y - y0) * dy) / len2, 0.0, 1.0);
                const double px = x0 + t * dx - x, py = y0 + t * dy - y;
                return px * px + py * py <= width * width / 4;
            },
            c);
    }

private:
    TteBitmap &B;
    QRect F;
};

// A strip of frames, stacked vertically (or side by side).
struct Strip {
    std::unique_ptr<TteBitmap> bitmap;
    int fw, fh;
    bool vertical;
    Strip(const std::string &name, int frameW, int frameH, int count, bool verticalLayout = true)
        : bitmap(std::make_unique<TteBitmap>(verticalLayout ? frameW : frameW * count,
                                             verticalLayout ? frameH * count : frameH)),
          fw(frameW), fh(frameH), vertical(verticalLayout)
    {
        bitmap->Name = name;
        bitmap->Fill(Clear);
    }
    Canvas frame(int i) { return Canvas(*bitmap, vertical ? QRect(0, i * fh, fw, fh) : QRect(i * fw, 0, fw, fh)); }
};

std::map<std::string, std::unique_ptr<TteBitmap>> drawAll()
{
    std::map<std::string, std::unique_ptr<TteBitmap>> out;
    auto keep = [&](Strip &s) { out[s.bitmap->Name] = std::move(s.bitmap); };

    { // Caption: rounded top corners; active, then inactive.
        Strip s("QUILLON_CAPTION_BMP", 24, 32, 2);
        for (int i = 0; i < 2; ++i) {
            Canvas c = s.frame(i);
            c.Shape(Canvas::RoundRect(0, 0, 24, 32, 7, false), i == 0 ? FrameActive : LineSoft);
            c.Shape(Canvas::RoundRect(1, 1, 23, 32, 6, false), i == 0 ? CaptionActive : Face);
        }
        keep(s);
    }
    for (const char *side : {"LEFT", "RIGHT"}) { // side frames: the outer line and the face
        Strip s(std::string("QUILLON_FRAME") + side + "_BMP", 4, 8, 2, false);
        for (int i = 0; i < 2; ++i) {
            Canvas c = s.frame(i);
            c.Rect(0, 0, 4, 8, i == 0 ? CaptionActive : Face);
            c.Rect(side[0] == 'L' ? 0 : 3, 0, 1, 8, i == 0 ? FrameActive : LineSoft);
        }
        keep(s);
    }
    {
        Strip s("QUILLON_FRAMEBOTTOM_BMP", 16, 4, 2);
        for (int i = 0; i < 2; ++i) {
            Canvas c = s.frame(i);
            c.Rect(0, 0, 16, 4, i == 0 ? CaptionActive : Face);
            c.Rect(0, 3, 16, 1, i == 0 ? FrameActive : LineSoft);
            c.Rect(0, 0, 1, 4, i == 0 ? FrameActive : LineSoft);
            c.Rect(15, 0, 1, 4, i == 0 ? FrameActive : LineSoft);
        }
        keep(s);
    }
    // Caption buttons, 24 x 24: normal, hot, pressed, inactive window.
    auto captionButton = [&](const std::string &name, const std::function<void(Canvas &, Rgb)> &glyph, bool danger) {
        Strip s(name, 24, 24, 4);
        for (int i = 0; i < 4; ++i) {
            Canvas c = s.frame(i);
            Rgb ink = i == 3 ? InkSoft : Ink;
            if (i == 1 || i == 2) {
                const Rgb fill = danger ? (i == 1 ? Rgb{217, 50, 58} : Rgb{184, 39, 47})
                                        : (i == 1 ? Rgb{221, 229, 240} : Rgb{200, 212, 230});
                c.Shape(Canvas::RoundRect(2, 2, 22, 22, 4), fill);
                if (danger)
                    ink = White;
            }
            glyph(c, ink);
        }
        keep(s);
    };
    captionButton(
        "QUILLON_CLOSEBUTTON_BMP",
        [](Canvas &c, Rgb ink) {
            c.LineTo(8, 8, 16, 16, ink, 1.4);
            c.LineTo(16, 8, 8, 16, ink, 1.4);
        },
        true);
    captionButton(
        "QUILLON_MINBUTTON_BMP", [](Canvas &c, Rgb ink) { c.Rect(7, 15, 10, 1, ink); }, false);
    captionButton(
        "QUILLON_MAXBUTTON_BMP",
        [](Canvas &c, Rgb ink) {
            c.Rect(7, 7, 10, 1, ink), c.Rect(7, 16, 10, 1, ink), c.Rect(7, 7, 1, 10, ink), c.Rect(16, 7, 1, 10, ink);
        },
        false);
    captionButton(
        "QUILLON_RESTOREBUTTON_BMP",
        [](Canvas &c, Rgb ink) {
            c.Rect(9, 6, 9, 1, ink), c.Rect(17, 6, 1, 9, ink);
            c.Rect(6, 9, 9, 1, ink), c.Rect(6, 17, 9, 1, ink), c.Rect(6, 9, 1, 9, ink), c.Rect(14, 9, 1, 9, ink);
        },
        false);
    captionButton(
        "QUILLON_HELPBUTTON_BMP",
        [](Canvas &c, Rgb ink) {
            c.Shape(
                [](double x, double y) {
                    const double d = std::hypot(x - 12, y - 10);
                    return (d >= 2.6 && d <= 4.0 && !(y > 10 && x < 12)) ||
                           (x >= 11.3 && x <= 12.7 && y >= 13 && y <= 15);
                },
                ink);
            c.Rect(11, 17, 2, 2, ink);
        },
        false);

    { // Push button: normal, hot, pressed, disabled, default.
        Strip s("QUILLON_BUTTON_BMP", 16, 22, 5);
        const std::pair<Rgb, Rgb> looks[5] = {
            {Line, White}, {Accent, HotFill}, {AccentHot, PressedFill}, {LineSoft, DisabledFill}, {Accent, White}};
        for (int i = 0; i < 5; ++i) {
            Canvas c = s.frame(i);
            c.Box(3.5, looks[i].first, looks[i].second);
            if (i == 4) // the default button carries a second, inner ring
                c.Shape(
                    [&](double x, double y) {
                        return Canvas::RoundRect(1, 1, 15, 21, 2.5)(x, y) &&
                               !Canvas::RoundRect(2, 2, 14, 20, 1.5)(x, y);
                    },
                    AccentSoft);
        }
        keep(s);
    }
    { // Check boxes: unchecked, checked, mixed; each normal, hot, pressed, disabled.
        Strip s("QUILLON_CHECKBOX_BMP", 13, 13, 12);
        for (int i = 0; i < 12; ++i) {
            const int kind = i / 4, state = i % 4;
            Canvas c = s.frame(i);
            if (kind == 0) {
                const Rgb border[4] = {Line, Accent, AccentHot, LineSoft},
                          fill[4] = {White, HotFill, PressedFill, DisabledFill};
                c.Box(2.5, border[state], fill[state]);
            } else {
                const Rgb fill[4] = {Accent, AccentHot, AccentPressed, Line};
                c.Shape(Canvas::RoundRect(0, 0, 13, 13, 2.5), fill[state]);
                if (kind == 1) {
                    c.LineTo(3.2, 6.8, 5.4, 9.0, White, 1.6);
                    c.LineTo(5.4, 9.0, 9.8, 4.0, White, 1.6);
                } else {
                    c.Rect(3, 6, 7, 2, White);
                }
            }
        }
        keep(s);
    }
    { // Radio buttons: unchecked, checked, and (a radio button has no mixed
      // state) unchecked again; each normal, hot, pressed, disabled.
        Strip s("QUILLON_RADIOBUTTON_BMP", 13, 13, 12);
        for (int i = 0; i < 12; ++i) {
            const int state = i % 4;
            Canvas c = s.frame(i);
            if (i < 4 || i >= 8) {
                const Rgb border[4] = {Line, Accent, AccentHot, LineSoft},
                          fill[4] = {White, HotFill, PressedFill, DisabledFill};
                c.Circle(6.5, 6.5, 6.5, border[state]);
                c.Circle(6.5, 6.5, 5.5, fill[state]);
            } else {
                const Rgb fill[4] = {Accent, AccentHot, AccentPressed, Line};
                c.Circle(6.5, 6.5, 6.5, fill[state]);
                c.Circle(6.5, 6.5, 2.5, White);
            }
        }
        keep(s);
    }
    { // Group box: a rounded line, open inside.
        Strip s("QUILLON_GROUPBOX_BMP", 12, 12, 1);
        Canvas c = s.frame(0);
        c.Shape(
            [](double x, double y) {
                return Canvas::RoundRect(0, 0, 12, 12, 4)(x, y) && !Canvas::RoundRect(1, 1, 11, 11, 3)(x, y);
            },
            LineSoft);
        keep(s);
    }
    { // The drop-down button of a combo box and its chevron.
        Strip s("QUILLON_DROPDOWN_BMP", 17, 20, 4);
        const Rgb fills[4] = {White, HotFill, PressedFill, DisabledFill};
        for (int i = 0; i < 4; ++i) {
            Canvas c = s.frame(i);
            c.Rect(0, 0, 17, 20, fills[i]);
            c.Rect(0, 3, 1, 14, LineSoft);
        }
        keep(s);
        Strip g("QUILLON_DROPDOWNGLYPH_BMP", 9, 6, 4);
        for (int i = 0; i < 4; ++i) {
            Canvas c = g.frame(i);
            const Rgb ink = i == 3 ? InkSoft : Ink;
            c.LineTo(1, 1.5, 4.5, 4.5, ink, 1.3);
            c.LineTo(4.5, 4.5, 8, 1.5, ink, 1.3);
        }
        keep(g);
    }
    { // Header items: normal, hot, pressed.
        Strip s("QUILLON_HEADERITEM_BMP", 8, 22, 3);
        const Rgb fills[3] = {{247, 248, 250}, {238, 242, 248}, {225, 232, 242}};
        for (int i = 0; i < 3; ++i) {
            Canvas c = s.frame(i);
            c.Rect(0, 0, 8, 22, fills[i]);
            c.Rect(0, 21, 8, 1, LineSoft);
            c.Rect(7, 4, 1, 14, {225, 229, 235});
        }
        keep(s);
    }
    { // Scroll-bar arrows: up, down, left, right; each normal, hot, pressed, disabled.
        Strip s("QUILLON_SCROLLARROWS_BMP", 16, 16, 16);
        for (int i = 0; i < 16; ++i) {
            const int dir = i / 4, state = i % 4;
            Canvas c = s.frame(i);
            c.Rect(0, 0, 16, 16, {239, 241, 245});
            if (state == 1 || state == 2)
                c.Shape(Canvas::RoundRect(1, 1, 15, 15, 3), state == 1 ? Rgb{221, 227, 236} : Rgb{201, 211, 225});
            const Rgb ink = state == 3 ? Rgb{181, 189, 200} : Rgb{90, 102, 118};
            const double a = 8, b = 2.5; // the chevron's half width and half height
            switch (dir) {
            case 0:
                c.LineTo(8 - a / 2, 8 + b / 2, 8, 8 - b / 2 - 0.5, ink, 1.4),
                    c.LineTo(8, 8 - b / 2 - 0.5, 8 + a / 2, 8 + b / 2, ink, 1.4);
                break;
            case 1:
                c.LineTo(8 - a / 2, 8 - b / 2, 8, 8 + b / 2 + 0.5, ink, 1.4),
                    c.LineTo(8, 8 + b / 2 + 0.5, 8 + a / 2, 8 - b / 2, ink, 1.4);
                break;
            case 2:
                c.LineTo(8 + b / 2, 8 - a / 2, 8 - b / 2 - 0.5, 8, ink, 1.4),
                    c.LineTo(8 - b / 2 - 0.5, 8, 8 + b / 2, 8 + a / 2, ink, 1.4);
                break;
            default:
                c.LineTo(8 - b / 2, 8 - a / 2, 8 + b / 2 + 0.5, 8, ink, 1.4),
                    c.LineTo(8 + b / 2 + 0.5, 8, 8 - b / 2, 8 + a / 2, ink, 1.4);
                break;
            }
        }
        keep(s);
    }
    // Scroll-bar thumbs: a pill on the track colour; normal, hot, pressed, disabled.
    for (bool horizontal : {true, false}) {
        Strip s(horizontal ? "QUILLON_THUMBHORZ_BMP" : "QUILLON_THUMBVERT_BMP", 16, 16, 4, horizontal);
        const Rgb fills[4] = {{194, 202, 213}, {168, 179, 194}, {142, 155, 173}, {222, 226, 232}};
        for (int i = 0; i < 4; ++i) {
            Canvas c = s.frame(i);
            c.Rect(0, 0, 16, 16, {239, 241, 245});
            c.Shape(horizontal ? Canvas::RoundRect(0, 3, 16, 13, 4) : Canvas::RoundRect(3, 0, 13, 16, 4), fills[i]);
        }
        keep(s);
    }
    for (bool horizontal : {true, false}) {
        Strip s(horizontal ? "QUILLON_GRIPPERHORZ_BMP" : "QUILLON_GRIPPERVERT_BMP", 8, 8, 4);
        for (int i = 0; i < 4; ++i) {
            Canvas c = s.frame(i);
            const Rgb ink = i == 3 ? Rgb{210, 215, 222} : Rgb{245, 247, 250};
            for (int k = 0; k < 3; ++k)
                horizontal ? c.Rect(2 + 2 * k, 2, 1, 4, ink) : c.Rect(2, 2 + 2 * k, 4, 1, ink);
        }
        keep(s);
    }
    { // Progress: the track, and the (tiled) fill.
        Strip bar("QUILLON_PROGRESSBAR_BMP", 8, 8, 1);
        Canvas c = bar.frame(0);
        c.Box(3, LineSoft, {230, 234, 240});
        keep(bar);
        Strip chunk("QUILLON_PROGRESSCHUNK_BMP", 4, 4, 1);
        Canvas k = chunk.frame(0);
        k.Rect(0, 0, 4, 4, Accent);
        keep(chunk);
    }
    { // Status bar panes and the size gripper.
        Strip pane("QUILLON_STATUSPANE_BMP", 6, 6, 1);
        Canvas c = pane.frame(0);
        c.Rect(0, 0, 6, 6, {236, 239, 243});
        c.Rect(5, 1, 1, 4, LineSoft);
        keep(pane);
        Strip grip("QUILLON_GRIPPER_BMP", 12, 12, 1);
        Canvas g = grip.frame(0);
        for (int row = 0; row < 3; ++row)
            for (int col = 2 - row; col < 3; ++col)
                g.Rect(3 + 3 * col, 3 + 3 * row, 2, 2, {160, 170, 184});
        keep(grip);
    }
    return out;
}

// The frame's own glyphs for its system menu, 16 x 16 in ink on clear:
// close, minimize, maximize, restore, roll-up, tray, in that order.
std::vector<std::unique_ptr<TteBitmap>> drawFrameGlyphs()
{
    std::vector<std::unique_ptr<TteBitmap>> out;
    auto glyph = [&](const char *name, const std::function<void(Canvas &)> &draw) {
        Strip s(name, 16, 16, 1);
        Canvas c = s.frame(0);
        draw(c);
        // Clear pixels hold the transparent key: the glyph draws right by
        // its marks and by its alpha alike.
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (s.bitmap->Pixel(x, y) >> 24 == 0)
                    s.bitmap->SetPixel(x, y, TE_TRANSPARENT_KEY);
        out.push_back(std::move(s.bitmap));
    };
    glyph("TE_FORM_CLOSE", [](Canvas &c) {
        c.LineTo(4, 4, 12, 12, Ink, 1.4);
        c.LineTo(12, 4, 4, 12, Ink, 1.4);
    });
    glyph("TE_FORM_MINIMIZE", [](Canvas &c) { c.Rect(3, 11, 10, 2, Ink); });
    glyph("TE_FORM_MAXIMIZE", [](Canvas &c) {
        c.Rect(3, 3, 10, 2, Ink), c.Rect(3, 12, 10, 1, Ink), c.Rect(3, 3, 1, 10, Ink), c.Rect(12, 3, 1, 10, Ink);
    });
    glyph("TE_FORM_RESTORE", [](Canvas &c) {
        c.Rect(5, 2, 9, 1, Ink), c.Rect(13, 2, 1, 9, Ink);
        c.Rect(2, 5, 9, 2, Ink), c.Rect(2, 13, 9, 1, Ink), c.Rect(2, 5, 1, 9, Ink), c.Rect(10, 5, 1, 9, Ink);
    });
    glyph("TE_FORM_ROLLUP", [](Canvas &c) {
        c.Rect(3, 3, 10, 2, Ink);
        c.LineTo(4, 11, 8, 7, Ink, 1.4);
        c.LineTo(8, 7, 12, 11, Ink, 1.4);
    });
    glyph("TE_FORM_TRAY", [](Canvas &c) {
        c.Rect(2, 13, 12, 1, Ink), c.Rect(2, 9, 1, 4, Ink), c.Rect(13, 9, 1, 4, Ink);
        c.Rect(7, 2, 2, 7, Ink);
        c.LineTo(5, 7, 8, 10, Ink, 1.4);
        c.LineTo(11, 7, 8, 10, Ink, 1.4);
    });
    return out;
}

// The program's icon at one size: a rounded square in the accent colour
// with a sound wave of five white bars drawn on it, antialiased in alpha.
std::unique_ptr<TteBitmap> drawProgramIcon(int size)
{
    Strip s("QUILLON_ICON_" + std::to_string(size), size, size, 1);
    Canvas c = s.frame(0);
    const double u = size / 16.0;
    c.Shape(Canvas::RoundRect(0.5 * u, 0.5 * u, size - 0.5 * u, size - 0.5 * u, 3.5 * u), Accent);
    const double heights[5] = {4, 8, 11, 7, 3};
    for (int i = 0; i < 5; ++i) {
        const double x = (3 + 2.25 * i) * u, h = heights[i] * u, top = (size - h) / 2;
        c.Shape(Canvas::RoundRect(x, top, x + 1.35 * u, top + h, 0.6 * u), White);
    }
    return std::move(s.bitmap);
}

// The window's image list: 18 pictures of 16 x 16 side by side, magenta
// where clear, for the buttons that show one (the others stay clear).
std::unique_ptr<TteBitmap> drawImageList()
{
    constexpr Rgb Folder{233, 184, 74}, FolderDark{196, 146, 44}, Paper{252, 252, 250}, Green{46, 160, 84},
        Red{206, 58, 48};
    Strip s("QUILLON_IMAGELIST", 16, 16, 18, false);
    auto at = [&](int index) { return s.frame(index); };
    { // 1: options, a gear
        Canvas c = at(1);
        for (int i = 0; i < 8; ++i) {
            const double a = i * 3.14159265 / 4;
            c.LineTo(8 + 4 * std::cos(a), 8 + 4 * std::sin(a), 8 + 7 * std::cos(a), 8 + 7 * std::sin(a), Ink, 2.2);
        }
        c.Circle(8, 8, 5, Ink);
        c.Circle(8, 8, 2.2, Paper);
    }
    { // 3: help, a question mark in a blue disc
        Canvas c = at(3);
        c.Circle(8, 8, 7.5, Accent);
        c.LineTo(5.8, 6.2, 6.6, 4.4, White, 1.8);
        c.LineTo(6.6, 4.4, 9.4, 4.2, White, 1.8);
        c.LineTo(9.4, 4.2, 10.4, 6.4, White, 1.8);
        c.LineTo(10.4, 6.4, 8, 8.6, White, 1.8);
        c.LineTo(8, 8.6, 8, 10, White, 1.8);
        c.Circle(8, 12.4, 1.1, White);
    }
    auto folder = [&](Canvas &c) {
        c.Shape(Canvas::RoundRect(1, 3, 7, 6, 1), FolderDark);
        c.Shape(Canvas::RoundRect(1, 4.5, 15, 14, 1), Folder);
        c.Rect(1, 5, 14, 1, FolderDark);
    };
    { // 6: output folder
        Canvas c = at(6);
        folder(c);
    }
    { // 8: stop, a dark square
        Canvas c = at(8);
        c.Shape(Canvas::RoundRect(3, 3, 13, 13, 1.5), Red);
    }
    auto page = [&](Canvas &c) {
        c.Rect(3, 1, 8, 1, InkSoft), c.Rect(3, 1, 1, 14, InkSoft), c.Rect(3, 14, 10, 1, InkSoft);
        c.Rect(12, 5, 1, 10, InkSoft), c.LineTo(10.5, 1.5, 12.5, 3.5, InkSoft, 1.2);
        c.Rect(4, 2, 7, 12, Paper), c.Rect(11, 5, 1, 9, Paper);
    };
    { // 9: add file, a page with a green plus
        Canvas c = at(9);
        page(c);
        c.Rect(9, 10, 7, 2, Green), c.Rect(11.5, 7.5, 2, 7, Green);
    }
    { // 11: load list, an open folder with list lines
        Canvas c = at(11);
        folder(c);
        for (int y : {7, 9, 11})
            c.Rect(4, y, 8, 1, Paper);
    }
    { // 12: save list, a disk
        Canvas c = at(12);
        c.Shape(Canvas::RoundRect(1.5, 1.5, 14.5, 14.5, 1.5), Accent);
        c.Rect(4, 2, 8, 5, Paper);
        c.Rect(9, 3, 2, 3, Accent);
        c.Rect(4, 10, 8, 4, White);
    }
    { // 15: batch, a list of three items
        Canvas c = at(15);
        for (int y : {3, 7, 11}) {
            c.Circle(3, y + 1, 1.4, Accent);
            c.Rect(6, y, 8, 2, Ink);
        }
    }
    { // 17: extract, a play triangle
        Canvas c = at(17);
        c.Shape(
            [](double x, double y) {
                return x >= 4 && x <= 13 && std::abs(y - 8) <= (13 - x) * 6.0 / 9.0; // a triangle pointing right
            },
            Green);
    }
    // Straight alpha to the image list's form: opaque pixels, magenta where clear.
    for (int y = 0; y < s.bitmap->Height(); ++y)
        for (int x = 0; x < s.bitmap->Width(); ++x) {
            const uint32_t p = s.bitmap->Pixel(x, y);
            const uint32_t a = p >> 24;
            if (a == 0) {
                s.bitmap->SetPixel(x, y, 0xFFFF00FF);
                continue;
            }
            // Edges are blended onto the button face they will stand on.
            auto mix = [a](uint32_t c, uint32_t face) { return (c * a + face * (255 - a)) / 255; };
            s.bitmap->SetPixel(
                x, y, 0xFF000000u | mix(p >> 16 & 0xFF, 243) << 16 | mix(p >> 8 & 0xFF, 245) << 8 | mix(p & 0xFF, 248));
        }
    return std::move(s.bitmap);
}

// Bytes as the body of a C array.
void writeBytes(std::ostream &cpp, std::string_view bytes)
{
    for (size_t i = 0; i < bytes.size(); ++i)
        cpp << (i % 20 ? "" : "\n") << unsigned(static_cast<unsigned char>(bytes[i])) << ",";
}

std::string readText(const char *path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: themegen THEME.ini OUT.theme OUT.cpp\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    MsuxIni ini;
    ini.LoadFromText(readText(argv[1]));
    auto bitmaps = drawAll();

    MsStylesPackage package;
    package.Name = "Quillon Light";
    package.IniText = ini.ToText();
    // Every image the INI names must have been drawn, and nothing else is packed.
    std::map<std::string, bool> named;
    for (const auto &section : ini.Sections())
        for (const auto &[key, value] : section.Entries) {
            const std::string k = LowerCase(key);
            if (k.rfind("imagefile", 0) == 0 || k == "glyphimagefile")
                named[MsStylesImageName(value)] = true;
        }
    for (const auto &[name, _] : named) {
        auto it = bitmaps.find(name);
        if (it == bitmaps.end()) {
            std::fprintf(stderr, "themegen: no artwork for %s\n", name.c_str());
            return 1;
        }
        it->second->UpdateAlphaFlag();
        package.Bitmaps.push_back(std::move(it->second));
    }
    const std::string packed = WritePackedTheme(package);
    std::ofstream(argv[2], std::ios::binary | std::ios::trunc) << packed;

    TTeThemeStream item;
    item.PackedData = packed;
    item.ThemeStore = package.Name;
    const std::string value = item.WriteThemeStream();
    std::ofstream cpp(argv[3], std::ios::trunc);
    cpp << "// Made by themegen from resources/theme; do not edit.\n#include \"embedded_theme.h\"\n\n"
           "namespace quillon {\n"
           "const size_t QuillonThemeStreamSize = "
        << value.size() << ";\nconst unsigned char QuillonThemeStream[] = {";
    writeBytes(cpp, value);
    cpp << "\n};\n";
    // The frame glyphs and the program's icon, each in the bitmap stream form.
    auto glyphs = drawFrameGlyphs();
    for (int size : {16, 24, 32, 48, 64, 128})
        glyphs.push_back(drawProgramIcon(size));
    glyphs.push_back(drawImageList());
    for (size_t i = 0; i < glyphs.size(); ++i) {
        std::ostringstream stream;
        glyphs[i]->SaveToStream(stream);
        cpp << "static const unsigned char Glyph" << i << "[] = {";
        writeBytes(cpp, stream.str());
        cpp << "\n};\n";
    }
    cpp << "const EmbeddedResource QuillonBitmapResources[] = {\n";
    for (size_t i = 0; i < glyphs.size(); ++i)
        cpp << "    {\"" << glyphs[i]->Name << "\", Glyph" << i << ", sizeof Glyph" << i << "},\n";
    cpp << "    {nullptr, nullptr, 0}};\n} // namespace quillon\n";
    std::printf("themegen: %zu bitmaps, packed %zu bytes\n", package.Bitmaps.size(), packed.size());
    return cpp ? 0 : 1;
}
