#pragma once
// Skinned controls of the status area: the progress bar and the status bar
// with its panels.

#include "skin/te_button.h"

namespace quillon {

enum TTeProgressOrientation : int { kpoHorizontal, kpoVertical };

class TTeProgressBar : public TTeControl {
    Q_OBJECT
public:
    explicit TTeProgressBar(QWidget *parent = nullptr);

    TTeProgressOrientation Orientation = kpoHorizontal;
    bool ShowBorder = true;
    bool Smooth = false;

    int Min() const { return Min_; }
    int Max() const { return Max_; }
    int Position() const { return Position_; }
    int Step() const { return Step_; }
    void SetMin(int value);
    void SetMax(int value);
    // Repaints at once, and only when the fraction shown changes.
    void SetPosition(int value);
    void SetStep(int value) { Step_ = value; }
    void StepIt() { SetPosition(Position_ + Step_); }

    // (Position - Min) / (Max - Min) in single precision, when Min >= 0 and
    // Min <= Position <= Max; 0 otherwise.
    float Fraction() const;
    // The bar inside the border and BorderWidth, and the part of it filled.
    QRect BarArea() const;
    QRect FilledRect() const;
    bool Skinned() const;

    void PaintBorder(TteCanvas &) override {} // the bar paints its whole face in PaintClient
    void PaintClient(TteCanvas &canvas) override;

protected:
    bool event(QEvent *e) override { return Binding.HandleEvent(e) || TTeControl::event(e); }

private:
    void PaintClassic(TteCanvas &canvas);
    void Changed(float before);

    int Min_ = 0, Max_ = 100, Position_ = 0, Step_ = 10;

public:
    // Last of all: a current theme answers the registration at once, and
    // the reaction may use every other member.
    TteThemeBinding Binding{*this, [this] { update(); }};
};

enum TTeStatusPanelStyle : int { psText, psOwnerDraw };
enum TTeStatusGlyphLayout : int { sglGlyphLeft, sglGlyphRight };

struct TTeStatusPanel {
    TTeAlignment Alignment = taLeftJustify;
    int ImageIndex = -1;
    bool Framed = true;
    QWidget *Control = nullptr;
    TTeStatusGlyphLayout Layout = sglGlyphLeft;
    int Margin = 2, MaxWidth = 10000, Spacing = 4;
    int ViewPriority = 100, StretchPriority = 0;
    TTeStatusPanelStyle Style = psText;
    bool ShowImage = true;
    QString Text;
    Qt::TextElideMode ElideMode = Qt::ElideRight; // where a text too long for the panel is cut
    int Width = 50;

    // What the layout made of it.
    QRect Bounds;
    bool Shown = false;
    int WorkingWidth = 0;
    int EffectiveWidth() const { return std::min(MaxWidth, WorkingWidth); }
};

class TTeStatusBar : public TTeControl {
    Q_OBJECT
public:
    explicit TTeStatusBar(QWidget *parent = nullptr);

    std::vector<TTeStatusPanel> Panels;
    const TTeImageList *Images = nullptr;
    bool SizeGrip = true;
    std::function<void(TTeStatusBar &, TTeStatusPanel &, QRect)> OnDrawPanel;

    // A panel's embedded control; the bar itself or one of its parents is
    // refused with "Can't insert own parent", and a control another panel
    // holds moves here.
    void SetPanelControl(size_t index, QWidget *control);
    bool Skinned() const;
    QRect InnerArea() const;
    // Places the panels (hiding the least wanted ones when the room is short,
    // stretching the most wanted when there is room left) and their controls.
    void LayoutPanels();
    bool SizeGripShown() const;
    // A panel's text as it shows: cut to the panel's room in the font the
    // bar writes with.
    QString ShownText(size_t index) const;
    QRect SizeGripRect() const;

    void PaintClient(TteCanvas &canvas) override;

protected:
    bool event(QEvent *e) override;
    void resizeEvent(QResizeEvent *event) override;
    QFont PanelFont(QColor &colour) const;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

public:
    // Last of all: a current theme answers the registration at once.
    TteThemeBinding Binding{*this, [this] {
                                LayoutPanels();
                                update();
                            }};
};

} // namespace quillon
