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
    QRect caption;
    QColor colour = palette().color(QPalette::WindowText);
    QFont font = WorkingFont;
    if (Skinned()) {
        TteTheme *theme = Binding.Theme();
        const TteElementInfo info = MakeElementInfo(full, isEnabled() ? 0 : 1);
        if (theme->PanelIsTransparent(0, Binding.ThemeObject(), info))
            DrawParentBackground(*this, canvas);
        theme->PaintPanel(0, canvas, Binding.ThemeObject(), info);
        const int index = isEnabled() ? 8 : 9;
        font = theme->GetObjectFont(index, Binding.ThemeObject());
        canvas.Font = font;
        canvas.FontColor = ToQColor(theme->Fonts[size_t(index)].Color);
        const int h = QFontMetrics(font).height();
        caption = QRect(full.left() + 2, (full.height() - h) / 2, full.width() - 4, h);
        const unsigned align = Alignment == taCenter ? DT_CENTER : Alignment == taRightJustify ? DT_RIGHT : DT_LEFT;
        if (!Caption.isEmpty())
            theme->PaintPanelText(0, canvas, Binding.ThemeObject(),
                                  MakeTextInfo(caption, Caption, align | DT_SINGLELINE), info);
        return;
    }
    TTeControl::PaintClient(canvas);
    if (Caption.isEmpty())
        return;
    canvas.Font = font;
    caption = GetInnerRect();
    const unsigned align = Alignment == taCenter ? DT_CENTER : Alignment == taRightJustify ? DT_RIGHT : DT_LEFT;
    canvas.DrawText(Caption, caption, align | DT_VCENTER | DT_SINGLELINE, colour);
}

void TTeTransparentPanel::PaintClient(TteCanvas &canvas)
{
    if (Transparent)
        DrawParentBackground(*this, canvas);
    else
        canvas.FillRect(QRect(0, 0, PaintWidth(), PaintHeight()), ToQColor(Color));
}

} // namespace quillon
