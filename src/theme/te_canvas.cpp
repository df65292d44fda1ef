#include "theme/te_canvas.h"

#include "theme/te_bitmap.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextOption>

namespace quillon {

void TteCanvas::Begin(QPainter &painter)
{
    painter.translate(-Origin);
    if (Clip)
        painter.setClipRegion(*Clip);
}

void TteCanvas::SetClipRect(std::optional<QRect> clip)
{
    if (clip)
        Clip = QRegion(*clip);
    else
        Clip.reset();
}

void TteCanvas::ExcludeClipRect(QRect rect)
{
    const QRegion all = Clip ? *Clip : QRegion(Target_.Rect().translated(Origin));
    Clip = all.subtracted(QRegion(rect));
}

QVector<QRect> TteCanvas::TargetClipRects() const
{
    if (!Clip)
        return {Target_.Rect()};
    QVector<QRect> rects;
    for (const QRect &r : Clip->translated(-Origin))
        rects.push_back(r.intersected(Target_.Rect()));
    return rects;
}

void TteCanvas::FillRect(QRect rect, QColor colour)
{
    QImage image = Target_.AsImage();
    if (image.isNull())
        return;
    QPainter painter(&image);
    Begin(painter);
    painter.fillRect(rect, colour);
}

void TteCanvas::FrameRect(QRect rect, QColor colour)
{
    if (rect.isEmpty())
        return;
    FillRect(QRect(rect.left(), rect.top(), rect.width(), 1), colour);
    FillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), colour);
    FillRect(QRect(rect.left(), rect.top(), 1, rect.height()), colour);
    FillRect(QRect(rect.right(), rect.top(), 1, rect.height()), colour);
}

void TteCanvas::Line(QPoint from, QPoint to) { Polyline(QPolygon({from, to})); }

void TteCanvas::Polyline(const QPolygon &points)
{
    QImage image = Target_.AsImage();
    if (image.isNull() || points.size() < 2)
        return;
    QPainter painter(&image);
    Begin(painter);
    painter.setPen(QPen(PenColor, PenWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    // Lines stop short of their last point, as on the classic device context.
    for (int i = 1; i < points.size(); ++i) {
        const QPoint a = points[i - 1], b = points[i];
        if (a == b)
            continue;
        const QPointF direction = QPointF(b - a) / std::hypot(b.x() - a.x(), b.y() - a.y());
        painter.drawLine(QPointF(a) + QPointF(0.5, 0.5), QPointF(b) - direction + QPointF(0.5, 0.5));
    }
}

void TteCanvas::Polygon(const QPolygon &points)
{
    QImage image = Target_.AsImage();
    if (image.isNull() || points.size() < 3)
        return;
    QPainter painter(&image);
    Begin(painter);
    painter.setPen(PenWidth > 0 ? QPen(PenColor, PenWidth) : QPen(Qt::NoPen));
    painter.setBrush(BrushClear ? QBrush(Qt::NoBrush) : QBrush(BrushColor));
    painter.drawPolygon(points);
}

void TteCanvas::RoundRect(QRect rect, int ellipseWidth, int ellipseHeight)
{
    QImage image = Target_.AsImage();
    if (image.isNull())
        return;
    QPainter painter(&image);
    Begin(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(PenWidth > 0 ? QPen(PenColor, PenWidth) : QPen(Qt::NoPen));
    painter.setBrush(BrushClear ? QBrush(Qt::NoBrush) : QBrush(BrushColor));
    painter.drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), ellipseWidth / 2.0, ellipseHeight / 2.0);
}

QSize TteCanvas::TextExtent(const QString &text) const
{
    const QFontMetrics metrics(Font);
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

int TteCanvas::DrawText(const QString &text, QRect &rect, unsigned flags, QColor colour)
{
    const QFontMetrics metrics(Font);
    int qtFlags = 0;
    qtFlags |= (flags & DT_CENTER) ? Qt::AlignHCenter : (flags & DT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
    if (flags & DT_SINGLELINE)
        qtFlags |= (flags & DT_VCENTER) ? Qt::AlignVCenter : (flags & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
    else
        qtFlags |= Qt::AlignTop;
    if ((flags & DT_WORDBREAK) && !(flags & DT_SINGLELINE))
        qtFlags |= Qt::TextWordWrap;
    else
        qtFlags |= Qt::TextSingleLine;
    if (!(flags & DT_NOPREFIX))
        qtFlags |= Qt::TextShowMnemonic;
    if (flags & DT_NOCLIP)
        qtFlags |= Qt::TextDontClip;

    QString shown = text;
    if ((flags & DT_END_ELLIPSIS) && !(flags & DT_CALCRECT))
        shown = metrics.elidedText(text, Qt::ElideRight, rect.width(),
                                   (flags & DT_NOPREFIX) ? 0 : int(Qt::TextShowMnemonic));
    const QRect needed = metrics.boundingRect(rect, qtFlags, shown);
    if (flags & DT_CALCRECT) {
        rect.setWidth(flags & DT_SINGLELINE ? needed.width() : std::max(needed.width(), 0));
        rect.setHeight(needed.height());
        return needed.height();
    }
    QImage image = Target_.AsImage();
    if (image.isNull())
        return needed.height();
    QPainter painter(&image);
    Begin(painter);
    painter.setFont(Font);
    painter.setPen(colour);
    if (flags & DT_RTLREADING)
        painter.setLayoutDirection(Qt::RightToLeft);
    painter.drawText(rect, qtFlags, shown);
    return needed.height();
}

} // namespace quillon
