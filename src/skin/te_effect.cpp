#include "skin/te_effect.h"

#include "platform/text_case.h"
#include "theme/te_pixels.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <utility>

namespace quillon {

namespace {

const char *const KindPrefixes[3] = {"[ FADE ] - ", "[ SLIDE ] - ", "[ MANUAL ] - "};

std::deque<TteProcItem> &registry()
{
    // Lives as long as the process (effects may run to the end); a deque, so
    // that the entries running slots point at never move.
    static auto *list = new std::deque<TteProcItem>;
    return *list;
}

// The built-in effects come first, whoever registers or looks up first.
void ensureBuiltins()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    RegisterBuiltinEffects();
}

void add(TteProcItem item, const std::string &name)
{
    ensureBuiltins();
    std::deque<TteProcItem> &list = registry();
    for (const TteProcItem &known : list) {
        const bool sameProcedure = (item.Mask && item.Mask == known.Mask) || (item.Move && item.Move == known.Move) ||
                                   (item.Draw && item.Draw == known.Draw);
        if (SameTextIgnoringCase(known.PlainName(), name) || sameProcedure)
            throw EProcItemError("Effect procedute " + name + " already exists in list");
    }
    item.FullName = KindPrefixes[item.Kind] + name;
    list.push_back(std::move(item));
}

// The generator that picks random effects, seeded from the clock once.
std::mt19937 &randomEffects()
{
    static std::mt19937 generator(static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    return generator;
}

struct Slot {
    bool Running = false, Busy = false, Reserved = false;
    int Across = 0, Down = 0;
    double Elapsed = 0;
    TteAnimationRec Record;
    const TteProcItem *Effect = nullptr;
    bool BitmapAnimation = false;
    TteBitmap New, Old, Work;
    std::vector<uint8_t> Mask, Turned, Grey;
    std::vector<uint16_t> Table;
    TteEffectCanvas *Canvas = nullptr;
    QPoint At;
};

// Kept for the whole life of the process: slots hold bitmaps, and bitmaps
// must not outlive the bitmap registry at exit.
std::array<Slot, EffectSlotCount> &slotTable()
{
    static auto *table = new std::array<Slot, EffectSlotCount>;
    return *table;
}

QTimer &clock()
{
    static QTimer *timer = [] {
        auto *t = new QTimer(QCoreApplication::instance());
        t->setInterval(20);
        QObject::connect(t, &QTimer::timeout, [] { TickEffects(); });
        return t;
    }();
    return *timer;
}

void updateClock()
{
    if (!QCoreApplication::instance())
        return;
    const bool any = std::any_of(slotTable().begin(), slotTable().end(), [](const Slot &s) { return s.Running; });
    if (any && !clock().isActive())
        clock().start();
    else if (!any && clock().isActive())
        clock().stop();
}

bool validSlot(int slot) { return slot >= 0 && slot < EffectSlotCount; }

// Every pixel that is the transparent key becomes fully transparent.
void clearKeyAlpha(TteBitmap &b)
{
    Pixels().ClearAlphaOfColor(b.Bits(), TransparentKeyColor, size_t(b.Width()) * size_t(b.Height()));
}

// The mask of kind 0 written into the new picture's alpha, tile by tile:
// each pixel takes its nearest cell, the grid stretched over the tile.
void applyMask(Slot &s)
{
    const int tiles = s.Record.TileCount();
    const int w = s.New.Width(), h = s.New.Height();
    for (int ty = 0; ty < tiles; ++ty)
        for (int tx = 0; tx < tiles; ++tx) {
            const int left = w * tx / tiles, right = w * (tx + 1) / tiles;
            const int top = h * ty / tiles, bottom = h * (ty + 1) / tiles;
            for (int y = top; y < bottom; ++y) {
                const int cy = ScaledIndex(y - top, s.Down, bottom - top);
                uint32_t *row = s.New.Row(y);
                for (int x = left; x < right; ++x) {
                    const int cx = ScaledIndex(x - left, s.Across, right - left);
                    row[x] = (row[x] & 0x00FFFFFFu) | uint32_t(s.Mask[size_t(cy) * size_t(s.Across) + size_t(cx)])
                                                          << 24;
                }
            }
        }
}

// The move table of kind 1: cells of the new picture copied into the work
// picture, each blended with its opacity, never across a tile.
void applyTable(Slot &s)
{
    const int tiles = s.Record.TileCount(), res = s.Record.Resolution();
    const int w = s.New.Width(), h = s.New.Height();
    for (int ty = 0; ty < tiles; ++ty)
        for (int tx = 0; tx < tiles; ++tx) {
            const QRect tile(w * tx / tiles, h * ty / tiles, w * (tx + 1) / tiles - w * tx / tiles,
                             h * (ty + 1) / tiles - h * ty / tiles);
            for (int j = 0; j < s.Down; ++j)
                for (int i = 0; i < s.Across; ++i) {
                    const uint16_t *cell = &s.Table[3 * (size_t(j) * size_t(s.Across) + size_t(i))];
                    const uint32_t opacity = cell[0] & 0xFF;
                    if (opacity == 0)
                        continue;
                    const QRect to = QRect(tile.left() + i * res, tile.top() + j * res, res, res).intersected(tile);
                    const QPoint from(tile.left() + cell[1] * res, tile.top() + cell[2] * res);
                    for (int y = 0; y < to.height(); ++y)
                        for (int x = 0; x < to.width(); ++x) {
                            const QPoint src = from + QPoint(x, y);
                            if (!tile.contains(src))
                                continue;
                            const uint32_t p = s.New.Pixel(src.x(), src.y());
                            if ((p >> 24) == 0)
                                continue;
                            uint32_t &d = s.Work.Row(to.top() + y)[to.left() + x];
                            d = opacity == 255 ? (p | 0xFF000000u) : BlendPixel((p & 0x00FFFFFFu) | opacity << 24, d);
                        }
                }
        }
}

// The mask of one frame, turned by the record's rotation.
void maskFrame(Slot &s, int percent)
{
    std::fill(s.Mask.begin(), s.Mask.end(), 0);
    if (s.BitmapAnimation) {
        for (size_t i = 0; i < s.Mask.size(); ++i)
            s.Mask[i] = uint8_t(std::clamp(int(s.Grey[i]) + 510 * percent / 100 - 255, 0, 255));
        return;
    }
    const TteRotation r = s.Record.Rotation;
    if (r == krNone) {
        s.Effect->Mask(s.Mask.data(), s.Across, s.Down, percent);
        return;
    }
    const bool swapped = r == krRotate90 || r == krRotate270;
    const int across = swapped ? s.Down : s.Across, down = swapped ? s.Across : s.Down;
    std::fill(s.Turned.begin(), s.Turned.end(), 0);
    s.Effect->Mask(s.Turned.data(), across, down, percent);
    for (int y = 0; y < s.Down; ++y)
        for (int x = 0; x < s.Across; ++x) {
            int sx = x, sy = y; // the cell of the turned mask that lands on (x, y)
            switch (r) {
            case krRotate90: sx = y, sy = s.Across - 1 - x; break;
            case krRotate180: sx = s.Across - 1 - x, sy = s.Down - 1 - y; break;
            case krRotate270: sx = s.Down - 1 - y, sy = x; break;
            default: break;
            }
            s.Mask[size_t(y) * size_t(s.Across) + size_t(x)] = s.Turned[size_t(sy) * size_t(across) + size_t(sx)];
        }
}

void show(Slot &s)
{
    if (s.Canvas && s.Canvas->Alive())
        s.Canvas->ShowFrame(s.Work, s.At);
}

void composeFrame(Slot &s, int percent)
{
    Pixels().CopyPixels(s.Work.Bits(), s.Old.Bits(), size_t(s.Old.Width()) * size_t(s.Old.Height()));
    if (s.BitmapAnimation || s.Effect->Kind == EffectMask) {
        maskFrame(s, percent);
        // The last frame is the new picture whole: shapes drawn as outlines
        // (the circles) leave cells between them that would stay old.
        if (percent >= 100)
            std::fill(s.Mask.begin(), s.Mask.end(), uint8_t(255));
        applyMask(s);
        clearKeyAlpha(s.New);
        s.New.DrawOnBitmap(s.Work, s.Work.Rect(), s.New.Rect(), s.Work.Rect(), TteDrawMode::Alpha);
    } else if (s.Effect->Kind == EffectMove) {
        std::fill(s.Table.begin(), s.Table.end(), uint16_t(0));
        s.Effect->Move(s.Table.data(), s.Across, s.Down, percent);
        applyTable(s);
    } else {
        clearKeyAlpha(s.New);
        s.Effect->Draw(s.Work, s.New, s.Record, percent);
    }
}

void freeBuffers(Slot &s)
{
    s.Mask.clear();
    s.Turned.clear();
    s.Grey.clear();
    s.Table.clear();
    s.Work.SetSize(0, 0);
}

} // namespace

std::string TteProcItem::PlainName() const
{
    const std::string prefix = KindPrefixes[Kind];
    return FullName.compare(0, prefix.size(), prefix) == 0 ? FullName.substr(prefix.size()) : FullName;
}

void RegisterEffect(const std::string &name, TteMaskProc procedure)
{
    TteProcItem item;
    item.Kind = EffectMask;
    item.Mask = procedure;
    add(std::move(item), name);
}

void RegisterEffect(const std::string &name, TteMoveProc procedure)
{
    TteProcItem item;
    item.Kind = EffectMove;
    item.Move = procedure;
    add(std::move(item), name);
}

void RegisterEffect(const std::string &name, TteDrawProc procedure)
{
    TteProcItem item;
    item.Kind = EffectDraw;
    item.Draw = procedure;
    add(std::move(item), name);
}

const std::deque<TteProcItem> &RegisteredEffects()
{
    ensureBuiltins();
    return registry();
}

const TteProcItem *FindEffect(const std::string &name)
{
    const std::deque<TteProcItem> &list = RegisteredEffects();
    for (const TteProcItem &item : list)
        if (SameTextIgnoringCase(item.FullName, name))
            return &item;
    for (const TteProcItem &item : list)
        if (SameTextIgnoringCase(item.PlainName(), name))
            return &item;
    return nullptr;
}

std::vector<std::string> EffectNames()
{
    std::vector<std::string> names{RandomEffectName, BitmapEffectName};
    for (const TteProcItem &item : RegisteredEffects())
        names.push_back(item.FullName);
    return names;
}

TTeDirection TTeAnimation::Direction() const
{
    switch (Record.Rotation) {
    case krRotate90: return kdRotate90;
    case krRotate180: return kdRotate180;
    case krRotate270: return kdRotate270;
    default: return kdNone;
    }
}

void TTeAnimation::SetDirection(TTeDirection direction)
{
    switch (direction) {
    case kdRotate90: Record.Rotation = krRotate90; break;
    case kdRotate180: Record.Rotation = krRotate180; break;
    case kdRotate270: Record.Rotation = krRotate270; break;
    default: Record.Rotation = krNone; break;
    }
}

TteEffectCanvas::~TteEffectCanvas() { StopEffectsOn(this); }

void TteBitmapEffectCanvas::ShowFrame(const TteBitmap &frame, QPoint at)
{
    frame.DrawOnBitmap(Target, QRect(at, frame.Rect().size()), frame.Rect(), Target.Rect(), TteDrawMode::Opaque);
    ++FramesShown;
}

int EffectCells(int pixels, int resolution, int tiles) { return pixels / resolution / tiles + 1; }

int ReserveEffectSlot()
{
    for (int i = 0; i < EffectSlotCount; ++i) {
        Slot &s = slotTable()[size_t(i)];
        if (!s.Running && !s.Reserved) {
            s.Reserved = true;
            return i;
        }
    }
    return -1;
}

void ReleaseEffectSlot(int slot)
{
    if (validSlot(slot))
        slotTable()[size_t(slot)].Reserved = false;
}

int StartEffect(TteEffectCanvas *canvas, int x, int y, int slot, const TteAnimationRec &record,
                const TteBitmap &newPicture, const TteBitmap &oldPicture)
{
    if (slot == -1)
        for (int i = 0; i < EffectSlotCount && slot == -1; ++i)
            if (!slotTable()[size_t(i)].Running && !slotTable()[size_t(i)].Reserved)
                slot = i;
    if (!validSlot(slot))
        return -1;
    Slot &s = slotTable()[size_t(slot)];
    if (s.Running)
        StopEffect(slot, false);
    s.Record.Effect = record.Effect;
    s.Record.Enabled = record.Enabled;
    s.Record.Rotation = record.Rotation;
    s.Record.SetTime(record.Time());
    s.Record.SetResolution(record.Resolution());
    s.Record.SetTileCount(record.TileCount());
    s.Record.Bitmap.Assign(record.Bitmap);
    s.New.Assign(newPicture);
    s.Old.Assign(oldPicture);
    if (s.New.IsEmpty() || s.Old.IsEmpty())
        return slot;

    std::string name = record.Effect;
    if (SameTextIgnoringCase(name, RandomEffectName)) {
        const std::deque<TteProcItem> &list = RegisteredEffects();
        if (!list.empty())
            name = list[std::uniform_int_distribution<size_t>(0, list.size() - 1)(randomEffects())].FullName;
    }
    s.BitmapAnimation = SameTextIgnoringCase(name, BitmapEffectName);
    s.Effect = FindEffect(name);
    if (!s.BitmapAnimation && (!s.Effect || !s.Effect->HasProcedure()))
        return slot;

    // The new picture is drawn over the old one's area.
    if (s.New.Rect().size() != s.Old.Rect().size()) {
        TteBitmap sized(s.Old.Width(), s.Old.Height());
        sized.Fill(TE_TRANSPARENT_KEY);
        s.New.DrawOnBitmap(sized, s.New.Rect(), s.New.Rect(), sized.Rect(), TteDrawMode::Opaque);
        s.New.Assign(sized);
    }
    s.Work.SetSize(s.Old.Width(), s.Old.Height());
    s.Across = EffectCells(s.Old.Width(), s.Record.Resolution(), s.Record.TileCount());
    s.Down = EffectCells(s.Old.Height(), s.Record.Resolution(), s.Record.TileCount());
    const size_t cells = size_t(s.Across) * size_t(s.Down);
    if (s.BitmapAnimation) {
        s.Mask.assign(cells, 0);
        s.Grey.assign(cells, 0);
        if (!s.Record.Bitmap.IsEmpty()) {
            const bool turned = s.Record.Rotation == krRotate90 || s.Record.Rotation == krRotate270;
            TteBitmap grey(turned ? s.Down : s.Across, turned ? s.Across : s.Down);
            s.Record.Bitmap.DrawOnBitmap(grey, grey.Rect(), s.Record.Bitmap.Rect(), grey.Rect(), TteDrawMode::Opaque);
            for (int cy = 0; cy < s.Down; ++cy)
                for (int cx = 0; cx < s.Across; ++cx)
                    s.Grey[size_t(cy) * size_t(s.Across) + size_t(cx)] =
                        uint8_t(grey.Pixel(turned ? cy : cx, turned ? cx : cy) & 0xFF);
        }
    } else if (s.Effect->Kind == EffectMask) {
        s.Mask.assign(cells, 0);
        if (s.Record.Rotation != krNone)
            s.Turned.assign(cells, 0);
    } else if (s.Effect->Kind == EffectMove) {
        s.Table.assign(3 * cells, 0);
    }
    s.Elapsed = 0.01;
    s.Running = true;
    s.Busy = false;
    s.Canvas = canvas;
    s.At = QPoint(x, y);
    updateClock();
    return slot;
}

void StopEffect(int slot, bool drawFinal)
{
    if (!validSlot(slot))
        return;
    Slot &s = slotTable()[size_t(slot)];
    if (!s.Running || s.New.IsEmpty() || s.Old.IsEmpty())
        return;
    if (drawFinal && s.Canvas && s.Canvas->Alive() && !s.Work.IsEmpty()) {
        s.New.SetAlpha(255);
        clearKeyAlpha(s.New);
        s.New.DrawOnBitmap(s.Work, s.Work.Rect(), s.New.Rect(), s.Work.Rect(), TteDrawMode::Alpha);
        show(s);
    }
    freeBuffers(s);
    s.Running = false;
    s.Busy = false;
    TteEffectCanvas *canvas = std::exchange(s.Canvas, nullptr);
    if (canvas && canvas->Alive())
        canvas->EffectEnded();
    updateClock();
}

bool IsEffectRunning(int slot) { return validSlot(slot) && slotTable()[size_t(slot)].Running; }

double EffectElapsed(int slot) { return validSlot(slot) ? slotTable()[size_t(slot)].Elapsed : 0; }

void StopEffectsOn(const TteEffectCanvas *canvas)
{
    for (int i = 0; i < EffectSlotCount; ++i)
        if (slotTable()[size_t(i)].Running && slotTable()[size_t(i)].Canvas == canvas)
            StopEffect(i, false);
}

void RunEffect(TteEffectCanvas *canvas, int x, int y, const TteAnimationRec &record, const TteBitmap &newPicture,
               const TteBitmap &oldPicture)
{
    const int slot = StartEffect(canvas, x, y, -1, record, newPicture, oldPicture);
    while (IsEffectRunning(slot))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

namespace {
// What one reading of the stopwatch costs, in milliseconds, measured once:
// it is no part of the engine's work.
double stopwatchCost()
{
    static const double cost = [] {
        QElapsedTimer watch;
        watch.start();
        qint64 last = 0;
        for (int i = 0; i < 100; ++i)
            last = watch.nsecsElapsed();
        return double(last) / 100 / 1e6;
    }();
    return cost;
}
} // namespace

void TickEffects()
{
    const double readingCost = stopwatchCost();
    QElapsedTimer watch;
    watch.start();
    for (int i = 0; i < EffectSlotCount; ++i) {
        Slot &s = slotTable()[size_t(i)];
        if (!s.Running || s.New.IsEmpty() || s.Old.IsEmpty() || s.Work.IsEmpty())
            continue;
        s.Elapsed += 20;
        if (s.Busy)
            continue;
        s.Busy = true;
        int percent = int(std::lrint(s.Elapsed / s.Record.Time() * 100));
        if (percent > 99)
            percent = 100;
        composeFrame(s, percent);
        show(s);
        if (percent == 100) {
            freeBuffers(s);
            s.Running = false;
            TteEffectCanvas *canvas = std::exchange(s.Canvas, nullptr);
            if (canvas && canvas->Alive())
                canvas->EffectEnded();
        }
        s.Busy = false;
    }
    // The animation runs in steps of 20 ms plus the engine's own work.
    const double work = std::max(0.0, double(watch.nsecsElapsed()) / 1e6 - readingCost);
    for (Slot &s : slotTable())
        if (s.Running)
            s.Elapsed += work;
    updateClock();
}

} // namespace quillon
