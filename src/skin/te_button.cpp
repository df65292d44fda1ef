#include "skin/te_button.h"

#include "theme/te_colors.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcut>

#include <cmath>

namespace quillon {

void TTeFontOptions::ApplyTo(QFont &font, QColor &colour) const
{
    if (Bold)
        font.setBold(true);
    if (Italic)
        font.setItalic(true);
    if (Underline)
        font.setUnderline(true);
    if (StrikeOut)
        font.setStrikeOut(true);
    if (SizeDelta != 0 && font.pointSize() > 0)
        font.setPointSize(std::max(1, font.pointSize() + SizeDelta));
    if (!FontName.isEmpty())
        font.setFamily(FontName);
    if (FontColor != clNone)
        colour = ToQColor(FontColor);
}

TTeButton::TTeButton(QWidget *parent) : TTeControl(parent)
{
    resize(75, 25);
    Performance = kspDoubleBuffer;
    setFocusPolicy(Qt::StrongFocus);
    Slot = ReserveEffectSlot();
    HoverFade.Effect = "[ FADE ] - Fade";
    HoverFade.SetTime(100);
}

TTeButton::~TTeButton()
{
    StopEffect(Slot, false);
    ReleaseEffectSlot(Slot);
}

void TTeButton::SetCaption(const QString &caption)
{
    Caption_ = caption;
    SetAccelerator(Accelerator, *this, caption, [this] { Click(); });
    update();
}

bool TTeButton::ActiveDefault() const
{
    if (!Default)
        return false;
    const QWidget *focused = QApplication::focusWidget();
    return !focused || focused == this || !qobject_cast<const TTeButton *>(focused);
}

bool TTeButton::Skinned() const { return IsThemedButton(0, Binding.ThemeObject(), Binding.ThemeLink()); }

void TTeButton::Click()
{
    if (OnClick)
        OnClick();
    if (ModalResult != 0)
        if (auto *dialog = qobject_cast<QDialog *>(window()))
            dialog->done(ModalResult);
}

int TTeButton::StateCode() const
{
    if (!isEnabled())
        return ButtonDisabled;
    if (Pressed_)
        return ButtonPressed;
    if (MouseInControl)
        return ButtonHot;
    if (InFocus)
        return ButtonFocused;
    if (ActiveDefault())
        return ButtonDefault;
    return ButtonNormal;
}

QFont TTeButton::StateFont(QColor &colour) const
{
    QFont font = WorkingFont;
    colour = palette().color(QPalette::ButtonText);
    if (Skinned()) {
        TteTheme *theme = Binding.Theme();
        int index = 10; // normal and active default
        switch (StateCode()) {
        case ButtonPressed: index = 11; break;
        case ButtonHot: index = 12; break;
        case ButtonFocused: index = 13; break;
        case ButtonDisabled: index = 14; break;
        default: break;
        }
        font = ThemeFontOf(*theme, index, Binding.ThemeObject(), colour);
    }
    FontOptions.ApplyTo(font, colour);
    return font;
}

void TTeButton::PrepareGlyph(TteBitmap &out) const
{
    QImage source;
    QRgb clear = 0;
    if (!Glyph.IsEmpty()) {
        const int cells = std::max(1, NumGlyphs);
        int cell = 0;
        if (!isEnabled() && cells > 1)
            cell = 1;
        else if (Pressed_ && cells > 2)
            cell = 2;
        const int w = Glyph.Width() / cells;
        source = Glyph.AssignTo().copy(cell * w, 0, w, Glyph.Height());
        clear = Glyph.Pixel(0, Glyph.Height() - 1) & 0xFFFFFF; // the bottom-left pixel
    } else if (Images && ImageIndex >= 0 && ImageIndex < int(Images->size())) {
        source = (*Images)[size_t(ImageIndex)].convertToFormat(QImage::Format_ARGB32);
        clear = 0xFF00FF;
    }
    if (source.isNull()) {
        out.SetSize(0, 0);
        return;
    }
    out.SetSize(source.width(), source.height());
    out.Fill(TE_TRANSPARENT_KEY);
    out.HasTransparentMarks = true;
    out.HasAlpha = false;
    const bool singleCell = Glyph.IsEmpty() || NumGlyphs <= 1;
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x) {
            const uint32_t p = source.pixel(x, y);
            if ((p & 0xFFFFFF) == clear)
                continue;
            uint32_t shown = p | 0xFF000000u;
            if (BlackAndWhiteGlyph && !MouseInControl) {
                const int grey = int(std::lrint(PixelLightness(p) * 255));
                shown = 0xFF000000u | uint32_t(grey) * 0x010101u;
            } else if (singleCell && !isEnabled()) {
                const int grey = int(std::lrint(PixelLightness(p) * 50)) + 160;
                shown = 0xFF000000u | uint32_t(grey) * 0x010101u;
            }
            out.SetPixel(x, y, shown);
        }
}

