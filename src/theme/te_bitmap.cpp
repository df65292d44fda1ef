#include "theme/te_bitmap.h"

#include "platform/quillon_error.h"
#include "theme/te_canvas.h"
#include "theme/te_colors.h"

#include <QPainter>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <ostream>
#include <set>
#include <vector>

namespace quillon {

namespace {

std::set<const TteBitmap *> &registry()
{
    static std::set<const TteBitmap *> live;
    return live;
}

} // namespace

bool IsLiveBitmap(const TteBitmap *bitmap) { return registry().count(bitmap) > 0; }
size_t LiveBitmapCount() { return registry().size(); }

int ScaledIndex(int i, int sourceCount, int destCount)
{
    if (destCount < 2)
        return sourceCount / 2;
    // round(i x (n - 1) / (m - 1)) in integers, ties to even.
    const long long num = static_cast<long long>(i) * (sourceCount - 1), den = destCount - 1;
    long long q = num / den;
    const long long twice = 2 * (num % den);
    if (twice > den || (twice == den && (q & 1)))
        ++q;
    return static_cast<int>(q);
}

void TteBitmap::FreeBits::operator()(uint32_t *p) const { std::free(p); }

TteBitmap::TteBitmap() = default;
TteBitmap::TteBitmap(int width, int height) { SetSize(width, height); }
TteBitmap::~TteBitmap() { Release(); }

void TteBitmap::Release()
{
    Canvas_.reset();
    Bits_.reset();
    Width_ = Height_ = 0;
    registry().erase(this);
}

void TteBitmap::SetSize(int width, int height)
{
    width = std::abs(width);
    height = std::abs(height);
    if (width == 0 || height == 0 || (width == Width_ && height == Height_))
        return;
    Release();
    if (width > MaxSide || height > MaxSide)
        RaiseError("Can't allocate the DIB handle");
    const size_t bytes = size_t(width) * size_t(height) * 4;
    void *memory = std::aligned_alloc(32, (bytes + 31) & ~size_t(31));
    if (!memory)
        RaiseError("Can't allocate the DIB handle");
    std::memset(memory, 0, bytes);
    Bits_.reset(static_cast<uint32_t *>(memory));
    Width_ = width;
    Height_ = height;
    registry().insert(this);
}

void TteBitmap::Assign(const TteBitmap &source)
{
    if (&source == this)
        return;
    if (source.IsEmpty()) {
        Release();
    } else {
        SetSize(source.Width_, source.Height_);
        std::memcpy(Bits(), source.Bits(), size_t(Width_) * size_t(Height_) * 4);
    }
    Name = source.Name;
    HasTransparentMarks = source.HasTransparentMarks;
    HasAlpha = source.HasAlpha;
}

void TteBitmap::Assign(const QImage &image)
{
    if (image.isNull()) {
        Release();
        return;
    }
    SetSize(image.width(), image.height());
    const bool keepsAlpha = image.format() == QImage::Format_ARGB32;
    const QImage converted = keepsAlpha ? image : image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < Height_; ++y)
        std::memcpy(Row(y), converted.constScanLine(y), size_t(Width_) * 4);
    if (keepsAlpha) {
        UpdateAlphaFlag();
    } else {
        SetAlpha(255);
        HasAlpha = false;
    }
}

QImage TteBitmap::AssignTo() const
{
    if (IsEmpty())
        return {};
    QImage image(Width_, Height_, QImage::Format_ARGB32);
    for (int y = 0; y < Height_; ++y)
        std::memcpy(image.scanLine(y), Row(y), size_t(Width_) * 4);
    return image;
}

QImage TteBitmap::AsImage()
{
    if (IsEmpty())
        return {};
    return QImage(reinterpret_cast<uchar *>(Bits()), Width_, Height_, Width_ * 4, QImage::Format_ARGB32);
}

