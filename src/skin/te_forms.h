#pragma once
// The form frame: everything of a top-level window outside its client area.
// TTeDefaultForm holds the frame's rules that need no theme: the frame kind,
// the caption buttons and their hit codes, the answers to hit tests, the
// rectangles of the window states, moving and sizing with their limits,
// snapping to the work area, the window-state machine and the system menu.
// TTeForm answers the geometry from the theme's Window group whenever the
// theme supports it, and paints the frame through it.
//
// The frame works in window coordinates: (0, 0) is the window's top-left
// corner, the frame rectangle is (0, 0, frame width, frame height).

#include "skin/te_button.h"
#include "theme/te_theme.h"

#include <QApplication>
#include <QIcon>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

class TTeItem;

enum TTeBorderStyle : int { kbsNone, kbsBorder, kbsStandard, kbsDialog, kbsToolWindow };
enum TTeBorderIcon : unsigned {
    kbiClose = 1 << 0,
    kbiSystemMenu = 1 << 1,
    kbiMinimize = 1 << 2,
    kbiMaximize = 1 << 3,
    kbiHelp = 1 << 4,
    kbiRollup = 1 << 5,
    kbiTray = 1 << 6,
    kbiTop = 1 << 7,
    kbiCustom = 1 << 8,
};
using TTeBorderIcons = unsigned;
enum TTeWindowState : int { kwsNormal, kwsMaximized, kwsMinimized, kwsRollup, kwsTray };
enum TTeDragMode : int { kfdmBorder, kfdmFullDrag, kfdmSystemSettings };

struct TTeDragging {
    bool Moveable = true, Sizeable = true;
    TTeDragMode DragMode = kfdmFullDrag;
};

struct TTeGravitation {
    bool Enabled = true;
    int Size = 20; // 1..50
    bool SnapToForms = false, SnapToDesktop = true, OwnedForm = false;
};

// The frame's own hit codes.
enum TTeFrameHit : int {
    FrameClient = 0,
    FrameCaption = 1,
    FrameLeft = 2,
    FrameTop = 3,
    FrameRight = 4,
    FrameBottom = 5,
    FrameBorder = 6,
    FrameTopLeft = 7,
    FrameTopRight = 8,
    FrameBottomLeft = 9,
    FrameBottomRight = 10,
    FrameClose = 11,
    FrameHelp = 12,
    FrameMinimize = 13,
    FrameMaximize = 14,
    FrameRollup = 15,
    FrameTray = 16,
    FrameSystemMenu = 17,
    FrameNone = 18,
};

// What the window answers for a point: the platform's hit-test values.
enum TTeHitAnswer : int {
    HTCLIENT = 1,
    HTCAPTION = 2,
    HTSYSMENU = 3,
    HTMINBUTTON = 8,
    HTMAXBUTTON = 9,
    HTLEFT = 10,
    HTRIGHT = 11,
    HTTOP = 12,
    HTTOPLEFT = 13,
    HTTOPRIGHT = 14,
    HTBOTTOM = 15,
    HTBOTTOMLEFT = 16,
    HTBOTTOMRIGHT = 17,
    HTBORDER = 18,
    HTCLOSE = 20,
    HTHELP = 21,
};

// The window's answer for a frame hit code: borders and corners only when
// the window may be sized and is not maximized, the caption only when it may
// be moved.
TTeHitAnswer HitAnswerOf(int frameHit, const TTeDragging &dragging, bool maximized);

// A caption button: its theme button index and hit code, by border icon and
// window state (the minimize button shows restore when minimized, ...).
struct TTeCaptionButton {
    TTeBorderIcon Icon;
    uint8_t ThemeButton;
    int Hit;
};
TTeCaptionButton CaptionButtonOf(TTeBorderIcon icon, TTeWindowState state);
// The border icons in the order the frame paints them.
inline constexpr TTeBorderIcon PaintedBorderIcons[] = {kbiClose, kbiSystemMenu, kbiMinimize, kbiMaximize,
                                                       kbiHelp,  kbiRollup,     kbiTray};

// The theme's Kind for a border style.
uint8_t WindowKindOf(TTeBorderStyle style);

// Snapping to the work area: each edge of proposed within size of the work
// area's same edge lands on it (left before right, top before bottom).
QRect SnapToWorkArea(QRect proposed, QRect workArea, int size);

// One item of the system menu; "-" is a separator.
struct TTeSystemMenuItem {
    std::string Caption;
    std::string ShortCut;
    int ImageIndex = -1; // of the frame glyphs: 0 close, 1 minimize, 2 maximize, 3 restore, 4 roll-up, 5 tray
};
std::vector<TTeSystemMenuItem> SystemMenuItems(TTeWindowState state, TTeBorderIcons icons);

class TTeDefaultForm : public QObject {
    Q_OBJECT
public:
    // The frame of window; the program's icon stands in when it has none.
    explicit TTeDefaultForm(QWidget &window);

    TTeBorderStyle BorderStyle = kbsStandard;
    TTeBorderIcons BorderIcons = kbiClose | kbiSystemMenu | kbiMinimize | kbiMaximize | kbiRollup | kbiTray;
    TTeDragging Dragging;
    TTeGravitation Gravitation;
    bool MinimizeApplication = true;
    bool StayOnTop = false;
    bool DisabledNCArea = false;
    QString Caption;
    QSize MinConstraint, MaxConstraint; // 0: no constraint
    // Vetoes: answering false stops the change.
    std::function<bool()> OnClose, OnMinimize, OnMaximize, OnRollup, OnMinToTray;