QRect TTeButton::ContentRect(QSize glyph) const
{
    QColor colour;
    const QFontMetrics metrics(StateFont(colour));
    QRect r;
    if (!WordWrap) {
        const QRect text = metrics.boundingRect(QRect(), Qt::TextShowMnemonic | Qt::TextSingleLine, Caption_);
        r = QRect(0, 0, text.width(), metrics.height());
    } else {
        r = QRect(0, 0, width() - Spacing - glyph.width() - 10, height() - Spacing - glyph.height() - 10);
    }
    if (Caption_.isEmpty())
        r.setLeft(r.left() - 2);
    if (!Caption_.contains('&'))
        r.setRight(r.right() + metrics.horizontalAdvance('&'));
    if (!glyph.isEmpty()) {
        if (Layout == blGlyphTop || Layout == blGlyphBottom)
            r.setHeight(r.height() + glyph.height() + Spacing);
        else
            r.setWidth(r.width() + glyph.width() + Spacing);
        r.setWidth(std::max(r.width(), glyph.width()));
        r.setHeight(std::max(r.height(), glyph.height()));
    }
    const int y = (height() - r.height()) / 2;
    switch (Alignment) {
    case taLeftJustify: r.moveTo(4, y); break;
    case taRightJustify: r.moveTo(width() - 4 - r.width(), y); break;
    default: r.moveTo((width() - r.width()) / 2, y); break;
    }
    if (Pressed_)
        r.translate(1, 1);
    return r;
}

QRect TTeButton::GlyphCell(QRect c, QSize glyph) const
{
    if (glyph.isEmpty())
        return {};
    switch (Layout) {
    case blGlyphRight:
        return QRect(c.right() - glyph.width() - Spacing + 1, c.top(), glyph.width() + Spacing, c.height());
    case blGlyphTop: return QRect(c.left(), c.top(), c.width(), glyph.height() + Spacing);
    case blGlyphBottom:
        return QRect(c.left(), c.bottom() - glyph.height() - Spacing + 1, c.width(), glyph.height() + Spacing);
    default: return QRect(c.left(), c.top(), glyph.width() + Spacing, c.height());
    }
}

