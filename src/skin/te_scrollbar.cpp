#include "skin/te_scrollbar.h"

#include "skin/keyboard_repeat.h"

#include <QAbstractScrollArea>
#include <QProxyStyle>
#include <QScrollBar>

#include <QMouseEvent>

#include <cmath>

namespace quillon {

namespace {
int roundEven(double v) { return int(std::lrint(v)); }
} // namespace

TTeScrollBar::TTeScrollBar(QWidget *parent) : TTeControl(parent)
{
    Performance = kspDoubleBuffer;
    resize(121, ScrollThumbMetric + 2 * BorderWidth());
    setMouseTracking(true);
}

bool TTeScrollBar::Skinned() const { return IsThemedScrollBar(0, Binding.ThemeObject(), Binding.ThemeLink()); }

void TTeScrollBar::SetMin(int value)
{
    Min_ = std::min(value, Max_);
    Position_ = std::max(Position_, Min_);
    PageSize_ = std::min(PageSize_, Max_ - Min_ + 1);
    update();
}

void TTeScrollBar::SetMax(int value)
{
    Max_ = std::max(value, Min_);
    Position_ = std::min(Position_, Max_);
    PageSize_ = std::min(PageSize_, Max_ - Min_ + 1);
    update();
}

void TTeScrollBar::SetPageSize(int value)
{
    if (value < 0)
        return; // ignored
    PageSize_ = std::min(value, Max_ - Min_ + 1);
    update();
}

void TTeScrollBar::SetPosition(int value)
{
    value = std::clamp(value, Min_, Max_);
    if (value == Position_)
        return;
    Position_ = value;
    update();
    if (OnChange)
        OnChange();
}

void TTeScrollBar::SetOrientation(TTeScrollOrientation orientation)
{
    Orientation_ = orientation;
    update();
}

int TTeScrollBar::ButtonSize() const
{
    const int length = (Orientation_ == ksoVertical ? height() : width()) - 2 * BorderWidth();
    return length < 2 * ScrollThumbMetric ? length / 2 : ScrollThumbMetric;
}

QRect TTeScrollBar::FirstButton() const
{
    const int b = BorderWidth(), size = ButtonSize();
    return Orientation_ == ksoVertical ? QRect(b, b, width() - 2 * b, size) : QRect(b, b, size, height() - 2 * b);
}

QRect TTeScrollBar::SecondButton() const
{
    const int b = BorderWidth(), size = ButtonSize();
    return Orientation_ == ksoVertical ? QRect(b, height() - b - size, width() - 2 * b, size)
                                       : QRect(width() - b - size, b, size, height() - 2 * b);
}

QRect TTeScrollBar::Track() const
{
    const int b = BorderWidth(), skip = ShowButtons ? ButtonSize() : 0;
    return Orientation_ == ksoVertical ? QRect(b, b + skip, width() - 2 * b, height() - 2 * b - 2 * skip)
                                       : QRect(b + skip, b, width() - 2 * b - 2 * skip, height() - 2 * b);
}

int TTeScrollBar::Range() const { return Max_ - Min_ - PageSize_ + (PageSize_ > 0 ? 1 : 0); }

int TTeScrollBar::ThumbLength() const
{
    const QRect track = Track();
    const int trackLength = Orientation_ == ksoVertical ? track.height() : track.width();
    int length = ScrollThumbMetric;
    if (PageSize_ > 0)
        length =
            std::max(roundEven(double(trackLength) * PageSize_ / double(Max_ - Min_ + 1)), (ScrollThumbMetric / 3) * 2);
    return length >= trackLength ? 0 : length;
}

QRect TTeScrollBar::Thumb() const
{
    const QRect track = Track();
    const int length = ThumbLength();
    if (length == 0)
        return {};
    const int start = Orientation_ == ksoVertical ? track.top() : track.left();
    const int trackLength = Orientation_ == ksoVertical ? track.height() : track.width();
    int at = start;
    if (Range() >= 1) {
        if (Position_ > Max_ - PageSize_ + 1)
            at = start + trackLength - length;
        else
            at = start + roundEven(double(Position_ - Min_) * (trackLength - length) / Range());
    }
    return Orientation_ == ksoVertical ? QRect(track.left(), at, track.width(), length)
                                       : QRect(at, track.top(), length, track.height());
}

int TTeScrollBar::PositionForThumbStart(int s) const
{
    const QRect track = Track();
    const int start = Orientation_ == ksoVertical ? track.top() : track.left();
    const int trackLength = Orientation_ == ksoVertical ? track.height() : track.width();
    const int length = ThumbLength();
    int position = 0;
    if (trackLength != length && Range() >= 1)
        position = Min_ + roundEven(double(Range()) * (s - start) / double(trackLength - length));
    return std::clamp(position, Min_, std::max(Min_, Max_ - PageSize_ + 1));
}

QRect TTeScrollBar::TrackBeforeThumb() const
{
    const QRect track = Track(), thumb = Thumb();
    if (thumb.isEmpty())
        return {};
    return Orientation_ == ksoVertical ? QRect(track.left(), track.top(), track.width(), thumb.top() - track.top())
                                       : QRect(track.left(), track.top(), thumb.left() - track.left(), track.height());
}

QRect TTeScrollBar::TrackAfterThumb() const
{
    const QRect track = Track(), thumb = Thumb();
    if (thumb.isEmpty())
        return {};
    return Orientation_ == ksoVertical
               ? QRect(track.left(), thumb.bottom() + 1, track.width(), track.bottom() - thumb.bottom())
               : QRect(thumb.right() + 1, track.top(), track.right() - thumb.right(), track.height());
}

void TTeScrollBar::Step(TTeScrollCode code, int position)
{
    position = std::clamp(position, Min_, Max_);
    if (OnScroll)
        OnScroll(code, position);
    SetPosition(position);
}

void TTeScrollBar::LineUp()
{
    Step(scLineUp, Position_ - SmallChange);
    if (RepeatToMin && Position_ <= Min_)
        SetAutoRepeat(true, false);
}

void TTeScrollBar::LineDown()
{
    Step(scLineDown, Position_ + SmallChange);
    if (RepeatToMax && Position_ >= Max_)
        SetAutoRepeat(false, false);
}

void TTeScrollBar::PageUp() { Step(scPageUp, Position_ - (PageSize_ < 1 ? LargeChange : PageSize_)); }
void TTeScrollBar::PageDown() { Step(scPageDown, Position_ + (PageSize_ < 1 ? LargeChange : PageSize_)); }
void TTeScrollBar::Top() { Step(scTop, Min_); }
void TTeScrollBar::Bottom() { Step(scBottom, Max_); }

int TTeScrollBar::InitialDelay()
{
    // The keyboard's delay setting, 0 (shortest) to 3; 1 is the common default.
    const auto desktop = DesktopKeyboardRepeat();
    const int delay = desktop ? KeyboardDelayStep(desktop->DelayMs) : 1;
    return (delay + 1) * 200;
}

int TTeScrollBar::RepeatInterval()
{
    // The keyboard's speed setting, 0 to 31; 31 is the common default.
    const auto desktop = DesktopKeyboardRepeat();
    const int speed = desktop ? KeyboardSpeedStep(desktop->IntervalMs) : 31;
    return int(std::lrint(1000.0 / ((speed + 1) * 2.3)));
}

void TTeScrollBar::SetAutoRepeat(bool towardsMin, bool on)
{
    if (!Repeat) {
        Repeat = new QTimer(this);
        connect(Repeat, &QTimer::timeout, this, [this] { Tick(); });
    }
    RepeatToMin = towardsMin && on;
    RepeatToMax = !towardsMin && on;
    if (on)
        Repeat->start(RepeatInterval());
    else
        Repeat->stop();
}

void TTeScrollBar::Tick()
{
    Repeat->setInterval(RepeatInterval());
    if ((PressedFirst && HoverFirst) || RepeatToMin) {
        LineUp();
        return;
    }
    if ((PressedSecond && HoverSecond) || RepeatToMax) {
        LineDown();
        return;
    }
    // Paging stops by itself once the thumb has reached the pointer.
    const bool before = TrackBeforeThumb().contains(LastPoint), after = TrackAfterThumb().contains(LastPoint);
    if (before != HoverBefore || after != HoverAfter)
        update();
    HoverBefore = before;
    HoverAfter = after;
    if (PressedBefore && HoverBefore)
        PageUp();
    else if (PressedAfter && HoverAfter)
        PageDown();
}

bool TTeScrollBar::UpdateHover(QPoint p)
{
    const bool thumb = Thumb().contains(p), first = ShowButtons && FirstButton().contains(p),
               second = ShowButtons && SecondButton().contains(p), before = TrackBeforeThumb().contains(p),
               after = TrackAfterThumb().contains(p);
    const bool changed = thumb != HoverThumb || first != HoverFirst || second != HoverSecond || before != HoverBefore ||
                         after != HoverAfter;
    HoverThumb = thumb, HoverFirst = first, HoverSecond = second, HoverBefore = before, HoverAfter = after;
    return changed;
}

void TTeScrollBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    const QPoint p = event->position().toPoint();
    LastPoint = p;
    UpdateHover(p);
    if (HoverThumb) {
        Grab = Along(p) - Along(Thumb().topLeft());
        Step(scTrack, Position_);
    }
    PressedFirst = HoverFirst;
    PressedSecond = HoverSecond;
    PressedBefore = HoverBefore;
    PressedAfter = HoverAfter;
    if (PressedFirst || PressedSecond || PressedBefore || PressedAfter) {
        repaint();
        if (!Repeat) {
            Repeat = new QTimer(this);
            connect(Repeat, &QTimer::timeout, this, [this] { Tick(); });
        }
        Tick(); // one step at once, then the keyboard's delay
        Repeat->start(InitialDelay());
    }
}

