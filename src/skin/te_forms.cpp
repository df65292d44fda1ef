#include "skin/te_forms.h"

#include "platform/translation.h"
#include "skin/te_menu.h"

#include "skin/window_manager.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QWindow>

namespace quillon {

namespace {

constexpr int MinimizedWidth = 160; // the 96-dpi width of a minimized window
constexpr int CornerReach = 20;     // how far along an edge its corner answers

} // namespace

TTeHitAnswer HitAnswerOf(int frameHit, const TTeDragging &dragging, bool maximized)
{
    const bool sizes = dragging.Sizeable && !maximized;
    switch (frameHit) {
    case FrameCaption: return dragging.Moveable ? HTCAPTION : HTCLIENT;
    case FrameLeft: return sizes ? HTLEFT : HTCLIENT;
    case FrameTop: return sizes ? HTTOP : HTCLIENT;
    case FrameRight: return sizes ? HTRIGHT : HTCLIENT;
    case FrameBottom: return sizes ? HTBOTTOM : HTCLIENT;
    case FrameTopLeft: return sizes ? HTTOPLEFT : HTCLIENT;
    case FrameTopRight: return sizes ? HTTOPRIGHT : HTCLIENT;
    case FrameBottomLeft: return sizes ? HTBOTTOMLEFT : HTCLIENT;
    case FrameBottomRight: return sizes ? HTBOTTOMRIGHT : HTCLIENT;
    case FrameBorder:
    case FrameRollup:
    case FrameTray:
    case FrameNone: return HTBORDER;
    case FrameClose: return HTCLOSE;
    case FrameHelp: return HTHELP;
    case FrameMinimize: return HTMINBUTTON;
    case FrameMaximize: return HTMAXBUTTON;
    case FrameSystemMenu: return HTSYSMENU;
    default: return HTCLIENT;
    }
}

TTeCaptionButton CaptionButtonOf(TTeBorderIcon icon, TTeWindowState state)
{
    switch (icon) {
    case kbiClose: return {icon, CaptionClose, FrameClose};
    case kbiSystemMenu: return {icon, CaptionSystemMenu, FrameSystemMenu};
    case kbiMinimize:
        return {icon, uint8_t(state == kwsMinimized ? CaptionRestoreMinimized : CaptionMinimize), FrameMinimize};
    case kbiMaximize:
        return {icon, uint8_t(state == kwsMaximized ? CaptionRestoreMaximized : CaptionMaximize), FrameMaximize};
    case kbiHelp: return {icon, CaptionHelp, FrameHelp};
    case kbiRollup: return {icon, uint8_t(state == kwsRollup ? CaptionRollDown : CaptionRollUp), FrameRollup};
    case kbiTray: return {icon, CaptionTray, FrameTray};
    default: return {icon, 0, FrameNone};
    }
}

uint8_t WindowKindOf(TTeBorderStyle style)
{
    switch (style) {
    case kbsDialog: return WindowDialog;
    case kbsBorder: return WindowBorder;
    case kbsNone: return WindowNoBorder;
    case kbsToolWindow: return WindowToolWindow;
    default: return WindowStandard;
    }
}

QRect SnapToWorkArea(QRect r, QRect w, int size)
{
    // Right and bottom edges as the outside edges, as the work area's are.
    const int rRight = r.left() + r.width(), wRight = w.left() + w.width();
    const int rBottom = r.top() + r.height(), wBottom = w.top() + w.height();
    if (std::abs(r.left() - w.left()) < size)
        r.moveLeft(w.left());
    else if (std::abs(rRight - wRight) < size)
        r.moveLeft(wRight - r.width());
    if (std::abs(r.top() - w.top()) < size)
        r.moveTop(w.top());
    else if (std::abs(rBottom - wBottom) < size)
        r.moveTop(wBottom - r.height());
    return r;
}

std::vector<TTeSystemMenuItem> SystemMenuItems(TTeWindowState state, TTeBorderIcons icons)
{
    std::vector<TTeSystemMenuItem> items;
    if (state != kwsNormal)
        items.push_back({QT_TRANSLATE_NOOP("Forms", "&Restore"), "", 3});
    if ((icons & kbiMinimize) && (state == kwsNormal || state == kwsMaximized || state == kwsRollup))
        items.push_back({QT_TRANSLATE_NOOP("Forms", "Mi&nimize"), "", 1});
    if ((icons & kbiMaximize) && (state == kwsNormal || state == kwsRollup))
        items.push_back({QT_TRANSLATE_NOOP("Forms", "Ma&ximize"), "", 2});
    if ((icons & kbiRollup) && (state == kwsNormal || state == kwsMaximized))
        items.push_back({QT_TRANSLATE_NOOP("Forms", "Ro&llup"), "", 4});
    if ((icons & kbiTray) && state != kwsMinimized && state != kwsTray)
        items.push_back({QT_TRANSLATE_NOOP("Forms", "Minimize to &Tray"), "", 5});
    if (icons & kbiClose) {
        if (!items.empty())
            items.push_back({"-", "", -1});
        items.push_back({QT_TRANSLATE_NOOP("Forms", "&Close"), "Alt+F4", 0});
    }
    return items;
}

// ---- TTeDefaultForm

TTeDefaultForm::TTeDefaultForm(QWidget &window) : QObject(&window), Window(window) { Caption = window.windowTitle(); }

int TTeDefaultForm::FrameWidth() const
{
    return BorderStyle == kbsNone || DisabledNCArea ? 0 : BorderStyle == kbsBorder ? 1 : 4;
}

int TTeDefaultForm::CaptionHeight() const
{
    if (DisabledNCArea)
        return 0;
    switch (BorderStyle) {
    case kbsStandard:
    case kbsDialog: return 18;
    case kbsToolWindow: return 15;
    default: return 0;
    }
}

QRect TTeDefaultForm::GetClientAreaRect() const
{
    const QRect r(QPoint(), Window.size());
    if (BorderStyle != kbsStandard && BorderStyle != kbsDialog && BorderStyle != kbsToolWindow)
        return r;
    const int f = FrameWidth();
    return r.adjusted(f, f + CaptionHeight(), -f, -f);
}

QRect TTeDefaultForm::GetCaptionButtonRect(TTeBorderIcon icon) const
{
    if (!(BorderIcons & icon) || CaptionHeight() == 0)
        return {};
    // The default frame's buttons: the icon at the left; the others in a row
    // at the right, close rightmost.
    const QRect client = GetClientAreaRect();
    const int top = FrameWidth() + 1, side = CaptionHeight() - 2;
    if (icon == kbiSystemMenu)
        return QRect(client.left(), top, side, side);
    int right = client.left() + client.width();
    for (TTeBorderIcon i : {kbiClose, kbiMaximize, kbiMinimize, kbiRollup, kbiTray, kbiHelp}) {
        if (!(BorderIcons & i))
            continue;
        if (i == icon)
            return QRect(right - side, top, side, side);
        right -= side + 2;
    }
    return {};
}

int TTeDefaultForm::FrameHitTest(QPoint p) const
{
    const QRect client = GetClientAreaRect();
    if (client.contains(p))
        return FrameClient;
    int code = p.y() < client.top() ? FrameCaption : FrameNone;
    for (TTeBorderIcon icon : PaintedBorderIcons)
        if (GetCaptionButtonRect(icon).contains(p))
            code = CaptionButtonOf(icon, State).Hit;
    if (State == kwsNormal) {
        const int w = Window.width(), h = Window.height();
        const auto along = [](int at, int length, int before, int middle, int after) {
            return at < CornerReach ? before : at >= length - CornerReach ? after : middle;
        };
        if (p.y() < client.top() - CaptionHeight())
            code = along(p.x(), w, FrameTopLeft, FrameTop, FrameTopRight);
        else if (p.y() >= client.top() + client.height())
            code = along(p.x(), w, FrameBottomLeft, FrameBottom, FrameBottomRight);
        else if (p.x() < client.left())
            code = along(p.y(), h, FrameTopLeft, FrameLeft, FrameBottomLeft);
        else if (p.x() >= client.left() + client.width())
            code = along(p.y(), h, FrameTopRight, FrameRight, FrameBottomRight);
    }
    return code;
}

QRect TTeDefaultForm::WorkAreaOf(QRect r) const
{
    const QScreen *screen = QGuiApplication::screenAt(r.center());
    if (!screen)
        screen = Window.screen() ? Window.screen() : QGuiApplication::primaryScreen();
    return StayOnTop ? screen->geometry() : screen->availableGeometry();
}

QRect TTeDefaultForm::GetMaximizedRect() const
{
    const int f = FrameWidth();
    return WorkAreaOf(Window.geometry()).adjusted(-f, -f, f, f);
}

QRect TTeDefaultForm::GetRolledUpRect() const
{
    const QRect client = GetClientAreaRect();
    return QRect(Window.pos(), QSize(Window.width(), Window.height() - client.height()));
}

QRect TTeDefaultForm::GetMinimizedRect() const
{
    const QRect work = WorkAreaOf(Window.geometry());
    const int height = Window.height() - GetClientAreaRect().height();
    return QRect(work.left(), work.top() + work.height() - height, MinimizedWidth, height);
}

QSize TTeDefaultForm::GetMinTrackSize() const
{
    const QSize own(MinConstraint.width() > 0 ? MinConstraint.width() : 140,
                    MinConstraint.height() > 0 ? MinConstraint.height()
                                               : Window.height() - GetClientAreaRect().height());
    return own.expandedTo(Window.minimumSize()); // the window's own limit holds too
}

QSize TTeDefaultForm::GetMaxTrackSize() const
{
    const QSize maximized = GetMaximizedRect().size();
    return QSize(MaxConstraint.width() > 0 ? MaxConstraint.width() : maximized.width(),
                 MaxConstraint.height() > 0 ? MaxConstraint.height() : maximized.height());
}

void TTeDefaultForm::SetBounds(QRect r)
{
    const bool small = State == kwsMinimized || State == kwsRollup;
    if (small && !MinimumHeld) {
        HeldMinimum = Window.minimumSize();
        MinimumHeld = true;
        Window.setMinimumSize(0, 0);
    } else if (!small && MinimumHeld) {
        MinimumHeld = false;
        Window.setMinimumSize(HeldMinimum);
    }
    Window.setGeometry(r);
}

void TTeDefaultForm::Leave(TTeWindowState to)
{
    if (State == kwsNormal)
        Saved = Window.geometry();
    Previous = State;
    State = to;
}

bool TTeDefaultForm::Maximize()
{
    if (State == kwsMaximized)
        return Restore();
    if (OnMaximize && !OnMaximize())
        return false;
    Leave(kwsMaximized);
    SetBounds(GetMaximizedRect());
    return true;
}

bool TTeDefaultForm::Minimize()
{
    if (State == kwsMinimized)
        return Restore();
    if (OnMinimize && !OnMinimize())
        return false;
    Leave(kwsMinimized);
    PlatformMinimized = PlatformMinimize && PlatformMinimize();
    if (!PlatformMinimized)
        SetBounds(GetMinimizedRect());
    return true;
}

bool TTeDefaultForm::Rollup()
{
    if (State == kwsRollup)
        return Restore();
    if (OnRollup && !OnRollup())
        return false;
    Leave(kwsRollup);
    SetBounds(GetRolledUpRect());
    return true;
}

bool TTeDefaultForm::MinimizeToTray()
{
    if (State == kwsTray)
        return Restore();
    // Without a tray the window would be hidden out of reach: it minimizes.
    if (!TrayAvailable || !TrayAvailable())
        return Minimize();
    if (OnMinToTray && !OnMinToTray())
        return false;
    Leave(kwsTray);
    Window.hide();
    if (ShowTrayIcon)
        ShowTrayIcon(true);
    return true;
}

bool TTeDefaultForm::Restore()
{
    const TTeWindowState from = State;
    switch (from) {
    case kwsMaximized:
        if (Previous == kwsMinimized && MinimizeApplication)
            return false;
        State = kwsNormal;
        SetBounds(Saved);
        if (Previous == kwsRollup) {
            Previous = kwsMaximized;
            State = kwsRollup;
            SetBounds(GetRolledUpRect());
        } else if (Previous == kwsMinimized) {
            Previous = kwsNormal;
            State = kwsMaximized;
            SetBounds(GetMaximizedRect());
        } else {
            Previous = kwsMaximized;
        }
        return true;
    case kwsMinimized:
    case kwsTray:
        if (from == kwsTray) {
            if (ShowTrayIcon)
                ShowTrayIcon(false);
            Window.show();
            Window.raise();
            Window.activateWindow();
        } else if (PlatformMinimized) {
            Window.showNormal();
        }
        State = Previous == kwsMaximized || Previous == kwsRollup ? Previous : kwsNormal;
        // Back in the state it was minimized from, the window restores from
        // there to its normal bounds next; were "minimized" remembered, a
        // maximized window could never be restored again.
        Previous = State == kwsNormal ? from : kwsNormal;
        SetBounds(Saved);
        if (State == kwsMaximized)
            SetBounds(GetMaximizedRect());
        else if (State == kwsRollup)
            SetBounds(GetRolledUpRect());
        return true;
    case kwsRollup: {
        const bool wide = Window.width() == GetMaximizedRect().width();
        const bool wasMaximized = Previous == kwsMaximized;
        Previous = kwsRollup;
        if (wide || wasMaximized) {
            State = kwsMaximized;
            SetBounds(GetMaximizedRect());
        } else {
            State = kwsNormal;
            SetBounds(QRect(Window.pos(), Saved.size()));
        }
        return true;
    }
    default: return false;
    }
}

QRect TTeDefaultForm::DraggedBounds(int hit, QRect start, QPoint anchor, QPoint point) const
{
    const QPoint d = point - anchor;
    if (hit == FrameCaption) {
        if (!Dragging.Moveable || State == kwsMaximized)
            return start;
        QRect moved = start.translated(d);
        if (Gravitation.Enabled && Gravitation.SnapToDesktop)
            moved = SnapToWorkArea(moved, WorkAreaOf(moved), Gravitation.Size);
        return moved;
    }
    if (!Dragging.Sizeable || State != kwsNormal || hit < FrameLeft || hit > FrameBottomRight || hit == FrameBorder)
        return start;
    const QSize minimum = GetMinTrackSize(), maximum = GetMaxTrackSize();
    int l = start.left(), t = start.top(), r = start.left() + start.width(), b = start.top() + start.height();
    const bool left = hit == FrameLeft || hit == FrameTopLeft || hit == FrameBottomLeft;
    const bool right = hit == FrameRight || hit == FrameTopRight || hit == FrameBottomRight;
    const bool top = hit == FrameTop || hit == FrameTopLeft || hit == FrameTopRight;
    const bool bottom = hit == FrameBottom || hit == FrameBottomLeft || hit == FrameBottomRight;
    // An edge stops where the window would become smaller than its minimum
    // or larger than its maximum.
    if (left)
        l = std::clamp(l + d.x(), r - maximum.width(), r - minimum.width());
    if (right)
        r = std::clamp(r + d.x(), l + minimum.width(), l + maximum.width());
    if (top)
        t = std::clamp(t + d.y(), b - maximum.height(), b - minimum.height());
    if (bottom)
        b = std::clamp(b + d.y(), t + minimum.height(), t + maximum.height());
    return QRect(l, t, r - l, b - t);
}

// ---- TTeForm

TTeForm::TTeForm(QWidget &window) : TTeDefaultForm(window), Binding(window, [&window] { window.update(); }) {}

TTeForm::~TTeForm() = default;

bool TTeForm::Skinned() const
{
    return IsThemedWindow(WindowKindOf(BorderStyle), Binding.ThemeObject(), Binding.ThemeLink());
}

TteWindowInfo TTeForm::WindowInfo() const
{
    TteWindowInfo info;
    info.Rect = QRect(QPoint(), Window.size());
    info.State = Active ? 1 : 0;
    info.NonClientDisabled = DisabledNCArea;
    info.Caption = Caption;
    for (TTeBorderIcon icon : PaintedBorderIcons)
        if (BorderIcons & icon)
            info.Buttons |= CaptionButtonBit(TteCaptionButton(CaptionButtonOf(icon, WindowState()).ThemeButton));
    return info;
}

uint8_t TTeForm::ButtonState(TTeBorderIcon icon) const
{
    const int hit = CaptionButtonOf(icon, WindowState()).Hit;
    if (!Active)
        return CaptionButtonInactive;
    if (PressedHit == hit && HoverHit == hit)
        return CaptionButtonPressed;
    if (HoverHit == hit && PressedHit == FrameNone)
        return CaptionButtonHot;
    return CaptionButtonNormal;
}

QRect TTeForm::GetClientAreaRect() const
{
    if (!Skinned())
        return TTeDefaultForm::GetClientAreaRect();
    if (DisabledNCArea)
        return QRect(QPoint(), Window.size());
    QRect content;
    Theme()->GetWindowContentRect(WindowKindOf(BorderStyle), WindowInfo(), content, Binding.ThemeObject());
    return content;
}

QRect TTeForm::GetCaptionButtonRect(TTeBorderIcon icon) const
{
    if (!Skinned())
        return TTeDefaultForm::GetCaptionButtonRect(icon);
    if (!(BorderIcons & icon))
        return {};
    QRect r;
    Theme()->GetWindowButtonRect(WindowKindOf(BorderStyle), WindowInfo(), r, Binding.ThemeObject(),
                                 CaptionButtonOf(icon, WindowState()).ThemeButton);
    return r;
}

int TTeForm::FrameHitTest(QPoint point) const
{
    if (!Skinned())
        return TTeDefaultForm::FrameHitTest(point);
    return Theme()->WindowHitTest(WindowKindOf(BorderStyle), WindowInfo(), point, Binding.ThemeObject());
}

QRect TTeForm::GetMaximizedRect() const
{
    return Skinned() ? WorkAreaOf(Window.geometry()) : TTeDefaultForm::GetMaximizedRect();
}

QRegion TTeForm::BuildWindowRegion() const
{
    const QRect frame(QPoint(), Window.size());
    if (!Skinned())
        return QRegion(frame);
    const QRegion region = Theme()->GetWindowRegion(WindowKindOf(BorderStyle), frame, Binding.ThemeObject());
    return region.isEmpty() ? QRegion(frame) : region;
}

void TTeForm::PaintFrame(TteCanvas &canvas) const
{
    TteTheme *theme = Theme();
    if (!Skinned() || !theme)
        return;
    const uint8_t kind = WindowKindOf(BorderStyle);
    const std::string &object = Binding.ThemeObject();
    const TteWindowInfo info = WindowInfo();
    theme->PaintWindowFrame(kind, canvas, object, info);
    QRect caption;
    theme->GetWindowCaptionRect(kind, info, caption, object);
    if (!caption.isEmpty())
        theme->PaintWindowCaptionText(kind, canvas, object, caption, info);
    for (TTeBorderIcon icon : PaintedBorderIcons) {
        if (!(BorderIcons & icon))
            continue;
        const QRect r = GetCaptionButtonRect(icon);
        if (r.isEmpty())
            continue;
        if (icon == kbiSystemMenu) {
            // The window's small icon, centred in its place.
            const QImage picture = ShownIcon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
            if (picture.isNull())
                continue;
            TteBitmap small;
            small.Assign(picture);
            small.Draw(canvas, r.left() + (r.width() - small.Width()) / 2, r.top() + (r.height() - small.Height()) / 2);
            continue;
        }
        TteButtonInfo button;
        button.Rect = r;
        button.Button = CaptionButtonOf(icon, WindowState()).ThemeButton;
        button.State = ButtonState(icon);
        theme->PaintWindowButton(kind, canvas, object, button);
    }
}

void TTeForm::PaintClientBackground(TteCanvas &canvas, QRect rect) const
{
    if (Skinned())
        Theme()->PaintWindowClient(WindowKindOf(BorderStyle), canvas, Binding.ThemeObject(), rect);
    else
        canvas.FillRect(rect, Window.palette().color(QPalette::Window));
}

// ---- The frame at work on its window

void TTeForm::Attach(QWidget &client)
{
    Client = &client;
    Window.installEventFilter(this);
    Window.setMouseTracking(true);
    HoverPoll = new QTimer(this);
    HoverPoll->setInterval(400);
    // Leaving a caption button un-highlights it, also when no move says so.
    connect(HoverPoll, &QTimer::timeout, this, [this] {
        if (HoverHit >= FrameClose && HoverHit <= FrameSystemMenu)
            UpdateHover(Window.mapFromGlobal(QCursor::pos()));
    });
    HoverPoll->start();
    auto *close = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), &Window);
    connect(close, &QShortcut::activated, this, [this] { Click(FrameClose); });
    auto *menu = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), &Window);
    connect(menu, &QShortcut::activated, this,
            [this] { ShowSystemMenu(Window.mapToGlobal(GetClientAreaRect().topLeft())); });
    PlatformMinimize = [this] {
        if (!WindowManagerPresent())
            return false; // a bare X server leaves a "minimized" window where it is
        Window.showMinimized();
        return true;
    };
    TrayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    ShowTrayIcon = [this](bool show) {
        if (!Tray) {
            Tray = new QSystemTrayIcon(this);
            // A double click brings the window back; a right click shows the system menu.
            connect(Tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick)
                    Restore();
                else if (reason == QSystemTrayIcon::Context)
                    ShowSystemMenu(QCursor::pos());
            });
        }
        Tray->setIcon(ShownIcon());
        Tray->setToolTip(Caption.left(63));
        Tray->setVisible(show);
    };
    RecalcFrame();
}

