// The built-in effect procedures. Mask effects write, per cell of the grid,
// the opacity with which the new picture shows; names beginning with Slide
// cover with 255 behind a hard edge, Fade with a uniform percent of 255,
// Smooth with a ramp that is opaque at the shape's origin and fades towards
// its moving edge. Move effects name, per cell, the source cell it shows.
// Draw effects paint the frame themselves.
//
// Rounding: MulDiv rounds halves away from zero, as the arithmetic these
// shapes were drawn with; every other value rounds halves to even.

#include "skin/te_effect.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

namespace quillon {

namespace {

long Round(double v) { return std::lrint(v); } // halves to even under the default rounding mode

// a x b / c to the nearest integer, halves away from zero; c = 0 answers -1.
long MulDiv(long a, long b, long c)
{
    if (c == 0)
        return -1;
    const long long n = static_cast<long long>(a) * b;
    const bool negative = (n < 0) != (c < 0);
    const long long an = n < 0 ? -n : n, ac = c < 0 ? -static_cast<long long>(c) : c;
    const long long q = (an + ac / 2) / ac;
    return static_cast<long>(negative ? -q : q);
}
long MulDiv(double a, long b, long c) { return MulDiv(Round(a), b, c); }
long MulDiv(long a, double b, long c) { return MulDiv(a, Round(b), c); }

// The seeded generator of the random effects: the same seed gives the same
// sequence on every machine.
class Random {
public:
    explicit Random(uint32_t seed) : Seed(seed) {}
    uint32_t Below(uint32_t n)
    {
        Seed = Seed * 134775813u + 1u;
        return static_cast<uint32_t>((static_cast<uint64_t>(Seed) * n) >> 32);
    }

private:
    uint32_t Seed;
};

class Mask {
public:
    Mask(uint8_t *cells, int across, int down) : Cells(cells), W(across), H(down) {}
    uint8_t *Cells;
    int W, H;

