#include "skin/te_listview.h"

#include "skin/te_edit.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace quillon {

// ---- Header

TTeHeaderView::TTeHeaderView(TTeListView &list) : QHeaderView(Qt::Horizontal, &list), List(list)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
}

QSize TTeHeaderView::sizeHint() const
{
    QSize hint = QHeaderView::sizeHint();
    hint.setHeight(std::max(22, fontMetrics().height() + 8));
    return hint;
}

int TTeHeaderView::KindOf(int visualIndex) const
{
    const bool barShown = List.verticalScrollBar()->isVisible();
    if (visualIndex == 0)
        return 0;
    if (visualIndex >= count() || (visualIndex == count() - 1 && barShown))
        return 2;
    return 1;
}

int TTeHeaderView::StateOf(int logicalIndex) const
{
    if (logicalIndex == PressedSection)
        return HeaderPressed;
    return logicalIndex == HotSection ? 4 : HeaderNormal; // hot
}

void TTeHeaderView::PaintSections(TteCanvas &canvas)
{
    const bool skinned = IsThemedHeader(0, "default", List.Binding.ThemeLink());
    TteTheme *theme = skinned ? List.Binding.Theme() : nullptr;
    const auto face = [&](QRect r, int kind, int state) {
        if (theme) {
            theme->PaintHeaderSection(0, canvas, "default",
                                      MakeElementInfo(r, 0, MakeKindState(uint8_t(kind), uint8_t(state))));
            return;
        }
        canvas.FillRect(r, ToQColor(clBtnFace));
        if (state == HeaderPressed)
            canvas.FrameRect(r, ToQColor(clBtnShadow));
        else
            Frame3D(canvas, r, ToQColor(clBtnHighlight), ToQColor(clBtnShadow));
    };
    int end = 0;
    for (int visual = 0; visual < count(); ++visual) {
        const int logical = logicalIndex(visual);
        if (isSectionHidden(logical))
            continue;
        const QRect r(sectionViewportPosition(logical), 0, sectionSize(logical), height());
        end = std::max(end, r.right() + 1);
        const int state = StateOf(logical);
        face(r, KindOf(visual), state);
        // pressed 43, hot 46, else 42
        QColor ink = ToQColor(clBtnText);
        canvas.Font = theme ? ThemeFontOf(*theme,
                                          state == HeaderPressed ? 43
                                          : state == 4           ? 46
                                                                 : 42,
                                          "default", ink)
                            : font();
        const QVariant align =
            model() ? model()->headerData(logical, orientation(), Qt::TextAlignmentRole) : QVariant();
        const unsigned horizontal = align.isValid() && (align.toInt() & Qt::AlignRight)     ? DT_RIGHT
                                    : align.isValid() && (align.toInt() & Qt::AlignHCenter) ? DT_CENTER
                                                                                            : DT_LEFT;
        const QString text = model() ? model()->headerData(logical, orientation()).toString() : QString();
        QRect room = r.adjusted(5, 0, -3, 0);
        canvas.DrawText(text, room, horizontal | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS, ink);
    }
    // The empty area after the last section reaches the view's edge.
    const int right = std::max(width(), List.width());
    if (end < right)
        face(QRect(end, 0, right - end, height()), KindOf(count()), HeaderNormal);
}

void TTeHeaderView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    ShowPainted(painter, viewport()->rect(), [this](TteCanvas &canvas) { PaintSections(canvas); });
}

bool TTeHeaderView::OnSectionEdge(int x) const
{
    // As the header's own resizing does: a few pixels either side of the
    // line between two sections.
    for (int visual = 0; visual < count(); ++visual) {
        const int logical = logicalIndex(visual);
        if (isSectionHidden(logical))
            continue;
        const int edge = sectionViewportPosition(logical) + sectionSize(logical);
        if (std::abs(x - edge) <= 4)
            return true;
    }
    return false;
}