namespace {
bool readExactly(std::istream &in, void *data, size_t n)
{
    in.read(static_cast<char *>(data), static_cast<std::streamsize>(n));
    return static_cast<size_t>(in.gcount()) == n;
}

// What is left to read, or a cap when the stream cannot tell.
size_t remainingBytes(std::istream &in)
{
    const auto here = in.tellg();
    if (here < 0)
        return size_t(64) << 20; // a stream that cannot seek: no more than 64 MiB
    in.seekg(0, std::ios::end);
    const auto end = in.tellg();
    in.seekg(here);
    return end >= here ? static_cast<size_t>(end - here) : 0;
}
} // namespace

bool TteBitmap::LoadFromStream(std::istream &in)
{
    uint32_t nameLength = 0;
    if (!readExactly(in, &nameLength, 4) || nameLength > remainingBytes(in))
        return false;
    std::string name(nameLength, '\0');
    int32_t width = 0, height = 0;
    if (!readExactly(in, name.data(), nameLength) || !readExactly(in, &width, 4) || !readExactly(in, &height, 4))
        return false;
    Name = name;
    const bool bottomUp = height <= 0;
    const long long w = std::llabs(width), h = std::llabs(static_cast<long long>(height));
    if (w < 1 || h < 1 || w > MaxSide || h > MaxSide)
        return false;
    const size_t bytes = size_t(w) * size_t(h) * 4;
    if (bytes > remainingBytes(in))
        return false;
    SetSize(static_cast<int>(w), static_cast<int>(h));
    if (!readExactly(in, Bits(), bytes))
        return false;
    if (bottomUp)
        FlipVertical();
    return true;
}

void TteBitmap::SaveToStream(std::ostream &out) const
{
    const uint32_t nameLength = static_cast<uint32_t>(Name.size());
    const int32_t width = Width_, height = Height_;
    out.write(reinterpret_cast<const char *>(&nameLength), 4);
    out.write(Name.data(), static_cast<std::streamsize>(Name.size()));
    out.write(reinterpret_cast<const char *>(&width), 4);
    out.write(reinterpret_cast<const char *>(&height), 4);
    if (!IsEmpty())
        out.write(reinterpret_cast<const char *>(Bits()), static_cast<std::streamsize>(size_t(Width_) * Height_ * 4));
}

void TteBitmap::Fill(uint32_t value)
{
    if (!IsEmpty())
        Pixels().FillPixels(Bits(), value, size_t(Width_) * size_t(Height_));
}

void TteBitmap::FillRect(QRect rect, uint32_t value)
{
    rect = rect.intersected(Rect());
    if (rect.isEmpty())
        return;
    if (HasAlpha) {
        std::vector<uint32_t> row(size_t(rect.width()), value);
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            Pixels().BlendPixels(Row(y) + rect.left(), row.data(), row.size());
    } else {
        FillPixelRect(Row(rect.top()) + rect.left(), size_t(Width_), rect.width(), rect.height(), value);
    }
}

void TteBitmap::SetAlpha(uint8_t alpha)
{
    if (!IsEmpty())
        Pixels().SetAlphaPixels(Bits(), alpha, size_t(Width_) * size_t(Height_));
}

void TteBitmap::SetAlpha(uint8_t alpha, QRect rect)
{
    rect = rect.intersected(Rect());
    if (!rect.isEmpty())
        SetAlphaPixelRect(Row(rect.top()) + rect.left(), size_t(Width_), rect.width(), rect.height(), alpha);
}

void TteBitmap::UpdateAlphaFlag()
{
    HasAlpha = false;
    const size_t count = size_t(Width_) * size_t(Height_);
    for (size_t i = 0; i < count && !HasAlpha; ++i) {
        const uint32_t a = Bits()[i] >> 24;
        HasAlpha = a != 0 && a != 255;
    }
}

void TteBitmap::MarkTransparentColor(uint32_t colour)
{
    HasTransparentMarks = false;
    const int cr = colour >> 16 & 0xFF, cg = colour >> 8 & 0xFF, cb = colour & 0xFF;
    const size_t count = size_t(Width_) * size_t(Height_);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = Bits()[i];
        if (std::abs(int(p >> 16 & 0xFF) - cr) < 6 && std::abs(int(p >> 8 & 0xFF) - cg) < 6 &&
            std::abs(int(p & 0xFF) - cb) < 6) {
            Bits()[i] = TE_TRANSPARENT_KEY;
            HasTransparentMarks = true;
        }
    }
}