void TTeForm::RecalcFrame()
{
    if (!Client)
        return;
    const QSize clientSize = Client->size();
    const bool own = Skinned();
    if (own != FrameOwned) {
        const bool visible = Window.isVisible();
        const QPoint at = Window.pos();
        Window.setWindowFlag(Qt::FramelessWindowHint, own);
        FrameOwned = own;
        Window.move(at);
        if (visible)
            Window.show();
    }
    const QRect area = own ? GetClientAreaRect() : QRect(QPoint(), Window.size());
    const QSize margins = Window.size() - area.size();
    // A minimum size of the window keeps meaning the same client size.
    if (!Window.minimumSize().isNull() && clientSize.isValid())
        Window.setMinimumSize(Window.minimumSize() + (margins - (Window.size() - clientSize)));
    if (clientSize.isValid() && !clientSize.isEmpty() && clientSize + margins != Window.size())
        Window.resize(clientSize + margins);
    PlaceClient();
}

void TTeForm::PlaceClient()
{
    if (!Client)
        return;
    Client->setGeometry(FrameOwned ? GetClientAreaRect() : QRect(QPoint(), Window.size()));
    if (FrameOwned)
        Window.setMask(BuildWindowRegion());
    else
        Window.clearMask();
    Window.update();
}

void TTeForm::ShowSystemMenu(QPoint globalAt)
{
    if (SystemMenuShown)
        return; // one at a time: the open one's items stay where they are
    HoverHit = FrameNone;
    // Built afresh for each display, and kept until the next one: the
    // chosen item's action runs after the menu has gone.
    SystemMenu = std::make_unique<TTeItem>();
    SystemMenu->ThemeLink = Binding.ThemeLink();
    SystemMenu->Images = MenuImages;
    for (const TTeSystemMenuItem &entry : SystemMenuItems(WindowState(), BorderIcons)) {
        auto *item = new TTeItem(nullptr, QTr("Forms", entry.Caption.c_str()));
        item->ShortCut = QKeySequence(QString::fromStdString(entry.ShortCut));
        item->ImageIndex = entry.ImageIndex;
        // One handler for all: the command is known by its caption.
        item->OnClick = [this, caption = QString::fromStdString(entry.Caption)] {
            if (caption == "&Restore")
                Restore();
            else if (caption == "Mi&nimize")
                Minimize();
            else if (caption == "Ma&ximize")
                Maximize();
            else if (caption == "Ro&llup")
                Rollup();
            else if (caption == "Minimize to &Tray")
                MinimizeToTray();
            else if (caption == "&Close")
                Click(FrameClose);
        };
        SystemMenu->Add(item);
    }
    SystemMenuShown = true;
    PopupItem(*SystemMenu, nullptr, globalAt);
    SystemMenuShown = false;
}