void TTeHeaderView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        const int x = event->position().toPoint().x();
        EdgePressed = OnSectionEdge(x);
        if (!EdgePressed)
            PressedSection = logicalIndexAt(event->position().toPoint());
        viewport()->update();
    }
    QHeaderView::mousePressEvent(event);
}

void TTeHeaderView::mouseReleaseEvent(QMouseEvent *event)
{
    QHeaderView::mouseReleaseEvent(event);
    EdgePressed = false;
    if (ColumnDragged) {
        ColumnDragged = false;
        if (List.OnColumnResized)
            List.OnColumnResized();
    }
    if (PressedSection != -1) {
        PressedSection = -1;
        viewport()->update();
    }
}

void TTeHeaderView::mouseMoveEvent(QMouseEvent *event)
{
    QHeaderView::mouseMoveEvent(event);
    const int hot = logicalIndexAt(event->position().toPoint());
    if (hot != HotSection) {
        HotSection = hot;
        viewport()->update();
    }
}

void TTeHeaderView::leaveEvent(QEvent *event)
{
    QHeaderView::leaveEvent(event);
    HotSection = -1;
    viewport()->update();
}

// ---- List view

namespace {
// Rows as high as the classic report list makes them: the font and 4 pixels.
class RowHeight : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize hint = QStyledItemDelegate::sizeHint(option, index);
        hint.setHeight(std::max(17, option.fontMetrics.height() + 4));
        return hint;
    }
    // Names are edited in the skin's own edit.
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return new TTeSEdit(parent);
    }
};
} // namespace

TTeListView::TTeListView(QWidget *parent) : QTreeView(parent), Header_(new TTeHeaderView(*this))
{
    setHeader(Header_);
    setItemDelegate(new RowHeight(this));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setAttribute(Qt::WA_Hover);
    Bars = std::make_unique<TTeSubScrollBar>(*this);
    Bars->Vertical->OnScrolled = Bars->Horizontal->OnScrolled = [this] {
        if (OnScroll)
            OnScroll();
    };
    // A column dragged wider or narrower is reported once, when the drag ends.
    connect(Header_, &QHeaderView::sectionResized, this, [this] {
        if (Header_->EdgePressed)
            Header_->ColumnDragged = true;
    });
    ApplyThemeColors();
}

TTeListView::~TTeListView() { Bars->Detach(); }

bool TTeListView::Skinned() const { return IsThemedListBox(0, "default", Binding.ThemeLink()); }

void TTeListView::ApplyThemeColors()
{
    TteTheme *theme = Binding.Theme();
    if (theme && Skinned()) {
        Color = theme->Colors[size_t(ThemeColorIndex)];
        FontColor = ToQColor(theme->Fonts[57].Color);
    } else {
        Color = clWindow;
        FontColor = ToQColor(clWindowText);
    }
    QPalette p = palette();
    p.setColor(QPalette::Base, ToQColor(Color));
    p.setColor(QPalette::Text, FontColor);
    setPalette(p);
    update();
    viewport()->update();
    Header_->viewport()->update();
}

TteListFace TTeListView::FaceOf(const QModelIndex &index) const
{
    if (!isEnabled())
        return lfDisabled;
    const bool selected = selectionModel() && selectionModel()->isRowSelected(index.row(), index.parent());
    if (selected)
        return hasFocus() ? lfFocused : lfSelected;
    return lfNormal;
}

void TTeListView::PaintFace(TteCanvas &canvas) const
{
    if (Skinned()) {
        Binding.Theme()->PaintListBox(0, canvas, "default", MakeElementInfo(rect()));
        return;
    }
    // The corner between two bars in the face colour, the frame around.
    canvas.FillRect(rect(), ToQColor(Color));
    canvas.FillRect(QRect(width() - 25, height() - 25, 25, 25), ToQColor(clBtnFace));
    Frame3D(canvas, rect(), ToQColor(clBtnShadow), ToQColor(clBtnHighlight));
}

