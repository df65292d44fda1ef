#include "skin/te_controls.h"

#include "skin/te_accessible.h"

#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QMainWindow>
#include <QPainter>
#include <QScreen>
#include <QShortcut>

#include <vector>

namespace quillon {

namespace {

// A Windows-style rectangle: left, top, right, bottom, the right and
// bottom edges outside.
struct Edges {
    int l, t, r, b;
    QRect q() const { return QRect(l, t, r - l, b - t); }
};

} // namespace

BevelColors BevelColorsOf(TTeBevelCut cut)
{
    switch (cut) {
    case kbvLowered: return {clBtnShadow, clBtnHighlight, cl3DDkShadow, clBtnFace};
    case kbvRaised: return {clBtnHighlight, cl3DDkShadow, clBtnShadow, clBtnShadow};
    case kbvSpace: return {clBtnFace, clBtnFace, clBtnFace, clBtnFace};
    case kbvBorder: return {cl3DDkShadow, cl3DDkShadow, clWindow, clWindow};
    case kbvFlatBorder: return {clBtnShadow, clBtnShadow, clBtnFace, clBtnFace};
    default: return {clNone, clNone, clNone, clNone};
    }
}

void SetAccelerator(QShortcut *&slot, QWidget &owner, const QString &caption, std::function<void()> action)
{
    delete slot;
    slot = nullptr;
    const QKeySequence key = QKeySequence::mnemonic(caption);
    if (key.isEmpty())
        return;
    slot = new QShortcut(key, &owner);
    slot->setContext(Qt::WindowShortcut);
    QObject::connect(slot, &QShortcut::activated, &owner, [&owner, action = std::move(action)] {
        if (!owner.isEnabled() || !owner.isVisible())
            return;
        owner.setFocus(Qt::ShortcutFocusReason);
        action();
    });
}

QString PlainCaption(const QString &caption)
{
    QString plain;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i; // "&&" is one ampersand; "&x" marks x
        plain += caption[i];
    }
    return plain.trimmed();
}

QFont ThemeFontOf(TteTheme &theme, int index, const std::string &object, QColor &colour)
{
    colour = ToQColor(theme.Fonts[size_t(index)].Color);
    return theme.GetObjectFont(index, object);
}

QColor ThemeSysColor(const TteTheme *theme, ThemeColor constant)
{
    const ThemeColor colour = theme ? theme->GetThemeSysColor(constant) : clNone;
    return ToQColor(colour == clNone ? constant : colour);
}