void TTeButton::PaintClient(TteCanvas &canvas)
{
    const QRect full(0, 0, PaintWidth(), PaintHeight());
    const int state = StateCode();
    const bool skinned = Skinned();
    TteTheme *theme = Binding.Theme();
    const std::string &object = Binding.ThemeObject();
    TteElementInfo info = MakeElementInfo(full, uint8_t(state));

    // Background and face.
    if (skinned ? theme->ButtonIsTransparent(0, object, info) : Transparent)
        DrawParentBackground(*this, canvas);
    else if (!skinned)
        canvas.FillRect(full, ToQColor(Color));
    if (skinned) {
        theme->PaintButton(ButtonPush, canvas, object, info);
    } else {
        QRect r = full;
        if (state == ButtonFocused || ActiveDefault()) {
            canvas.FrameRect(r, Qt::black);
            r.adjust(1, 1, -1, -1);
        }
        canvas.FillRect(r, ToQColor(Color));
        if (!Pressed_) {
            Frame3D(canvas, r, ToQColor(clBtnHighlight), Qt::black);
            r.adjust(1, 1, -1, -1);
            Frame3D(canvas, r, ToQColor(Color), ToQColor(clBtnShadow));
        } else {
            Frame3D(canvas, r, ToQColor(clBtnShadow), ToQColor(clBtnShadow));
        }
        if (InFocus)
            canvas.FrameRect(full.adjusted(4, 4, -4, -4), ToQColor(clBtnShadow));
    }

    // Caption and glyph in their content rectangle.
    TteBitmap glyph;
    PrepareGlyph(glyph);
    const QSize glyphSize = glyph.IsEmpty() ? QSize() : glyph.Rect().size();
    const QRect content = ContentRect(glyphSize);
    const QRect cell = GlyphCell(content, glyphSize);
    QRect text = content;
    if (!cell.isEmpty()) {
        switch (Layout) {
        case blGlyphRight: text.setRight(cell.left() - 1); break;
        case blGlyphTop: text.setTop(cell.bottom() + 1); break;
        case blGlyphBottom: text.setBottom(cell.top() - 1); break;
        default: text.setLeft(cell.right() + 1); break;
        }
    }
    QColor colour;
    canvas.Font = StateFont(colour);
    const unsigned lines = WordWrap ? DT_WORDBREAK : DT_SINGLELINE;
    if (skinned) {
        canvas.FontColor = colour;
        const unsigned align = Alignment == taCenter ? DT_CENTER : DT_RIGHT;
        theme->PaintButtonText(ButtonPush, canvas, object, MakeTextInfo(text, Caption_, align | DT_VCENTER | lines),
                               info);
    } else if (state == ButtonDisabled) {
        DrawEmbossedText(canvas, Caption_, text, DT_CENTER | DT_VCENTER | lines);
    } else {
        canvas.DrawText(Caption_, text, DT_CENTER | DT_VCENTER | lines, colour);
    }
    if (glyph.IsEmpty())
        return;
    const QPoint at(cell.left() + (cell.width() - glyph.Width()) / 2,
                    cell.top() + (cell.height() - glyph.Height()) / 2);
    if (skinned) {
        info.Glyph = &glyph;
        info.GlyphAt = at;
        theme->PaintButtonGlyph(ButtonPush, canvas, object, info);
    } else {
        glyph.Draw(canvas, at.x(), at.y());
    }
}

void TTeButton::FadeTo(bool mouseInControl)
{
    if (!FXEnabled || !isEnabled() || !isVisible()) {
        MouseInControl = mouseInControl;
        update();
        return;
    }
    TteBitmap before, after;
    PaintLook(before);
    MouseInControl = mouseInControl;
    PaintLook(after);
    after.SetAlpha(255);
    StartEffect(&EffectCanvas(), 0, 0, Slot, HoverFade, after, before);
}

void TTeButton::DoMouseEnter()
{
    FadeTo(true);
    if (OnMouseEnter)
        OnMouseEnter();
}

void TTeButton::DoMouseLeave()
{
    FadeTo(false);
    if (OnMouseLeave)
        OnMouseLeave();
}

void TTeButton::SetPressed(bool pressed)
{
    StopEffect(Slot, false); // a press ends the fade where it is
    if (pressed != Pressed_) {
        Pressed_ = pressed;
        repaint();
    }
}

void TTeButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    Tracking = true;
    SetPressed(true);
}

void TTeButton::mouseMoveEvent(QMouseEvent *event)
{
    if (Tracking)
        SetPressed(rect().contains(event->position().toPoint()));
}

void TTeButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !Tracking)
        return QWidget::mouseReleaseEvent(event);
    Tracking = false;
    const bool inside = rect().contains(event->position().toPoint());
    SetPressed(false);
    if (inside)
        Click();
}

void TTeButton::keyPressEvent(QKeyEvent *event)
{
    const bool plain = !(event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::ShiftModifier));
    if (event->key() == Qt::Key_Space && !(event->modifiers() & Qt::AltModifier)) {
        if (!event->isAutoRepeat())
            SetPressed(true);
        return;
    }
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        Click();
        return;
    }
    if (plain && event->key() == Qt::Key_Escape && Cancel) {
        Click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TTeButton::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && Pressed_) {
        SetPressed(false);
        Click();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

} // namespace quillon