void TTeListView::PaintFrame(QPainter &painter)
{
    ShowPainted(painter, rect(), [this](TteCanvas &canvas) { PaintFace(canvas); });
}

void TTeListView::drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QRect row(0, option.rect.top(), viewport()->width(), option.rect.height());
    const TteListFace face = FaceOf(index);
    TteTheme *theme = Skinned() ? Binding.Theme() : nullptr;
    const bool current = hasFocus() && currentIndex().siblingAtColumn(0) == index.siblingAtColumn(0);
    ShowPainted(*painter, row, [&](TteCanvas &canvas) {
        if (face == lfNormal)
            canvas.FillRect(row, ToQColor(Color));
        else
            PaintListItemBack(canvas, theme, "default", row, face);
        QColor ink;
        canvas.Font = ListItemFont(theme, "default", face, font(), ink);
        if (face == lfNormal)
            ink = FontColor;
        const int indent = RowIndent(index);
        if (indent > 0)
            PaintBranch(canvas, QRect(Header_->sectionViewportPosition(0), row.top(), indent, row.height()), index,
                        face == lfNormal ? FontColor : ink);
        for (int column = 0; column < model()->columnCount(index.parent()); ++column) {
            if (isColumnHidden(column))
                continue;
            QRect cell(Header_->sectionViewportPosition(column), row.top(), Header_->sectionSize(column), row.height());
            if (column == 0)
                cell.setLeft(cell.left() + indent);
            QRect room = cell.adjusted(isHeaderHidden() ? 2 : 6, 0, -4, 0);
            const QString text = model()->index(index.row(), column, index.parent()).data().toString();
            canvas.DrawText(text, room, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS, ink);
        }
        if (current) // the keyboard's place, in the theme's text colour
            DrawFocusRect(canvas, row, face == lfNormal ? FontColor : ink);
    });
}

void TTeListView::scrollContentsBy(int dx, int dy)
{
    QTreeView::scrollContentsBy(dx, dy);
    Header_->viewport()->update();
}

void TTeListView::FitColumns()
{
    if (!model() || Header_->count() == 0)
        return;
    int others = 0;
    for (int column = 1; column < Header_->count(); ++column)
        if (!Header_->isSectionHidden(column))
            others += Header_->sectionSize(column);
    Header_->resizeSection(0, std::max(40, viewport()->width() - others));
}

bool TTeListView::viewportEvent(QEvent *e)
{
    if (e->type() == QEvent::Resize && AutoSizeColumn && Header_->count() > 0) {
        // The first column takes the change of the width, so a width the
        // user gave it survives the vertical bar coming and going.
        const auto *resize = static_cast<QResizeEvent *>(e);
        const int change = resize->size().width() - resize->oldSize().width();
        const bool handled = QTreeView::viewportEvent(e);
        if (resize->oldSize().width() < 0)
            FitColumns(); // the first size it gets
        else if (change != 0)
            Header_->resizeSection(0, std::max(40, Header_->sectionSize(0) + change));
        return handled;
    }
    if (e->type() == QEvent::Wheel) {
        const bool handled = QTreeView::viewportEvent(e);
        if (OnScroll)
            OnScroll();
        return handled;
    }
    return QTreeView::viewportEvent(e);
}

bool TTeListView::event(QEvent *e)
{
    if (Binding.HandleEvent(e))
        return true;
    switch (e->type()) {
    case QEvent::Paint: {
        QPainter painter(this);
        PaintFrame(painter);
        return true;
    }
    case QEvent::HoverEnter:
    case QEvent::HoverLeave: MouseInControl = e->type() == QEvent::HoverEnter; break;
    case QEvent::FocusIn:
    case QEvent::FocusOut: viewport()->update(); break;
    case QEvent::Show:
    case QEvent::Resize:
    case QEvent::LayoutRequest: {
        const bool handled = QTreeView::event(e);
        Bars->ScheduleSynchronize();
        return handled;
    }
    default: break;
    }
    return QTreeView::event(e);
}

} // namespace quillon
