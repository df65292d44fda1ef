#include "skin/te_combobox.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>

namespace quillon {

namespace {

// The frame and the drop-down button of a combo box; theme null: classic.
void PaintComboFrame(TteCanvas &canvas, TteTheme *theme, QRect full, QRect button, int state, int buttonState,
                     uint8_t buttonKind)
{
    if (theme) {
        theme->PaintEdit(EditKind, canvas, "default", MakeElementInfo(full, uint8_t(state)));
        theme->PaintEditButton(buttonKind, canvas, "default",
                               MakeElementInfo(button, 0, MakeKindState(uint8_t(buttonState), 0)));
        return;
    }
    // Classic: a sunken box and a raised push button with a black arrow,
    // flat while dropped down.
    DrawSunkenBox(canvas, full, state != EditDisabled);
    canvas.FillRect(button, ToQColor(clBtnFace));
    if (buttonState == EditButtonDropped) {
        canvas.FrameRect(button, ToQColor(clBtnShadow));
    } else {
        Frame3D(canvas, button, ToQColor(clBtnFace), ToQColor(cl3DDkShadow));
        Frame3D(canvas, button.adjusted(1, 1, -1, -1), ToQColor(clBtnHighlight), ToQColor(clBtnShadow));
    }
    const QPoint c = button.center() + (buttonState == EditButtonDropped ? QPoint(1, 1) : QPoint());
    const QColor arrow = ToQColor(buttonState == EditButtonDisabled ? clGrayText : clBtnText);
    for (int row = 0; row < 4; ++row)
        canvas.FillRect(QRect(c.x() - 3 + row, c.y() - 1 + row, 7 - 2 * row, 1), arrow);
}

// The theme's states of a combo box and of its drop-down button.
int boxState(const QWidget &box, bool hot)
{
    return !box.isEnabled() ? EditDisabled : hot ? EditHot : box.hasFocus() ? EditFocused : EditNormal;
}

int buttonState(const QWidget &box, bool dropped, bool overButton)
{
    return !box.isEnabled() ? EditButtonDisabled
           : dropped        ? EditButtonDropped
           : overButton     ? EditButtonHot
                            : EditButtonNormal;
}

} // namespace

// ---- The drop-down

TTeDropDownForm::TTeDropDownForm(QWidget &owner)
    : QWidget(&owner, Qt::Popup | Qt::FramelessWindowHint), Owner(owner), List_(new TTeListBox(this))
{
    setAttribute(Qt::WA_NoMouseReplay); // the click that closes the list goes nowhere else
    List_->setFocusPolicy(Qt::NoFocus);
    List_->SelectionFollowsPointer = true;
    List_->OnItemClick = [this](int index) { Take(index); };
}

QRect TTeDropDownForm::Placement(QRect box, QSize list, QRect workArea)
{
    QRect place(QPoint(box.left(), box.bottom() + 1), list);
    if (place.bottom() > workArea.bottom())
        place.moveBottom(box.top() - 1);
    if (place.right() > workArea.right())
        place.moveRight(workArea.right());
    return place;
}

void TTeDropDownForm::Open(const QStringList &items, int index, int dropDownCount, int itemHeight,
                           TteCustomThemeLink *link)
{
    List_->Binding.SetThemeLink(link);
    const int count = int(items.size());
    const int rows = count > 0 && count < dropDownCount ? count : dropDownCount;
    List_->ItemHeight = itemHeight;
    List_->setFont(Owner.font());
    List_->resize(Owner.width(), 100);
    List_->Items = items;
    const QRect inner = List_->ItemArea();
    const int frame = List_->height() - inner.height();
    // As wide as the box, or wider when an item would not show whole.
    const QSize size(std::max(Owner.width(), List_->WidthForItems(rows)), rows * itemHeight + frame);
    QScreen *screen = Owner.screen() ? Owner.screen() : QGuiApplication::primaryScreen();
    const QRect box(Owner.mapToGlobal(QPoint(0, 0)), Owner.size());
    setGeometry(Placement(box, size, screen->availableGeometry()));
    List_->setGeometry(rect());
    List_->SetItems(items);
    List_->SetItemIndex(index >= 0 ? index : (count > 0 ? 0 : -1));
    show();
    raise();
    activateWindow();
}

void TTeDropDownForm::Take(int index)
{
    hide();
    if (OnTake && index >= 0)
        OnTake(index);
}

void TTeDropDownForm::keyPressEvent(QKeyEvent *event)
{
    TTeListBox &list = *List_;
    const int last = int(list.Items.size()) - 1;
    switch (event->key()) {
    case Qt::Key_Escape: hide(); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: Take(list.ItemIndex()); return;
    case Qt::Key_F4:
        if (!(event->modifiers() & Qt::AltModifier))
            hide();
        return;
    case Qt::Key_Up:
        if (event->modifiers() & Qt::AltModifier)
            return Take(list.ItemIndex());
        list.SetItemIndex(std::max(0, list.ItemIndex() - 1));
        return;
    case Qt::Key_Down:
        if (event->modifiers() & Qt::AltModifier)
            return Take(list.ItemIndex());
        list.SetItemIndex(std::min(last, list.ItemIndex() + 1));
        return;
    case Qt::Key_Home: list.SetItemIndex(0); return;
    case Qt::Key_End: list.SetItemIndex(last); return;
    case Qt::Key_PageUp: list.SetItemIndex(std::max(0, list.ItemIndex() - list.VisibleRows() + 1)); return;
    case Qt::Key_PageDown: list.SetItemIndex(std::min(last, list.ItemIndex() + list.VisibleRows() - 1)); return;
    default: QWidget::keyPressEvent(event);
    }
}

void TTeDropDownForm::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // The box gets the keyboard back and shows itself closed. Without a
    // window manager nobody hands the keyboard back to the box's window
    // when the list goes; with one this changes nothing.
    Owner.window()->activateWindow();
    Owner.setFocus(Qt::PopupFocusReason);
    Owner.update();
    if (OnClosed)
        OnClosed();
}