void Frame3D(TteCanvas &canvas, QRect r, QColor topLeft, QColor bottomRight)
{
    canvas.FillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
    canvas.FillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
    canvas.FillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    canvas.FillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

void DrawSunkenBox(TteCanvas &canvas, QRect r, bool enabled)
{
    canvas.FillRect(r, ToQColor(enabled ? clWindow : clBtnFace));
    Frame3D(canvas, r, ToQColor(clBtnShadow), ToQColor(clBtnHighlight));
    Frame3D(canvas, r.adjusted(1, 1, -1, -1), ToQColor(cl3DDkShadow), ToQColor(clBtnFace));
}

void DrawFocusRect(TteCanvas &canvas, QRect r, QColor colour)
{
    // Every other pixel, all the way round.
    for (int x = r.left(); x <= r.right(); x += 2) {
        canvas.FillRect(QRect(x, r.top(), 1, 1), colour);
        canvas.FillRect(QRect(x, r.bottom(), 1, 1), colour);
    }
    for (int y = r.top(); y <= r.bottom(); y += 2) {
        canvas.FillRect(QRect(r.left(), y, 1, 1), colour);
        canvas.FillRect(QRect(r.right(), y, 1, 1), colour);
    }
}

void DrawEmbossedText(TteCanvas &canvas, const QString &text, QRect rect, unsigned flags)
{
    QRect shadow = rect.translated(1, 1);
    canvas.DrawText(text, shadow, flags, ToQColor(clBtnHighlight));
    canvas.DrawText(text, rect, flags, ToQColor(clBtnShadow));
}

void ShowPainted(QPainter &painter, QRect area, const std::function<void(TteCanvas &canvas)> &paint)
{
    if (area.isEmpty())
        return;
    TteBitmap picture(area.width(), area.height());
    TteCanvas &canvas = picture.Canvas();
    canvas.SetWindowOrigin(area.topLeft());
    paint(canvas);
    canvas.SetWindowOrigin(QPoint());
    picture.ShowOn(painter, area.x(), area.y());
}

TteBitmap &SharedPaintBuffer()
{
    static auto *buffer = new TteBitmap; // outlives every control
    if (buffer->IsEmpty()) {
        const QScreen *screen = QGuiApplication::primaryScreen();
        const QSize size = screen ? screen->size() : QSize(1024, 768);
        buffer->SetSize(size.width() + 500, size.height() + 500);
    }
    return *buffer;
}

// ---- TTeControl

void TteControlEffectCanvas::ShowFrame(const TteBitmap &frame, QPoint at) { Control.ShowEffectFrame(frame, at); }
void TteControlEffectCanvas::EffectEnded() { Control.EndEffectFrame(); }

TTeControl::TTeControl(QWidget *parent) : QWidget(parent)
{
    InstallSkinAccessibility();
    setGeometry(0, 0, 100, 30);
    // The control paints every pixel itself: Qt neither erases nor fills behind it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

TTeControl::~TTeControl() = default; // EffectCanvas_ goes first and stops its effects

void TTeControl::SetBevelSides(TTeBevelSides sides)
{
    BevelSides_ = sides & AllBevelSides;
    BorderChanged();
    update();
}

void TTeControl::SetBevelInner(TTeBevelCut cut)
{
    BevelKind_ = kbkNone;
    BevelInner_ = cut;
    BorderChanged();
    update();
}

void TTeControl::SetBevelOuter(TTeBevelCut cut)
{
    BevelKind_ = kbkNone;
    BevelOuter_ = cut;
    BorderChanged();
    update();
}

void TTeControl::SetBevelKind(TTeBevelKind kind)
{
    BevelKind_ = kind;
    switch (kind) {
    case kbkSingle:
    case kbkTile:
    case kbkSoft: BevelInner_ = BevelOuter_ = kbvLowered; break;
    case kbkBorder: BevelInner_ = BevelOuter_ = kbvBorder; break;
    case kbkFlat: BevelInner_ = BevelOuter_ = kbvFlatBorder; break;
    default: break;
    }
    BorderChanged();
    update();
}

void TTeControl::SetBevelWidth(int width)
{
    BevelWidth_ = std::max(0, width);
    BorderChanged();
    update();
}

void TTeControl::SetBorderWidth(int width)
{
    BorderWidth_ = std::max(0, width);
    BorderChanged();
    update();
}

QRect TTeControl::GetInnerRect() const
{
    Edges e{BorderWidth_, BorderWidth_, PaintWidth() - BorderWidth_, PaintHeight() - BorderWidth_};
    const int bevel = BevelWidth_ * ((BevelInner_ != kbvNone) + (BevelOuter_ != kbvNone));
    if (BevelSides_ & kbsLeft)
        e.l += bevel;
    if (BevelSides_ & kbsTop)
        e.t += bevel;
    if (BevelSides_ & kbsRight)
        e.r -= bevel;
    if (BevelSides_ & kbsBottom)
        e.b -= bevel;
    return e.q();
}

void TTeControl::PaintBorder(TteCanvas &canvas)
{
    const QRect full(0, 0, PaintWidth(), PaintHeight());
    if (GetInnerRect() == full)
        return;
    // Where the platform draws frames with visual styles, they would be drawn
    // here; this platform has none (VisualStylesActive is false).
    Edges e{0, 0, PaintWidth(), PaintHeight()};
    // The outer bevel in its cut's outer colours, then, inside it, the inner
    // bevel in its cut's inner colours.
    auto bevel = [&](TTeBevelCut cut, bool outer) {
        if (cut == kbvNone)
            return;
        const BevelColors c = BevelColorsOf(cut);
        const QColor tl = ToQColor(outer ? c.OuterTopLeft : c.InnerTopLeft);
        const QColor br = ToQColor(outer ? c.OuterBottomRight : c.InnerBottomRight);
        for (int line = 0; line < BevelWidth_ && e.r > e.l && e.b > e.t; ++line) {
            if (BevelSides_ & kbsLeft)
                canvas.FillRect(QRect(e.l, e.t, 1, e.b - e.t), tl);
            if (BevelSides_ & kbsTop)
                canvas.FillRect(QRect(e.l, e.t, e.r - e.l, 1), tl);
            if (BevelSides_ & kbsBottom)
                canvas.FillRect(QRect(e.l, e.b - 1, e.r - e.l, 1), br);
            if (BevelSides_ & kbsRight)
                canvas.FillRect(QRect(e.r - 1, e.t, 1, e.b - e.t), br);
            if (BevelSides_ & kbsLeft)
                ++e.l;
            if (BevelSides_ & kbsTop)
                ++e.t;
            if (BevelSides_ & kbsRight)
                --e.r;
            if (BevelSides_ & kbsBottom)
                --e.b;
        }
    };
    if (BevelWidth_ > 0) {
        bevel(BevelOuter_, true);
        bevel(BevelInner_, false);
    }
    const QColor border = ToQColor(Color);
    for (int i = 0; i < BorderWidth_ && e.r > e.l && e.b > e.t; ++i) {
        canvas.FrameRect(e.q(), border);
        e = {e.l + 1, e.t + 1, e.r - 1, e.b - 1};
    }
}

void TTeControl::PaintClient(TteCanvas &canvas) { canvas.FillRect(GetInnerRect(), ToQColor(Color)); }

void TTeControl::PaintFrameAndClient(TteCanvas &canvas)
{
    const std::optional<QRegion> saved = canvas.ClipRegion();
    canvas.ExcludeClipRect(GetInnerRect());
    PaintBorder(canvas);
    canvas.SetClipRegion(saved);
    PaintClient(canvas);
}

void TTeControl::PaintOnto(TteBitmap &target)
{
    target.HasAlpha = false;
    WorkingFont = font();
    TteCanvas &canvas = target.Canvas();
    canvas.SetWindowOrigin(QPoint());
    canvas.SetClipRegion(std::nullopt);
    PaintFrameAndClient(canvas);
}

void TTeControl::PaintLook(TteBitmap &target)
{
    target.SetSize(PaintWidth(), PaintHeight());
    target.HasTransparentMarks = false;
    PaintOnto(target);
}

void TTeControl::ShowEffectFrame(const TteBitmap &frame, QPoint at)
{
    EffectFrame_.Assign(frame);
    EffectAt_ = at;
    EffectShowing_ = true;
    repaint();
}

void TTeControl::EndEffectFrame()
{
    EffectShowing_ = false;
    EffectFrame_.SetSize(0, 0);
    update();
}

void TTeControl::paintEvent(QPaintEvent *)
{
    if (width() <= 0 || height() <= 0)
        return;
    ++PaintCount;
    QPainter painter(this);
    if (EffectShowing_) {
        EffectFrame_.ShowOn(painter, EffectAt_.x(), EffectAt_.y());
        return;
    }
    const QRect area(0, 0, PaintWidth(), PaintHeight());
    std::unique_ptr<TteBitmap> fresh;
    TteBitmap *target = nullptr;
    switch (Performance) {
    case kspSharedBuffer:
        target = &SharedPaintBuffer();
        target->HasTransparentMarks = false;
        target->FillRect(area, TE_TRANSPARENT_KEY);
        break;
    case kspDoubleBuffer:
        fresh = std::make_unique<TteBitmap>(PaintWidth(), PaintHeight());
        target = fresh.get();
        break;
    default:
        if (Surface_.Width() != PaintWidth() || Surface_.Height() != PaintHeight())
            Surface_.SetSize(PaintWidth(), PaintHeight());
        target = &Surface_;
        break;
    }
    PaintOnto(*target);
    // Children (graphic controls included) are widgets of their own: Qt
    // paints them over this picture.
    target->ShowOn(painter, 0, 0, area);
}

void TTeControl::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    DoMouseEnter();
}

void TTeControl::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    DoMouseLeave();
}