    void Set(long x, long y, int value)
    {
        if (x >= 0 && y >= 0 && x < W && y < H)
            Cells[y * W + x] = static_cast<uint8_t>(std::clamp(value, 0, 255));
    }
    void Fill(int value) { std::memset(Cells, std::clamp(value, 0, 255), size_t(W) * size_t(H)); }
    void Row(long y, int value)
    {
        for (long x = 0; x < W; ++x)
            Set(x, y, value);
    }
    // Bresenham's line, both ends included, clipped to the mask.
    void Line(long x0, long y0, long x1, long y1, int value)
    {
        const long dx = std::labs(x1 - x0), dy = -std::labs(y1 - y0);
        const long sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        long error = dx + dy;
        for (;;) {
            Set(x0, y0, value);
            if (x0 == x1 && y0 == y1)
                return;
            const long e2 = 2 * error;
            if (e2 >= dy) {
                error += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                error += dx;
                y0 += sy;
            }
        }
    }
    // The midpoint circle, eight-way symmetric.
    void Circle(long cx, long cy, long r, int value)
    {
        if (r < 0)
            return;
        long x = r, y = 0, error = 1 - r;
        while (x >= y) {
            for (const auto &[px, py] :
                 {std::pair{x, y}, {y, x}, {-y, x}, {-x, y}, {-x, -y}, {-y, -x}, {y, -x}, {x, -y}})
                Set(cx + px, cy + py, value);
            ++y;
            if (error < 0) {
                error += 2 * y + 1;
            } else {
                --x;
                error += 2 * (y - x) + 1;
            }
        }
    }
    void Polygon(std::initializer_list<std::pair<long, long>> points, int value)
    {
        const auto *p = points.begin();
        for (size_t i = 0; i < points.size(); ++i) {
            const auto &a = p[i], &b = p[(i + 1) % points.size()];
            Line(a.first, a.second, b.first, b.second, value);
        }
    }
};

enum class Family { Slide, Fade, Smooth };

int familyValue(Family f, int p) { return f == Family::Slide ? 255 : int(MulDiv(long(p), 255L, 100L)); }

// The Smooth ramp: opaque at the origin (step 0), fading out towards step n.
// A shape of no steps (tiny masks, low percentages) is its origin alone.
int ramp(long k, long n, int p)
{
    const double fall = n > 0 ? double(k) * 2 * p / double(n) : 0;
    return int(std::clamp(MulDiv(2.0 * p - fall, 255L, 100L), 0L, 255L));
}

// (1, H / W) when the mask is wider than high, else (W / H, 1).
std::pair<double, double> steps(int W, int H)
{
    return H < W ? std::pair{1.0, double(H) / W} : std::pair{double(W) / H, 1.0};
}

long diagonal(int W, int H) { return Round(std::sqrt(double(W) * W + double(H) * H)); }

// ---- The shapes, each for a percent above 0 and below or at 100.

void diagonalShape(Mask &m, int p, int value)
{
    const long c = MulDiv(long(m.W - 1), long(p), 100L), r = MulDiv(long(m.H - 1), long(p), 100L);
    for (long s = 0; s <= 2 * std::max(c, r); ++s)
        m.Line(0, std::min(s, 2 * r), std::min(s, 2 * c), 0, value);
}

std::pair<long, long> cornerLegs(const Mask &m, int p)
{
    return {Round(p / 100.0 * (m.W - 1)), Round(p / 100.0 * (m.H - 1))};
}

void diagonalInShape(Mask &m, int p, int value)
{
    const auto [cw, ch] = cornerLegs(m, p);
    for (long s = 0; s <= std::max(cw, ch); ++s) {
        const long j = std::min(s, cw), k = std::min(s, ch);
        m.Line(0, m.H - 1 - k, j, m.H - 1, value);
        m.Line(m.W - 1 - j, 0, m.W - 1, k, value);
    }
}

void diagonalOutShape(Mask &m, int p, int value)
{
    const auto [cw, ch] = cornerLegs(m, p);
    for (long s = 0; s <= std::max(cw, ch); ++s) {
        const long x = std::min(s, cw), y = std::min(s, ch);
        m.Line(0, y, m.W - 1 - x, m.H - 1, value);
        m.Line(x, 0, m.W - 1, m.H - 1 - y, value);
    }
}

void downShape(Mask &m, int p, int value)
{
    for (long y = 0; y <= MulDiv(long(p), long(m.H - 1), 100L); ++y)
        m.Row(y, value);
}

void inShape(Mask &m, int p, int value)
{
    const long n = MulDiv(long(p), long(m.H / 2), 100L);
    for (long k = 0; k <= n; ++k) {
        m.Row(k, value);
        m.Row(m.H - 1 - k, value);
    }
}

void outShape(Mask &m, int p, int value)
{
    const long cy = m.H / 2;
    for (long k = 0; k <= MulDiv(long(p), cy, 100L); ++k) {
        m.Row(cy - k, value);
        m.Row(cy + k, value);
    }
}

void crossOutShape(Mask &m, int p, int value)
{
    const long cx = m.W / 2, cy = m.H / 2;
    const long c = MulDiv(long(p), 2L * m.W, 100L), r = MulDiv(long(p), 2L * m.H, 100L);
    for (long e = -(c / 4); e <= c / 4; ++e)
        m.Line(cx + e, cy - r, cx + e, cy + r, value);
    for (long h = -(r / 4); h <= r / 4; ++h)
        m.Line(cx - c, cy + h, cx + c, cy + h, value);
}

void rectOutline(Mask &m, long k, double sx, double sy, int value)
{
    const long cx = m.W / 2, cy = m.H / 2, hw = Round(k * sx), hh = Round(k * sy);
    m.Polygon({{cx - hw, cy - hh}, {cx + hw, cy - hh}, {cx + hw, cy + hh}, {cx - hw, cy + hh}}, value);
}

void rectOutShape(Mask &m, int p, int value)
{
    const auto [sx, sy] = steps(m.W, m.H);
    const long e = m.H < m.W ? MulDiv(long(p), long(m.W), 100L) : MulDiv(long(p), long(m.H), 100L);
    for (long k = 0; k <= e / 2; ++k)
        rectOutline(m, k, sx, sy, value);
}

void circleOutShape(Mask &m, int p, int value)
{
    for (long k = 0; k <= MulDiv(diagonal(m.W, m.H), long(p), 100L) / 2; ++k)
        m.Circle(m.W / 2, m.H / 2, k, value);
}

void circleInShape(Mask &m, int p, int value)
{
    const long d = diagonal(m.W, m.H);
    for (long k = 0; k <= MulDiv(d, long(p), 100L) / 2; ++k)
        m.Circle(m.W / 2, m.H / 2, d / 2 - k, value);
}

void circleCornerShape(Mask &m, int p, int value)
{
    for (long k = 0; k <= MulDiv(diagonal(m.W, m.H), long(p), 100L); ++k)
        m.Circle(0, m.H - 1, k, value);
}

void diamondOutline(Mask &m, long k, double sx, double sy, int value)
{
    const long cx = m.W / 2, cy = m.H / 2, a = Round(k * sx), b = Round(k * sy);
    m.Polygon({{cx - a, cy}, {cx, cy - b}, {cx + a, cy}, {cx, cy + b}}, value);
}

void diamondOutShape(Mask &m, int p, int value)
{
    const auto [sx, sy] = steps(m.W, m.H);
    for (long k = 0; k <= MulDiv(long(p), long(std::max(m.W, m.H)), 100L); ++k)
        diamondOutline(m, k, sx, sy, value);
}

void rotateLine(Mask &m, long i, int value)
{
    if (i < m.H)
        m.Line(0, m.H - 1, m.W - 1, m.H - i, value);
    else
        m.Line(0, m.H - 1, m.W + m.H - i, 0, value);
}

void rotateShape(Mask &m, int p, int value)
{
    for (long i = 0; i <= MulDiv(long(m.W + m.H), long(p), 100L); ++i)
        rotateLine(m, i, value);
}

// What a complemented shape leaves: the cells outside the shape drawn for
// 100 - p become value, the cells inside it 0.
template <class Shape>
void complemented(Mask &m, int p, int value, Shape shape)
{
    if (p < 100) // at 100 the inner shape is drawn for 0: nothing
        shape(m, 100 - p, 1);
    for (long i = 0; i < long(m.W) * m.H; ++i)
        m.Cells[i] = m.Cells[i] ? 0 : static_cast<uint8_t>(value);
}

// ---- Smooth shapes.

void smoothDiagonal(Mask &m, int p)
{
    const auto [sx, sy] = steps(m.W, m.H);
    const long n = MulDiv(long(p), 2.5 * std::sqrt(double(m.W) * m.W + double(m.H) * m.H), 100L);
    for (long k = 0; k <= n; ++k)
        m.Line(0, Round(k * sy), Round(k * sx), 0, ramp(k, n, p));
}

void smoothDiagonalInOut(Mask &m, int p, bool in)
{
    const long b = MulDiv(diagonal(m.W, m.H), long(p), 100L);
    const double fx = std::min(1.0, double(m.W) / m.H), fy = std::min(1.0, double(m.H) / m.W);
    for (long k = 0; k <= 2 * b && k < std::max(m.W, m.H); ++k) {
        const long f = Round(k * fx), g = Round(k * fy);
        const double fall = b > 0 ? double(k) * p / double(b) : 0; // no division by zero on tiny masks
        const int value = int(std::clamp(MulDiv(2.0 * p - fall, 255L, 100L), 0L, 255L));
        if (in) {
            m.Line(0, m.H - 1 - g, f, m.H - 1, value);
            m.Line(m.W - f, 0, m.W - 1, g, value);
        } else {
            m.Line(0, m.H - 1 - g, m.W - f, 0, value);
            m.Line(f, m.H - 1, m.W - 1, g, value);
        }
    }
}

void smoothDown(Mask &m, int p)
{
    const long n = MulDiv(1.5 * m.H, long(p), 100L);
    for (long k = 0; k <= n; ++k)
        m.Row(k, ramp(k, n, p));
}

void smoothInOut(Mask &m, int p, bool in)
{
    const long cy = m.H / 2, n = MulDiv(0.8 * m.H, long(p), 100L);
    for (long k = 0; k <= n && k <= cy; ++k) {
        const int value = ramp(k, n, p);
        m.Row(in ? k : cy - k, value);
        m.Row(in ? m.H - 1 - k : cy + k, value);
    }
}

void smoothCrossOut(Mask &m, int p)
{
    const auto [sx, sy] = steps(m.W, m.H);
    const long cx = m.W / 2, cy = m.H / 2;
    const long n = MulDiv(long(p), 2.5 * std::max(m.W, m.H), 100L) / 2;
    for (long k = 0; k <= n; ++k) {
        const long rx = Round(k * sx), ry = Round(k * sy), hx = Round(k * sx / 2), hy = Round(k * sy / 2);
        m.Polygon({{cx - hx, cy - ry},
                   {cx + hx, cy - ry},
                   {cx + hx, cy - hy},
                   {cx + rx, cy - hy},
                   {cx + rx, cy + hy},
                   {cx + hx, cy + hy},
                   {cx + hx, cy + ry},
                   {cx - hx, cy + ry},
                   {cx - hx, cy + hy},
                   {cx - rx, cy + hy},
                   {cx - rx, cy - hy},
                   {cx - hx, cy - hy}},
                  ramp(k, n, p));
    }
}

void smoothRectOut(Mask &m, int p)
{
    const auto [sx, sy] = steps(m.W, m.H);
    const long e = MulDiv(long(p), 1.6 * std::max(m.W, m.H), 100L);
    for (long k = 0; k <= e / 2; ++k)
        rectOutline(m, k, sx, sy, ramp(k, e / 2, p));
}

void smoothCircle(Mask &m, int p, bool fromCorner)
{
    const double d = std::sqrt(double(m.W) * m.W + double(m.H) * m.H);
    const long n = MulDiv(fromCorner ? 1.5 * d : 0.9 * d, long(p), 100L);
    for (long k = 0; k <= n; ++k)
        m.Circle(fromCorner ? 0 : m.W / 2, fromCorner ? m.H - 1 : m.H / 2, k, ramp(k, n, p));
}

void smoothDiamondOut(Mask &m, int p)
{
    const auto [sx, sy] = steps(m.W, m.H);
    const long n = MulDiv(long(p), 2.5 * std::max(m.W, m.H), 100L) / 2;
    for (long k = 0; k <= n; ++k)
        diamondOutline(m, k, sx, sy, ramp(k, n, p));
}

void smoothRotate(Mask &m, int p)
{
    const long b = MulDiv(2L * (m.W + m.H), long(p), 100L);
    for (long i = 0; i <= b; ++i)
        rotateLine(m, i, ramp(i, b, p));
}

// 255 minus the outward shape drawn for 100 - p.
template <class Shape>
void smoothInverse(Mask &m, int p, Shape outward)
{
    if (p < 100)
        outward(m, 100 - p);
    for (long i = 0; i < long(m.W) * m.H; ++i)
        m.Cells[i] = static_cast<uint8_t>(255 - m.Cells[i]);
}

// ---- The registered procedures: each family in its variants.

template <void (*Shape)(Mask &, int, int), Family F>
void slideOrFade(uint8_t *cells, int across, int down, int p)
{
    if (p <= 0 || across <= 0 || down <= 0)
        return;
    Mask m(cells, across, down);
    Shape(m, std::min(p, 100), familyValue(F, std::min(p, 100)));
}

template <void (*Shape)(Mask &, int, int), Family F>
void slideOrFadeComplement(uint8_t *cells, int across, int down, int p)
{
    if (p <= 0 || across <= 0 || down <= 0)
        return;
    Mask m(cells, across, down);
    p = std::min(p, 100);
    complemented(m, p, familyValue(F, p), Shape);
}

template <void (*Shape)(Mask &, int)>
void smooth(uint8_t *cells, int across, int down, int p)
{
    if (p <= 0 || across <= 0 || down <= 0)
        return;
    Mask m(cells, across, down);
    if (p >= 100) {
        m.Fill(255);
        return;
    }
    Shape(m, p);
}

template <void (*Shape)(Mask &, int)>
void smoothComplement(uint8_t *cells, int across, int down, int p)
{
    if (p <= 0 || across <= 0 || down <= 0)
        return;
    Mask m(cells, across, down);
    smoothInverse(m, std::min(p, 100), Shape);
}

void smoothDiagonalIn(Mask &m, int p) { smoothDiagonalInOut(m, p, true); }
void smoothDiagonalOut(Mask &m, int p) { smoothDiagonalInOut(m, p, false); }
void smoothIn(Mask &m, int p) { smoothInOut(m, p, true); }
void smoothOut(Mask &m, int p) { smoothInOut(m, p, false); }
void smoothCircleCentre(Mask &m, int p) { smoothCircle(m, p, false); }
void smoothCircleCorner(Mask &m, int p) { smoothCircle(m, p, true); }

void fade(uint8_t *cells, int across, int down, int p)
{
    if (p <= 0 || across <= 0 || down <= 0)
        return;
    Mask(cells, across, down).Fill(int(MulDiv(long(std::min(p, 100)), 255L, 100L)));
}

// The cells the pixel effects take at p: the first ones of one seeded
// shuffle of the grid, so every frame adds to what the earlier ones took.
std::vector<int> pixelOrder(int across, int down)
{
    std::vector<int> order(size_t(across) * size_t(down));
    std::iota(order.begin(), order.end(), 0);
    Random random(uint32_t(across) * uint32_t(down));
    for (size_t i = order.size(); i > 1; --i)
        std::swap(order[i - 1], order[random.Below(uint32_t(i))]);
    return order;
}

size_t pixelCount(int across, int down, int p) { return size_t(Round(double(across) * down * p / 100.0)); }

void pixel(uint8_t *cells, int across, int down, int p)
{
    if (p <= 0 || across <= 0 || down <= 0)
        return;
    const std::vector<int> order = pixelOrder(across, down);
    for (size_t i = 0; i < std::min(order.size(), pixelCount(across, down, p)); ++i)
        cells[order[i]] = 255;
}

void pixelFade(uint8_t *cells, int across, int down, int p)
{
    if (p <= 0 || across <= 0 || down <= 0)
        return;
    const std::vector<int> order = pixelOrder(across, down);
    const auto value = static_cast<uint8_t>(Round(std::min(p, 100) / 100.0 * 255));
    for (size_t i = 0; i < std::min(order.size(), pixelCount(across, down, p)); ++i)
        cells[order[i]] = value;
}

void pixelLine(uint8_t *cells, int across, int down, int p)
{
    if (p <= 0 || across <= 0 || down <= 0)
        return;
    p = std::min(p, 100);
    const std::vector<int> order = pixelOrder(across, down);
    std::vector<bool> selected(order.size());
    for (size_t i = 0; i < std::min(order.size(), pixelCount(across, down, p)); ++i)
        selected[size_t(order[i])] = true;
    const long last = Round(p / 100.0 * (2 * across - 1));
    for (long i = 0; i <= last && i < across; ++i) {
        const double percent = std::max(0.0, 2.0 * p - i * across * 0.1 / p);
        const auto value = static_cast<uint8_t>(std::min(255L, Round(percent / 100.0 * 255)));
        for (long y = 0; y < down; ++y)
            if (selected[size_t(y * across + i)])
                cells[y * across + i] = value;
    }
}

void stream(uint8_t *cells, int across, int down, int p)
{
    if (p <= 0 || across <= 0 || down <= 0)
        return;
    Random random(uint32_t(across) * uint32_t(down));
    std::vector<long> head(static_cast<size_t>(across));
    for (long &h : head)
        h = -long(random.Below(80));
    for (int j = 1; j <= 8; ++j)
        for (int k = j; k <= across - j - 1; ++k)
            head[size_t(k)] = (head[size_t(k) - 1] + 2 * head[size_t(k)] + head[size_t(k) + 1]) / 4;
    Mask m(cells, across, down);
    const long stepsTaken = MulDiv(long(down + 79), long(std::min(p, 100)), 100L) + 1;
    for (long s = 0; s < stepsTaken; ++s)
        for (long x = 0; x < across; ++x) {
            long &h = head[size_t(x)];
            if (h >= 0 && h < down)
                m.Set(x, h, 255);
            ++h;
        }
}

void plasma(uint8_t *cells, int across, int down, int p)
{
    if (p <= 0 || across <= 0 || down <= 0)
        return;
    static const auto tables = [] {
        struct Tables {
            int S[512], C[512], P[512];
        } t{};
        const double pi = 3.14159265358979323846;
        for (int k = 0; k < 512; ++k) {
            t.S[k] = (int(256 * std::sin(2 * pi * k / 512)) + 256) % 512;
            t.C[k] = (int(256 * std::cos(2 * pi * k / 512)) + 256) % 512;
        }
        const int keys[13] = {255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255};
        for (int i = 0; i < 512; ++i) {
            const double at = i * 12.0 / 512;
            const int segment = int(at);
            t.P[i] = int(Round(keys[segment] + (keys[segment + 1] - keys[segment]) * (at - segment)));
        }
        return t;
    }();
    const long base = MulDiv(2L * std::min(p, 100), 255L, 100L);
    for (int y = 0; y < down; ++y)
        for (int x = 0; x < across; ++x) {
            const int index = (tables.S[(x + tables.S[y % 512]) % 512] + tables.C[y % 512]) % 512;
            cells[y * across + x] = static_cast<uint8_t>(std::clamp(base - tables.P[index], 0L, 255L));
        }
}

// ---- Move effects: opacity, source column, source row per cell.

void setMove(uint16_t *table, int across, int x, int y, int sx, int sy)
{
    uint16_t *cell = table + 3 * (size_t(y) * size_t(across) + size_t(x));
    cell[0] = 255;
    cell[1] = static_cast<uint16_t>(sx);
    cell[2] = static_cast<uint16_t>(sy);
}

void interlace(uint16_t *table, int across, int down, int p)
{
    if (p <= 0 || across <= 0 || down <= 0)
        return;
    const long s = MulDiv(long(100 - std::min(p, 100)), long(across), 100L);
    for (int y = 0; y < down; ++y)
        for (int x = 0; x < across; ++x) {
            const long sx = y % 2 == 0 ? x + s : x - s;
            if (sx >= 0 && sx < across)
                setMove(table, across, x, y, int(sx), y);
        }
}

void corner(uint16_t *table, int across, int down, int p)
{
    if (p <= 0 || across <= 0 || down <= 0)
        return;
    p = std::min(p, 100);
    const long c = MulDiv(long(across - 1), long(p), 100L), r = MulDiv(long(down - 1), long(p), 100L);
    for (long j = 0; j <= r && j < down; ++j)
        for (long i = 0; i <= c && i < across; ++i)
            setMove(table, across, int(i), int(j), int(across - 1 - c + i), int(down - 1 - r + j));
}

// ---- Draw effects.

QPoint slideOffset(const TteBitmap &picture, TteRotation rotation, int p)
{
    const long w = picture.Width(), h = picture.Height();
    switch (rotation) {
    case krRotate90: return QPoint(0, int(h - MulDiv(h, long(p), 100L)));
    case krRotate180: return QPoint(int(w - MulDiv(w, long(p), 100L)), 0);
    case krRotate270: return QPoint(0, int(MulDiv(h, long(p), 100L) - h));
    default: return QPoint(int(MulDiv(w, long(p), 100L) - w), 0);
    }
}

void slide(TteBitmap &work, const TteBitmap &newPicture, const TteAnimationRec &record, int p)
{
    if (p <= 0)
        return;
    const QPoint at = slideOffset(newPicture, record.Rotation, std::min(p, 100));
    newPicture.DrawOnBitmap(work, QRect(at, newPicture.Rect().size()), newPicture.Rect(), work.Rect(),
                            TteDrawMode::Alpha);
}

void push(TteBitmap &work, const TteBitmap &newPicture, const TteAnimationRec &record, int p)
{
    if (p <= 0)
        return;
    p = std::min(p, 100);
    // The old picture moves on by as much as the new one came in.
    TteBitmap old;
    old.Assign(work);
    const QPoint in = slideOffset(newPicture, record.Rotation, p);
    const QPoint moved = in - slideOffset(newPicture, record.Rotation, 0);
    work.Fill(0xFF000000);
    old.DrawOnBitmap(work, QRect(moved, old.Rect().size()), old.Rect(), work.Rect(), TteDrawMode::Opaque);
    newPicture.DrawOnBitmap(work, QRect(in, newPicture.Rect().size()), newPicture.Rect(), work.Rect(),
                            TteDrawMode::Alpha);
}

} // namespace

void RegisterBuiltinEffects()
{
    using F = Family;
    const std::pair<const char *, TteMaskProc> masks[] = {
        {"SmoothDiagonal", smooth<smoothDiagonal>},
        {"SmoothDiagonalIn", smooth<smoothDiagonalIn>},
        {"SmoothDiagonalOut", smooth<smoothDiagonalOut>},
        {"SmoothDown", smooth<smoothDown>},
        {"SmoothIn", smooth<smoothIn>},
        {"SmoothOut", smooth<smoothOut>},
        {"SmoothCrossOut", smooth<smoothCrossOut>},
        {"SmoothCrossIn", smoothComplement<smoothCrossOut>},
        {"SmoothRectIn", smoothComplement<smoothRectOut>},
        {"SmoothRectOut", smooth<smoothRectOut>},
        {"SlideDiagonal", slideOrFade<diagonalShape, F::Slide>},
        {"SlideDiagonalIn", slideOrFade<diagonalInShape, F::Slide>},
        {"SlideDiagonalOut", slideOrFade<diagonalOutShape, F::Slide>},
        {"SlideDown", slideOrFade<downShape, F::Slide>},
        {"SlideIn", slideOrFade<inShape, F::Slide>},
        {"SlideOut", slideOrFade<outShape, F::Slide>},
        {"SlideCrossOut", slideOrFade<crossOutShape, F::Slide>},
        {"SlideCrossIn", slideOrFadeComplement<crossOutShape, F::Slide>},
        {"SlideRectOut", slideOrFade<rectOutShape, F::Slide>},
        {"SlideRectIn", slideOrFadeComplement<rectOutShape, F::Slide>},
        {"Fade", fade},
        {"FadeDiagonal", slideOrFade<diagonalShape, F::Fade>},
        {"FadeDiagonalIn", slideOrFade<diagonalInShape, F::Fade>},
        {"FadeDiagonalOut", slideOrFade<diagonalOutShape, F::Fade>},
        {"FadeDown", slideOrFade<downShape, F::Fade>},
        {"FadeIn", slideOrFade<inShape, F::Fade>},
        {"FadeOut", slideOrFade<outShape, F::Fade>},
        {"FadeCrossOut", slideOrFade<crossOutShape, F::Fade>},
        {"FadeCrossIn", slideOrFadeComplement<crossOutShape, F::Fade>},
        {"FadeRectOut", slideOrFade<rectOutShape, F::Fade>},
        {"FadeRectIn", slideOrFadeComplement<rectOutShape, F::Fade>},
        {"Pixel", pixel},
        {"Pixel fade", pixelFade},
        {"Pixel line", pixelLine},
        {"CircleSlideOut", slideOrFade<circleOutShape, F::Slide>},
        {"CircleFadeOut", slideOrFade<circleOutShape, F::Fade>},
        {"CircleSmoothOut", smooth<smoothCircleCentre>},
        {"CircleSlideIn", slideOrFade<circleInShape, F::Slide>},
        {"CircleFadeIn", slideOrFade<circleInShape, F::Fade>},
        {"CircleSmoothIn", smoothComplement<smoothCircleCentre>},
        {"CircleSlide", slideOrFade<circleCornerShape, F::Slide>},
        {"CircleFade", slideOrFade<circleCornerShape, F::Fade>},
        {"CircleSmooth", smooth<smoothCircleCorner>},
        {"DiamondSlideIn", slideOrFadeComplement<diamondOutShape, F::Slide>},
        {"DiamondFadeIn", slideOrFadeComplement<diamondOutShape, F::Fade>},
        {"DiamondSmoothIn", smoothComplement<smoothDiamondOut>},
        {"DiamondSlideOut", slideOrFade<diamondOutShape, F::Slide>},
        {"DiamondFadeOut", slideOrFade<diamondOutShape, F::Fade>},
        {"DiamondSmoothOut", smooth<smoothDiamondOut>},
        {"RotateSlide", slideOrFade<rotateShape, F::Slide>},
        {"RotateFade", slideOrFade<rotateShape, F::Fade>},
        {"RotateSmooth", smooth<smoothRotate>},
        {"Stream", stream},
        {"Plasma", plasma},
    };
    for (const auto &[name, procedure] : masks)
        RegisterEffect(name, procedure);
    RegisterEffect("Interlace", TteMoveProc(interlace));
    RegisterEffect("Corner", TteMoveProc(corner));
    RegisterEffect("Slide", TteDrawProc(slide));
    RegisterEffect("Push", TteDrawProc(push));
}

} // namespace quillon
