#pragma once
// TTeScrollBar: the engine's own scroll bar: two arrow buttons, a track and
// a thumb, mouse tracking with auto-repeat (the keyboard's delay and rate),
// paging until the thumb reaches the pointer, and OnScroll for every step.

#include "skin/te_controls.h"

#include <QPointer>
#include <QTimer>

class QAbstractScrollArea;
class QScrollBar;

namespace quillon {

enum TTeScrollOrientation : int { ksoHorizontal, ksoVertical };
// The scroll codes OnScroll reports.
enum TTeScrollCode : int {
    scLineUp = 0,
    scLineDown = 1,
    scPageUp = 2,
    scPageDown = 3,
    scPosition = 4,
    scTrack = 5,
    scTop = 6,
    scBottom = 7,
    scEndScroll = 8,
};

inline constexpr int ScrollThumbMetric = 17; // the 96-dpi thumb size

class TTeScrollBar : public TTeControl {
    Q_OBJECT
public:
    explicit TTeScrollBar(QWidget *parent = nullptr);

    int SmallChange = 1, LargeChange = 1;
    bool ShowButtons = true;
    std::function<void()> OnChange;
    // The handler may change the position it is given.
    std::function<void(TTeScrollCode code, int &position)> OnScroll;

    int Min() const { return Min_; }
    int Max() const { return Max_; }
    int PageSize() const { return PageSize_; }
    int Position() const { return Position_; }
    TTeScrollOrientation Orientation() const { return Orientation_; }
    void SetMin(int value);
    void SetMax(int value);
    void SetPageSize(int value);
    void SetPosition(int value);
    void SetOrientation(TTeScrollOrientation orientation);
    bool Skinned() const;

    // Geometry along the bar.
    int ButtonSize() const;
    QRect FirstButton() const;
    QRect SecondButton() const;
    QRect Track() const;
    int ThumbLength() const;
    QRect Thumb() const;
    int PositionForThumbStart(int start) const;
    QRect TrackBeforeThumb() const;
    QRect TrackAfterThumb() const;

    // The steps: each asks OnScroll and takes its answer.
    void LineUp();
    void LineDown();
    void PageUp();
    void PageDown();
    void Top();
    void Bottom();
    // Auto-repeat towards Min or Max, switched by a host (a list dragged beyond its edge).
    void SetAutoRepeat(bool towardsMin, bool on);

    // The keyboard's repeat: (delay + 1) x 200 ms first, then 1000 /
    // ((speed + 1) x 2.3) ms, with the steps nearest to the desktop's repeat
    // where the X server tells it, else the common defaults (1 and 31).
    static int InitialDelay();
    static int RepeatInterval();

    void PaintBorder(TteCanvas &) override {}
    void PaintClient(TteCanvas &canvas) override;

protected:
    bool event(QEvent *e) override { return Binding.HandleEvent(e) || TTeControl::event(e); }
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void DoMouseLeave() override;

private:
    int Range() const;
    int Along(QPoint p) const { return Orientation_ == ksoVertical ? p.y() : p.x(); }
    void Step(TTeScrollCode code, int position);
    bool UpdateHover(QPoint p);
    void Tick();

    int Min_ = 0, Max_ = 100, PageSize_ = 0, Position_ = 0;
    TTeScrollOrientation Orientation_ = ksoHorizontal;
    int Grab = -1;
    bool HoverThumb = false, HoverFirst = false, HoverSecond = false, HoverBefore = false, HoverAfter = false;
    bool PressedFirst = false, PressedSecond = false, PressedBefore = false, PressedAfter = false;
    bool RepeatToMin = false, RepeatToMax = false;
    QPoint LastPoint;
    QTimer *Repeat = nullptr;

public:
    // Last of all: a current theme answers the registration at once.
    TteThemeBinding Binding{*this, [this] { update(); }};
};

// An engine scroll bar laid exactly over one of a view's own scroll bars:
// it shows and hides with it, mirrors its range, page and position, and
// turns the user's actions back into the view's scrolling. It is a child of
// the view, so it moves with it.
class TTeInplaceScrollBar : public QWidget {
    Q_OBJECT
public:
    TTeInplaceScrollBar(QAbstractScrollArea &host, Qt::Orientation orientation);

    TTeScrollBar &Bar() { return *Inner; }
    QScrollBar *Native() const;
    bool SyncPosition = true;
    std::function<void()> OnScrolled; // after every scroll made through this bar

    // Place, visibility, range, page and position from the native bar.
    void Synchronize();
    // The same once the events now waiting are handled: what the view's
    // layout sends may come while it paints.
    void ScheduleSynchronize();
    // The view is going: the bar follows it no more.
    void Detach();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Scroll(TTeScrollCode code, int &position);
    void MirrorValues(); // range, page and position


    QAbstractScrollArea &Host;
    Qt::Orientation Orientation;
    TTeScrollBar *Inner;
    bool Detached = false, SyncPending = false;
};

// The pair of in-place bars of one view, vertical and horizontal.
class TTeSubScrollBar {
public:
    explicit TTeSubScrollBar(QAbstractScrollArea &host);
    TTeInplaceScrollBar *Vertical, *Horizontal;
    void ScheduleSynchronize();
    void Detach();
};

} // namespace quillon
