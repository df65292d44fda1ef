#include "skin/te_label.h"

#include <QRegularExpression>
#include <QShortcut>

#include <QFontMetrics>

namespace quillon {

void TTeLabel::SetFocusControl(QWidget *control)
{
    FocusControl_ = control;
    delete Accelerator;
    Accelerator = nullptr;
    if (!control)
        return;
    control->setAccessibleName(PlainCaption(Caption_).remove(QRegularExpression(":$")));
    if (ShowAccelChar) {
        QPointer<QWidget> target = control;
        SetAccelerator(Accelerator, *this, Caption_, [target] {
            if (target && target->isEnabled())
                target->setFocus(Qt::ShortcutFocusReason);
        });
    }
}

TTeLabel::TTeLabel(QWidget *parent) : TTeGraphicControl(parent) { resize(65, 17); }

void TTeLabel::SetCaption(const QString &caption)
{
    Caption_ = caption;
    SetFocusControl(FocusControl_);
    if (AutoSize)
        AdjustSize();
    update();
}

bool TTeLabel::Skinned() const { return IsThemedLabel(0, Binding.ThemeObject(), Binding.ThemeLink()); }

QFont TTeLabel::PaintFont(QColor &colour) const
{
    QFont font = this->font();
    colour = palette().color(QPalette::WindowText);
    if (Skinned()) {
        const int index = !isEnabled() ? 7 : HotTrack && MouseInControl ? 5 : 4;
        font = ThemeFontOf(*Binding.Theme(), index, Binding.ThemeObject(), colour);
    }
    FontOptions.ApplyTo(font, colour);
    return font;
}

unsigned TTeLabel::TextFlags() const
{
    unsigned flags = TextAlignFlags(Alignment);
    flags |= WordWrap ? DT_WORDBREAK : DT_SINGLELINE;
    if (!WordWrap)
        flags |= Layout == tlCenter ? DT_VCENTER : Layout == tlBottom ? DT_BOTTOM : DT_TOP;
    if (!ShowAccelChar)
        flags |= DT_NOPREFIX;
    return flags;
}

QSize TTeLabel::MeasuredSize() const
{
    QColor colour;
    const QFontMetrics metrics(PaintFont(colour));
    QString text = Caption_;
    if (text.isEmpty() || (ShowAccelChar && text == "&"))
        text += ' ';
    int flags = Qt::TextExpandTabs | (WordWrap ? Qt::TextWordWrap : Qt::TextSingleLine);
    if (ShowAccelChar)
        flags |= Qt::TextShowMnemonic;
    const QRect room(0, 0, WordWrap ? width() : 100000, 100000);
    return metrics.boundingRect(room, flags, text).size();
}

void TTeLabel::AdjustSize()
{
    const QSize size = MeasuredSize();
    const int right = x() + width();
    if (Alignment == taRightJustify)
        setGeometry(right - size.width(), y(), size.width(), size.height());
    else
        resize(size);
}

void TTeLabel::PaintControl(TteCanvas &canvas)
{
    const QRect r(0, 0, width(), height());
    if (!Transparent)
        canvas.FillRect(r, ToQColor(Color));
    QColor colour;
    canvas.Font = PaintFont(colour);
    if (Skinned()) {
        canvas.FontColor = colour;
        Binding.Theme()->PaintLabelText(0, canvas, Binding.ThemeObject(), MakeTextInfo(r, Caption_, TextFlags()),
                                        MakeElementInfo(r, isEnabled() ? 0 : 2));
        return;
    }
    if (!isEnabled()) {
        DrawEmbossedText(canvas, Caption_, r, TextFlags());
        return;
    }
    QRect text = r;
    canvas.DrawText(Caption_, text, TextFlags(), colour);
}

bool TTeLabel::event(QEvent *e)
{
    // The engine's messages; the toolkit repaints on enabling and font changes.
    return Binding.HandleEvent(e) || TTeGraphicControl::event(e);
}

void TTeLabel::DoMouseEnter()
{
    TTeGraphicControl::DoMouseEnter();
    if (HotTrack)
        update();
}

void TTeLabel::DoMouseLeave()
{
    TTeGraphicControl::DoMouseLeave();
    if (HotTrack)
        update();
}

bool TTeAdvancedLabel::Skinned() const
{
    TteTheme *theme = TteThemeManager::Instance().CurrentTheme();
    return theme && (theme->SupportsLabel(0, Binding.ThemeObject()) || theme->SupportsLabel(0, "default"));
}

QFont TTeAdvancedLabel::PaintFont(QColor &colour) const
{
    const bool enabled = isEnabled();
    QFont font = enabled ? DefaultFont : DefaultDisabledFont;
    colour = enabled ? DefaultColor : DefaultDisabledColor;
    if (!Skinned()) {
        if (!AlwaysUseDefaultFont) {
            font = this->font();
            colour = palette().color(QPalette::WindowText);
        }
    } else {
        TteTheme *theme = TteThemeManager::Instance().CurrentTheme();
        const int index = enabled ? 4 : 7;
        if (!AlwaysUseDefaultFont) {
            font = ThemeFontOf(*theme, index, Binding.ThemeObject(), colour);
        } else if (AlwaysGetFontColorFromTheme) {
            colour = ToQColor(theme->Fonts[size_t(index)].Color);
        }
    }
    FontOptions.ApplyTo(font, colour);
    return font;
}

} // namespace quillon
