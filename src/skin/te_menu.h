#pragma once
// The engine's menus. A menu is a tree of TTeItem; a popup shows the
// children of one item in a TTePopupWindow that never takes the keyboard
// focus: the menu's own tracking loop (a nested event loop with the mouse
// grabbed and an application event filter) drives it with the mouse and
// the keyboard until an item is chosen or the menu is dismissed. A chosen
// item's action runs after the popup has gone. The form frame's system menu
// is such a tree; TTePopupMenu offers the same for any control.

#include "skin/te_button.h"

#include <QEventLoop>
#include <QKeySequence>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <vector>

namespace quillon {

struct TTePopupMenuOptions {
    bool Shadow = false;
};

class TTeItem : public QObject {
    Q_OBJECT
public:
    explicit TTeItem(QObject *owner = nullptr, const QString &caption = QString());
    ~TTeItem() override; // leaves its menu

    QString Caption; // "-": a separator
    bool Checked = false, Enabled = true, Visible = true;
    int ImageIndex = -1;
    const TTeImageList *Images = nullptr; // the root's when empty
    QKeySequence ShortCut;
    QString Hint;
    std::string ThemeObject = "default";
    std::function<void()> OnClick, OnBeforeDropDown;
    TteCustomThemeLink *ThemeLink = nullptr; // handed down from the root

    int Count() const { return int(Children.size()); }
    TTeItem *Item(int index) const { return Children.at(size_t(index)); }
    TTeItem *Parent() const { return Parent_; }
    int MenuIndex() const;
    bool IsSeparator() const { return Caption == "-"; }
    // An item can be in one menu only: adding one that has a parent fails
    // with "Toolbar item already inserted". The menu owns what it holds.
    void Add(TTeItem *item);
    void Insert(int index, TTeItem *item);
    void Remove(TTeItem *item);
    const TTeImageList *ImagesInUse() const;
    TteCustomThemeLink *LinkInUse() const;
    // Runs the item's action once the menu has closed; a separator, an item
    // with children or a disabled item does nothing.
    void Click();

    QRect Rect; // in its popup's window, set by the layout

private:
    std::vector<TTeItem *> Children;
    TTeItem *Parent_ = nullptr;
};

class TTePopupWindow;

// One open popup: the item whose children it shows, their layout and
// painting, and the tracking loop.
class TTePopupView : public QObject {
    Q_OBJECT
public:
    TTePopupView(TTeItem &item, TTePopupView *parentView);
    ~TTePopupView() override;

    TTeItem &Item;
    TTePopupView *ParentView;
    TTePopupView *ChildView = nullptr;
    TTeItem *Hot = nullptr;
    bool Tracking = false;
    TTePopupWindow &Window() { return *Window_; }

    bool Skinned() const;
    // The margins of the menu's frame (theme content rectangle, 3 classic).
    QMargins ContentMargins() const;
    // Lays the visible children out (item rectangles in window coordinates)
    // and answers the window's size.
    QSize Layout();
    // The font of an item in a state, and its colour with a theme.
    QFont MenuFont(int state, QColor *ink = nullptr) const;
    int GlyphColumn() const;
    void Paint(TteCanvas &canvas);
    // The visible, selectable child after or before item, wrapping around.
    TTeItem *Neighbour(TTeItem *from, bool forward) const;
    TTeItem *ItemAt(QPoint windowPoint) const;
    void SetHot(TTeItem *item);
    // Runs until an item is chosen or the popup is dismissed.
    void Track();
    // Ends this popup's loop, and its parents' with all.
    void EndTracking(bool all);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Choose(TTeItem *item);
    void OpenSubMenu();
    bool HandleKey(QKeyEvent *event);
    bool HandleMouse(QEvent::Type type, QPoint global);
    void Tick();
    // The open popups from the outermost to this one.
    std::vector<TTePopupView *> Chain();

    std::unique_ptr<TTePopupWindow> Window_;
    QEventLoop Loop;
    QTimer StillTimer;
    QPoint LastPoint{-100000, -100000}, LastStill;
    int StillMs = 0;
    bool EndAll = false;
    bool Done = false;            // the loop is ending: input is swallowed, not handled
    bool PressedHere = false;     // a button went down while this popup tracked
    TTeItem *Dismissed = nullptr; // the item whose sub-menu was just closed
};

class TTePopupWindow : public QWidget {
    Q_OBJECT
public:
    explicit TTePopupWindow(TTePopupView &view);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TTePopupView &View;
};

// Where a popup of size goes: at the point (turned left or up where the
// work area ends), below an anchor (a menu bar's item) or beside it (a
// sub-menu's item), kept in the work area.
enum class TTePopupAnchor { None, Below, Beside };
QRect PopupPlacement(QSize size, QPoint at, QRect anchor, TTePopupAnchor kind, QRect workArea);

// Shows the children of item at a point of the screen (or beside or below
// anchor) and runs the menu until it closes.
void PopupItem(TTeItem &item, TTePopupView *parentView, QPoint at, QRect anchor = QRect(),
               TTePopupAnchor kind = TTePopupAnchor::None);

class TTePopupMenu : public QObject {
    Q_OBJECT
public:
    explicit TTePopupMenu(QObject *owner = nullptr);
    ~TTePopupMenu() override;

    TTeItem *Items;
    const TTeImageList *Images = nullptr;
    TTePopupMenuOptions PopupMenuOptions;
    TteCustomThemeLink *ThemeLink = nullptr;
    std::function<void()> OnPopup;
    bool AutoLineReduction = true;

    void Popup(int x, int y);
    // The engine popup menu shown now, if any.
    static TTePopupMenu *Shown();
};

// Hides separators that separate nothing: at either end, or after another.
void TidySeparators(TTeItem &item);

} // namespace quillon