void TTeForm::Click(int hit)
{
    switch (hit) {
    case FrameClose:
        if (!OnClose || OnClose())
            Window.close();
        break;
    case FrameMinimize: Minimize(); break;
    case FrameMaximize: Maximize(); break;
    case FrameRollup: Rollup(); break;
    case FrameTray: MinimizeToTray(); break;
    case FrameSystemMenu: {
        const QRect icon = GetCaptionButtonRect(kbiSystemMenu);
        ShowSystemMenu(Window.mapToGlobal(QPoint(icon.left(), icon.top() + icon.height())));
        break;
    }
    default: break; // help: this program has no context help
    }
    Window.update();
}

void TTeForm::PaintWindow()
{
    TteBitmap picture(Window.width(), Window.height());
    TteCanvas &canvas = picture.Canvas();
    const QRect client = GetClientAreaRect();
    PaintClientBackground(canvas, client);
    canvas.ExcludeClipRect(client);
    PaintFrame(canvas);
    canvas.SetClipRegion(std::nullopt);
    QPainter painter(&Window);
    picture.ShowOn(painter, 0, 0);
}

void TTeForm::UpdateHover(QPoint p)
{
    const int hit = QRect(QPoint(), Window.size()).contains(p) ? FrameHitTest(p) : FrameNone;
    const TTeHitAnswer answer = HitAnswerOf(hit, Dragging, WindowState() == kwsMaximized);
    switch (answer) {
    case HTLEFT:
    case HTRIGHT: Window.setCursor(Qt::SizeHorCursor); break;
    case HTTOP:
    case HTBOTTOM: Window.setCursor(Qt::SizeVerCursor); break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: Window.setCursor(Qt::SizeFDiagCursor); break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: Window.setCursor(Qt::SizeBDiagCursor); break;
    default: Window.setCursor(Qt::ArrowCursor); break;
    }
    if (hit != HoverHit) {
        HoverHit = hit;
        Window.update();
    }
}

