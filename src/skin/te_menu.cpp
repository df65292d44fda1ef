#include "skin/te_menu.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <stdexcept>

namespace quillon {

namespace {

constexpr int MenuItemHeight = 19; // the menu metrics of the 96-dpi screen
constexpr int SeparatorHeight = 15;
constexpr int SubMenuDelayMs = 500;
TTePopupMenu *ShownMenu = nullptr;
TTePopupView *ShownRoot = nullptr; // the outermost popup of the shown menu

QString shortCutText(const QKeySequence &key) { return key.toString(QKeySequence::NativeText); }

} // namespace

// ---- Items

TTeItem::TTeItem(QObject *owner, const QString &caption) : QObject(owner), Caption(caption) {}

TTeItem::~TTeItem()
{
    if (Parent_)
        Parent_->Remove(this);
    // The children go with the object tree; none may reach back here.
    for (TTeItem *child : Children)
        child->Parent_ = nullptr;
    Children.clear();
}

int TTeItem::MenuIndex() const
{
    if (!Parent_)
        return -1;
    const auto &siblings = Parent_->Children;
    return int(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

void TTeItem::Add(TTeItem *item) { Insert(Count(), item); }

void TTeItem::Insert(int index, TTeItem *item)
{
    if (item->Parent_)
        throw std::runtime_error("Toolbar item already inserted");
    item->Parent_ = this;
    item->setParent(this);
    Children.insert(Children.begin() + std::clamp(index, 0, Count()), item);
}

void TTeItem::Remove(TTeItem *item)
{
    const auto at = std::find(Children.begin(), Children.end(), item);
    if (at == Children.end())
        return;
    Children.erase(at);
    item->Parent_ = nullptr;
    if (item->parent() == this)
        item->setParent(nullptr);
}

const TTeImageList *TTeItem::ImagesInUse() const
{
    const TTeItem *item = this;
    while (item && !item->Images)
        item = item->Parent_;
    return item ? item->Images : nullptr;
}

TteCustomThemeLink *TTeItem::LinkInUse() const
{
    const TTeItem *item = this;
    while (item->Parent_ && !item->ThemeLink)
        item = item->Parent_;
    return item->ThemeLink;
}

void TTeItem::Click()
{
    if (IsSeparator() || Count() > 0 || !Enabled)
        return;
    // Later, once the menu's loops have ended and its windows are gone; an
    // item that is gone by then does nothing.
    QTimer::singleShot(0, qApp, [item = QPointer<TTeItem>(this)] {
        if (item && item->Enabled && item->OnClick)
            item->OnClick();
    });
}

void TidySeparators(TTeItem &item)
{
    TTeItem *previous = nullptr; // the nearest visible item before
    for (int i = 0; i < item.Count(); ++i) {
        TTeItem *child = item.Item(i);
        if (child->IsSeparator())
            child->Visible = previous && !previous->IsSeparator() && i + 1 < item.Count();
        if (child->Visible)
            previous = child;
    }
    if (previous && previous->IsSeparator())
        previous->Visible = false;
}

QRect PopupPlacement(QSize size, QPoint at, QRect anchor, TTePopupAnchor kind, QRect work)
{
    QRect place(at, size);
    switch (kind) {
    case TTePopupAnchor::None:
        if (place.right() > work.right())
            place.moveLeft(at.x() - size.width());
        if (place.bottom() > work.bottom())
            place.moveTop(at.y() - size.height());
        return place;
    case TTePopupAnchor::Below:
        place.moveTopLeft(QPoint(anchor.left(), anchor.bottom() + 1));
        if (place.bottom() > work.bottom()) {
            place.moveTop(anchor.top() - size.height());
            if (place.top() < work.top())
                place.moveTop(work.top());
        }
        break;
    case TTePopupAnchor::Beside:
        place.moveTopLeft(QPoint(anchor.right() + 1, anchor.top()));
        if (place.bottom() > work.bottom())
            place.moveTop(anchor.bottom() + 1 - size.height());
        break;
    }
    if (place.right() > work.right())
        place.moveRight(work.right());
    if (place.bottom() > work.bottom())
        place.moveBottom(work.bottom());
    return place;
}

// ---- The popup's window

TTePopupWindow::TTePopupWindow(TTePopupView &view)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus),
      View(view)
{
    setObjectName("PopupWindow");
    setAttribute(Qt::WA_ShowWithoutActivating); // the owner keeps the keyboard and its active caption
    setMouseTracking(true);
}

void TTePopupWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    ShowPainted(painter, rect(), [this](TteCanvas &canvas) { View.Paint(canvas); });
}

// ---- The view

TTePopupView::TTePopupView(TTeItem &item, TTePopupView *parentView)
    : Item(item), ParentView(parentView), Window_(std::make_unique<TTePopupWindow>(*this))
{
    if (ParentView)
        ParentView->ChildView = this;
    StillTimer.setInterval(50);
    connect(&StillTimer, &QTimer::timeout, this, [this] { Tick(); });
}

TTePopupView::~TTePopupView()
{
    if (ParentView && ParentView->ChildView == this)
        ParentView->ChildView = nullptr;
}

bool TTePopupView::Skinned() const { return IsThemedMenu(MenuPopup, Item.ThemeObject, Item.LinkInUse()); }

QMargins TTePopupView::ContentMargins() const
{
    if (!Skinned())
        return QMargins(3, 3, 3, 3);
    const QRect frame(0, 0, 1000, 1000);
    const QRect c =
        GetControlTheme(Item.LinkInUse())->GetMenuContentRect(MenuPopup, Item.ThemeObject, MakeElementInfo(frame));
    return QMargins(c.left(), c.top(), frame.right() - c.right(), frame.bottom() - c.bottom());
}

QFont TTePopupView::MenuFont(int state, QColor *ink) const
{
    if (Skinned()) {
        // normal 62, hot 64, selected 63, disabled 65
        static constexpr int fonts[] = {62, 64, 63, 65};
        QColor colour;
        const QFont font = ThemeFontOf(*GetControlTheme(Item.LinkInUse()), fonts[state], Item.ThemeObject, colour);
        if (ink)
            *ink = colour;
        return font;
    }
    return QApplication::font("QMenu");
}

int TTePopupView::GlyphColumn() const
{
    // Wider than the item is high, the pictures set the column's width.
    const TTeImageList *images = Item.ImagesInUse();
    const int width = images && !images->empty() ? images->front().width() : 0;
    return width > MenuItemHeight ? width + 6 : 22;
}

QSize TTePopupView::Layout()
{
    const QFontMetrics metrics(MenuFont(MenuNormal));
    const TTeImageList *images = Item.ImagesInUse();
    const QSize image = images && !images->empty() ? images->front().size() : QSize();
    const int itemHeight = std::max(MenuItemHeight, image.height() > MenuItemHeight ? image.height() + 4 : 0);
    const int glyphColumn = GlyphColumn();
    int widest = 0, height = 0;
    for (int i = 0; i < Item.Count(); ++i) {
        const TTeItem *child = Item.Item(i);
        if (!child->Visible)
            continue;
        int width = metrics.horizontalAdvance(child->Caption) + glyphColumn + 42;
        if (!child->ShortCut.isEmpty())
            width += metrics.horizontalAdvance(shortCutText(child->ShortCut));
        widest = std::max(widest, width);
        height += child->IsSeparator() ? SeparatorHeight : itemHeight;
    }
    const QMargins m = ContentMargins();
    int top = m.top();
    for (int i = 0; i < Item.Count(); ++i) {
        TTeItem *child = Item.Item(i);
        if (!child->Visible) {
            child->Rect = QRect();
            continue;
        }
        const int h = child->IsSeparator() ? SeparatorHeight : itemHeight;
        child->Rect = QRect(m.left(), top, widest, h);
        top += h;
    }
    return QSize(widest + m.left() + m.right(), height + m.top() + m.bottom());
}

void TTePopupView::Paint(TteCanvas &canvas)
{
    const QRect all = Window_->rect();
    const bool skinned = Skinned();
    TteTheme *theme = skinned ? GetControlTheme(Item.LinkInUse()) : nullptr;
    if (theme) {
        theme->PaintMenu(MenuPopup, canvas, Item.ThemeObject, MakeElementInfo(all));
    } else {
        canvas.FillRect(all, ToQColor(clMenu));
        Frame3D(canvas, all, ToQColor(clBtnFace), Qt::black);
        Frame3D(canvas, all.adjusted(1, 1, -1, -1), ToQColor(clBtnHighlight), ToQColor(clBtnShadow));
    }
    const TTeImageList *images = Item.ImagesInUse();
    const int glyphColumn = GlyphColumn();
    for (int i = 0; i < Item.Count(); ++i) {
        const TTeItem *child = Item.Item(i);
        if (!child->Visible || child->Rect.isEmpty())
            continue;
        const QRect r = child->Rect;
        const int state = !child->Enabled ? MenuDisabled
                          : child == Hot  ? (Tracking ? MenuSelected : MenuHot)
                                          : MenuNormal;
        const bool lit = child == Hot && child->Enabled;
        QColor ink;
        canvas.Font = MenuFont(state, &ink);
        if (theme) {
            theme->PaintMenuItem(
                MenuPopup, canvas, Item.ThemeObject,
                MakeElementInfo(r, 0, MakeKindState(child->IsSeparator() ? MenuSeparator : MenuItem, uint8_t(state))));
        } else {
            ink = ToQColor(!child->Enabled ? clGrayText : lit ? clHighlightText : clMenuText);
            canvas.FillRect(r, ToQColor(lit ? clHighlight : clMenu));
            if (child->IsSeparator()) {
                canvas.FillRect(QRect(r.left() + 2, r.top() + 7, r.width() - 4, 1), ToQColor(clBtnShadow));
                canvas.FillRect(QRect(r.left() + 2, r.top() + 8, r.width() - 4, 1), ToQColor(clBtnHighlight));
            }
        }
        if (child->IsSeparator())
            continue;
        canvas.FontColor = ink;
        // The glyph column: the item's picture, or a check mark.
        const QRect glyph(r.left(), r.top(), glyphColumn, r.height());
        TteBitmap picture;
        if (images && child->ImageIndex >= 0 && child->ImageIndex < int(images->size())) {
            picture.Assign((*images)[size_t(child->ImageIndex)].convertToFormat(QImage::Format_ARGB32));
            picture.MarkTransparentColor(0xFF00FF);
        }
        if (theme && (!picture.IsEmpty() || child->Checked)) {
            TteElementInfo info = MakeElementInfo(
                glyph, 0, MakeKindState(picture.IsEmpty() ? MenuGlyphCheck : MenuGlyphImagePlain, uint8_t(state)));
            info.Glyph = picture.IsEmpty() ? nullptr : &picture;
            theme->PaintMenuItemGlyph(MenuPopup, canvas, Item.ThemeObject, info);
        } else if (!picture.IsEmpty()) {
            picture.Draw(canvas, glyph.left() + (glyph.width() - picture.Width()) / 2,
                         glyph.top() + (glyph.height() - picture.Height()) / 2);
        } else if (child->Checked) {
            const QPoint c = glyph.center();
            canvas.PenColor = ink;
            canvas.Polyline(QPolygon({c + QPoint(-3, 0), c + QPoint(-1, 2), c + QPoint(3, -2)}));
        }
        QRect text(r.left() + glyphColumn + 4, r.top(), r.width() - glyphColumn - 4, r.height());
        const unsigned flags = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
        if (theme)
            theme->PaintMenuItemText(MenuPopup, canvas, Item.ThemeObject, MakeTextInfo(text, child->Caption, flags),
                                     MakeElementInfo(r, 0, MakeKindState(MenuItem, uint8_t(state))));
        else if (!child->Enabled)
            DrawEmbossedText(canvas, child->Caption, text, flags);
        else
            canvas.DrawText(child->Caption, text, flags, ink);
        if (!child->ShortCut.isEmpty()) {
            QRect keys = r.adjusted(0, 0, -22, 0);
            canvas.DrawText(shortCutText(child->ShortCut), keys, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX,
                            ink);
        }
        if (child->Count() > 0 && theme) {
            theme->PaintMenuItemGlyph(MenuPopup, canvas, Item.ThemeObject,
                                      MakeElementInfo(QRect(r.right() - 23, r.top(), 20, r.height()), 0,
                                                      MakeKindState(MenuGlyphSubMenu, uint8_t(state))));
        } else if (child->Count() > 0) {
            const int x = r.right() - 14, y = r.top() + r.height() / 2;
            for (int d = 0; d < 4; ++d) // a small arrow in the text colour
                canvas.FillRect(QRect(x + d, y - 3 + d, 1, 7 - 2 * d), ink);
        }
    }
}

TTeItem *TTePopupView::Neighbour(TTeItem *from, bool forward) const
{
    const int n = Item.Count();
    if (n == 0)
        return nullptr;
    int i = from ? from->MenuIndex() : (forward ? -1 : n);
    for (int step = 0; step < n; ++step) {
        i = ((forward ? i + 1 : i - 1) % n + n) % n;
        TTeItem *child = Item.Item(i);
        if (child->Visible && !child->IsSeparator())
            return child;
    }
    return nullptr;
}

TTeItem *TTePopupView::ItemAt(QPoint windowPoint) const
{
    for (int i = 0; i < Item.Count(); ++i) {
        TTeItem *child = Item.Item(i);
        if (child->Visible && !child->IsSeparator() && child->Rect.contains(windowPoint))
            return child;
    }
    return nullptr;
}

void TTePopupView::SetHot(TTeItem *item)
{
    if (item == Hot)
        return;
    Hot = item;
    Window_->update();
}

std::vector<TTePopupView *> TTePopupView::Chain()
{
    std::vector<TTePopupView *> chain;
    for (TTePopupView *v = this; v; v = v->ParentView)
        chain.insert(chain.begin(), v);
    return chain;
}

void TTePopupView::Track()
{
    Tracking = true;
    SetHot(Neighbour(nullptr, true));
    const QPoint cursor = QCursor::pos();
    if (Window_->geometry().contains(cursor))
        if (TTeItem *under = ItemAt(Window_->mapFromGlobal(cursor)))
            SetHot(under);
    LastPoint = cursor;
    Window_->grabMouse();
    qApp->installEventFilter(this);
    StillTimer.start();
    if (!EndAll)
        Loop.exec();
    StillTimer.stop();
    qApp->removeEventFilter(this);
    Window_->releaseMouse();
    if (ParentView && !EndAll)
        ParentView->Window().grabMouse();
    Tracking = false;
    if (ParentView)
        ParentView->Window().update();
}

void TTePopupView::EndTracking(bool all)
{
    if (!all) {
        Done = true;
        Loop.exit();
        return;
    }
    for (TTePopupView *v : Chain()) {
        v->EndAll = v->Done = true;
        v->Loop.exit();
    }
}

void TTePopupView::Choose(TTeItem *item)
{
    if (!item || !item->Visible || item->IsSeparator())
        return;
    if (item->Count() > 0) {
        SetHot(item);
        OpenSubMenu();
        return;
    }
    if (!item->Enabled)
        return;
    item->Click();
    EndTracking(true);
}

void TTePopupView::OpenSubMenu()
{
    if (!Hot || Hot->Count() == 0 || !Hot->Enabled || ChildView)
        return;
    const QRect anchor(Window_->mapToGlobal(Hot->Rect.topLeft()), Hot->Rect.size());
    TTeItem *opened = Hot;
    StillTimer.stop();
    PopupItem(*Hot, this, anchor.topRight(), anchor, TTePopupAnchor::Beside);
    if (EndAll) {
        Loop.exit();
        return;
    }
    Dismissed = opened; // not again by resting on it; a move or a key opens it
    StillMs = 0;
    StillTimer.start();
}

void TTePopupView::Tick()
{
    if (ChildView || Done)
        return; // the sub-menu tracks now
    if (QWidget::mouseGrabber() && QWidget::mouseGrabber() != Window_.get()) {
        EndTracking(true); // another window took the mouse
        return;
    }
    const QPoint cursor = QCursor::pos();
    StillMs = cursor == LastStill ? StillMs + 50 : 0;
    LastStill = cursor;
    if (StillMs >= SubMenuDelayMs && Window_->geometry().contains(cursor) && Hot != Dismissed) {
        StillMs = 0;
        OpenSubMenu();
    }
}

bool TTePopupView::HandleMouse(QEvent::Type type, QPoint global)
{
    const bool inside = Window_->geometry().contains(global);
    const QPoint local = Window_->mapFromGlobal(global);
    // Whether the point is on the hot item of this popup or one it came from.
    const auto onAHotItem = [&] {
        for (TTePopupView *v : Chain())
            if (v->Hot && v->Window_->geometry().contains(global) &&
                v->Hot->Rect.contains(v->Window_->mapFromGlobal(global)))
                return true;
        return false;
    };
    switch (type) {
    case QEvent::MouseMove: {
        if (global == LastPoint)
            return true;
        LastPoint = global;
        if (inside) {
            if (TTeItem *under = ItemAt(local)) {
                if (under != Hot)
                    Dismissed = nullptr;
                SetHot(under);
            }
            return true;
        }
        // Over a popup this one came from: back to it, on the item there.
        for (TTePopupView *v = ParentView; v; v = v->ParentView)
            if (v->Window_->geometry().contains(global)) {
                TTeItem *under = v->ItemAt(v->Window_->mapFromGlobal(global));
                if (under && under != v->Hot) {
                    v->SetHot(under);
                    EndTracking(false);
                }
                break;
            }
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // A press inside marks its item (as a move would have, for a touch
        // or a warp); the release chooses it, so the choice is made once and
        // the release does not reach the window below. A press outside
        // every popup closes them all; a double click there goes on to the
        // window (a double click on the system-menu icon closes it).
        PressedHere = true;
        if (inside) {
            if (TTeItem *under = ItemAt(local))
                SetHot(under);
            return true;
        }
        if (onAHotItem())
            return true;
        EndTracking(true);
        return type != QEvent::MouseButtonDblClick;
    case QEvent::MouseButtonRelease:
        // The release of the press that opened the menu is not a choice.
        if (!PressedHere && !inside)
            return true;
        if (inside && Hot && Hot->Rect.contains(local))
            Choose(Hot);
        else if (!inside && !onAHotItem())
            EndTracking(true);
        return true;
    default: return false;
    }
}

bool TTePopupView::HandleKey(QKeyEvent *event)
{
    if (QApplication::mouseButtons() & Qt::LeftButton)
        return true;
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Space: return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: Choose(Hot); return true;
    case Qt::Key_Alt:
    case Qt::Key_F10: EndTracking(true); return true;
    case Qt::Key_Escape: EndTracking(false); return true;
    case Qt::Key_Up: SetHot(Neighbour(Hot, false)); return true;
    case Qt::Key_Down: SetHot(Neighbour(Hot, true)); return true;
    case Qt::Key_Left:
        if (ParentView)
            EndTracking(false);
        return true;
    case Qt::Key_Right:
        if (Hot && Hot->Count() > 0)
            OpenSubMenu();
        else if (ParentView)
            EndTracking(false);
        return true;
    default: break;
    }
    // A character: the first item whose accelerator it is.
    const QString typed = event->text().toUpper();
    if (typed.isEmpty() || !typed[0].isPrint())
        return true;
    for (int i = 0; i < Item.Count(); ++i) {
        TTeItem *child = Item.Item(i);
        if (child->Visible && !child->IsSeparator() && child->Caption.toUpper().contains("&" + typed.left(1))) {
            SetHot(child);
            Choose(child);
            break;
        }
    }
    return true;
}

bool TTePopupView::eventFilter(QObject *, QEvent *event)
{
    if (ChildView || !Tracking)
        return false; // the innermost popup handles the input
    if (Done) {
        // Ending: what is left of this batch of input is swallowed.
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride: return true;
        default: return false;
        }
    }
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        return HandleMouse(event->type(), static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut: return true;
    case QEvent::KeyPress: return HandleKey(static_cast<QKeyEvent *>(event));
    case QEvent::ApplicationDeactivate: EndTracking(true); return false;
    default: return false;
    }
}