// ---- The engine combo box

TTeComboBox::TTeComboBox(QWidget *parent) : TTeControl(parent)
{
    resize(145, 21);
    Performance = kspDoubleBuffer;
    Color = clWindow;
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    SetComboStyle(kcsDropDownList);
}

TTeComboBox::~TTeComboBox() = default;

void TTeComboBox::SetComboStyle(TTeComboStyle style)
{
    if (style == Style_)
        return;
    Style_ = style;
    if (style == kcsDropDownList) {
        setFocusProxy(nullptr);
        delete CompleteTimer;
        CompleteTimer = nullptr;
        delete Edit;
        Edit = nullptr;
    } else {
        // The editable box: a clear line edit over the text area; typing
        // completes from the items after 100 ms of quiet.
        Edit = new QLineEdit(this);
        Edit->setFrame(false);
        QPalette p = Edit->palette();
        p.setColor(QPalette::Base, Qt::transparent);
        Edit->setPalette(p);
        Edit->setGeometry(TextRect());
        Edit->setReadOnly(ReadOnly); // set ReadOnly before the style
        setFocusProxy(Edit);
        CompleteTimer = new QTimer(this);
        CompleteTimer->setSingleShot(true);
        CompleteTimer->setInterval(100);
        connect(CompleteTimer, &QTimer::timeout, this, [this] { CheckCompletion(); });
        connect(Edit, &QLineEdit::textEdited, this, [this] {
            if (AutoComplete)
                CompleteTimer->start();
        });
        Edit->show();
    }
    update();
}

void TTeComboBox::SetItems(const QStringList &items)
{
    Items = items;
    if (ItemIndex_ >= int(Items.size()))
        SetItemIndex(-1);
    update();
}

void TTeComboBox::SetItemIndex(int index)
{
    const int next = std::clamp(index, -1, int(Items.size()) - 1);
    if (Edit && next >= 0)
        Edit->setText(Items[next]);
    if (next == ItemIndex_)
        return;
    ItemIndex_ = next;
    update();
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, Text());
        QAccessible::updateAccessibility(&changed);
    }
    if (OnChange)
        OnChange();
}

QString TTeComboBox::Text() const
{
    if (Edit)
        return Edit->text();
    return ItemIndex_ >= 0 ? Items[ItemIndex_] : QString();
}

void TTeComboBox::SetText(const QString &text)
{
    if (Edit) {
        Edit->setText(text);
        return;
    }
    SetItemIndex(int(Items.indexOf(text)));
}

void TTeComboBox::CheckCompletion()
{
    const QString text = Edit->text();
    if (text.size() <= LastChecked.size() && text.compare(LastChecked, Qt::CaseInsensitive) == 0) {
        LastChecked = text;
        return;
    }
    if (text.size() < LastChecked.size()) {
        LastChecked = text; // deleting does not complete
        return;
    }
    LastChecked = text;
    for (int i = 0; i < int(Items.size()); ++i)
        if (Items[i].startsWith(text, Qt::CaseInsensitive)) {
            SetItemIndex(i);
            Edit->setText(Items[i]);
            Edit->setSelection(int(text.size()), int(Items[i].size() - text.size()));
            if (OnMatch)
                OnMatch();
            return;
        }
    if (OnNotInList)
        OnNotInList();
}

bool TTeComboBox::DroppedDown() const { return Form && Form->isVisible(); }

