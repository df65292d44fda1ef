#pragma once
// Combo boxes. The drop-down of both is a TTeDropDownForm: a borderless
// pop-up window under (or, where the work area ends, above) its box,
// holding a TTeListBox; Escape closes it, Enter or Space or a click takes
// the highlighted item, a click outside closes it.
//
// TTeComboBox is the engine's own combo box, painted whole: a drop-down
// list (or an editable box with auto-completion) with its button at
// ButtonAlign's side. TTeSComboBox is the toolkit's combo box (its model,
// keys and accessibility) with the theme's face and the engine's drop-down.

#include "skin/te_edit.h"
#include "skin/te_listbox.h"

#include <QComboBox>
#include <QPointer>

class QLineEdit;

namespace quillon {

class TTeDropDownForm : public QWidget {
    Q_OBJECT
public:
    explicit TTeDropDownForm(QWidget &owner);

    TTeListBox &List() { return *List_; }
    std::function<void(int index)> OnTake;
    std::function<void()> OnClosed;

    // Opens under owner with its width (wider when an item needs it), in
    // the theme of link: rows = the item count when it is between 1 and
    // dropDownCount, else dropDownCount. Closing gives the owner the focus.
    void Open(const QStringList &items, int index, int dropDownCount, int itemHeight,
              TteCustomThemeLink *link = nullptr);
    // Where the list goes for a box at boxOnScreen, on a work area.
    static QRect Placement(QRect boxOnScreen, QSize list, QRect workArea);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void Take(int index);

    QWidget &Owner;
    TTeListBox *List_;
};

enum TTeComboStyle : int { kcsDropDown, kcsDropDownList };
enum TTeButtonAlign : int { cbaLeft, cbaRight };

class TTeComboBox : public TTeControl {
    Q_OBJECT
public:
    explicit TTeComboBox(QWidget *parent = nullptr);
    ~TTeComboBox() override;

    QStringList Items;
    int DropDownCount = 8;
    int ItemHeight = 15;
    TTeButtonAlign ButtonAlign = cbaRight;
    bool AutoComplete = true;
    bool ReadOnly = false;
    TTeFontOptions FontOptions;
    std::function<void()> OnChange, OnDropDown, OnCloseUp, OnListBoxClick, OnMatch, OnNotInList;
    std::function<bool(int index)> OnAllowChange; // a click in the list may be refused

    TTeComboStyle ComboStyle() const { return Style_; }
    void SetComboStyle(TTeComboStyle style);
    int ItemIndex() const { return ItemIndex_; }
    // -1 for none; OnChange fires when the index changes.
    void SetItemIndex(int index);
    QString Text() const;
    void SetText(const QString &text);
    void SetItems(const QStringList &items);

    bool DroppedDown() const;
    void DropDown();
    void CloseUp();
    TTeDropDownForm *DropDownForm() { return Form; }

    bool Skinned() const;
    QRect ButtonRect() const;
    QRect TextRect() const;
    // The theme's states: the box (4 disabled, 1 hot, 2 focused, 0 normal)
    // and its button (4 disabled, 2 dropped down, 1 under the pointer, 0).
    int StateCode() const;
    int ButtonStateCode() const;

    void PaintBorder(TteCanvas &) override {}
    void PaintClient(TteCanvas &canvas) override;

protected:
    bool event(QEvent *e) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void DoMouseLeave() override;

private:
    QFont StateFont(QColor &colour) const;
    void CheckCompletion();

    TTeComboStyle Style_ = kcsDropDown;
    int ItemIndex_ = -1;
    bool OverButton = false;
    QLineEdit *Edit = nullptr; // the editable style's text
    QString LastChecked;       // what auto-completion saw last
    QTimer *CompleteTimer = nullptr;
    TTeDropDownForm *Form = nullptr;

public:
    // Last of all: a current theme answers the registration at once.
    TteThemeBinding Binding{*this, [this] { update(); }};
};

class TTeSComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TTeSComboBox(QWidget *parent = nullptr);
    ~TTeSComboBox() override;

    TTeAlignment TextAlign = taLeftJustify;
    int DropDownCount = 8;
    bool MouseInControl = false;

    bool Skinned() const;
    QRect ButtonRect() const; // the rightmost 15 pixels inside a 2-pixel border
    int StateCode() const;
    int ButtonStateCode() const;
    bool DroppedDown() const;
    TTeDropDownForm *DropDownForm() { return Form; }

    void showPopup() override;
    void hidePopup() override;

protected:
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void PaintFace(TteCanvas &canvas);

    bool OverButton = false;
    TTeDropDownForm *Form = nullptr;

public:
    // Last of all: a current theme answers the registration at once.
    TteThemeBinding Binding{*this, [this] { update(); }};
};

} // namespace quillon
