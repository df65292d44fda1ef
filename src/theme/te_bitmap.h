#pragma once
// TteBitmap: the engine's 32-bit top-down bitmap. It owns its pixels
// (0xAARRGGBB, row 0 first); every theme image and every off-screen painting
// of the engine goes through it. Pixel work is done here; text and vector
// shapes go through its canvas (te_canvas.h).
//
// Errors a caller can act on: SetSize raises "Can't allocate the DIB handle"
// when the pixel memory cannot be had (or a side exceeds 16384 pixels).

#include "theme/te_pixels.h"

#include <QImage>
#include <QRect>
#include <QRegion>

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

class QPainter;

namespace quillon {

class TteCanvas;

// Plain copy, copy leaving the transparent key out, or alpha blend.
enum class TteDrawMode { Opaque, Key, Alpha };

class TteBitmap {
public:
    static constexpr int MaxSide = 16384;

    TteBitmap();
    TteBitmap(int width, int height);
    ~TteBitmap();
    TteBitmap(const TteBitmap &) = delete;
    TteBitmap &operator=(const TteBitmap &) = delete;

    uint32_t *Bits() { return Bits_.get(); }
    const uint32_t *Bits() const { return Bits_.get(); }
    int Width() const { return Width_; }
    int Height() const { return Height_; }
    QRect Rect() const { return QRect(0, 0, Width_, Height_); }
    uint32_t *Row(int y) { return Bits_.get() + size_t(y) * size_t(Width_); }
    const uint32_t *Row(int y) const { return Bits_.get() + size_t(y) * size_t(Width_); }

    std::string Name;
    bool HasAlpha = false;
    bool HasTransparentMarks = false;

    void SetSize(int width, int height);
    bool IsEmpty() const { return !Bits_; }

    void Assign(const TteBitmap &source);
    // A 32-bit image with alpha keeps it; any other image becomes opaque.
    void Assign(const QImage &image);
    QImage AssignTo() const;
    // A view of the pixels as an image (no copy); valid while the size stays.
    QImage AsImage();

    // The stream form: name (32-bit length and 8-bit characters), width,
    // height (0 or less: rows bottom-up), then the pixels.
    bool LoadFromStream(std::istream &in);
    void SaveToStream(std::ostream &out) const;

    void Fill(uint32_t value);
    void FillRect(QRect rect, uint32_t value);
    void SetAlpha(uint8_t alpha);
    void SetAlpha(uint8_t alpha, QRect rect);
    void UpdateAlphaFlag();
    void MarkTransparentColor(uint32_t colour);
    uint32_t Pixel(int x, int y) const;
    void SetPixel(int x, int y, uint32_t value);
    void ShiftHue(int delta);
    void ShiftBrightness(int delta);
    void FlipVertical();
    // The unmarked pixels as a region, moved by (x, y).
    QRegion CreateRegion(int x, int y) const;

    // How a bitmap is drawn when the caller does not say: as its flags say.
    TteDrawMode DrawMode() const
    {
        return HasAlpha ? TteDrawMode::Alpha : HasTransparentMarks ? TteDrawMode::Key : TteDrawMode::Opaque;
    }

    // Bitmap to bitmap: D clipped to the target, S to this bitmap; scaled by
    // nearest neighbour when the sizes differ. Without a mode, the flags
    // choose: alpha blend, key copy or plain copy.
    void DrawOnBitmap(TteBitmap &target, QRect dest, QRect source) const
    {
        DrawOnBitmap(target, dest, source, target.Rect());
    }
    // Only the part of D inside clip (target coordinates) is drawn.
    void DrawOnBitmap(TteBitmap &target, QRect dest, QRect source, QRect clip) const
    {
        DrawOnBitmap(target, dest, source, clip, DrawMode());
    }
    void DrawOnBitmap(TteBitmap &target, QRect dest, QRect source, QRect clip, TteDrawMode mode) const;
    void DrawOnBitmap(TteBitmap &target, int x, int y) const
    {
        DrawOnBitmap(target, QRect(x, y, Width_, Height_), Rect());
    }
    // On a canvas: D is moved by the canvas's window origin first.
    void Draw(TteCanvas &canvas, int x, int y) const;
    void Draw(TteCanvas &canvas, int x, int y, QRect source) const;
    void Draw(TteCanvas &canvas, QRect dest, QRect source) const { Draw(canvas, dest, source, DrawMode()); }
    void Draw(TteCanvas &canvas, QRect dest, QRect source, TteDrawMode mode) const;
    void TileDraw(TteCanvas &canvas, QRect dest, QRect source) const { TileDraw(canvas, dest, source, DrawMode()); }
    void TileDraw(TteCanvas &canvas, QRect dest, QRect source, TteDrawMode mode) const;
    void TileDraw(TteBitmap &target, QRect dest, QRect source) const
    {
        TileDraw(target, dest, source, target.Rect(), DrawMode());
    }
    void TileDraw(TteBitmap &target, QRect dest, QRect source, QRect clip, TteDrawMode mode) const;
    // A widget shows a bitmap with one image draw; a bitmap without alpha
    // shows opaque, whatever its alpha bytes hold.
    void ShowOn(QPainter &painter, int x, int y) const { ShowOn(painter, x, y, Rect()); }
    // Only the part source of the bitmap.
    void ShowOn(QPainter &painter, int x, int y, QRect source) const;

    TteCanvas &Canvas();

private:
    void Release();

    struct FreeBits {
        void operator()(uint32_t *p) const;
    };
    std::unique_ptr<uint32_t, FreeBits> Bits_;
    int Width_ = 0, Height_ = 0;
    std::unique_ptr<TteCanvas> Canvas_;
};

// The process-wide registry of sized bitmaps.
bool IsLiveBitmap(const TteBitmap *bitmap);
size_t LiveBitmapCount();

// Nearest-neighbour index of destination i among n source items for a
// destination of m items: round(i x (n - 1) / (m - 1)), ties to even; the
// middle item when m < 2.
int ScaledIndex(int i, int sourceCount, int destCount);

} // namespace quillon