void TTeComboBox::DropDown()
{
    CloseUp();
    if (OnDropDown)
        OnDropDown();
    if (!Form) {
        Form = new TTeDropDownForm(*this);
        Form->OnTake = [this](int index) {
            if (!OnAllowChange || OnAllowChange(index))
                SetItemIndex(index);
            if (OnListBoxClick)
                OnListBoxClick();
        };
        Form->OnClosed = [this] {
            if (OnCloseUp)
                OnCloseUp();
        };
    }
    Form->Open(Items, ItemIndex_, DropDownCount, ItemHeight, Binding.ThemeLink());
    update();
}

void TTeComboBox::CloseUp()
{
    if (DroppedDown())
        Form->hide();
}

bool TTeComboBox::Skinned() const { return IsThemedEdit(EditKind, "default", Binding.ThemeLink()); }

QRect TTeComboBox::ButtonRect() const
{
    const int w = PaintWidth(), h = PaintHeight();
    const int size = std::min(ScrollThumbMetric, std::max(0, w - 2));
    return ButtonAlign == cbaRight ? QRect(w - 1 - size, 1, size, h - 2) : QRect(1, 1, size, h - 2);
}

QRect TTeComboBox::TextRect() const
{
    QRect text = QRect(0, 0, PaintWidth(), PaintHeight()).adjusted(3, 3, -3, -3);
    const int button = ButtonRect().width();
    return ButtonAlign == cbaRight ? text.adjusted(0, 0, -button + 1, 0) : text.adjusted(button - 1, 0, 0, 0);
}

int TTeComboBox::StateCode() const { return boxState(*this, MouseInControl); }

int TTeComboBox::ButtonStateCode() const { return buttonState(*this, DroppedDown(), OverButton); }

QFont TTeComboBox::StateFont(QColor &colour) const
{
    QFont font = WorkingFont;
    colour = ToQColor(isEnabled() ? clWindowText : clGrayText);
    if (Skinned()) {
        // normal 29, focused 30, hot 31, disabled 32
        const int index = !isEnabled() ? 32 : hasFocus() ? 30 : MouseInControl ? 31 : 29;
        font = ThemeFontOf(*Binding.Theme(), index, Binding.ThemeObject(), colour);
    }
    FontOptions.ApplyTo(font, colour);
    return font;
}

void TTeComboBox::PaintClient(TteCanvas &canvas)
{
    const QRect full(0, 0, PaintWidth(), PaintHeight());
    const bool skinned = Skinned();
    TteTheme *theme = skinned ? Binding.Theme() : nullptr;
    PaintComboFrame(canvas, theme, full, ButtonRect(), StateCode(), ButtonStateCode(),
                    ButtonAlign == cbaRight ? ComboKind : ComboKind - 1);
    if (Edit)
        return; // the line edit writes the text
    QColor colour;
    const QFont font = StateFont(colour);
    const QRect text = TextRect();
    if (ItemIndex_ >= 0) {
        TteTheme *listTheme = IsThemedListBox(0, "default", Binding.ThemeLink()) ? Binding.Theme() : nullptr;
        PaintListItemFace(canvas, listTheme, "default", text, Items[ItemIndex_], hasFocus() ? lfSelected : lfNormal,
                          font);
    }
    if (!skinned && hasFocus()) {
        DrawFocusRect(canvas, text, ToQColor(clWindowText));
    }
}

void TTeComboBox::resizeEvent(QResizeEvent *event)
{
    TTeControl::resizeEvent(event);
    if (Edit)
        Edit->setGeometry(TextRect());
}

void TTeComboBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return TTeControl::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    DropDown(); // a press while the list shows closes the list and goes no further
}

void TTeComboBox::mouseMoveEvent(QMouseEvent *event)
{
    const bool over = ButtonRect().contains(event->position().toPoint());
    if (over != OverButton) {
        OverButton = over;
        update();
    }
    TTeControl::mouseMoveEvent(event);
}

void TTeComboBox::DoMouseLeave()
{
    TTeControl::DoMouseLeave();
    OverButton = false;
    update();
}

