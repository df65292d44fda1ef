#pragma once
// TteCanvas: the drawing target over a TteBitmap, standing in for a memory
// device context. Fills, frames, lines, polygons, rounded rectangles and text
// go through QPainter on an image that wraps the bitmap's own memory; there
// is a clip rectangle and a window origin, as on a device context.

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QVector>

#include <optional>

class QPainter;

namespace quillon {

class TteBitmap;

// DrawText flags, with the values of the classic text-drawing call.
enum DrawTextFlag : unsigned {
    DT_LEFT = 0x0,
    DT_TOP = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_NOCLIP = 0x100,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_END_ELLIPSIS = 0x8000,
    DT_RTLREADING = 0x20000,
};

class TteCanvas {
public:
    explicit TteCanvas(TteBitmap &target) : Target_(target) {}

    TteBitmap &Target() { return Target_; }
    // Drawing at (x, y) lands at (x, y) - origin in the bitmap.
    QPoint WindowOrigin() const { return Origin; }
    void SetWindowOrigin(QPoint origin) { Origin = origin; }
    // In canvas coordinates; nothing: no clip. Every drawing operation keeps
    // to the clip, bitmap drawing included.
    void SetClipRect(std::optional<QRect> clip);
    // Saving and restoring the clip: take ClipRegion, later give it back.
    const std::optional<QRegion> &ClipRegion() const { return Clip; }
    void SetClipRegion(std::optional<QRegion> clip) { Clip = std::move(clip); }
    // Leaves rect out of the clip (the whole canvas when there was none), as
    // a frame does with its client area before painting around it.
    void ExcludeClipRect(QRect rect);
    // The clip in the target bitmap's own coordinates, as rectangles; the
    // whole bitmap when there is no clip.
    QVector<QRect> TargetClipRects() const;

    QFont Font;
    QColor FontColor = Qt::black; // the colour DrawThemeText writes in
    QColor PenColor = Qt::black;
    int PenWidth = 1;
    QColor BrushColor = Qt::white;
    bool BrushClear = false;

    void FillRect(QRect rect, QColor colour);
    void FrameRect(QRect rect, QColor colour);
    void Line(QPoint from, QPoint to); // the end point itself is not drawn
    void Polyline(const QPolygon &points);
    void Polygon(const QPolygon &points); // filled with the brush, outlined with the pen
    void RoundRect(QRect rect, int ellipseWidth, int ellipseHeight);

    QSize TextExtent(const QString &text) const;
    // Draws text in rect by the flags, or with DT_CALCRECT measures it and
    // changes rect to the space it needs. Answers the height of the text.
    int DrawText(const QString &text, QRect &rect, unsigned flags, QColor colour);

private:
    void Begin(QPainter &painter);

    TteBitmap &Target_;
    QPoint Origin;
    std::optional<QRegion> Clip;
};

} // namespace quillon
