#pragma once
// TTeGroupBox: a frame around child controls with a caption in a gap of its
// top edge.

#include "skin/te_checkbox.h"

namespace quillon {

class TTeGroupBox : public TTeControl {
    Q_OBJECT
public:
    explicit TTeGroupBox(QWidget *parent = nullptr);

    int CaptionMargin = 12;
    QString Caption;
    bool Transparent = true;
    bool Skinned() const;
    // The frame, from half the caption's height down; the caption's place.
    QRect FrameRect() const;
    QRect CaptionRect() const;

    void PaintBorder(TteCanvas &) override {}
    void PaintClient(TteCanvas &canvas) override;

protected:
    bool event(QEvent *e) override { return Binding.HandleEvent(e) || TTeControl::event(e); }

private:
    QFont CaptionFont(QColor &colour) const;

public:
    // Last of all: a current theme answers the registration at once.
    TteThemeBinding Binding{*this, [this] { update(); }};
};

} // namespace quillon