void TTeComboBox::keyPressEvent(QKeyEvent *event)
{
    const int last = int(Items.size()) - 1;
    const bool alt = event->modifiers() & Qt::AltModifier;
    switch (event->key()) {
    case Qt::Key_F4: DropDown(); return;
    case Qt::Key_Up:
    case Qt::Key_Left:
        if (alt)
            return DropDown();
        if (last >= 0)
            SetItemIndex(std::max(0, ItemIndex_ - 1));
        return;
    case Qt::Key_Down:
    case Qt::Key_Right:
        if (alt)
            return DropDown();
        if (last >= 0)
            SetItemIndex(std::min(last, ItemIndex_ + 1));
        return;
    case Qt::Key_Home:
        if (last >= 0)
            SetItemIndex(0);
        return;
    case Qt::Key_End: SetItemIndex(last); return;
    case Qt::Key_PageUp:
        if (last >= 0)
            SetItemIndex(std::max(0, ItemIndex_ - DropDownCount + 1));
        return;
    case Qt::Key_PageDown:
        if (last >= 0)
            SetItemIndex(std::min(last, ItemIndex_ + DropDownCount - 1));
        return;
    default: break;
    }
    // A letter chooses the next item that starts with it.
    const QString typed = event->text();
    if (!Edit && !typed.isEmpty() && typed[0].isPrint() && !alt && !(event->modifiers() & Qt::ControlModifier)) {
        for (int step = 1; step <= int(Items.size()); ++step) {
            const int i = (ItemIndex_ + step + int(Items.size())) % int(Items.size());
            if (Items[i].startsWith(typed, Qt::CaseInsensitive)) {
                SetItemIndex(i);
                break;
            }
        }
        return;
    }
    TTeControl::keyPressEvent(event);
}

void TTeComboBox::wheelEvent(QWheelEvent *event)
{
    const int notches = event->angleDelta().y() / 120;
    if (hasFocus() && notches != 0 && !Items.isEmpty())
        SetItemIndex(std::clamp(ItemIndex_ - notches, 0, int(Items.size()) - 1));
    event->accept();
}

bool TTeComboBox::event(QEvent *e)
{
    // The engine's messages; the toolkit repaints on enabling and focus.
    return Binding.HandleEvent(e) || TTeControl::event(e);
}

// ---- The toolkit's combo box with the theme's face

TTeSComboBox::TTeSComboBox(QWidget *parent) : QComboBox(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
}

TTeSComboBox::~TTeSComboBox() = default;

bool TTeSComboBox::Skinned() const { return IsThemedEdit(EditKind, "default", Binding.ThemeLink()); }

QRect TTeSComboBox::ButtonRect() const { return QRect(width() - 2 - 15, 2, 15, height() - 4); }

int TTeSComboBox::StateCode() const { return boxState(*this, MouseInControl); }

int TTeSComboBox::ButtonStateCode() const { return buttonState(*this, DroppedDown(), OverButton); }

bool TTeSComboBox::DroppedDown() const { return Form && Form->isVisible(); }

void TTeSComboBox::showPopup()
{
    if (!Form) {
        Form = new TTeDropDownForm(*this);
        Form->OnTake = [this](int index) {
            setCurrentIndex(index);
            emit activated(index);
            emit textActivated(itemText(index));
        };
    }
    QStringList items;
    for (int i = 0; i < count(); ++i)
        items << itemText(i);
    const int rowHeight = std::max(15, fontMetrics().height() + 2);
    Form->Open(items, currentIndex(), DropDownCount, rowHeight, Binding.ThemeLink());
    update();
}

void TTeSComboBox::hidePopup()
{
    if (DroppedDown())
        Form->hide();
}

void TTeSComboBox::PaintFace(TteCanvas &canvas)
{
    TteTheme *theme = Skinned() ? Binding.Theme() : nullptr;
    PaintComboFrame(canvas, theme, rect(), ButtonRect(), StateCode(), ButtonStateCode(), ComboKind);
    if (currentIndex() < 0)
        return;
    const QRect text(2, 2, ButtonRect().left() - 2, height() - 4);
    TteTheme *listTheme = IsThemedListBox(0, "default", Binding.ThemeLink()) ? Binding.Theme() : nullptr;
    PaintListItemFace(canvas, listTheme, "default", text.adjusted(0, 1, 0, -1), currentText(),
                      hasFocus() ? lfSelected : lfNormal, font(), 1); // the narrow boxes need every pixel
    if (!theme && hasFocus()) {
        DrawFocusRect(canvas, text.adjusted(0, 1, 0, -1), ToQColor(clWindowText));
    }
}

void TTeSComboBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    ShowPainted(painter, rect(), [this](TteCanvas &canvas) { PaintFace(canvas); });
}

void TTeSComboBox::mouseMoveEvent(QMouseEvent *event)
{
    const bool over = ButtonRect().contains(event->position().toPoint());
    if (over != OverButton) {
        OverButton = over;
        update(ButtonRect());
    }
    QComboBox::mouseMoveEvent(event);
}

bool TTeSComboBox::event(QEvent *e)
{
    if (Binding.HandleEvent(e))
        return true;
    // The toolkit repaints on enabling and focus; the hover is the skin's.
    if (e->type() == QEvent::HoverEnter || e->type() == QEvent::HoverLeave) {
        MouseInControl = e->type() == QEvent::HoverEnter;
        OverButton = OverButton && MouseInControl;
        update();
    }
    return QComboBox::event(e);
}

} // namespace quillon