void PopupItem(TTeItem &item, TTePopupView *parentView, QPoint at, QRect anchor, TTePopupAnchor kind)
{
    if (item.Count() == 0 || !item.Visible || !item.Enabled)
        return;
    bool anyVisible = false;
    for (int i = 0; i < item.Count(); ++i)
        anyVisible = anyVisible || item.Item(i)->Visible;
    if (!anyVisible)
        return;
    if (item.OnBeforeDropDown)
        item.OnBeforeDropDown();
    TTePopupView view(item, parentView);
    const QSize size = view.Layout();
    QScreen *screen = QGuiApplication::screenAt(at);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect(QPoint(), size * 4);
    view.Window().setGeometry(PopupPlacement(size, at, anchor, kind, work));
    view.Window().show();
    view.Window().raise();
    if (!parentView && ShownMenu)
        ShownRoot = &view;
    view.Track();
    if (ShownRoot == &view)
        ShownRoot = nullptr;
    view.Window().hide();
}

// ---- The popup menu component

TTePopupMenu::TTePopupMenu(QObject *owner) : QObject(owner), Items(new TTeItem(this)) {}

TTePopupMenu::~TTePopupMenu()
{
    if (ShownMenu == this)
        ShownMenu = nullptr;
}

TTePopupMenu *TTePopupMenu::Shown() { return ShownMenu; }

void TTePopupMenu::Popup(int x, int y)
{
    if (ShownMenu && ShownMenu != this && ShownRoot) {
        ShownRoot->EndTracking(true);
        QCoreApplication::processEvents();
    }
    ShownMenu = this;
    Items->ThemeLink = ThemeLink;
    Items->Images = Images;
    if (AutoLineReduction) {
        for (int i = 0; i < Items->Count(); ++i)
            if (Items->Item(i)->IsSeparator())
                Items->Item(i)->Visible = true;
        TidySeparators(*Items);
    }
    if (OnPopup)
        OnPopup();
    PopupItem(*Items, nullptr, QPoint(x, y));
    if (ShownMenu == this)
        ShownMenu = nullptr;
}

} // namespace quillon
