#include "skin/te_extctrls.h"

#include "platform/quillon_error.h"
#include "skin/te_forms.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QMouseEvent>

#include <algorithm>

#include <cmath>

namespace quillon {

TTeProgressBar::TTeProgressBar(QWidget *parent) : TTeControl(parent)
{
    resize(140, 16);
    Performance = kspDoubleBuffer;
}

float TTeProgressBar::Fraction() const
{
    if (Min_ < 0 || Position_ < Min_ || Position_ > Max_ || Min_ == Max_)
        return 0.0f;
    return float(Position_ - Min_) / float(Max_ - Min_);
}

void TTeProgressBar::Changed(float before)
{
    if (Fraction() != before)
        repaint();
}

void TTeProgressBar::SetMin(int value)
{
    const float before = Fraction();
    Min_ = value;
    Changed(before);
}

void TTeProgressBar::SetMax(int value)
{
    const float before = Fraction();
    Max_ = value;
    Changed(before);
}

void TTeProgressBar::SetPosition(int value)
{
    if (value != Position_ && QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, value);
        QAccessible::updateAccessibility(&changed);
    }
    const float before = Fraction();
    Position_ = value;
    Changed(before);
}

QRect TTeProgressBar::BarArea() const
{
    QRect area(0, 0, PaintWidth(), PaintHeight());
    if (ShowBorder)
        area.adjust(2, 2, -2, -2);
    return area.adjusted(BorderWidth(), BorderWidth(), -BorderWidth(), -BorderWidth());
}

QRect TTeProgressBar::FilledRect() const
{
    const QRect area = BarArea();
    if (Orientation == kpoHorizontal)
        return QRect(area.left(), area.top(), int(std::lrint(Fraction() * area.width())), area.height());
    const int length = int(std::lrint(Fraction() * area.height()));
    return QRect(area.left(), area.top() + area.height() - length, area.width(), length);
}

bool TTeProgressBar::Skinned() const { return IsThemedProgressBar(0, Binding.ThemeObject(), Binding.ThemeLink()); }

void TTeProgressBar::PaintClient(TteCanvas &canvas)
{
    if (!Skinned()) {
        PaintClassic(canvas);
        return;
    }
    TteTheme *theme = Binding.Theme();
    const bool horizontal = Orientation == kpoHorizontal;
    // The theme's bar may have round corners: what lies behind shows there.
    DrawParentBackground(*this, canvas);
    theme->PaintProgressBar(0, canvas, Binding.ThemeObject(),
                            MakeElementInfo(QRect(0, 0, PaintWidth(), PaintHeight()), 0,
                                            horizontal ? ProgressFrameHorz : ProgressFrameVert));
    const QRect filled = FilledRect();
    if (filled.isEmpty())
        return;
    const TteProgressPart part = horizontal ? (Smooth ? ProgressSmoothHorz : ProgressBlocksHorz)
                                            : (Smooth ? ProgressSmoothVert : ProgressBlocksVert);
    theme->PaintProgressBar(0, canvas, Binding.ThemeObject(), MakeElementInfo(filled, 0, part));
}

void TTeProgressBar::PaintClassic(TteCanvas &canvas)
{
    QRect r(0, 0, PaintWidth(), PaintHeight());
    if (ShowBorder) {
        Frame3D(canvas, r, ToQColor(clBtnShadow), ToQColor(clBtnHighlight));
        r.adjust(1, 1, -1, -1);
    }
    canvas.FillRect(r, ToQColor(Color));
    const float f = Fraction();
    const QColor highlight = ToQColor(clHighlight);
    const QRect area = BarArea();
    if (Smooth) {
        canvas.FillRect(FilledRect(), highlight);
        return;
    }
    if (f < 0.01)
        return;
    const bool horizontal = Orientation == kpoHorizontal;
    const int thickness = horizontal ? area.height() : area.width();
    const int length = horizontal ? area.width() : area.height();
    const int block = std::max(1, int(std::lrint(0.64 * thickness)));
    const int whole = length / (block + 2);
    const int count = int(std::lrint(f * whole)) + 1;
    const std::optional<QRegion> saved = canvas.ClipRegion();
    canvas.SetClipRect(area);
    for (int i = 0; i < count; ++i) {
        const int at = i * (block + 2);
        canvas.FillRect(horizontal ? QRect(area.left() + at, area.top(), block, area.height())
                                   : QRect(area.left(), area.top() + area.height() - at - block, area.width(), block),
                        highlight);
    }
    canvas.SetClipRegion(saved);
}

// ---- The status bar

