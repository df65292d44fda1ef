#pragma once
// Labels: text on the parent's surface. TTeLabel paints with the theme's
// label fonts (hot tracking optional); TTeAdvancedLabel always follows the
// current theme and may keep a font of its own.

#include "skin/te_button.h"

namespace quillon {

enum TTeTextLayout : int { tlTop, tlCenter, tlBottom };

class TTeLabel : public TTeGraphicControl {
    Q_OBJECT
public:
    explicit TTeLabel(QWidget *parent = nullptr);

    TTeAlignment Alignment = taLeftJustify;
    bool AutoSize = true;
    TTeFontOptions FontOptions;
    bool HotTrack = false;
    TTeTextLayout Layout = tlTop;
    bool ShowAccelChar = true;
    bool Transparent = true;
    bool WordWrap = false;

    QString Caption() const { return Caption_; }
    void SetCaption(const QString &caption);
    // The control the label names: its accelerator focuses it, and a
    // screen reader reads the caption as the control's name.
    QWidget *FocusControl() const { return FocusControl_; }
    void SetFocusControl(QWidget *control);
    // The size the caption needs (an empty caption or a lone "&" as if a
    // space followed); with AutoSize the label takes it, a right-aligned
    // one keeping its right edge.
    QSize MeasuredSize() const;
    void AdjustSize();
    virtual bool Skinned() const;
    // The font and colour the label paints with now.
    virtual QFont PaintFont(QColor &colour) const;
    unsigned TextFlags() const;

    void PaintControl(TteCanvas &canvas) override;

protected:
    bool event(QEvent *e) override;
    void DoMouseEnter() override;
    void DoMouseLeave() override;

    QString Caption_;
    QPointer<QWidget> FocusControl_;
    QShortcut *Accelerator = nullptr;

public:
    // Last of all: a current theme answers the registration at once, and
    // the reaction may use every other member.
    TteThemeBinding Binding{*this, [this] {
                                if (AutoSize)
                                    AdjustSize();
                                update();
                            }};
};

class TTeAdvancedLabel : public TTeLabel {
    Q_OBJECT
public:
    using TTeLabel::TTeLabel;

    QFont DefaultFont, DefaultDisabledFont;
    QColor DefaultColor = Qt::black, DefaultDisabledColor = Qt::gray;
    bool AlwaysUseDefaultFont = false;
    bool AlwaysGetFontColorFromTheme = false;

    bool Skinned() const override; // the current theme, whatever the link
    QFont PaintFont(QColor &colour) const override;
};

} // namespace quillon