void TTeForm::Press(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    if (!Window.isActiveWindow())
        Window.activateWindow();
    PressedHit = HoverHit = FrameHitTest(p);
    Window.update();
    const TTeHitAnswer answer = HitAnswerOf(PressedHit, Dragging, WindowState() == kwsMaximized);
    if (event->button() == Qt::LeftButton && PressedHit >= FrameCaption && PressedHit <= FrameBottomRight &&
        answer != HTCLIENT) {
        // Under Wayland only the compositor moves and sizes windows (and
        // snaps them, if it does).
        if (QGuiApplication::platformName().startsWith("wayland") && Window.windowHandle()) {
            const Qt::Edges edges =
                (answer == HTLEFT || answer == HTTOPLEFT || answer == HTBOTTOMLEFT ? Qt::LeftEdge : Qt::Edges()) |
                (answer == HTRIGHT || answer == HTTOPRIGHT || answer == HTBOTTOMRIGHT ? Qt::RightEdge : Qt::Edges()) |
                (answer == HTTOP || answer == HTTOPLEFT || answer == HTTOPRIGHT ? Qt::TopEdge : Qt::Edges()) |
                (answer == HTBOTTOM || answer == HTBOTTOMLEFT || answer == HTBOTTOMRIGHT ? Qt::BottomEdge
                                                                                         : Qt::Edges());
            if (answer == HTCAPTION ? Window.windowHandle()->startSystemMove()
                                    : Window.windowHandle()->startSystemResize(edges))
                return;
        }
        Dragging_ = true;
        Anchor = event->globalPosition().toPoint();
        DragStart = Window.geometry();
    }
}

