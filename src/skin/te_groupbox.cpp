#include "skin/te_groupbox.h"

#include <QFontMetrics>

namespace quillon {

TTeGroupBox::TTeGroupBox(QWidget *parent) : TTeControl(parent) { resize(100, 90); }

bool TTeGroupBox::Skinned() const { return IsThemedGroupBox(0, Binding.ThemeObject(), Binding.ThemeLink()); }

QFont TTeGroupBox::CaptionFont(QColor &colour) const
{
    colour = palette().color(QPalette::WindowText);
    if (!Skinned())
        return WorkingFont;
    const int index = isEnabled() ? 25 : 26;
    TteTheme *theme = Binding.Theme();
    return ThemeFontOf(*theme, index, Binding.ThemeObject(), colour);
}

QRect TTeGroupBox::FrameRect() const
{
    QColor colour;
    const int h = QFontMetrics(CaptionFont(colour)).height();
    return QRect(QPoint(3, h / 2 + 1), QPoint(width() - 2 - 1, height() - 2 - 1));
}

QRect TTeGroupBox::CaptionRect() const
{
    QColor colour;
    const QFontMetrics metrics(CaptionFont(colour));
    const int w = Caption.isEmpty() ? 0 : metrics.boundingRect(QRect(), Qt::TextShowMnemonic, Caption).width();
    return QRect(CaptionMargin, 0, w, metrics.height());
}

void TTeGroupBox::PaintClient(TteCanvas &canvas)
{
    const QRect full(0, 0, PaintWidth(), PaintHeight());
    const bool skinned = Skinned();
    TteTheme *theme = Binding.Theme();
    TteElementInfo info = MakeElementInfo(FrameRect(), isEnabled() ? 0 : 1);
    info.Rect2 = CaptionRect();
    if (skinned ? theme->GroupBoxIsTransparent(0, "default", info) : Transparent)
        DrawParentBackground(*this, canvas);
    else
        canvas.FillRect(full, ToQColor(Color));
    QColor colour;
    canvas.Font = CaptionFont(colour);
    QRect caption = CaptionRect();
    if (skinned) {
        theme->PaintGroupBox(0, canvas, "default", info);
        canvas.FontColor = colour;
        if (!Caption.isEmpty())
            theme->PaintGroupBoxText(0, canvas, "default",
                                     MakeTextInfo(caption, Caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE), info);
        return;
    }
    // Classic: an etched frame with a gap for the caption.
    const QRect f = FrameRect();
    const std::optional<QRegion> saved = canvas.ClipRegion();
    if (!Caption.isEmpty())
        canvas.ExcludeClipRect(caption);
    canvas.FrameRect(f.translated(1, 1), ToQColor(clBtnHighlight));
    canvas.FrameRect(f, ToQColor(clBtnShadow));
    canvas.SetClipRegion(saved);
    if (Caption.isEmpty())
        return;
    if (!isEnabled())
        DrawEmbossedText(canvas, Caption, caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    else
        canvas.DrawText(Caption, caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE, colour);
}

} // namespace quillon
