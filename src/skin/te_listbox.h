#pragma once
// TTeListBox: the engine's list of text items, as the drop-down of a combo
// box shows it: items ItemHeight high, the item under the pointer hot, one
// item selected, a vertical TTeScrollBar when not all rows fit.
//
// PaintListItemFace is how every skinned list draws one item: the theme's
// list-item face for its state and the text in the theme's list-item font
// of that state.

#include "skin/te_scrollbar.h"

#include <QStringList>

namespace quillon {

// The look of one list item.
enum TteListFace : int { lfNormal = 0, lfHot = 1, lfSelected = 2, lfFocused = 3, lfDisabled = 4 };

// The font and colour of an item's text in face; theme null: classic.
QFont ListItemFont(TteTheme *theme, const std::string &object, TteListFace face, const QFont &font, QColor &ink);
// The face of an item without its text.
void PaintListItemBack(TteCanvas &canvas, TteTheme *theme, const std::string &object, QRect rect, TteListFace face);
// Face and text of an item in rect; theme null: the classic look. The text
// starts inset pixels in (2 in a list), on one line, vertically centred;
// "-" is a separator.
void PaintListItemFace(TteCanvas &canvas, TteTheme *theme, const std::string &object, QRect rect, const QString &text,
                       TteListFace face, const QFont &font, int inset = 2);

class TTeListBox : public TTeControl {
    Q_OBJECT
public:
    explicit TTeListBox(QWidget *parent = nullptr);

    QStringList Items;
    int ItemHeight = 15;
    bool SelectionFollowsPointer = false; // a drop-down's: the highlight goes where the pointer goes
    std::function<void(int index)> OnItemClick;

    int ItemIndex() const { return ItemIndex_; }
    // Selects index (-1: none) and scrolls it into view.
    void SetItemIndex(int index);
    int HotItem() const { return HotItem_; }
    int TopIndex() const { return TopIndex_; }
    void SetTopIndex(int index);
    void SetItems(const QStringList &items);

    bool Skinned() const;
    // Inside the list's frame, and without the scroll bar when it shows.
    QRect ItemArea() const;
    int VisibleRows() const;
    QRect ItemRect(int index) const;
    int ItemAt(QPoint point) const; // -1: no item there
    TteListFace FaceOf(int index) const;
    // The width that shows every item whole: the widest text, its insets,
    // the frame and, when not every row fits in rows, the scroll bar.
    int WidthForItems(int rows) const;
    TTeScrollBar &ScrollBar() { return *Bar; }

    void PaintBorder(TteCanvas &) override {}
    void PaintClient(TteCanvas &canvas) override;

protected:
    bool event(QEvent *e) override { return Binding.HandleEvent(e) || TTeControl::event(e); }
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void DoMouseLeave() override;

private:
    QRect FrameInner() const;
    void UpdateScrollBar();

    int ItemIndex_ = -1, HotItem_ = -1, TopIndex_ = 0;
    TTeScrollBar *Bar = nullptr;

public:
    // Last of all: a current theme answers the registration at once.
    TteThemeBinding Binding{*this, [this] { update(); }};
};

} // namespace quillon