void TTeControl::focusInEvent(QFocusEvent *event)
{
    DoFocusEnter();
    QWidget::focusInEvent(event);
}

void TTeControl::focusOutEvent(QFocusEvent *event)
{
    DoFocusExit();
    QWidget::focusOutEvent(event);
}

void TTeControl::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    InFocus = false;
}

void TTeControl::DoMouseEnter()
{
    MouseInControl = true;
    if (OnMouseEnter)
        OnMouseEnter();
}

void TTeControl::DoMouseLeave()
{
    MouseInControl = false;
    if (OnMouseLeave)
        OnMouseLeave();
}

void TTeControl::DoFocusEnter()
{
    InFocus = true;
    update();
}

void TTeControl::DoFocusExit()
{
    InFocus = false;
    update();
}

bool TTeControl::event(QEvent *e)
{
    if (e->type() == TteMessageEvent::EventType()) {
        auto *message = static_cast<TteMessageEvent *>(e);
        if (message->Message == WM_ERASEBKGND) {
            // A child's painter asks for this control's frame and background
            // in its own canvas; the platform's own erase (no target) draws nothing.
            if (message->WParam && message->LParam)
                PaintFrameAndClient(*reinterpret_cast<TteCanvas *>(message->WParam));
            return true;
        }
    }
    return QWidget::event(e);
}

