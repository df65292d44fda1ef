#pragma once
// TTeCheckBox: a box that is checked, unchecked or mixed, with a caption.
// A click (the mouse released inside after a press, the space bar, the
// accelerator) moves unchecked to checked (to mixed when AllowGrayed),
// checked to unchecked and mixed to checked.

#include "skin/te_button.h"

namespace quillon {

enum TTeCheckBoxState : int { kcbsUnChecked, kcbsChecked, kcbsMixed };
enum TTeLeftRight : int { kalLeftJustify, kalRightJustify };

class TTeCheckBox : public TTeControl {
    Q_OBJECT
public:
    explicit TTeCheckBox(QWidget *parent = nullptr);

    bool AllowGrayed = false;
    TTeLeftRight Alignment = kalLeftJustify;
    int Spacing = 5;
    bool Transparent = true;
    bool WordWrap = false;
    std::function<void()> OnClick;

    QString Caption() const { return Caption_; }
    void SetCaption(const QString &caption);
    TTeCheckBoxState State() const { return State_; }
    // Every change of the state fires OnClick and repaints.
    void SetState(TTeCheckBoxState state);
    bool Checked() const { return State_ == kcbsChecked; }
    void SetChecked(bool checked) { SetState(checked ? kcbsChecked : kcbsUnChecked); }
    void Toggle();
    bool Skinned() const;

    // The theme's state code: the value (checked 0, unchecked 5, mixed 10)
    // plus the look (normal 0, hot 1, pressed 2, disabled 3).
    int StateCode() const;
    QSize BoxSize() const;
    QRect BoxRect() const;
    QRect CaptionRect() const;

    void PaintBorder(TteCanvas &) override {}
    void PaintClient(TteCanvas &canvas) override;

protected:
    // The engine's messages; the toolkit repaints on enabling and focus.
    bool event(QEvent *e) override { return Binding.HandleEvent(e) || TTeControl::event(e); }
    void DoMouseEnter() override;
    void DoMouseLeave() override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    QFont StateFont(QColor &colour) const;

    QString Caption_;
    TTeCheckBoxState State_ = kcbsUnChecked;
    bool Pressed_ = false;
    QShortcut *Accelerator = nullptr;

public:
    // Last of all: a current theme answers the registration at once, and
    // the reaction may use every other member.
    TteThemeBinding Binding{*this, [this] { update(); }};
};

} // namespace quillon
