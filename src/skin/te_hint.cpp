#include "skin/te_hint.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace quillon {

namespace {

constexpr unsigned HintTextFlags = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
TTeHint *ActiveHint = nullptr; // the one hint that shows the application's tool-tips

// The view whose viewport widget is, if it is one.
QAbstractItemView *viewOfViewport(const QWidget &widget)
{
    auto *view = qobject_cast<QAbstractItemView *>(widget.parentWidget());
    return view && view->viewport() == &widget ? view : nullptr;
}

} // namespace

// ---- The window

TTeHintWindow::TTeHintWindow(TTeHint &hint)
    : QWidget(nullptr,
              Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput),
      Hint(hint)
{
    setObjectName("HintWindow");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

bool TTeHintWindow::Skinned() const
{
    // Hints follow the current theme, whatever link a control has.
    TteTheme *theme = TteThemeManager::Instance().CurrentTheme();
    return theme && theme->SupportsHint(0, Hint.ThemeObject);
}

QRect TTeHintWindow::CalcHintRect(const QString &text) const
{
    const QSize size = QFontMetrics(Hint.HintFont)
                           .boundingRect(QRect(0, 0, 1000, 1000), Qt::TextWordWrap | Qt::AlignLeft, text)
                           .size();
    if (!Skinned())
        return QRect(0, 0, size.width() + 6, size.height() + 6);
    TteTheme *theme = TteThemeManager::Instance().CurrentTheme();
    const QRect content = theme->GetHintContentRect(0, "default", MakeElementInfo(QRect(0, 0, 100, 100)));
    return QRect(0, 0, size.width() + 100 - content.width(), size.height() + 100 - content.height());
}

QRect TTeHintWindow::KeptOnDesktop(QRect rect, QRect desktop)
{
    if (rect.bottom() > desktop.bottom())
        rect.moveBottom(desktop.bottom());
    if (rect.right() > desktop.right())
        rect.moveRight(desktop.right());
    if (rect.left() < desktop.left())
        rect.moveLeft(desktop.left());
    return rect;
}

void TTeHintWindow::ActivateHint(QRect rect, const QString &text)
{
    Text_ = text;
    QScreen *screen = QGuiApplication::screenAt(rect.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    setGeometry(screen ? KeptOnDesktop(rect, screen->geometry()) : rect);
    show();
    raise();
    update();
}

void TTeHintWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    ShowPainted(painter, rect(), [this](TteCanvas &canvas) {
        QRect content = rect();
        QColor ink = ToQColor(clInfoText);
        if (Skinned()) {
            TteTheme *theme = TteThemeManager::Instance().CurrentTheme();
            theme->PaintHint(0, canvas, "default", MakeElementInfo(rect()));
            content = theme->GetHintContentRect(0, "default", MakeElementInfo(rect()));
            ink = ThemeSysColor(theme, clInfoText);
        } else {
            canvas.FillRect(rect(), ToQColor(clInfoBk));
            Frame3D(canvas, rect(), ToQColor(cl3DLight), ToQColor(cl3DDkShadow));
        }
        canvas.Font = Hint.HintFont;
        // The text measured, then drawn centred in the content rectangle.
        const QSize size = QFontMetrics(Hint.HintFont)
                               .boundingRect(QRect(0, 0, content.width(), 1000), Qt::TextWordWrap, Text_)
                               .size();
        QRect text(QPoint(), size);
        text.moveCenter(content.center());
        canvas.DrawText(Text_, text, HintTextFlags, ink);
    });
}

// ---- The component

TTeHint::TTeHint(QObject *parent) : QObject(parent), Window_(new TTeHintWindow(*this))
{
    HintFont = QApplication::font("QTipLabel");
    HideTimer.setSingleShot(true);
    connect(&HideTimer, &QTimer::timeout, this, [this] { Hide(); });
    SetActive(true);
}

TTeHint::~TTeHint()
{
    SetActive(false);
    delete Window_;
}

void TTeHint::SetActive(bool active)
{
    if (active == Active_)
        return;
    Active_ = active;
    if (active) {
        if (ActiveHint)
            ActiveHint->SetActive(false);
        ActiveHint = this;
        qApp->installEventFilter(this);
    } else {
        qApp->removeEventFilter(this);
        if (ActiveHint == this)
            ActiveHint = nullptr;
        Hide();
    }
}

QString TTeHint::HintTextAt(QWidget &widget, QPoint at)
{
    // A view's items carry their own hints.
    if (QAbstractItemView *view = viewOfViewport(widget)) {
        const QModelIndex index = view->indexAt(at);
        return index.isValid() ? index.data(Qt::ToolTipRole).toString() : QString();
    }
    return widget.toolTip();
}

void TTeHint::Hide()
{
    HideTimer.stop();
    Source = nullptr;
    Window_->hide();
}

bool TTeHint::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ToolTip: {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget)
            break;
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString text = HintTextAt(*widget, help->pos());
        if (text.isEmpty()) {
            // Nothing here: a parent may have a hint; a part of a view (its
            // viewport, header, bars) ends the search, as the view's own hint would.
            const bool overView = qobject_cast<QAbstractItemView *>(widget->parentWidget()) != nullptr;
            if (overView)
                Hide();
            return overView;
        }
        // Below the pointer, as tool-tips stand; above it where the desktop
        // ends, so that it never lies under the pointer.
        QRect place = Window_->CalcHintRect(text);
        const QPoint pointer = help->globalPos();
        place.moveTopLeft(pointer + QPoint(0, 20));
        QScreen *screen = QGuiApplication::screenAt(pointer);
        if (screen && place.bottom() > screen->geometry().bottom())
            place.moveBottom(pointer.y() - 4);
        Source = widget;
        const QAbstractItemView *view = viewOfViewport(*widget);
        SourceIndex = view ? QPersistentModelIndex(view->indexAt(help->pos())) : QPersistentModelIndex();
        Window_->ActivateHint(place, text);
        HideTimer.start(HidePause);
        return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::ApplicationStateChange:
        if (Window_->isVisible())
            Hide();
        break;
    case QEvent::Leave:
        if (watched == Source)
            Hide(); // the pointer went to another control
        break;
    case QEvent::MouseMove:
        // Over a view, another item is another control.
        if (watched == Source && SourceIndex.isValid() && Window_->isVisible()) {
            auto *view = static_cast<QAbstractItemView *>(Source->parentWidget());
            if (view->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint()) != SourceIndex)
                Hide();
        }
        break;
    default: break;
    }
    return false;
}

} // namespace quillon