uint32_t TteBitmap::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= Width_ || y >= Height_)
        return 0;
    return Row(y)[x];
}

void TteBitmap::SetPixel(int x, int y, uint32_t value)
{
    if (x >= 0 && y >= 0 && x < Width_ && y < Height_)
        Row(y)[x] = value;
}

void TteBitmap::ShiftHue(int delta)
{
    if (delta == 0)
        return;
    // Theme images are mostly runs of one colour: the last answer is kept.
    uint32_t lastIn = 0, lastOut = 0;
    bool known = false;
    const size_t count = size_t(Width_) * size_t(Height_);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = Bits()[i];
        if (!(p >> 24))
            continue;
        if (!known || p != lastIn) {
            lastIn = p;
            lastOut = ShiftHuePixel(p, delta);
            known = true;
        }
        Bits()[i] = lastOut;
    }
}

void TteBitmap::ShiftBrightness(int delta)
{
    if (delta == 0)
        return;
    const size_t count = size_t(Width_) * size_t(Height_);
    for (size_t i = 0; i < count; ++i)
        if (Bits()[i] >> 24)
            Bits()[i] = ShiftBrightnessPixel(Bits()[i], delta);
}

void TteBitmap::FlipVertical()
{
    std::vector<uint32_t> row(static_cast<size_t>(Width_));
    for (int y = 0; y < Height_ / 2; ++y) {
        uint32_t *a = Row(y), *b = Row(Height_ - 1 - y);
        std::memcpy(row.data(), a, row.size() * 4);
        std::memcpy(a, b, row.size() * 4);
        std::memcpy(b, row.data(), row.size() * 4);
    }
}

QRegion TteBitmap::CreateRegion(int x, int y) const
{
    std::vector<QRect> runs; // as many as there are: no fixed run buffer
    for (int row = 0; row < Height_; ++row) {
        const uint32_t *p = Row(row);
        int col = 0;
        while (col < Width_) {
            while (col < Width_ && IsTransparentMark(p[col]))
                ++col;
            const int first = col;
            while (col < Width_ && !IsTransparentMark(p[col]))
                ++col;
            if (col > first)
                runs.emplace_back(x + first, y + row, col - first, 1);
        }
    }
    QRegion region;
    if (!runs.empty())
        region.setRects(runs.data(), static_cast<int>(runs.size()));
    return region;
}

void TteBitmap::DrawOnBitmap(TteBitmap &target, QRect dest, QRect source, QRect clip, TteDrawMode mode) const
{
    if (IsEmpty() || target.IsEmpty() || dest.isEmpty())
        return;
    if (&target == this) {
        // The copy routines run forwards: a bitmap drawn onto itself is read
        // from a copy.
        TteBitmap copy;
        copy.Assign(*this);
        copy.DrawOnBitmap(target, dest, source, clip, mode);
        return;
    }
    const QRect area = target.Rect().intersected(clip);
    const QRect clippedSource = source.intersected(Rect());
    if (clippedSource.isEmpty())
        return;
    const PixelRoutines &px = Pixels();
    auto apply = [&](uint32_t *d, const uint32_t *s, size_t n) {
        switch (mode) {
        case TteDrawMode::Opaque: px.CopyPixels(d, s, n); break;
        case TteDrawMode::Key: px.KeyCopyPixels(d, s, n); break;
        case TteDrawMode::Alpha: px.BlendPixels(d, s, n); break;
        }
    };

    if (dest.size() == source.size()) {
        // Same size: the parts that exist on both sides, row by row.
        QRect d = dest.translated(clippedSource.topLeft() - source.topLeft());
        d.setSize(clippedSource.size());
        const QRect visible = d.intersected(area);
        if (visible.isEmpty())
            return;
        const QPoint s = clippedSource.topLeft() + (visible.topLeft() - d.topLeft());
        if (visible.left() == 0 && s.x() == 0 && visible.width() == Width_ && visible.width() == target.Width_) {
            // Whole rows on both sides: the rows lie end to end, one run does them all.
            apply(target.Row(visible.top()), Row(s.y()), size_t(visible.width()) * size_t(visible.height()));
            return;
        }
        for (int y = 0; y < visible.height(); ++y)
            apply(target.Row(visible.top() + y) + visible.left(), Row(s.y() + y) + s.x(), size_t(visible.width()));
        return;
    }

    // Scaled by nearest neighbour with corner alignment.
    const QRect visible = dest.intersected(area);
    if (visible.isEmpty())
        return;
    std::vector<int> columns(size_t(visible.width()));
    for (int x = 0; x < visible.width(); ++x)
        columns[size_t(x)] =
            clippedSource.left() + ScaledIndex(visible.left() + x - dest.left(), clippedSource.width(), dest.width());
    std::vector<uint32_t> gathered(columns.size());
    int previous = -1;
    for (int y = visible.top(); y <= visible.bottom(); ++y) {
        const int sy = clippedSource.top() + ScaledIndex(y - dest.top(), clippedSource.height(), dest.height());
        uint32_t *d = target.Row(y) + visible.left();
        if (sy == previous && y > visible.top()) {
            std::memcpy(d, target.Row(y - 1) + visible.left(), columns.size() * 4);
            continue;
        }
        const uint32_t *s = Row(sy);
        for (size_t x = 0; x < columns.size(); ++x)
            gathered[x] = s[columns[x]];
        apply(d, gathered.data(), gathered.size());
        previous = sy;
    }
}

