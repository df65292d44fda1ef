#pragma once
// The two bases of every skinned control, and what they share.
//
// TTeControl is a widget that owns its painting: each paint fills a buffer
// (none of its own, the process-wide shared buffer, or a fresh one, by
// Performance) with its frame (bevels and border, clipped to the frame) and
// its client, and shows it. TTeGraphicControl paints on its parent's
// surface: what it does not paint shows the parent.
//
// The theme binding (TteThemeBinding) is what a concrete skinned control
// declares: the object name it asks the theme for, an optional link with a
// theme of its own, its registration as a theme client, and the standard
// reactions to the engine's messages.
//
// DrawParentBackground paints what a control's parent shows behind it, by
// the background painter registered for the parent's class; a graphic
// control is told (WM_TEPAINTINGPARENT) so that it does not paint itself
// into the picture it asked for.

#include "skin/te_effect.h"
#include "theme/te_canvas.h"
#include "theme/te_theme.h"
#include "theme/te_theme_manager.h"

#include <QPointer>
#include <QWidget>

class QPainter;
class QShortcut;

#include <functional>
#include <memory>
#include <string>

namespace quillon {

inline constexpr uint32_t WM_ERASEBKGND = 0x0014;
inline constexpr uint32_t WM_TEPAINTINGPARENT = 0x21D2;

enum TTePerformance : int { kspNoBuffer = 0, kspSharedBuffer = 1, kspDoubleBuffer = 2 };
enum TTeBevelCut : int { kbvNone, kbvLowered, kbvRaised, kbvSpace, kbvBorder, kbvFlatBorder };
enum TTeBevelKind : int { kbkNone, kbkSingle, kbkTile, kbkSoft, kbkBorder, kbkFlat };
enum TTeBevelSide : unsigned { kbsLeft = 1, kbsTop = 2, kbsRight = 4, kbsBottom = 8 };
using TTeBevelSides = unsigned;
inline constexpr TTeBevelSides AllBevelSides = kbsLeft | kbsTop | kbsRight | kbsBottom;

// The system colours of a bevel cut: outer top/left, outer bottom/right,
// inner top/left, inner bottom/right; kbvNone draws nothing.
struct BevelColors {
    ThemeColor OuterTopLeft, OuterBottomRight, InnerTopLeft, InnerBottomRight;
};
BevelColors BevelColorsOf(TTeBevelCut cut);

// The accelerator of a caption ("&Extract": Alt+E): replaces the control's
// shortcut in slot; the key focuses the control and runs action, while it
// is visible and enabled.
void SetAccelerator(QShortcut *&slot, QWidget &owner, const QString &caption, std::function<void()> action);

// A caption as a screen reader says it: without the accelerator marks and
// the blanks around it.
QString PlainCaption(const QString &caption);

// Theme font index for object, and the colour the theme gives it.
QFont ThemeFontOf(TteTheme &theme, int index, const std::string &object, QColor &colour);
// A system colour as theme gives it (the platform's without a theme).
QColor ThemeSysColor(const TteTheme *theme, ThemeColor constant);
// A one-pixel 3D frame around r: top and left lines in one colour, bottom
// and right in the other.
void Frame3D(TteCanvas &canvas, QRect r, QColor topLeft, QColor bottomRight);
// The dotted rectangle that marks the keyboard focus, in colour.
void DrawFocusRect(TteCanvas &canvas, QRect r, QColor colour);
// The classic box of an edit: the window colour (the face when disabled)
// inside two sunken 3D frames.
void DrawSunkenBox(TteCanvas &canvas, QRect r, bool enabled);
// The classic look of disabled text: embossed, a highlight one pixel down
// and right under the text in the shadow colour.
void DrawEmbossedText(TteCanvas &canvas, const QString &text, QRect rect, unsigned flags);

// Paints area of a widget through a canvas: paint draws in the widget's
// coordinates on a bitmap of area's size, which is then shown on painter.
void ShowPainted(QPainter &painter, QRect area, const std::function<void(TteCanvas &canvas)> &paint);

// The one buffer kspSharedBuffer controls paint into: (screen width + 500) x
// (screen height + 500), sized on first use.
TteBitmap &SharedPaintBuffer();

class TTeControl;

// Shows a running effect's frames on a control.
class TteControlEffectCanvas : public TteEffectCanvas {
public:
    explicit TteControlEffectCanvas(TTeControl &control) : Control(control) {}
    void ShowFrame(const TteBitmap &frame, QPoint at) override;
    void EffectEnded() override;

private:
    TTeControl &Control;
};

class TTeControl : public QWidget {
    Q_OBJECT
public:
    explicit TTeControl(QWidget *parent = nullptr);
    ~TTeControl() override;

    ThemeColor Color = clBtnFace;
    bool VisualStyleFrame = true; // the visual-style frame, where visual styles are active
    TTePerformance Performance = kspNoBuffer;
    QFont WorkingFont; // a copy of the control's font, taken at every paint
    bool MouseInControl = false;
    bool InFocus = false;
    std::function<void()> OnMouseEnter, OnMouseLeave;