void TTeScrollBar::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    LastPoint = p;
    if (Grab >= 0) {
        const QRect track = Track();
        const int first = Along(track.topLeft()),
                  last = first + (Orientation_ == ksoVertical ? track.height() : track.width()) - ThumbLength();
        const int start = std::clamp(Along(p) - Grab, first, last);
        int position = PositionForThumbStart(start);
        const int computed = position;
        if (OnScroll)
            OnScroll(scTrack, position); // the handler is heard; the pointer decides
        SetPosition(computed);
    }
    if (UpdateHover(p))
        update();
}

void TTeScrollBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (Grab >= 0)
        Step(scPosition, Position_);
    Grab = -1;
    PressedFirst = PressedSecond = PressedBefore = PressedAfter = false;
    if (Repeat)
        Repeat->stop();
    Step(scEndScroll, Position_);
    update();
}

void TTeScrollBar::DoMouseLeave()
{
    TTeControl::DoMouseLeave();
    const bool any = HoverThumb || HoverFirst || HoverSecond || HoverBefore || HoverAfter;
    HoverThumb = HoverFirst = HoverSecond = HoverBefore = HoverAfter = false;
    if (any)
        update();
}

void TTeScrollBar::PaintClient(TteCanvas &canvas)
{
    const bool vertical = Orientation_ == ksoVertical, enabled = isEnabled();
    const auto state = [&](bool pressed, bool hover) {
        return !enabled ? ScrollDisabled : pressed ? ScrollPressed : hover ? ScrollHot : ScrollNormal;
    };
    if (Skinned()) {
        TteTheme *theme = Binding.Theme();
        const std::string &object = Binding.ThemeObject();
        if (ShowButtons) {
            theme->PaintScrollBarButton(0, canvas, object,
                                        MakeElementInfo(FirstButton(), 0,
                                                        MakeKindState(vertical ? ScrollArrowUp : ScrollArrowLeft,
                                                                      state(PressedFirst && HoverFirst, HoverFirst))));
            theme->PaintScrollBarButton(
                0, canvas, object,
                MakeElementInfo(SecondButton(), 0,
                                MakeKindState(vertical ? ScrollArrowDown : ScrollArrowRight,
                                              state(PressedSecond && HoverSecond, HoverSecond))));
        }
        theme->PaintScrollBarTrack(0, canvas, object,
                                   MakeElementInfo(Track(), 0, vertical ? ScrollTrackVert : ScrollTrackHorz));
        if (enabled && !Thumb().isEmpty())
            theme->PaintScrollBarButton(0, canvas, object,
                                        MakeElementInfo(Thumb(), 0,
                                                        MakeKindState(vertical ? ScrollThumbVert : ScrollThumbHorz,
                                                                      state(Grab >= 0, HoverThumb))));
        return;
    }
    // Classic: a dithered track, raised buttons, a raised thumb.
    // Pixel (x, y) of the track is the highlight where x + y is odd: one
    // 2 x 2 tile, its colours chosen by where the track starts.
    const QRect track = Track();
    const bool odd = (track.left() + track.top()) % 2 != 0;
    const QRgb scroll = ToQColor(clScrollBar).rgb(), light = ToQColor(clBtnHighlight).rgb();
    TteBitmap dither(2, 2);
    dither.Fill(odd ? light : scroll);
    dither.SetPixel(1, 0, odd ? scroll : light);
    dither.SetPixel(0, 1, odd ? scroll : light);
    dither.TileDraw(canvas, track, dither.Rect(), TteDrawMode::Opaque);
    const auto raised = [&](QRect r, bool pushed) {
        canvas.FillRect(r, ToQColor(clBtnFace));
        if (pushed)
            canvas.FrameRect(r, ToQColor(clBtnShadow));
        else
            Frame3D(canvas, r, ToQColor(cl3DLight), ToQColor(cl3DDkShadow));
    };
    if (ShowButtons) {
        raised(FirstButton(), PressedFirst && HoverFirst);
        raised(SecondButton(), PressedSecond && HoverSecond);
    }
    if (enabled && !Thumb().isEmpty())
        raised(Thumb(), Grab >= 0);
}

