#include "skin/te_listbox.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QWheelEvent>

namespace quillon {

QFont ListItemFont(TteTheme *theme, const std::string &object, TteListFace face, const QFont &font, QColor &ink)
{
    if (theme)
        return ThemeFontOf(*theme, 57 + face, object, ink);
    // The classic look: the selection in the highlight colours, the hot
    // item written in the highlight colour.
    const bool selected = face == lfSelected || face == lfFocused;
    ink = ToQColor(face == lfDisabled ? clGrayText
                   : selected         ? clHighlightText
                   : face == lfHot    ? clHighlight
                                      : clWindowText);
    return font;
}

void PaintListItemBack(TteCanvas &canvas, TteTheme *theme, const std::string &object, QRect rect, TteListFace face)
{
    if (theme)
        theme->PaintListItem(0, canvas, object, MakeElementInfo(rect, uint8_t(face)));
    else
        canvas.FillRect(rect, ToQColor(face == lfSelected || face == lfFocused ? clHighlight : clWindow));
}

void PaintListItemFace(TteCanvas &canvas, TteTheme *theme, const std::string &object, QRect rect, const QString &text,
                       TteListFace face, const QFont &font, int inset)
{
    PaintListItemBack(canvas, theme, object, rect, face);
    QColor ink;
    canvas.Font = ListItemFont(theme, object, face, font, ink);
    if (text == "-") {
        const int y = rect.top() + rect.height() / 2;
        canvas.FillRect(QRect(rect.left() + 3, y, rect.width() - 6, 1), ink);
        return;
    }
    QRect room = rect.adjusted(inset, 0, -inset, 0);
    canvas.DrawText(text, room, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS, ink);
}

TTeListBox::TTeListBox(QWidget *parent) : TTeControl(parent)
{
    Performance = kspDoubleBuffer;
    Color = clWindow;
    setMouseTracking(true);
    Bar = new TTeScrollBar(this);
    Bar->SetOrientation(ksoVertical);
    Bar->hide();
    Bar->OnScroll = [this](TTeScrollCode, int &position) {
        SetTopIndex(position);
        position = TopIndex_; // the bar stops where the list can
    };
}

bool TTeListBox::Skinned() const { return IsThemedListBox(0, Binding.ThemeObject(), Binding.ThemeLink()); }

QRect TTeListBox::FrameInner() const
{
    const QRect full = rect();
    QRect inner =
        Skinned() ? Binding.Theme()->GetListBoxContentRect(0, Binding.ThemeObject(), MakeElementInfo(full)) : full;
    if (inner == full)
        inner = full.adjusted(1, 1, -1, -1); // a one-pixel border at least
    return inner;
}

QRect TTeListBox::ItemArea() const
{
    QRect area = FrameInner();
    if (!Bar->isHidden()) // the list's own choice, whether or not its window shows yet
        area.setRight(Bar->geometry().left() - 1);
    return area;
}

int TTeListBox::VisibleRows() const { return std::max(1, FrameInner().height() / std::max(1, ItemHeight)); }

QRect TTeListBox::ItemRect(int index) const
{
    const QRect area = ItemArea();
    return QRect(area.left(), area.top() + (index - TopIndex_) * ItemHeight, area.width(), ItemHeight);
}

int TTeListBox::ItemAt(QPoint point) const
{
    const QRect area = ItemArea();
    if (!area.contains(point))
        return -1;
    const int index = TopIndex_ + (point.y() - area.top()) / std::max(1, ItemHeight);
    return index < int(Items.size()) ? index : -1;
}

TteListFace TTeListBox::FaceOf(int index) const
{
    if (!isEnabled())
        return lfDisabled;
    if (index == ItemIndex_)
        return lfSelected;
    return index == HotItem_ ? lfHot : lfNormal;
}

void TTeListBox::SetItems(const QStringList &items)
{
    Items = items;
    ItemIndex_ = std::min(ItemIndex_, int(Items.size()) - 1);
    HotItem_ = -1;
    TopIndex_ = 0;
    UpdateScrollBar();
    update();
}

void TTeListBox::SetItemIndex(int index)
{
    ItemIndex_ = std::clamp(index, -1, int(Items.size()) - 1);
    if (ItemIndex_ >= 0) {
        if (ItemIndex_ < TopIndex_)
            SetTopIndex(ItemIndex_);
        else if (ItemIndex_ >= TopIndex_ + VisibleRows())
            SetTopIndex(ItemIndex_ - VisibleRows() + 1);
    }
    update();
}

void TTeListBox::SetTopIndex(int index)
{
    const int top = std::clamp(index, 0, std::max(0, int(Items.size()) - VisibleRows()));
    if (top == TopIndex_)
        return;
    TopIndex_ = top;
    Bar->SetPosition(top);
    update();
}

void TTeListBox::UpdateScrollBar()
{
    const QRect inner = FrameInner();
    const bool needed = int(Items.size()) > VisibleRows();
    Bar->setVisible(needed);
    if (!needed)
        return;
    Bar->setGeometry(inner.right() - ScrollThumbMetric + 1, inner.top(), ScrollThumbMetric, inner.height());
    Bar->SetMin(0);
    Bar->SetMax(int(Items.size()) - 1);
    Bar->SetPageSize(VisibleRows());
    Bar->LargeChange = VisibleRows();
    Bar->SetPosition(TopIndex_);
}

void TTeListBox::resizeEvent(QResizeEvent *event)
{
    TTeControl::resizeEvent(event);
    UpdateScrollBar();
    SetTopIndex(TopIndex_);
}

void TTeListBox::PaintClient(TteCanvas &canvas)
{
    const QRect full(0, 0, PaintWidth(), PaintHeight());
    TteTheme *theme = Skinned() ? Binding.Theme() : nullptr;
    if (theme) {
        theme->PaintListBox(0, canvas, Binding.ThemeObject(), MakeElementInfo(full));
    } else {
        canvas.FillRect(full, ToQColor(clWindow));
        canvas.FrameRect(full, ToQColor(clWindowFrame));
    }
    const QRect area = ItemArea();
    canvas.SetClipRect(area);
    const int last = std::min(int(Items.size()), TopIndex_ + VisibleRows() + 1);
    for (int i = TopIndex_; i < last; ++i)
        PaintListItemFace(canvas, theme, Binding.ThemeObject(), ItemRect(i), Items[i], FaceOf(i), WorkingFont);
    canvas.SetClipRect(std::nullopt);
}

int TTeListBox::WidthForItems(int rows) const
{
    QColor ink;
    TteTheme *theme = Skinned() ? Binding.Theme() : nullptr;
    const QFontMetrics metrics(ListItemFont(theme, Binding.ThemeObject(), lfSelected, font(), ink));
    int widest = 0;
    for (const QString &item : Items)
        widest = std::max(widest, metrics.horizontalAdvance(item));
    const int frame = width() - FrameInner().width();
    const int bar = int(Items.size()) > rows ? ScrollThumbMetric : 0;
    return widest + 2 * 2 + 2 + frame + bar; // the text's insets and a pixel of air on each side
}

void TTeListBox::mouseMoveEvent(QMouseEvent *event)
{
    const int hot = ItemAt(event->position().toPoint());
    if (hot != HotItem_) {
        HotItem_ = hot;
        if (SelectionFollowsPointer && hot >= 0)
            ItemIndex_ = hot;
        update();
    }
    TTeControl::mouseMoveEvent(event);
}

void TTeListBox::mouseReleaseEvent(QMouseEvent *event)
{
    const int index = ItemAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index >= 0) {
        SetItemIndex(index);
        if (OnItemClick)
            OnItemClick(index);
        return;
    }
    TTeControl::mouseReleaseEvent(event);
}

void TTeListBox::wheelEvent(QWheelEvent *event)
{
    const int notches = event->angleDelta().y() / 120;
    if (notches != 0)
        SetTopIndex(TopIndex_ - 3 * notches);
    event->accept();
}

void TTeListBox::DoMouseLeave()
{
    TTeControl::DoMouseLeave();
    if (HotItem_ != -1) {
        HotItem_ = -1;
        update();
    }
}

} // namespace quillon