void TTeForm::Move(QMouseEvent *event)
{
    if (!Dragging_) {
        UpdateHover(event->position().toPoint());
        return;
    }
    const QRect bounds = DraggedBounds(PressedHit, DragStart, Anchor, event->globalPosition().toPoint());
    if (bounds != Window.geometry())
        Window.setGeometry(bounds); // the resize places the client
}

void TTeForm::Release(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    const int hit = FrameHitTest(p);
    const int pressed = PressedHit;
    const bool dragged = Dragging_;
    if (dragged)
        Move(event); // the release point is the drag's last
    Dragging_ = false;
    if (Grabbed) {
        Window.releaseMouse();
        Grabbed = false;
    }
    PressedHit = FrameNone;
    UpdateHover(p);
    Window.update();
    if (event->button() == Qt::RightButton && hit == FrameCaption) {
        ShowSystemMenu(event->globalPosition().toPoint());
        return;
    }
    if (event->button() == Qt::LeftButton && !dragged && hit == pressed)
        Click(hit);
}

void TTeForm::StartDrag(int hit, QPoint globalAt)
{
    PressedHit = HoverHit = hit;
    Dragging_ = true;
    Anchor = globalAt;
    DragStart = Window.geometry();
    Window.grabMouse(); // the moves and the release come to the window
    Grabbed = true;
}