// ---- In-place bars

namespace {

// The view lays its viewport out by its own bar's size hint, which its
// style's scroll-bar extent gives: that is the engine's metric here, so
// that the engine bar covers the bar and nothing of the viewport.
class MetricStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_ScrollBarExtent)
            return ScrollThumbMetric;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

} // namespace

TTeInplaceScrollBar::TTeInplaceScrollBar(QAbstractScrollArea &host, Qt::Orientation orientation)
    : QWidget(&host), Host(host), Orientation(orientation), Inner(new TTeScrollBar(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    Inner->SetOrientation(orientation == Qt::Vertical ? ksoVertical : ksoHorizontal);
    Inner->SetBorderWidth(0);
    Inner->Performance = kspDoubleBuffer;
    Inner->OnScroll = [this](TTeScrollCode code, int &position) { Scroll(code, position); };
    QScrollBar *native = Native();
    auto *style = new MetricStyle;
    style->setParent(native);
    native->setStyle(style);
    native->installEventFilter(this);
    if (native->parentWidget())
        native->parentWidget()->installEventFilter(this); // the bar's container moves, not the bar
    // Range and position follow at once; place and visibility once the
    // view's layout has settled (the view may be in the middle of painting).
    connect(native, &QScrollBar::rangeChanged, this, [this] { MirrorValues(); });
    connect(native, &QScrollBar::valueChanged, this, [this] { MirrorValues(); });
    Synchronize();
}

QScrollBar *TTeInplaceScrollBar::Native() const
{
    return Orientation == Qt::Vertical ? Host.verticalScrollBar() : Host.horizontalScrollBar();
}

void TTeInplaceScrollBar::Detach()
{
    Detached = true;
    if (QScrollBar *native = Native()) {
        native->removeEventFilter(this);
        if (native->parentWidget())
            native->parentWidget()->removeEventFilter(this);
        native->disconnect(this);
    }
}

void TTeInplaceScrollBar::Synchronize()
{
    if (Detached)
        return;
    QScrollBar *native = Native();
    if (!native->isVisibleTo(&Host)) {
        hide();
        return;
    }
    QRect place(native->mapTo(&Host, QPoint(0, 0)), native->size());
    if (place.width() > 4000 || place.height() > 4000)
        place = QRect(place.topLeft(), QSize(1, 1));
    setGeometry(place);
    show();
    raise();
    Inner->setEnabled(Host.isEnabled() && native->isEnabled());
    MirrorValues();
}

void TTeInplaceScrollBar::MirrorValues()
{
    if (Detached)
        return;
    // The native range counts positions; the engine bar's counts the page
    // in, as the classic scroll information does: its last row is the last
    // position's last visible row, so the thumb reaches the track's end
    // exactly at the native maximum.
    const QScrollBar *native = Native();
    Inner->SetMin(native->minimum());
    Inner->SetMax(native->maximum() + native->pageStep() - 1);
    Inner->SetPageSize(native->pageStep());
    if (SyncPosition)
        Inner->SetPosition(native->value());
}

void TTeInplaceScrollBar::ScheduleSynchronize()
{
    if (SyncPending || Detached)
        return;
    SyncPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            SyncPending = false;
            Synchronize();
        },
        Qt::QueuedConnection);
}

