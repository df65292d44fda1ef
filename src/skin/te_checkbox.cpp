#include "skin/te_checkbox.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcut>

namespace quillon {

TTeCheckBox::TTeCheckBox(QWidget *parent) : TTeControl(parent)
{
    resize(98, 20);
    Performance = kspDoubleBuffer;
    setFocusPolicy(Qt::StrongFocus);
}

void TTeCheckBox::SetCaption(const QString &caption)
{
    Caption_ = caption;
    SetAccelerator(Accelerator, *this, caption, [this] { Toggle(); });
    update();
}

void TTeCheckBox::SetState(TTeCheckBoxState state)
{
    if (state == State_)
        return;
    State_ = state;
    if (QAccessible::isActive()) {
        QAccessible::State changes;
        changes.checked = changes.checkStateMixed = true;
        QAccessibleStateChangeEvent changed(this, changes);
        QAccessible::updateAccessibility(&changed);
    }
    if (OnClick)
        OnClick();
    update();
}

void TTeCheckBox::Toggle()
{
    switch (State_) {
    case kcbsUnChecked: SetState(AllowGrayed ? kcbsMixed : kcbsChecked); break;
    case kcbsChecked: SetState(kcbsUnChecked); break;
    case kcbsMixed: SetState(kcbsChecked); break;
    }
}

bool TTeCheckBox::Skinned() const { return IsThemedCheckBox(0, Binding.ThemeObject(), Binding.ThemeLink()); }

int TTeCheckBox::StateCode() const
{
    const int value = State_ == kcbsChecked ? CheckedNormal : State_ == kcbsMixed ? MixedNormal : UncheckedNormal;
    const int look = !isEnabled() ? 3 : Pressed_ ? 2 : MouseInControl ? 1 : 0;
    return value + look;
}

QSize TTeCheckBox::BoxSize() const
{
    if (!Skinned())
        return QSize(13, 13);
    return Binding.Theme()->GetCheckBoxSize(CheckBoxKind, Binding.ThemeObject(), MakeElementInfo(rect()));
}

QRect TTeCheckBox::BoxRect() const
{
    const QSize box = BoxSize();
    const int x = Alignment == kalLeftJustify ? 0 : width() - box.width();
    return QRect(QPoint(x, (height() - box.height()) / 2), box);
}

QFont TTeCheckBox::StateFont(QColor &colour) const
{
    QFont font = WorkingFont;
    colour = palette().color(QPalette::WindowText);
    if (Skinned()) {
        // normal 15, hot 17, pressed 16, focused 18, disabled 19
        const int index = !isEnabled() ? 19 : Pressed_ ? 16 : MouseInControl ? 17 : InFocus ? 18 : 15;
        font = ThemeFontOf(*Binding.Theme(), index, Binding.ThemeObject(), colour);
    }
    return font;
}

QRect TTeCheckBox::CaptionRect() const
{
    QColor colour;
    const QFontMetrics metrics(StateFont(colour));
    const QSize box = BoxSize();
    const int start = Alignment == kalLeftJustify ? box.width() + Spacing : 2;
    const QRect room(0, 0, width() - box.width() - 10, metrics.height());
    const int flags = Qt::TextShowMnemonic | (WordWrap ? Qt::TextWordWrap : Qt::TextSingleLine);
    const QRect measured = metrics.boundingRect(room, flags, Caption_.isEmpty() ? QStringLiteral(" ") : Caption_);
    return QRect(start, (height() - measured.height()) / 2, measured.width(), measured.height());
}

void TTeCheckBox::PaintClient(TteCanvas &canvas)
{
    const QRect full(0, 0, PaintWidth(), PaintHeight());
    const bool skinned = Skinned();
    TteTheme *theme = Binding.Theme();
    const TteElementInfo info = MakeElementInfo(BoxRect(), uint8_t(StateCode()));
    if (skinned ? theme->CheckBoxIsTransparent(CheckBoxKind, "default", info) : Transparent)
        DrawParentBackground(*this, canvas);
    else
        canvas.FillRect(full, ToQColor(Color));

    const QRect box = BoxRect();
    if (skinned) {
        theme->PaintCheckBox(CheckBoxKind, canvas, Binding.ThemeObject(), info);
    } else {
        // The classic box: sunken, white inside, a check mark or a grey one.
        canvas.FillRect(box, ToQColor(isEnabled() ? clWindow : clBtnFace));
        canvas.FrameRect(box, ToQColor(clBtnShadow));
        if (State_ != kcbsUnChecked) {
            canvas.PenColor = ToQColor(State_ == kcbsMixed || !isEnabled() ? clGrayText : clWindowText);
            const QPoint o = box.topLeft();
            for (int d = 0; d < 3; ++d)
                canvas.Polyline(QPolygon({o + QPoint(3, 5 + d), o + QPoint(5, 7 + d), o + QPoint(10, 2 + d)}));
        }
    }
    QColor colour;
    canvas.Font = StateFont(colour);
    const QRect caption = CaptionRect();
    const unsigned lines = WordWrap ? DT_WORDBREAK : DT_SINGLELINE;
    if (skinned) {
        canvas.FontColor = colour;
        theme->PaintCheckBoxText(CheckBoxKind, canvas, "default",
                                 MakeTextInfo(caption, Caption_, DT_LEFT | DT_VCENTER | lines), info);
    } else if (!isEnabled()) {
        DrawEmbossedText(canvas, Caption_, caption, DT_LEFT | lines);
    } else {
        QRect text = caption;
        canvas.DrawText(Caption_, text, DT_LEFT | lines, colour);
    }
    if (InFocus)
        canvas.FrameRect(caption.adjusted(-2, -2, 2, 2), ToQColor(clBtnShadow));
}

void TTeCheckBox::DoMouseEnter()
{
    TTeControl::DoMouseEnter();
    update();
}

void TTeCheckBox::DoMouseLeave()
{
    TTeControl::DoMouseLeave();
    update();
}

void TTeCheckBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    Pressed_ = true;
    update();
}

void TTeCheckBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !Pressed_)
        return QWidget::mouseReleaseEvent(event);
    Pressed_ = false;
    if (rect().contains(event->position().toPoint()))
        Toggle();
    update(); // outside: only the look changes back
}

void TTeCheckBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !(event->modifiers() & Qt::AltModifier) && !event->isAutoRepeat()) {
        Pressed_ = true;
        update();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TTeCheckBox::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && Pressed_) {
        Pressed_ = false;
        Toggle();
        update();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

} // namespace quillon