    TTeWindowState WindowState() const { return State; }
    TTeWindowState PreviousState() const { return Previous; }
    QRect SavedBounds() const { return Saved; }
    bool Active = true; // the window is the active one (its caption shows it)

    // Geometry in window coordinates.
    int FrameWidth() const;
    int CaptionHeight() const;
    virtual QRect GetClientAreaRect() const;
    virtual QRect GetCaptionButtonRect(TTeBorderIcon icon) const;
    virtual int FrameHitTest(QPoint point) const;
    // Rectangles in screen coordinates.
    virtual QRect GetMaximizedRect() const;
    QRect GetMinimizedRect() const;
    QRect GetRolledUpRect() const;
    QSize GetMinTrackSize() const;
    QSize GetMaxTrackSize() const;

    // The window's state changes; each answers whether it happened.
    bool Maximize();
    bool Minimize();
    bool Rollup();
    bool MinimizeToTray();
    bool Restore();
    // Whether a tray is there to minimize into; without one, minimizing to
    // the tray minimizes.
    std::function<bool()> TrayAvailable;
    // Shows or removes the tray icon that stands for the hidden window.
    std::function<void(bool)> ShowTrayIcon;
    // Minimizes the window the platform's way, answering whether it could
    // (a window manager is needed); otherwise the window shrinks to
    // GetMinimizedRect.
    std::function<bool()> PlatformMinimize;

    // Moving and sizing: the bounds a drag of the frame hit code from the
    // anchor to point gives (screen coordinates), snapping applied.
    QRect DraggedBounds(int frameHit, QRect start, QPoint anchor, QPoint point) const;

protected:
    QWidget &Window;
    QRect WorkAreaOf(QRect r) const;

private:
    void Leave(TTeWindowState to);
    // The window's bounds; minimized and rolled up it may be smaller than
    // its minimum size, which holds again when it comes back.
    void SetBounds(QRect r);
    QSize HeldMinimum;
    bool MinimumHeld = false;
    bool PlatformMinimized = false;

    TTeWindowState State = kwsNormal, Previous = kwsNormal;
    QRect Saved;
};

// The frame skinned by the theme: its geometry, hit test, region and
// painting come from the theme's Window group whenever the theme (of the
// link, else the current one) supports it; otherwise the default frame's.
class TTeForm : public TTeDefaultForm {
    Q_OBJECT
public:
    explicit TTeForm(QWidget &window);
    ~TTeForm() override;

    TteThemeBinding Binding;
    QIcon Icon; // the system-menu icon; the application's when empty
    // The system menu's pictures: close, minimize, maximize, restore,
    // roll-up, tray (none when empty).
    const TTeImageList *MenuImages = nullptr;
    QIcon ShownIcon() const { return Icon.isNull() ? QApplication::windowIcon() : Icon; }

    bool Skinned() const;
    // What the theme is told of the window: its frame rectangle, whether it
    // is active, its caption and its present caption buttons.
    TteWindowInfo WindowInfo() const;
    // The state of a caption button, as the theme draws it.
    uint8_t ButtonState(TTeBorderIcon icon) const;
    int PressedHit = FrameNone, HoverHit = FrameNone;

    QRect GetClientAreaRect() const override;
    QRect GetCaptionButtonRect(TTeBorderIcon icon) const override;
    int FrameHitTest(QPoint point) const override;
    QRect GetMaximizedRect() const override;
    // The window's shape: the theme's region of the frame (rounded
    // corners), or the whole rectangle.
    QRegion BuildWindowRegion() const;
    // The frame (everything outside the client area) in window coordinates.
    void PaintFrame(TteCanvas &canvas) const;
    // The client background behind rect (window coordinates).
    void PaintClientBackground(TteCanvas &canvas, QRect rect) const;

    // Takes over the window's frame: with a theme that has the Window group
    // the window goes frameless, client is placed in the client area, and
    // the frame paints, hit-tests, moves, sizes and closes the window itself;
    // otherwise the windowing system's frame stays and client fills the
    // window.
    void Attach(QWidget &client);
    // After anything that changes the frame: the client keeps its size.
    void RecalcFrame();
    // The client in the client area, the window's shape from the frame.
    void PlaceClient();
    // The system menu at a point of the screen; the chosen item runs after
    // the menu has gone.
    void ShowSystemMenu(QPoint globalAt);
    // Runs a click on a caption button (its hit code).
    void Click(int hit);
    // Starts moving or sizing the window as a press on that part of the
    // frame would, from a point of the screen (a size grip does this).
    void StartDrag(int hit, QPoint globalAt);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TteTheme *Theme() const { return Binding.Theme(); }
    void PaintWindow();
    void UpdateHover(QPoint windowPoint);
    void Press(QMouseEvent *event);
    void Move(QMouseEvent *event);
    void Release(QMouseEvent *event);
    void DoubleClick(QMouseEvent *event);

    QWidget *Client = nullptr;
    QSystemTrayIcon *Tray = nullptr;
    std::unique_ptr<TTeItem> SystemMenu; // the last one shown
    bool SystemMenuShown = false;
    bool FrameOwned = false; // the window is frameless and this frame is its frame
    bool Dragging_ = false, Grabbed = false;
    QPoint Anchor;
    QRect DragStart;
    QTimer *HoverPoll = nullptr;
};

} // namespace quillon