// ---- TTeGraphicControl

TTeGraphicControl::TTeGraphicControl(QWidget *parent) : QWidget(parent)
{
    InstallSkinAccessibility();
    setGeometry(0, 0, 100, 30);
    setAutoFillBackground(false); // the parent shows where the control does not paint
}

void TTeGraphicControl::PaintControl(TteCanvas &canvas)
{
    canvas.FillRect(QRect(0, 0, width(), height()), ToQColor(Color));
}

void TTeGraphicControl::paintEvent(QPaintEvent *)
{
    if (width() <= 0 || height() <= 0 || PaintingParent)
        return;
    ++PaintCount;
    // The control paints on a picture of its parent's surface: what it does
    // not paint shows the parent.
    TteBitmap picture(width(), height());
    picture.Fill(ToQColor(Color).rgba());
    DrawParentBackground(*this, picture.Canvas());
    WorkingFont = font();
    PaintControl(picture.Canvas());
    QPainter painter(this);
    picture.ShowOn(painter, 0, 0);
}

void TTeGraphicControl::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    DoMouseEnter();
}

void TTeGraphicControl::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    DoMouseLeave();
}

void TTeGraphicControl::DoMouseEnter()
{
    MouseInControl = true;
    if (OnMouseEnter)
        OnMouseEnter();
}

void TTeGraphicControl::DoMouseLeave()
{
    MouseInControl = false;
    if (OnMouseLeave)
        OnMouseLeave();
}

bool TTeGraphicControl::event(QEvent *e)
{
    const bool handled = QWidget::event(e);
    if (e->type() == TteMessageEvent::EventType()) {
        auto *message = static_cast<TteMessageEvent *>(e);
        if (message->Message == WM_TEPAINTINGPARENT)
            PaintingParent = message->WParam >= 1;
        return true;
    }
    return handled;
}

// ---- Theme binding

TteThemeBinding::TteThemeBinding(QWidget &owner, std::function<void()> repaint)
    : Owner(owner), Repaint(std::move(repaint))
{
    TteThemeManager::Instance().AddThemeClient(&Owner);
}

TteThemeBinding::~TteThemeBinding()
{
    QObject::disconnect(LinkWatch);
    TteThemeManager::Instance().RemoveThemeClient(&Owner);
}

void TteThemeBinding::SetThemeObject(const std::string &object)
{
    if (object == ThemeObject_)
        return;
    ThemeObject_ = object;
    ApplyThemeBounds(Owner, ThemeLink_, ThemeObject_, true);
}

void TteThemeBinding::SetThemeLink(TteCustomThemeLink *link)
{
    if (link == ThemeLink_)
        return;
    QObject::disconnect(LinkWatch);
    ThemeLink_ = link;
    // A link that goes away is let go of.
    if (auto *object = dynamic_cast<QObject *>(link))
        LinkWatch = QObject::connect(object, &QObject::destroyed, &Owner, [this] { ThemeLink_ = nullptr; });
    ApplyThemeBounds(Owner, ThemeLink_, ThemeObject_, true);
}

void TteThemeBinding::Loaded() { ApplyThemeBounds(Owner, ThemeLink_, ThemeObject_, false); }

bool TteThemeBinding::HandleEvent(QEvent *event)
{
    if (event->type() != TteMessageEvent::EventType())
        return false;
    const auto *message = static_cast<TteMessageEvent *>(event);
    if (message->Message == WM_TETHEMECHANGE) {
        switch (message->WParam) {
        case 0:
        case 3:
            if (TteTheme *theme = Theme()) {
                const QRect bounds = theme->GetObjectBounds(ThemeObject_);
                if (bounds.width() > 0 && bounds.height() > 0)
                    Owner.setGeometry(bounds);
            }
            Repaint();
            break;
        case 4:
        case 5: Repaint(); break;
        default: break;
        }
        return true;
    }
    if (message->Message == WM_TETHEMELINKCHANGE) {
        if (ThemeLink_ && reinterpret_cast<TteCustomThemeLink *>(message->LParam) == ThemeLink_)
            ApplyThemeBounds(Owner, ThemeLink_, ThemeObject_, true);
        return true;
    }
    return false;
}