TTeStatusBar::TTeStatusBar(QWidget *parent) : TTeControl(parent)
{
    VisualStyleFrame = false;
    SetBevelInner(kbvSpace);
    SetBevelOuter(kbvRaised);
    SetBevelWidth(0);
    SetBorderWidth(2);
    resize(width(), 22);
    setMouseTracking(true);
}

bool TTeStatusBar::Skinned() const { return IsThemedStatusBar(0, "default", Binding.ThemeLink()); }

void TTeStatusBar::SetPanelControl(size_t index, QWidget *control)
{
    for (const QWidget *w = this; w; w = w->parentWidget())
        if (w == control)
            RaiseError("Can't insert own parent");
    for (TTeStatusPanel &other : Panels)
        if (other.Control == control)
            other.Control = nullptr;
    Panels.at(index).Control = control;
    if (control && control->parentWidget() != this)
        control->setParent(this);
    LayoutPanels();
}

QRect TTeStatusBar::InnerArea() const
{
    if (!Skinned())
        return GetInnerRect();
    return Binding.Theme()->GetStatusBarContentRect(0, "default",
                                                    MakeElementInfo(QRect(0, 0, PaintWidth(), PaintHeight())));
}

void TTeStatusBar::LayoutPanels()
{
    const QRect inner = InnerArea();
    const int room = inner.width();
    std::vector<TTeStatusPanel *> candidates;
    int sum = 0;
    for (TTeStatusPanel &p : Panels) {
        p.Shown = p.ViewPriority > 0;
        p.WorkingWidth = p.Width;
        if (p.Shown) {
            candidates.push_back(&p);
            sum += p.WorkingWidth;
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(), [](const TTeStatusPanel *a, const TTeStatusPanel *b) {
        return a->ViewPriority > b->ViewPriority;
    });
    // Too little room: the least wanted go, down to the one left or those of
    // priority 100 and more.
    while (sum > room && candidates.size() >= 2 && candidates.back()->ViewPriority < 100) {
        candidates.back()->Shown = false;
        sum -= candidates.back()->EffectiveWidth();
        candidates.pop_back();
    }
    // Room to spare: the most wanted stretch, each up to its MaxWidth.
    int free = room - sum;
    if (free > 0) {
        std::vector<TTeStatusPanel *> stretching;
        for (TTeStatusPanel *p : candidates)
            if (p->StretchPriority > 0)
                stretching.push_back(p);
        std::stable_sort(stretching.begin(), stretching.end(), [](const TTeStatusPanel *a, const TTeStatusPanel *b) {
            return a->StretchPriority > b->StretchPriority;
        });
        for (TTeStatusPanel *p : stretching) {
            if (free <= 0)
                break;
            p->WorkingWidth += free;
            free = std::max(0, p->WorkingWidth - p->MaxWidth);
        }
    }
    int x = 0;
    for (size_t i = 0; i < Panels.size(); ++i) {
        TTeStatusPanel &p = Panels[i];
        if (x >= room)
            p.Shown = false;
        const int left = inner.left() + x;
        int right = left;
        if (p.Shown) {
            right = left + p.EffectiveWidth();
            x += p.EffectiveWidth();
            if (p.StretchPriority > 0 && (i + 1 == Panels.size() || right - inner.left() >= room))
                right = inner.left() + inner.width();
        }
        p.Bounds = QRect(left, inner.top(), right - left, inner.height());
        if (p.Control) {
            QRect r = p.Bounds;
            if (p.Framed)
                r.adjust(1, 1, -3, -1);
            p.Control->setGeometry(r);
            p.Control->setVisible(p.Shown);
        }
    }
}

bool TTeStatusBar::SizeGripShown() const
{
    QWidget *form = window();
    if (!SizeGrip || !form || form->isMaximized())
        return false;
    const auto *frame = form->findChild<TTeForm *>();
    if (frame && frame->WindowState() == kwsMaximized)
        return false;
    // The bar's corner is the corner of the form's client area.
    const QPoint corner = mapTo(form, QPoint(width(), height()));
    const QRect client = frame ? frame->GetClientAreaRect() : form->rect();
    return corner == client.topLeft() + QPoint(client.width(), client.height());
}

QRect TTeStatusBar::SizeGripRect() const
{
    const QRect inner = InnerArea();
    return QRect(inner.left() + inner.width() - inner.height(), inner.top(), inner.height(), inner.height());
}

QFont TTeStatusBar::PanelFont(QColor &colour) const
{
    colour = palette().color(QPalette::WindowText);
    if (!Skinned())
        return font();
    return ThemeFontOf(*Binding.Theme(), isEnabled() ? 49 : 50, "default", colour);
}

QString TTeStatusBar::ShownText(size_t index) const
{
    const TTeStatusPanel &p = Panels.at(index);
    QColor colour;
    return QFontMetrics(PanelFont(colour)).elidedText(p.Text, p.ElideMode, std::max(0, p.Bounds.width() - 4));
}

void TTeStatusBar::PaintClient(TteCanvas &canvas)
{
    const QRect full(0, 0, PaintWidth(), PaintHeight());
    const bool skinned = Skinned();
    TteTheme *theme = Binding.Theme();
    if (skinned)
        theme->PaintStatusBar(0, canvas, "default", MakeElementInfo(full));
    else
        canvas.FillRect(GetInnerRect(), ToQColor(Color));
    QColor colour;
    const QFont font = PanelFont(colour);
    for (size_t i = 0; i < Panels.size(); ++i) {
        TTeStatusPanel &p = Panels[i];
        if (!p.Shown || p.Bounds.isEmpty())
            continue;
        const uint8_t kind = i + 1 == Panels.size() ? StatusPanelLast : StatusPanelNormal;
        if (skinned) {
            theme->PaintStatusPanel(0, canvas, "default", MakeElementInfo(p.Bounds, kind));
        } else {
            canvas.FillRect(p.Bounds, ToQColor(Color));
            if (p.Framed)
                Frame3D(canvas, p.Bounds, ToQColor(clBtnShadow), ToQColor(clBtnHighlight));
        }
        if (p.Style == psOwnerDraw) {
            if (OnDrawPanel)
                OnDrawPanel(*this, p, p.Bounds);
            continue;
        }
        QRect text = p.Bounds.adjusted(2, 0, -2, 0);
        if (p.ShowImage && Images && p.ImageIndex >= 0 && p.ImageIndex < int(Images->size())) {
            TteBitmap image;
            image.Assign((*Images)[size_t(p.ImageIndex)].convertToFormat(QImage::Format_ARGB32));
            image.MarkTransparentColor(0xFF00FF);
            const int y = p.Bounds.top() + (p.Bounds.height() - image.Height()) / 2;
            if (p.Layout == sglGlyphLeft) {
                image.Draw(canvas, p.Bounds.left() + p.Margin, y);
                text.setLeft(p.Bounds.left() + p.Margin + image.Width() + p.Spacing);
            } else {
                image.Draw(canvas, p.Bounds.left() + p.Bounds.width() - p.Margin - image.Width(), y);
                text.setRight(p.Bounds.right() - p.Margin - image.Width() - p.Spacing);
            }
        }
        canvas.Font = font;
        const QString shown = ShownText(i);
        const unsigned align = TextAlignFlags(p.Alignment);
        if (skinned) {
            canvas.FontColor = colour;
            theme->PaintStatusPanelText(0, canvas, "default",
                                        MakeTextInfo(text, shown, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX),
                                        MakeElementInfo(p.Bounds, kind));
        } else {
            canvas.DrawText(shown, text, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, colour);
        }
    }
    if (SizeGripShown()) {
        if (skinned)
            theme->PaintStatusPanel(0, canvas, "default", MakeElementInfo(SizeGripRect(), StatusSizeGrip));
        else
            theme ? theme->PaintSizeGrip(0, canvas, "default", TteGripInfo{SizeGripRect(), true})
                  : TteTheme().PaintSizeGrip(0, canvas, "default", TteGripInfo{SizeGripRect(), true});
    }
}

bool TTeStatusBar::event(QEvent *e)
{
    if (Binding.HandleEvent(e))
        return true;
    return TTeControl::event(e);
}

void TTeStatusBar::resizeEvent(QResizeEvent *event)
{
    TTeControl::resizeEvent(event);
    LayoutPanels();
}

void TTeStatusBar::mouseMoveEvent(QMouseEvent *event)
{
    setCursor(SizeGripShown() && SizeGripRect().contains(event->position().toPoint()) ? Qt::SizeFDiagCursor
                                                                                      : Qt::ArrowCursor);
    TTeControl::mouseMoveEvent(event);
}

void TTeStatusBar::mousePressEvent(QMouseEvent *event)
{
    // A press on the grip sizes the form by its bottom-right corner.
    if (event->button() == Qt::LeftButton && SizeGripShown() && SizeGripRect().contains(event->position().toPoint()))
        if (auto *frame = window()->findChild<TTeForm *>()) {
            frame->StartDrag(FrameBottomRight, event->globalPosition().toPoint());
            return;
        }
    TTeControl::mousePressEvent(event);
}

} // namespace quillon
