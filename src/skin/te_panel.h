#pragma once
// Panels: TTePanel paints the theme's panel with its caption and gives its
// children the theme's content rectangle; TTeTransparentPanel shows its
// parent through.

#include "skin/te_button.h"

namespace quillon {

class TTePanel : public TTeControl {
    Q_OBJECT
public:
    explicit TTePanel(QWidget *parent = nullptr);

    TTeAlignment Alignment = taCenter;
    QString Caption;
    bool Skinned() const;
    // Where children go: the theme's content rectangle when skinned, else
    // inside the bevels and border.
    QRect ClientRect() const;
    void PaintBorder(TteCanvas &canvas) override;
    void PaintClient(TteCanvas &canvas) override;

protected:
    bool event(QEvent *e) override { return Binding.HandleEvent(e) || TTeControl::event(e); }

public:
    // Last of all: a current theme answers the registration at once.
    TteThemeBinding Binding{*this, [this] { update(); }};
};

class TTeTransparentPanel : public TTeControl {
    Q_OBJECT
public:
    explicit TTeTransparentPanel(QWidget *parent = nullptr) : TTeControl(parent) {}
    bool Transparent = true;
    void PaintClient(TteCanvas &canvas) override;

protected:
    bool event(QEvent *e) override { return Binding.HandleEvent(e) || TTeControl::event(e); }

public:
    // Any change of the theme shows through: every code repaints.
    TteThemeBinding Binding{*this, [this] { update(); }};
};

} // namespace quillon