void ApplyThemeBounds(QWidget &control, const TteCustomThemeLink *link, const std::string &object, bool repaintIfNone)
{
    TteTheme *theme = GetControlTheme(link);
    const QRect bounds = theme ? theme->GetObjectBounds(object) : QRect();
    if (!theme || bounds.width() <= 0 || bounds.height() <= 0) {
        if (repaintIfNone)
            control.update();
        return;
    }
    long long l = bounds.left(), t = bounds.top(), r = l + bounds.width(), b = t + bounds.height();
    if (l == 10000) { // keep the left edge: the width is Right - 10000
        r = r - l + control.x();
        l = -1;
    }
    if (t == 10000) {
        b = b - t + control.y();
        t = -1;
    }
    if (l < 0)
        l = control.x();
    if (t < 0)
        t = control.y();
    if (r - l < 0)
        r = control.x() + control.width();
    if (b - t < 0)
        b = control.y() + control.height();
    control.setGeometry(int(l), int(t), int(r - l), int(b - t));
}

// ---- Parent backgrounds

namespace {

struct PainterEntry {
    const QMetaObject *Class;
    TteBackgroundPainter Painter;
};

std::vector<PainterEntry> &painters()
{
    static std::vector<PainterEntry> list = [] {
        std::vector<PainterEntry> initial;
        // A skinned control's parent paints its frame and background only.
        initial.push_back({&TTeControl::staticMetaObject, [](TteCanvas &canvas, const TteBackgroundRequest &r) {
                               TteMessageEvent erase(WM_ERASEBKGND, reinterpret_cast<intptr_t>(&canvas), 1);
                               QCoreApplication::sendEvent(r.Parent, &erase);
                           }});
        // Forms: the window's client background, from the theme when it has one.
        const TteBackgroundPainter form = [](TteCanvas &canvas, const TteBackgroundRequest &r) {
            if (TteTheme *theme = GetControlTheme(nullptr); theme && theme->SupportsWindow(WindowStandard, "default"))
                theme->PaintWindowClient(WindowStandard, canvas, "default", r.Bounds);
            else
                canvas.FillRect(r.Bounds, r.Parent->palette().color(QPalette::Window));
        };
        initial.push_back({&QMainWindow::staticMetaObject, form});
        initial.push_back({&QDialog::staticMetaObject, form});
        initial.push_back({&QGroupBox::staticMetaObject, [](TteCanvas &canvas, const TteBackgroundRequest &r) {
                               canvas.FillRect(r.Bounds, r.Parent->palette().color(QPalette::Window));
                           }});
        return initial;
    }();
    return list;
}

} // namespace

void RegisterBackgroundPainter(const QMetaObject &cls, TteBackgroundPainter painter)
{
    painters().push_back({&cls, std::move(painter)});
}

const TteBackgroundPainter *FindBackgroundPainter(const QWidget &parent)
{
    for (const QMetaObject *m = parent.metaObject(); m; m = m->superClass())
        for (const PainterEntry &entry : painters())
            if (entry.Class == m)
                return &entry.Painter;
    return nullptr;
}

void DrawParentBackground(QWidget &control, TteCanvas &canvas)
{
    QWidget *parent = control.parentWidget();
    if (!parent || control.width() <= 0 || control.height() <= 0 || control.property("teCopying").toBool())
        return;
    auto *graphic = qobject_cast<TTeGraphicControl *>(&control);
    if (graphic) {
        TteMessageEvent start(WM_TEPAINTINGPARENT, 1, 0);
        QCoreApplication::sendEvent(graphic, &start);
    }
    const QPoint savedOrigin = canvas.WindowOrigin();
    const std::optional<QRegion> savedClip = canvas.ClipRegion();
    const QPoint at = control.pos();
    canvas.SetWindowOrigin(savedOrigin + at); // the parent's coordinates land on the control's pixels
    control.setProperty("teCopying", true);
    if (const TteBackgroundPainter *painter = FindBackgroundPainter(*parent)) {
        (*painter)(canvas, TteBackgroundRequest{control.geometry(), &control, parent});
    } else {
        // The parent renders itself behind the control, its children left out.
        QImage view = canvas.Target().AsImage();
        QPainter p(&view);
        p.translate(-savedOrigin);
        parent->render(&p, QPoint(), QRegion(control.geometry()), QWidget::DrawWindowBackground);
    }
    control.setProperty("teCopying", false);
    canvas.SetWindowOrigin(savedOrigin);
    canvas.SetClipRegion(savedClip);
    if (graphic) {
        TteMessageEvent end(WM_TEPAINTINGPARENT, 0, 0);
        QCoreApplication::sendEvent(graphic, &end);
    }
}

} // namespace quillon
