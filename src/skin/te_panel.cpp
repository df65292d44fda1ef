#include "skin/te_panel.h"

#include <QFontMetrics>

namespace quillon {

TTePanel::TTePanel(QWidget *parent) : TTeControl(parent)
{
    SetBevelOuter(kbvRaised);
    SetBevelInner(kbvNone);
    SetBevelWidth(1);
}

bool TTePanel::Skinned() const { return IsThemedPanel(0, Binding.ThemeObject(), Binding.ThemeLink()); }

QRect TTePanel::ClientRect() const
{
    const QRect full(0, 0, PaintWidth(), PaintHeight());
    if (!Skinned())
        return GetInnerRect();
    return Binding.Theme()->GetPanelContentRect(0, Binding.ThemeObject(), MakeElementInfo(full));
}

void TTePanel::PaintBorder(TteCanvas &canvas)
{
    if (!Skinned())
        TTeControl::PaintBorder(canvas); // the theme's panel is the whole face
}

void TTePanel::PaintClient(TteCanvas &canvas)
{
    const QRect full(0, 0, PaintWidth(), PaintHeight());
    const unsigned align = TextAlignFlags(Alignment);
    if (!Skinned()) {
        TTeControl::PaintClient(canvas);
        canvas.Font = WorkingFont;
        QRect caption = GetInnerRect();
        canvas.DrawText(Caption, caption, align | DT_VCENTER | DT_SINGLELINE, palette().color(QPalette::WindowText));
        return;
    }
    TteTheme *theme = Binding.Theme();
    const TteElementInfo info = MakeElementInfo(full, isEnabled() ? 0 : 1);
    if (theme->PanelIsTransparent(0, Binding.ThemeObject(), info))
        DrawParentBackground(*this, canvas);
    theme->PaintPanel(0, canvas, Binding.ThemeObject(), info);
    if (Caption.isEmpty())
        return;
    canvas.Font = ThemeFontOf(*theme, isEnabled() ? 8 : 9, Binding.ThemeObject(), canvas.FontColor);
    // A line of the font's height, vertically centred.
    const int h = QFontMetrics(canvas.Font).height();
    const QRect caption(full.left() + 2, (full.height() - h) / 2, full.width() - 4, h);
    theme->PaintPanelText(0, canvas, Binding.ThemeObject(), MakeTextInfo(caption, Caption, align | DT_SINGLELINE),
                          info);
}

void TTeTransparentPanel::PaintClient(TteCanvas &canvas)
{
    if (Transparent)
        DrawParentBackground(*this, canvas);
    else
        canvas.FillRect(QRect(0, 0, PaintWidth(), PaintHeight()), ToQColor(Color));
}

} // namespace quillon