void TteBitmap::Draw(TteCanvas &canvas, int x, int y) const { Draw(canvas, QRect(x, y, Width_, Height_), Rect()); }

void TteBitmap::Draw(TteCanvas &canvas, int x, int y, QRect source) const
{
    Draw(canvas, QRect(QPoint(x, y), source.size()), source);
}

void TteBitmap::Draw(TteCanvas &canvas, QRect dest, QRect source, TteDrawMode mode) const
{
    for (const QRect &clip : canvas.TargetClipRects())
        DrawOnBitmap(canvas.Target(), dest.translated(-canvas.WindowOrigin()), source, clip, mode);
}

void TteBitmap::TileDraw(TteCanvas &canvas, QRect dest, QRect source, TteDrawMode mode) const
{
    for (const QRect &clip : canvas.TargetClipRects())
        TileDraw(canvas.Target(), dest.translated(-canvas.WindowOrigin()), source, clip, mode);
}

void TteBitmap::TileDraw(TteBitmap &target, QRect dest, QRect source, QRect clip, TteDrawMode mode) const
{
    const int tw = source.width(), th = source.height();
    if (tw <= 0 || th <= 0 || dest.isEmpty())
        return;
    const int columns = dest.width() / tw + (dest.width() % tw ? 1 : 0);
    const int rows = dest.height() / th + (dest.height() % th ? 1 : 0);
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i) {
            const QRect tile = QRect(dest.left() + i * tw, dest.top() + j * th, tw, th).intersected(dest);
            if (tile.intersects(clip))
                DrawOnBitmap(target, tile, QRect(source.topLeft(), tile.size()), clip, mode);
        }
}

void TteBitmap::ShowOn(QPainter &painter, int x, int y, QRect source) const
{
    source = source.intersected(Rect());
    if (IsEmpty() || source.isEmpty())
        return;
    const uchar *first = reinterpret_cast<const uchar *>(Row(source.top()) + source.left());
    if (HasAlpha) {
        const QImage view(first, source.width(), source.height(), Width_ * 4, QImage::Format_ARGB32);
        painter.drawImage(x, y, view);
        return;
    }
    // Whatever its alpha bytes hold, a bitmap without alpha shows opaque.
    QImage opaque(source.width(), source.height(), QImage::Format_RGB32);
    for (int row = 0; row < source.height(); ++row)
        Pixels().CopyPixels(reinterpret_cast<uint32_t *>(opaque.scanLine(row)), Row(source.top() + row) + source.left(),
                            size_t(source.width()));
    painter.drawImage(x, y, opaque);
}

TteCanvas &TteBitmap::Canvas()
{
    if (!Canvas_)
        Canvas_ = std::make_unique<TteCanvas>(*this);
    return *Canvas_;
}

} // namespace quillon