void TTeInplaceScrollBar::Scroll(TTeScrollCode code, int &position)
{
    QScrollBar *native = Native();
    SyncPosition = false;
    switch (code) {
    case scLineUp: native->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case scLineDown: native->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    case scPageUp:
    case scPageDown:
    case scPosition:
    case scTrack:
    case scTop:
    case scBottom:
    case scEndScroll: native->setValue(position); break;
    }
    SyncPosition = true;
    position = native->value();
    if (OnScrolled)
        OnScrolled();
}

bool TTeInplaceScrollBar::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ZOrderChange:
    case QEvent::EnabledChange: ScheduleSynchronize(); break;
    default: break;
    }
    return false;
}

void TTeInplaceScrollBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Inner->setGeometry(rect());
}

TTeSubScrollBar::TTeSubScrollBar(QAbstractScrollArea &host)
    : Vertical(new TTeInplaceScrollBar(host, Qt::Vertical)), Horizontal(new TTeInplaceScrollBar(host, Qt::Horizontal))
{
}

void TTeSubScrollBar::Detach()
{
    Vertical->Detach();
    Horizontal->Detach();
}

void TTeSubScrollBar::ScheduleSynchronize()
{
    Vertical->ScheduleSynchronize();
    Horizontal->ScheduleSynchronize();
}

} // namespace quillon