void TTeForm::DoubleClick(QMouseEvent *event)
{
    const int hit = FrameHitTest(event->position().toPoint());
    if (hit == FrameCaption && (BorderIcons & kbiMaximize))
        Maximize();
    else if (hit == FrameSystemMenu)
        Click(FrameClose);
    Window.update();
}

bool TTeForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &Window)
        return false;
    if (Binding.HandleEvent(event)) {
        RecalcFrame(); // a theme came, went or changed: the frame follows
        return false;
    }
    switch (event->type()) {
    case QEvent::Resize: PlaceClient(); return false;
    case QEvent::WindowTitleChange:
        Caption = Window.windowTitle();
        Window.update();
        return false;
    case QEvent::ActivationChange:
        Active = Window.isActiveWindow();
        Window.update();
        return false;
    case QEvent::WindowStateChange:
        // The window manager brought a minimized window back (its task bar).
        if (WindowState() == kwsMinimized && !(Window.windowState() & Qt::WindowMinimized))
            Restore();
        return false;
    default: break;
    }
    if (!FrameOwned)
        return false;
    switch (event->type()) {
    case QEvent::Paint: PaintWindow(); return true;
    case QEvent::MouseButtonPress: Press(static_cast<QMouseEvent *>(event)); return true;
    case QEvent::MouseMove: Move(static_cast<QMouseEvent *>(event)); return true;
    case QEvent::MouseButtonRelease: Release(static_cast<QMouseEvent *>(event)); return true;
    case QEvent::MouseButtonDblClick: DoubleClick(static_cast<QMouseEvent *>(event)); return true;
    case QEvent::Leave:
        if (!Dragging_ && HoverHit != FrameNone) {
            HoverHit = FrameNone;
            Window.update();
        }
        return false;
    default: return false;
    }
}

} // namespace quillon
