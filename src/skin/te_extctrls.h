#pragma once
// Skinned controls of the status area: the progress bar.

#include "skin/te_controls.h"

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

} // namespace quillon
