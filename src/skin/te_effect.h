#pragma once
// The effect engine: it animates the change from one picture to another. A
// registry of named effect procedures describes each frame's coverage (a
// mask of opacities, a table of moved cells, or a frame drawn directly); an
// animation record says which effect runs and how; 201 slots run at once on
// one shared 20 ms clock, and the engine composes every frame and shows it on
// the slot's canvas.
//
// Errors a caller can act on: RegisterEffect raises EProcItemError "Effect
// procedute NAME already exists in list" for a name or a procedure that is
// registered already. An effect that is not registered, a picture without
// pixels or a full slot table runs nothing.

#include "platform/quillon_error.h"
#include "theme/te_bitmap.h"

#include <QPoint>

#include <array>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace quillon {

class TteAnimationRec;

// What each kind of procedure is handed; percent is 0..100 and every
// procedure draws nothing at 0.
using TteMaskProc = void (*)(uint8_t *mask, int across, int down, int percent);
using TteMoveProc = void (*)(uint16_t *table, int across, int down, int percent);
using TteDrawProc = void (*)(TteBitmap &work, const TteBitmap &newPicture, const TteAnimationRec &record, int percent);

enum TteEffectKind : int { EffectMask = 0, EffectMove = 1, EffectDraw = 2 };

class EProcItemError : public QuillonError {
public:
    using QuillonError::QuillonError;
};

struct TteProcItem {
    int Kind = EffectMask;
    TteMaskProc Mask = nullptr;
    TteMoveProc Move = nullptr;
    TteDrawProc Draw = nullptr;
    std::string FullName; // the kind's prefix and the plain name: "[ FADE ] - FadeIn"
    std::string PlainName() const;
    bool HasProcedure() const { return Mask || Move || Draw; }
};

inline const std::string RandomEffectName = "[ RANDOM ] - Random selection";
inline const std::string BitmapEffectName = "[ BITMAP ] - Bitmap Animation";

void RegisterEffect(const std::string &name, TteMaskProc procedure);
void RegisterEffect(const std::string &name, TteMoveProc procedure);
void RegisterEffect(const std::string &name, TteDrawProc procedure);
// The entry whose full name, or else whose plain name, equals name (case
// does not matter); nothing otherwise.
const TteProcItem *FindEffect(const std::string &name);
// A deque: running slots point at their entry, and later registrations
// must not move it.
const std::deque<TteProcItem> &RegisteredEffects();
// The names offered for selection: the random and bitmap names, then every
// registered full name in order.
std::vector<std::string> EffectNames();

enum TteRotation : int { krNone, krRotate90, krRotate180, krRotate270 };

class TteAnimationRec {
public:
    std::string Effect = RandomEffectName;
    bool Enabled = false;
    TteRotation Rotation = krNone;
    TteBitmap Bitmap; // the grey-level wipe of the bitmap animation

    int Time() const { return Time_; }
    int Resolution() const { return Resolution_; }
    int TileCount() const { return TileCount_; }
    void SetTime(int ms) { Time_ = ms <= 50 ? 50 : ms > 9000 ? 9000 : ms; }
    void SetResolution(int pixels) { Resolution_ = pixels <= 0 ? 1 : pixels > 10 ? 10 : pixels; }
    void SetTileCount(int tiles) { TileCount_ = tiles <= 0 ? 1 : tiles > 20 ? 20 : tiles; }

private:
    int Time_ = 400;
    int Resolution_ = 1;
    int TileCount_ = 1;
};

// The published face of an animation record, as forms and controls carry it.
enum TTeDirection : int { kdNone, kdNoRotate, kdRotate90, kdRotate180, kdRotate270 };

class TTeAnimation {
public:
    TteAnimationRec Record;

    // kdNone and kdNoRotate both mean no rotation, which reads as kdNone.
    TTeDirection Direction() const;
    void SetDirection(TTeDirection direction);
    const std::string &EffectKind() const { return Record.Effect; }
    void SetEffectKind(const std::string &effect) { Record.Effect = effect; }
    // Only an effect other than the random default is written to a form.
    bool StoresEffectKind() const { return Record.Effect != RandomEffectName; }
};

// Where a running effect shows its frames: a control's surface, a bitmap.
class TteEffectCanvas {
public:
    // A canvas that goes stops the effects that show on it first: no frame
    // ever reaches a control that is gone.
    virtual ~TteEffectCanvas();
    // Whether frames can still be shown (a control that is gone cannot).
    virtual bool Alive() const { return true; }
    virtual void ShowFrame(const TteBitmap &frame, QPoint at) = 0;
    // The effect ended (its last frame, or stopped): the canvas shows its
    // own picture again.
    virtual void EffectEnded() {}
};

// An effect canvas that draws the frames on a bitmap.
class TteBitmapEffectCanvas : public TteEffectCanvas {
public:
    explicit TteBitmapEffectCanvas(TteBitmap &target) : Target(target) {}
    void ShowFrame(const TteBitmap &frame, QPoint at) override;
    int FramesShown = 0;

private:
    TteBitmap &Target;
};

inline constexpr int EffectSlotCount = 201;

// The first slot neither running nor reserved, now reserved; -1 when none.
int ReserveEffectSlot();
void ReleaseEffectSlot(int slot);
// Runs the record's effect in slot, or in the first free slot for -1, from
// oldPicture to newPicture (both copied); answers the slot used, -1 when none
// was free.
int StartEffect(TteEffectCanvas *canvas, int x, int y, int slot, const TteAnimationRec &record,
                const TteBitmap &newPicture, const TteBitmap &oldPicture);
// Ends a running slot; with drawFinal and a live canvas the new picture is
// shown first. Reserved slots stay reserved.
void StopEffect(int slot, bool drawFinal);
bool IsEffectRunning(int slot);
// StartEffect in a free slot, then events are processed until it stops.
void RunEffect(TteEffectCanvas *canvas, int x, int y, const TteAnimationRec &record, const TteBitmap &newPicture,
               const TteBitmap &oldPicture);
// Stops every slot that shows on canvas (a control going away).
void StopEffectsOn(const TteEffectCanvas *canvas);

// One tick of the 20 ms clock, as the timer runs it (also for tests).
void TickEffects();
// The percent the slot's next frame shows, for tests: its elapsed time over
// the record's time.
double EffectElapsed(int slot);

// The grid of one tile: (picture side / resolution / tiles) + 1 cells.
int EffectCells(int pixels, int resolution, int tiles);

// The built-in effects, registered once (the first registry use does it).
void RegisterBuiltinEffects();

} // namespace quillon
