// DrawElement: the one routine that draws an MS-styles element into a
// rectangle, for the window frame and every control alike.

#include "theme/msstyles/theme_msuxobjects.h"
#include "theme/te_theme.h"

namespace quillon {

namespace {

// Windows-style rectangles: left, top, right, bottom, the right and bottom
// edges outside.
struct Box {
    int l, t, r, b;
    int w() const { return r - l; }
    int h() const { return b - t; }
    QRect q() const { return QRect(l, t, r - l, b - t); }
};
Box box(QRect q) { return {q.left(), q.top(), q.left() + q.width(), q.top() + q.height()}; }

// A strip or centre of no width is widened by one pixel: to the right, or to
// the left where it already reaches the outer right edge; heights alike.
Box widened(Box x, const Box &outer)
{
    if (x.w() <= 0) {
        if (x.r < outer.r)
            x.r = x.l + 1;
        else if (x.l > outer.l)
            x.l = x.r - 1;
    }
    if (x.h() <= 0) {
        if (x.b < outer.b)
            x.b = x.t + 1;
        else if (x.t > outer.t)
            x.t = x.b - 1;
    }
    return x;
}

// Draws parts of one bitmap in one mode.
class PartDrawer {
public:
    PartDrawer(TteCanvas &canvas, const TteBitmap &bitmap, TteDrawMode mode)
        : Canvas(canvas), Bitmap(bitmap), Mode(mode)
    {
    }
    void Stretch(const Box &d, const Box &s) const
    {
        if (d.w() > 0 && d.h() > 0 && s.w() > 0 && s.h() > 0)
            Bitmap.Draw(Canvas, d.q(), s.q(), Mode);
    }
    void Tile(const Box &d, const Box &s) const
    {
        if (d.w() > 0 && d.h() > 0 && s.w() > 0 && s.h() > 0)
            Bitmap.TileDraw(Canvas, d.q(), s.q(), Mode);
    }
    void Unscaled(int x, int y, const Box &s) const
    {
        if (s.w() > 0 && s.h() > 0)
            Bitmap.Draw(Canvas, QRect(x, y, s.w(), s.h()), s.q(), Mode);
    }

private:
    TteCanvas &Canvas;
    const TteBitmap &Bitmap;
    TteDrawMode Mode;
};

} // namespace

QRect TmsuxThemeObject::FrameOf(const TteBitmapLink &link, int n) const
{
    const QRect whole = link.Bitmap ? link.Bitmap->Rect() : QRect();
    if (ImageCount <= 0 || n <= 0)
        return whole;
    n = std::min(n, ImageCount);
    if (ImageLayout == 1) {
        const int w = whole.width() / ImageCount;
        return QRect(w * (n - 1), 0, w, whole.height());
    }
    const int h = whole.height() / ImageCount;
    return QRect(0, h * (n - 1), whole.width(), h);
}

const TteBitmapLink *TmsuxThemeObject::ChooseImage(int destWidth) const
{
    if (!(ImageSelectType == 1 && GlyphType != 1))
        return &Image;
    const TteBitmapLink *chosen = &Image1;
    const int room = destWidth - ContentMargins.Left - ContentMargins.Right;
    for (const TteBitmapLink *candidate : {&Image2, &Image3})
        if (candidate->Bitmap && candidate->Bitmap->Width() < room)
            chosen = candidate;
    return chosen;
}

TteDrawMode TmsuxThemeObject::BackgroundMode(const TteBitmap &bitmap) const
{
    // DrawMode 3 honours what the bitmap holds (alpha or the transparent
    // key); DrawMode 0 copies it as it is.
    return DrawMode == 3 ? bitmap.DrawMode() : TteDrawMode::Opaque;
}

TteDrawMode TmsuxThemeObject::GlyphMode(const TteBitmap &bitmap) const
{
    if (bitmap.HasAlpha)
        return TteDrawMode::Alpha;
    return GlyphTransparent || bitmap.HasTransparentMarks ? TteDrawMode::Key : TteDrawMode::Opaque;
}

void TmsuxThemeObject::DrawElement(TteCanvas &canvas, QRect rect, int imageNumber, std::optional<ThemeColor> fill) const
{
    const ThemeColor fillColor = fill.value_or(FillColor);
    Box d = box(rect);
    switch (BgType) {
    case 0:
        if (fillColor != ColorNone)
            canvas.FillRect(d.q(), ToQColor(fillColor));
        return;
    case 1:
        for (int i = 0; i < BorderSize && d.w() > 0 && d.h() > 0; ++i) {
            canvas.FrameRect(d.q(), ToQColor(BorderColor));
            d = {d.l + 1, d.t + 1, d.r - 1, d.b - 1};
        }
        if (fillColor != ColorNone && d.w() > 0 && d.h() > 0)
            canvas.FillRect(d.q(), ToQColor(fillColor));
        return;
    case 3: return; // nothing at all, no glyph either
    default: break;
    }

    const TteBitmapLink *image = ChooseImage(d.w());
    if (image->Valid() && d.w() > 0 && d.h() > 0) {
        const Box s = box(FrameOf(*image, imageNumber));
        const PartDrawer draw(canvas, *image->Bitmap, BackgroundMode(*image->Bitmap));
        const Margins &m = SizingMargins;
        switch (SizingType) {
        case 0:
        case 1:
        case 5:
        case 6: {
            const Box sc{s.l + m.Left, s.t + m.Top, s.r - m.Right, s.b - m.Bottom};
            const Box dc{d.l + m.Left, d.t + m.Top, d.r - m.Right, d.b - m.Bottom};
            auto part = [&](const Box &dp, const Box &sp, bool stretch) {
                const Box dw = widened(dp, d), sw = widened(sp, s);
                stretch ? draw.Stretch(dw, sw) : draw.Tile(dw, sw);
            };
            const bool stretchCentre = SizingType == 1 || SizingType == 5;
            const bool stretchEdges = SizingType == 1 || SizingType == 6;
            part(dc, sc, stretchCentre);
            part({dc.l, d.t, dc.r, dc.t}, {sc.l, s.t, sc.r, sc.t}, stretchEdges); // top
            part({dc.l, dc.b, dc.r, d.b}, {sc.l, sc.b, sc.r, s.b}, stretchEdges); // bottom
            part({d.l, dc.t, dc.l, dc.b}, {s.l, sc.t, sc.l, sc.b}, stretchEdges); // left
            part({dc.r, dc.t, d.r, dc.b}, {sc.r, sc.t, s.r, sc.b}, stretchEdges); // right
            draw.Unscaled(d.l, d.t, {s.l, s.t, s.l + m.Left, s.t + m.Top});
            draw.Unscaled(d.r - m.Right, d.t, {s.r - m.Right, s.t, s.r, s.t + m.Top});
            draw.Unscaled(d.l, d.b - m.Bottom, {s.l, s.b - m.Bottom, s.l + m.Left, s.b});
            draw.Unscaled(d.r - m.Right, d.b - m.Bottom, {s.r - m.Right, s.b - m.Bottom, s.r, s.b});
            break;
        }
        case 4: // true size, centred; it may overflow the destination
            draw.Unscaled(d.l + (d.w() - s.w()) / 2, d.t + (d.h() - s.h()) / 2, s);
            break;
        default: break; // tilevertical and tilehorizontal draw no image
        }
    }

    if (GlyphType != 1)
        return;
    auto centred = [&](const TteBitmapLink &link) {
        if (!link.Valid() || ImageCount <= 0 || imageNumber <= 0)
            return;
        const QRect frame = FrameOf(link, imageNumber);
        const QRect at(d.l + (d.w() - frame.width()) / 2, d.t + (d.h() - frame.height()) / 2, frame.width(),
                       frame.height());
        link.Bitmap->Draw(canvas, at, frame, GlyphMode(*link.Bitmap));
    };
    centred(GlyphImage);
    if (ImageSelectType == 1 || ImageSelectType == 2) {
        const TteBitmapLink *candidate = &Image1;
        const int room = d.w() - ContentMargins.Left - ContentMargins.Right;
        for (const TteBitmapLink *c : {&Image2, &Image3})
            if (c->Bitmap && c->Bitmap->Width() < room)
                candidate = c;
        centred(*candidate);
    }
}

} // namespace quillon