    TTeBevelSides BevelSides() const { return BevelSides_; }
    TTeBevelCut BevelInner() const { return BevelInner_; }
    TTeBevelCut BevelOuter() const { return BevelOuter_; }
    TTeBevelKind BevelKind() const { return BevelKind_; }
    int BevelWidth() const { return BevelWidth_; }
    int BorderWidth() const { return BorderWidth_; }
    void SetBevelSides(TTeBevelSides sides);
    // Setting a cut directly leaves any preset kind behind.
    void SetBevelInner(TTeBevelCut cut);
    void SetBevelOuter(TTeBevelCut cut);
    // A kind other than kbkNone sets both cuts.
    void SetBevelKind(TTeBevelKind kind);
    void SetBevelWidth(int width);
    void SetBorderWidth(int width);

    // The size the control has or is about to take; painting uses it. Qt
    // stores a new size before it tells the control (also while hidden),
    // so this is the widget's size.
    int PaintWidth() const { return width(); }
    int PaintHeight() const { return height(); }

    virtual void PaintBorder(TteCanvas &canvas);
    virtual void PaintClient(TteCanvas &canvas);
    virtual QRect GetInnerRect() const;
    virtual void BorderChanged() {}

    // The control's look (frame and client, no children) at its paint size.
    void PaintLook(TteBitmap &target);
    // Where effects show on this control; a running effect's frame covers
    // the control until the effect ends.
    TteEffectCanvas &EffectCanvas() { return EffectCanvas_; }
    void ShowEffectFrame(const TteBitmap &frame, QPoint at);
    void EndEffectFrame();

    int PaintCount = 0; // paints so far, for tests and the benchmark

protected:
    virtual void DoMouseEnter();
    virtual void DoMouseLeave();
    virtual void DoFocusEnter();
    virtual void DoFocusExit();

    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void PaintFrameAndClient(TteCanvas &canvas);
    // Frame and client onto target, from its origin, unclipped.
    void PaintOnto(TteBitmap &target);

    TTeBevelSides BevelSides_ = AllBevelSides;
    TTeBevelCut BevelInner_ = kbvLowered, BevelOuter_ = kbvLowered;
    TTeBevelKind BevelKind_ = kbkNone;
    int BevelWidth_ = 0, BorderWidth_ = 0;
    TteBitmap Surface_;     // the control's own pixels (no buffer of its own making)
    TteBitmap EffectFrame_; // the last frame of a running effect
    QPoint EffectAt_;
    bool EffectShowing_ = false;
    TteControlEffectCanvas EffectCanvas_{*this};
};

class TTeGraphicControl : public QWidget {
    Q_OBJECT
public:
    explicit TTeGraphicControl(QWidget *parent = nullptr);

    ThemeColor Color = clBtnFace;
    TTePerformance Performance = kspNoBuffer; // stored only: a graphic control always paints on its parent
    QFont WorkingFont;
    bool MouseInControl = false;
    bool PaintingParent = false; // set while this control's parent background is captured
    std::function<void()> OnMouseEnter, OnMouseLeave;

    // Base: fills the client rectangle with Color.
    virtual void PaintControl(TteCanvas &canvas);

    int PaintCount = 0;

protected:
    virtual void DoMouseEnter();
    virtual void DoMouseLeave();

    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
};

// What a concrete skinned control declares to follow its theme.
class TteThemeBinding {
public:
    // Registers owner as a theme client (a current theme answers at once
    // with code 3); react is called for every change it must follow.
    TteThemeBinding(QWidget &owner, std::function<void()> repaint);
    ~TteThemeBinding();
    TteThemeBinding(const TteThemeBinding &) = delete;
    TteThemeBinding &operator=(const TteThemeBinding &) = delete;

    const std::string &ThemeObject() const { return ThemeObject_; }
    TteCustomThemeLink *ThemeLink() const { return ThemeLink_; }
    // A different object or link applies the theme's bounds and repaints.
    void SetThemeObject(const std::string &object);
    void SetThemeLink(TteCustomThemeLink *link);
    TteTheme *Theme() const { return GetControlTheme(ThemeLink_); }
    // The loading of the control is complete: the bounds, without repaint.
    void Loaded();

    // The standard reactions: codes 0 and 3 repaint and apply the theme's
    // bounds (a non-empty rectangle as it is); 4 and 5 repaint; a change of
    // the own link applies the bounds with repaint. True when the event was
    // one of the engine's.
    bool HandleEvent(QEvent *event);

private:
    QWidget &Owner;
    std::function<void()> Repaint;
    std::string ThemeObject_ = "default";
    TteCustomThemeLink *ThemeLink_ = nullptr;
    QMetaObject::Connection LinkWatch;
};

// Sets control's bounds from the theme's bounds for object (10000 keeps an
// edge, negative values keep the control's own); repaints when the theme has
// none and repaintIfNone is set.
void ApplyThemeBounds(QWidget &control, const TteCustomThemeLink *link, const std::string &object, bool repaintIfNone);

// What a background painter is told: the child's bounds in the parent's
// coordinates, the child and the parent.
struct TteBackgroundRequest {
    QRect Bounds;
    QWidget *Child = nullptr;
    QWidget *Parent = nullptr;
};
using TteBackgroundPainter = std::function<void(TteCanvas &canvas, const TteBackgroundRequest &request)>;

// Parents of cls (or of classes derived from it) are painted by painter; the
// most derived registered class wins, and for one class the first
// registration.
void RegisterBackgroundPainter(const QMetaObject &cls, TteBackgroundPainter painter);
const TteBackgroundPainter *FindBackgroundPainter(const QWidget &parent);
// Paints into canvas, at control's own coordinates, what its parent shows
// behind it.
void DrawParentBackground(QWidget &control, TteCanvas &canvas);

} // namespace quillon
