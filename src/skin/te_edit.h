#pragma once
// TTeSEdit: the toolkit's line edit with the theme's frame and background.
// The edit keeps its own text, caret, selection and keys; the skin paints
// what lies under them, in the state the edit is in (disabled, hot,
// focused, normal), and the text colours come from the theme too.

#include "skin/te_button.h"

#include <QLineEdit>

namespace quillon {

class TTeSEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TTeSEdit(QWidget *parent = nullptr);

    TTeAlignment TextAlign = taLeftJustify;
    bool MouseInControl = false;

    void SetTextAlign(TTeAlignment align);
    bool Skinned() const;
    // The theme's state: 4 disabled, 1 hot, 2 focused, 0 normal.
    int StateCode() const;
    // Frame and background, on canvas over the whole edit.
    void PaintFrame(TteCanvas &canvas);

protected:
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The text's font and colours and the selection follow the theme.
    void ApplyThemeColors();

public:
    // Last of all: a current theme answers the registration at once.
    TteThemeBinding Binding{*this, [this] {
                                ApplyThemeColors();
                                update();
                            }};
};

} // namespace quillon
