#include "skin/te_edit.h"

#include <QKeyEvent>
#include <QPainter>

namespace quillon {

namespace {
// The room between the frame's outer edge and the text.
constexpr QMargins TextMargins(3, 2, 3, 2);
} // namespace

TTeSEdit::TTeSEdit(QWidget *parent) : QLineEdit(parent)
{
    setFrame(false);
    setTextMargins(TextMargins);
    setAttribute(Qt::WA_Hover);
}

void TTeSEdit::SetTextAlign(TTeAlignment align)
{
    TextAlign = align;
    setAlignment((align == taCenter         ? Qt::AlignHCenter
                  : align == taRightJustify ? Qt::AlignRight
                                            : Qt::AlignLeft) |
                 Qt::AlignVCenter);
}

bool TTeSEdit::Skinned() const { return IsThemedEdit(EditKind, "default", Binding.ThemeLink()); }

int TTeSEdit::StateCode() const
{
    return !isEnabled() ? EditDisabled : MouseInControl ? EditHot : hasFocus() ? EditFocused : EditNormal;
}

void TTeSEdit::PaintFrame(TteCanvas &canvas)
{
    const QRect full = rect();
    if (Skinned()) {
        Binding.Theme()->PaintEdit(EditKind, canvas, "default", MakeElementInfo(full, uint8_t(StateCode())));
        return;
    }
    DrawSunkenBox(canvas, full, isEnabled());
}

void TTeSEdit::ApplyThemeColors()
{
    // The base stays clear: the frame painted below the text is the background.
    const TteTheme *theme = Binding.Theme();
    QPalette p = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, Qt::transparent);
        p.setColor(group, QPalette::Text,
                   ThemeSysColor(theme, group == QPalette::Disabled ? clGrayText : clWindowText));
        p.setColor(group, QPalette::Highlight, ThemeSysColor(theme, clHighlight));
        p.setColor(group, QPalette::HighlightedText, ThemeSysColor(theme, clHighlightText));
    }
    setPalette(p);
    // The text in the theme's edit font, as the engine's boxes write theirs;
    // without a theme, the font the edit inherits.
    QColor ink;
    setFont(Skinned() ? ThemeFontOf(*Binding.Theme(), 29, "default", ink) : QFont());
}

void TTeSEdit::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        ShowPainted(painter, rect(), [this](TteCanvas &canvas) { PaintFrame(canvas); });
    }
    QLineEdit::paintEvent(event); // text, selection and caret on top
}

void TTeSEdit::keyPressEvent(QKeyEvent *event)
{
    // Up and Down move along the one line, as Left and Right do.
    if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) &&
        !(event->modifiers() & (Qt::AltModifier | Qt::ControlModifier))) {
        QKeyEvent sideways(event->type(), event->key() == Qt::Key_Up ? Qt::Key_Left : Qt::Key_Right,
                           event->modifiers());
        QLineEdit::keyPressEvent(&sideways);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

bool TTeSEdit::event(QEvent *e)
{
    if (Binding.HandleEvent(e))
        return true;
    // The toolkit repaints on enabling and focus; the hover is the skin's.
    if (e->type() == QEvent::HoverEnter || e->type() == QEvent::HoverLeave) {
        MouseInControl = e->type() == QEvent::HoverEnter;
        update();
    }
    return QLineEdit::event(e);
}

} // namespace quillon
