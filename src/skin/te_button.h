#pragma once
// TTeButton: the skinned push button. Its state (disabled, pressed, hot,
// focused, active default, normal) chooses the theme's face, font and glyph
// look; caption and glyph share a content rectangle laid out by Layout,
// Spacing and Alignment. The pointer coming and going fades between the
// looks through the effect engine (100 ms), in the button's own slot.

#include "skin/te_controls.h"

#include <QImage>

#include <functional>
#include <vector>

class QShortcut;

namespace quillon {

enum TTeAlignment : int { taLeftJustify, taRightJustify, taCenter };
enum TTeButtonLayout : int { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// The text flag of an alignment.
inline unsigned TextAlignFlags(TTeAlignment alignment)
{
    return alignment == taCenter ? DT_CENTER : alignment == taRightJustify ? DT_RIGHT : DT_LEFT;
}

// Changes a control makes to the font it paints with.
struct TTeFontOptions {
    bool Bold = false, Italic = false, Underline = false, StrikeOut = false;
    int SizeDelta = 0;
    QString FontName;
    ThemeColor FontColor = clNone;
    void ApplyTo(QFont &font, QColor &colour) const;
};

// The pictures of an image list: 16 x 16, magenta (0xFF00FF) transparent.
using TTeImageList = std::vector<QImage>;

class TTeButton : public TTeControl {
    Q_OBJECT
public:
    explicit TTeButton(QWidget *parent = nullptr);
    ~TTeButton() override;

    TTeAlignment Alignment = taCenter;
    bool BlackAndWhiteGlyph = false;
    bool Cancel = false;
    bool Default = false;
    bool FXEnabled = true;
    bool Transparent = false;
    bool WordWrap = false;
    TTeFontOptions FontOptions;
    TteBitmap Glyph; // cells side by side
    int NumGlyphs = 1;
    const TTeImageList *Images = nullptr;
    int ImageIndex = -1;
    int Spacing = 4;
    TTeButtonLayout Layout = blGlyphLeft;
    int ModalResult = 0;
    std::function<void()> OnClick;
    TteAnimationRec HoverFade; // "[ FADE ] - Fade" in 100 ms

    QString Caption() const { return Caption_; }
    // The caption's "&" character is its accelerator.
    void SetCaption(const QString &caption);
    // Default is set and the focus is not on another button.
    bool ActiveDefault() const;
    bool Pressed() const { return Pressed_; }
    bool Skinned() const;
    void Click();

    // The theme's state code now: 0 normal, 1 hot, 2 pressed, 3 disabled,
    // 4 focused, 6 active default.
    int StateCode() const;
    // The glyph in its look, with the transparent key where it is clear;
    // empty without a glyph.
    void PrepareGlyph(TteBitmap &out) const;
    // Caption and glyph together, and the glyph's cell in it.
    QRect ContentRect(QSize glyph) const;
    QRect GlyphCell(QRect content, QSize glyph) const;

    void PaintBorder(TteCanvas &) override {} // the face is the client's
    void PaintClient(TteCanvas &canvas) override;

protected:
    // The engine's messages; the toolkit repaints on enabling and focus.
    bool event(QEvent *e) override { return Binding.HandleEvent(e) || TTeControl::event(e); }
    void DoMouseEnter() override;
    void DoMouseLeave() override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    QFont StateFont(QColor &colour) const;
    // Paints the look before and after a change of the hover flag and fades between them.
    void FadeTo(bool mouseInControl);
    void SetPressed(bool pressed);

    QString Caption_;
    bool Pressed_ = false, Tracking = false;
    int Slot = -1;
    QShortcut *Accelerator = nullptr;

public:
    // Last of all: a current theme answers the registration at once, and
    // the reaction may use every other member.
    TteThemeBinding Binding{*this, [this] { update(); }};
};

} // namespace quillon
