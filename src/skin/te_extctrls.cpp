#include "skin/te_extctrls.h"

#include <cmath>

namespace quillon {

TTeProgressBar::TTeProgressBar(QWidget *parent) : TTeControl(parent)
{
    resize(140, 16);
    Performance = kspDoubleBuffer;
}

float TTeProgressBar::Fraction() const
{
    if (Min_ < 0 || Position_ < Min_ || Position_ > Max_ || Min_ == Max_)
        return 0.0f;
    return float(Position_ - Min_) / float(Max_ - Min_);
}

void TTeProgressBar::Changed(float before)
{
    if (Fraction() != before)
        repaint();
}

void TTeProgressBar::SetMin(int value)
{
    const float before = Fraction();
    Min_ = value;
    Changed(before);
}

void TTeProgressBar::SetMax(int value)
{
    const float before = Fraction();
    Max_ = value;
    Changed(before);
}

void TTeProgressBar::SetPosition(int value)
{
    const float before = Fraction();
    Position_ = value;
    Changed(before);
}

QRect TTeProgressBar::BarArea() const
{
    QRect area(0, 0, PaintWidth(), PaintHeight());
    if (ShowBorder)
        area.adjust(2, 2, -2, -2);
    return area.adjusted(BorderWidth(), BorderWidth(), -BorderWidth(), -BorderWidth());
}

QRect TTeProgressBar::FilledRect() const
{
    const QRect area = BarArea();
    if (Orientation == kpoHorizontal)
        return QRect(area.left(), area.top(), int(std::lrint(Fraction() * area.width())), area.height());
    const int length = int(std::lrint(Fraction() * area.height()));
    return QRect(area.left(), area.top() + area.height() - length, area.width(), length);
}

bool TTeProgressBar::Skinned() const { return IsThemedProgressBar(0, Binding.ThemeObject(), Binding.ThemeLink()); }

void TTeProgressBar::PaintClient(TteCanvas &canvas)
{
    if (!Skinned()) {
        PaintClassic(canvas);
        return;
    }
    TteTheme *theme = Binding.Theme();
    const bool horizontal = Orientation == kpoHorizontal;
    theme->PaintProgressBar(0, canvas, Binding.ThemeObject(),
                            MakeElementInfo(QRect(0, 0, PaintWidth(), PaintHeight()), 0,
                                            horizontal ? ProgressFrameHorz : ProgressFrameVert));
    const QRect filled = FilledRect();
    if (filled.isEmpty())
        return;
    const TteProgressPart part = horizontal ? (Smooth ? ProgressSmoothHorz : ProgressBlocksHorz)
                                            : (Smooth ? ProgressSmoothVert : ProgressBlocksVert);
    theme->PaintProgressBar(0, canvas, Binding.ThemeObject(), MakeElementInfo(filled, 0, part));
}

void TTeProgressBar::PaintClassic(TteCanvas &canvas)
{
    QRect r(0, 0, PaintWidth(), PaintHeight());
    if (ShowBorder) {
        canvas.FillRect(QRect(r.left(), r.top(), r.width(), 1), ToQColor(clBtnShadow));
        canvas.FillRect(QRect(r.left(), r.top(), 1, r.height()), ToQColor(clBtnShadow));
        canvas.FillRect(QRect(r.left(), r.bottom(), r.width(), 1), ToQColor(clBtnHighlight));
        canvas.FillRect(QRect(r.right(), r.top(), 1, r.height()), ToQColor(clBtnHighlight));
        r.adjust(1, 1, -1, -1);
    }
    canvas.FillRect(r, ToQColor(Color));
    const float f = Fraction();
    const QColor highlight = ToQColor(clHighlight);
    const QRect area = BarArea();
    if (Smooth) {
        canvas.FillRect(FilledRect(), highlight);
        return;
    }
    if (f < 0.01)
        return;
    const bool horizontal = Orientation == kpoHorizontal;
    const int thickness = horizontal ? area.height() : area.width();
    const int length = horizontal ? area.width() : area.height();
    const int block = std::max(1, int(std::lrint(0.64 * thickness)));
    const int whole = length / (block + 2);
    const int count = int(std::lrint(f * whole)) + 1;
    const std::optional<QRegion> saved = canvas.ClipRegion();
    canvas.SetClipRect(area);
    for (int i = 0; i < count; ++i) {
        const int at = i * (block + 2);
        canvas.FillRect(horizontal ? QRect(area.left() + at, area.top(), block, area.height())
                                   : QRect(area.left(), area.top() + area.height() - at - block, area.width(), block),
                        highlight);
    }
    canvas.SetClipRegion(saved);
}

} // namespace quillon
