#pragma once
// TTeListView: the toolkit's report list with the theme's frame, colours,
// rows and header, and engine scroll bars over its own. The view keeps its
// model, selection, keys, drag and drop and accessibility; the skin paints.
//
// TTeHeaderView paints every section through the theme: pressed under a
// mouse press, hot under the pointer, else normal; the first section is of
// kind 0, the last one (when the vertical bar shows) and the empty area
// after it of kind 2, the others of kind 1.

#include "skin/te_listbox.h"

#include <QHeaderView>
#include <QTreeView>

#include <memory>

namespace quillon {

class TTeListView;

class TTeHeaderView : public QHeaderView {
    Q_OBJECT
public:
    explicit TTeHeaderView(TTeListView &list);

    int PressedSection = -1, HotSection = -1;
    bool EdgePressed = false;   // the press was on the line between two sections
    bool ColumnDragged = false; // and a column's width changed since
    bool OnSectionEdge(int x) const;

    // The kind of a section by its place (visual index), or of the empty
    // area after the last one (visual index count()).
    int KindOf(int visualIndex) const;
    int StateOf(int logicalIndex) const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void PaintSections(TteCanvas &canvas);

    TTeListView &List;
};

class TTeListView : public QTreeView {
    Q_OBJECT
public:
    explicit TTeListView(QWidget *parent = nullptr);
    ~TTeListView() override;

    // The background and the text colour: the theme's colour 18 and the
    // colour of its font 57 while a theme applies; the system's window
    // colours otherwise.
    ThemeColor Color = clWindow;
    QColor FontColor;
    int ThemeColorIndex = 18; // the theme's colour of the background ("List"; a tree's is "Tree", 19)
    bool MouseInControl = false;
    // The first column takes up every change of the list's width (the
    // vertical bar coming and going too), so columns that fit keep fitting;
    // the user may still drag every column.
    bool AutoSizeColumn = false;
    std::function<void()> OnScroll, OnColumnResized;

    virtual bool Skinned() const;
    TTeHeaderView &Header() { return *Header_; }
    TTeSubScrollBar &ScrollBars() { return *Bars; }
    // The face of a row: selected (focused when the view has the focus),
    // the current row's focus mark, or normal.
    TteListFace FaceOf(const QModelIndex &index) const;
    // The first column as wide as the others leave of the width (at least 40).
    void FitColumns();

protected:
    // A tree's room before a row's first column, and what it draws there
    // (its lines and expand marks); a list has none.
    virtual int RowIndent(const QModelIndex &) const { return 0; }
    virtual void PaintBranch(TteCanvas &, QRect, const QModelIndex &, QColor) const {}
    // The frame's face over the whole view.
    virtual void PaintFace(TteCanvas &canvas) const;
    void ApplyThemeColors();

    bool event(QEvent *e) override;
    bool viewportEvent(QEvent *e) override;
    void drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void PaintFrame(QPainter &painter);

    TTeHeaderView *Header_;
    std::unique_ptr<TTeSubScrollBar> Bars;

public:
    // Last of all: a current theme answers the registration at once.
    TteThemeBinding Binding{*this, [this] { ApplyThemeColors(); }};
};

} // namespace quillon
