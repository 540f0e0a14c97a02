#include "barcode/twod/QR_Encode.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace qr {
namespace {

// Error-correction codewords per block and number of blocks, by level (L, M, Q, H) and version
// (index 0 unused): ISO/IEC 18004 Table 9.
constexpr int8_t kEcPerBlock[4][41] = {
    {-1, 7,  10, 15, 20, 26, 18, 20, 24, 30, 18, 20, 24, 26, 30, 22, 24, 28, 30, 28, 28,
     28, 28, 30, 30, 26, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {-1, 10, 16, 26, 18, 24, 16, 18, 22, 22, 26, 30, 22, 22, 24, 24, 28, 28, 26, 26, 26,
     26, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28},
    {-1, 13, 22, 18, 26, 18, 24, 18, 22, 20, 24, 28, 26, 24, 20, 30, 24, 28, 28, 26, 30,
     28, 30, 30, 30, 30, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {-1, 17, 28, 22, 16, 22, 28, 26, 26, 24, 28, 24, 28, 22, 24, 24, 30, 28, 28, 26, 28,
     30, 24, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
};
constexpr int8_t kBlocks[4][41] = {
    {-1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 4, 4, 4, 4, 4, 6, 6, 6, 6, 7, 8,
     8, 9, 9, 10, 12, 12, 12, 13, 14, 15, 16, 17, 18, 19, 19, 20, 21, 22, 24, 25},
    {-1, 1, 1, 1, 2, 2, 4, 4, 4, 5, 5, 5, 8, 9, 9, 10, 10, 11, 13, 14, 16,
     17, 17, 18, 20, 21, 23, 25, 26, 28, 29, 31, 33, 35, 37, 38, 40, 43, 45, 47, 49},
    {-1, 1, 1, 2, 2, 4, 4, 6, 6, 8, 8, 8, 10, 12, 16, 12, 17, 16, 18, 21, 20,
     23, 23, 25, 27, 29, 34, 34, 35, 38, 40, 43, 45, 48, 51, 53, 56, 59, 62, 65, 68},
    {-1, 1, 1, 2, 4, 4, 4, 5, 6, 8, 8, 11, 11, 16, 16, 18, 16, 19, 21, 25, 25,
     25, 34, 30, 32, 35, 37, 40, 42, 45, 48, 51, 54, 57, 60, 63, 66, 70, 74, 77, 81},
};

constexpr int kIndicatorLen[4][3] = {{10, 12, 14}, {9, 11, 13}, {8, 16, 16}, {8, 10, 12}};
constexpr int kModeIndicator[4] = {0x1, 0x2, 0x4, 0x8};
constexpr int kMaxDataBits = 2956 * 8;

struct Gf256 {
    std::array<uint8_t, 512> exp{};
    std::array<int, 256> log{};
    Gf256()
    {
        int x = 1;
        for (int i = 0; i < 255; ++i) {
            exp[i] = uint8_t(x);
            log[x] = i;
            x <<= 1;
            if (x & 0x100)
                x ^= 0x11D;
        }
        for (int i = 255; i < 512; ++i)
            exp[i] = exp[i - 255];
    }
};
const Gf256& gf()
{
    static const Gf256 g;
    return g;
}

// Generator polynomial of degree n as coefficients (leading 1 left out), highest first.
const std::vector<uint8_t>& generator(int n)
{
    static const std::array<std::vector<uint8_t>, 69> table = [] {
        std::array<std::vector<uint8_t>, 69> t;
        const Gf256& g = gf();
        for (int n = 1; n <= 68; ++n) {
            std::vector<uint8_t> p(1, 1); // p[0] is the highest term
            for (int i = 0; i < n; ++i) {
                std::vector<uint8_t> q(p.size() + 1, 0);
                for (std::size_t j = 0; j < p.size(); ++j) {
                    q[j] ^= p[j];
                    if (p[j])
                        q[j + 1] ^= g.exp[g.log[p[j]] + i];
                }
                p = std::move(q);
            }
            t[n].assign(p.begin() + 1, p.end());
        }
        return t;
    }();
    return table[n];
}

class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : bytes(out) { bytes.clear(); }
    bool put(uint32_t value, int n)
    {
        if (count < 0)
            return false;
        if (count + n > kMaxDataBits) {
            count = -1;
            return false;
        }
        for (int i = n - 1; i >= 0; --i) {
            if ((count & 7) == 0)
                bytes.push_back(0);
            if ((value >> i) & 1)
                bytes.back() |= uint8_t(0x80 >> (count & 7));
            ++count;
        }
        return true;
    }
    std::vector<uint8_t>& bytes;
    int count = 0;
};

int classOf(const uint8_t* d, std::size_t i, std::size_t len, bool kanji)
{
    if (kanji && i + 1 < len && isKanjiPair(d[i], d[i + 1]))
        return Kanji;
    if (isNumeric(d[i]))
        return Numeric;
    if (isAlphanumeric(d[i]))
        return Alphanumeric;
    return Byte;
}

int bits(const Segment& s, int g) { return segmentBits(s.mode, s.length, g); }

// Splits the text into runs of one class, then merges neighbours where one segment is shorter.
std::vector<Segment> segmentText(const uint8_t* d, std::size_t len, int g, bool kanji)
{
    std::vector<Segment> seg;
    for (std::size_t i = 0; i < len;) {
        const int c = classOf(d, i, len, kanji);
        const int step = c == Kanji ? 2 : 1;
        if (seg.empty() || seg.back().mode != c)
            seg.push_back({c, 0});
        seg.back().length += step;
        i += step;
    }
    auto erase = [&seg](std::size_t k) { seg.erase(seg.begin() + std::ptrdiff_t(k)); };
    auto isMode = [&seg](std::ptrdiff_t k, int m) {
        return k >= 0 && std::size_t(k) < seg.size() && seg[std::size_t(k)].mode == m;
    };

    // Numeric next to alphanumeric.
    for (std::size_t n = 0; n + 1 < seg.size();) {
        const int m0 = seg[n].mode, m1 = seg[n + 1].mode;
        const bool pair = (m0 == Numeric && m1 == Alphanumeric) || (m0 == Alphanumeric && m1 == Numeric);
        if (!pair) {
            ++n;
            continue;
        }
        const int src = bits(seg[n], g) + bits(seg[n + 1], g);
        const int dst = segmentBits(Alphanumeric, seg[n].length + seg[n + 1].length, g);
        if (src <= dst) {
            ++n;
            continue;
        }
        int front = 0, behind = 0;
        if (isMode(std::ptrdiff_t(n) - 1, Byte)) {
            front = segmentBits(Byte, seg[n - 1].length + seg[n].length, g) + bits(seg[n + 1], g);
            if (front > dst + segmentBits(Byte, seg[n - 1].length, g))
                front = 0;
        }
        if (isMode(std::ptrdiff_t(n) + 2, Byte)) {
            behind = bits(seg[n], g) + segmentBits(Byte, seg[n + 1].length + seg[n + 2].length, g);
            if (behind > dst + segmentBits(Byte, seg[n + 2].length, g))
                behind = 0;
        }
        const bool joinFront = front != 0 && (behind == 0 || front < behind);
        const bool joinBehind = !joinFront && behind != 0;
        if (joinFront) {
            seg[n - 1].length += seg[n].length;
            erase(n);
        } else if (joinBehind) {
            seg[n + 1].mode = Byte;
            seg[n + 1].length += seg[n + 2].length;
            erase(n + 2);
        } else {
            if (isMode(std::ptrdiff_t(n) + 2, Alphanumeric)) {
                seg[n + 1].length += seg[n + 2].length;
                erase(n + 2);
            }
            seg[n].mode = Alphanumeric;
            seg[n].length += seg[n + 1].length;
            erase(n + 1);
            if (isMode(std::ptrdiff_t(n) - 1, Alphanumeric)) {
                seg[n - 1].length += seg[n].length;
                erase(n);
            }
        }
    }

    // Anything into byte mode where that is shorter.
    const int byteHeader = 4 + kIndicatorLen[Byte][g];
    for (std::size_t n = 0; n + 1 < seg.size();) {
        const int src = bits(seg[n], g) + bits(seg[n + 1], g);
        int dst = segmentBits(Byte, seg[n].length + seg[n + 1].length, g);
        const bool prevByte = isMode(std::ptrdiff_t(n) - 1, Byte);
        if (prevByte)
            dst -= byteHeader;
        if (isMode(std::ptrdiff_t(n) + 2, Byte))
            dst -= byteHeader;
        if (src <= dst) {
            ++n;
            continue;
        }
        if (prevByte) {
            seg[n - 1].length += seg[n].length;
            erase(n);
            --n;
        }
        if (isMode(std::ptrdiff_t(n) + 2, Byte)) {
            seg[n + 1].length += seg[n + 2].length;
            erase(n + 2);
        }
        seg[n].mode = Byte;
        seg[n].length += seg[n + 1].length;
        erase(n + 1);
        if (n > 0)
            --n;
    }
    return seg;
}

// Writes the segments; returns the bit count or -1 when the stream passes the largest symbol.
int writeStream(BitWriter& w, const uint8_t* d, const std::vector<Segment>& seg, int g, int eci)
{
    if (eci > 0) {
        w.put(0x7, 4);
        if (eci < 128)
            w.put(uint32_t(eci), 8);
        else if (eci < 16384)
            w.put(0x8000u | uint32_t(eci), 16);
        else
            w.put(0xC00000u | uint32_t(eci), 24);
    }
    std::size_t pos = 0;
    for (const Segment& s : seg) {
        const uint8_t* p = d + pos;
        const int n = s.length;
        w.put(uint32_t(kModeIndicator[s.mode]), 4);
        w.put(uint32_t(s.mode == Kanji ? n / 2 : n), kIndicatorLen[s.mode][g]);
        switch (s.mode) {
        case Numeric: {
            int i = 0;
            for (; i + 3 <= n; i += 3)
                w.put(uint32_t((p[i] - '0') * 100 + (p[i + 1] - '0') * 10 + (p[i + 2] - '0')), 10);
            if (n - i == 2)
                w.put(uint32_t((p[i] - '0') * 10 + (p[i + 1] - '0')), 7);
            else if (n - i == 1)
                w.put(uint32_t(p[i] - '0'), 4);
            break;
        }
        case Alphanumeric: {
            int i = 0;
            for (; i + 2 <= n; i += 2)
                w.put(uint32_t(alphanumericValue(p[i]) * 45 + alphanumericValue(p[i + 1])), 11);
            if (i < n)
                w.put(uint32_t(alphanumericValue(p[i])), 6);
            break;
        }
        case Byte:
            for (int i = 0; i < n; ++i)
                w.put(p[i], 8);
            break;
        case Kanji:
            for (int i = 0; i + 1 < n; i += 2)
                w.put(uint32_t(kanjiValue(p[i], p[i + 1])), 13);
            break;
        }
        if (w.count < 0)
            return -1;
        pos += std::size_t(n);
    }
    return w.count;
}

bool maskBit(int mask, int y, int x)
{
    switch (mask) {
    case 0: return (y + x) % 2 == 0;
    case 1: return y % 2 == 0;
    case 2: return x % 3 == 0;
    case 3: return (y + x) % 3 == 0;
    case 4: return (y / 2 + x / 3) % 2 == 0;
    case 5: return (y * x) % 2 + (y * x) % 3 == 0;
    case 6: return ((y * x) % 2 + (y * x) % 3) % 2 == 0;
    default: return ((y * x) % 3 + (y + x) % 2) % 2 == 0;
    }
}

constexpr int kLevelBits[4] = {1, 0, 3, 2}; // L, M, Q, H

int formatBits(int level, int mask)
{
    const int data = (kLevelBits[level] << 3) | mask;
    int rem = data;
    for (int i = 0; i < 10; ++i)
        rem = (rem << 1) ^ ((rem >> 9) * 0x537);
    return ((data << 10) | rem) ^ 0x5412;
}

// Module matrix while building: bit 0 dark, bit 1 function module.
class Matrix {
public:
    explicit Matrix(int n) : size(n), cells(std::size_t(n) * n, 0) {}
    uint8_t& at(int x, int y) { return cells[std::size_t(y) * size + x]; }
    bool isFunction(int x, int y) const { return cells[std::size_t(y) * size + x] & 2; }
    void setFunction(int x, int y, bool dark) { at(x, y) = uint8_t(2 | (dark ? 1 : 0)); }
    int size;
    std::vector<uint8_t> cells;
};

void drawFinder(Matrix& m, int x0, int y0)
{
    for (int dy = -1; dy <= 7; ++dy)
        for (int dx = -1; dx <= 7; ++dx) {
            const int x = x0 + dx, y = y0 + dy;
            if (x < 0 || y < 0 || x >= m.size || y >= m.size)
                continue;
            const int d = std::max(std::abs(dx - 3), std::abs(dy - 3));
            m.setFunction(x, y, d != 2 && d != 4);
        }
}

void drawAlignment(Matrix& m, int cx, int cy)
{
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            m.setFunction(cx + dx, cy + dy, std::max(std::abs(dx), std::abs(dy)) != 1);
}

// Calls f(x, y, k) for each module of the two format information copies (bit k of the 15) and
// f(x, y, -1) for the dark module.
template <typename F>
void forEachFormatModule(int n, F&& f)
{
    for (int k = 0; k <= 5; ++k)
        f(8, k, k);
    f(8, 7, 6);
    f(8, 8, 7);
    f(7, 8, 8);
    for (int k = 9; k < 15; ++k)
        f(14 - k, 8, k);
    for (int k = 0; k < 8; ++k)
        f(n - 1 - k, 8, k);
    for (int k = 8; k < 15; ++k)
        f(8, n - 15 + k, k);
    f(8, n - 8, -1);
}

void drawFormat(Matrix& m, int bitsValue)
{
    forEachFormatModule(m.size, [&m, bitsValue](int x, int y, int k) {
        m.setFunction(x, y, k < 0 || ((bitsValue >> k) & 1) != 0);
    });
}

void drawFunctionPatterns(Matrix& m, int version)
{
    const int n = m.size;
    for (int i = 0; i < n; ++i) {
        m.setFunction(6, i, i % 2 == 0);
        m.setFunction(i, 6, i % 2 == 0);
    }
    drawFinder(m, 0, 0);
    drawFinder(m, n - 7, 0);
    drawFinder(m, 0, n - 7);
    const std::vector<int> al = alignmentCoordinates(version);
    const int na = int(al.size());
    for (int i = 0; i < na; ++i)
        for (int j = 0; j < na; ++j) {
            // The three corners that overlap finder patterns carry none.
            if ((i == 0 && j == 0) || (i == 0 && j == na - 1) || (i == na - 1 && j == 0))
                continue;
            drawAlignment(m, al[i], al[j]);
        }
    drawFormat(m, 0); // reserve
    if (version >= 7) {
        int rem = version;
        for (int i = 0; i < 12; ++i)
            rem = (rem << 1) ^ ((rem >> 11) * 0x1F25);
        const long v = (long(version) << 12) | rem;
        for (int i = 0; i < 18; ++i) {
            const bool b = (v >> i) & 1;
            const int a = n - 11 + i % 3, c = i / 3;
            m.setFunction(a, c, b);
            m.setFunction(c, a, b);
        }
    }
}

void placeCodewords(Matrix& m, const std::vector<uint8_t>& cw)
{
    const int n = m.size;
    const std::size_t totalBits = cw.size() * 8;
    std::size_t i = 0;
    for (int right = n - 1; right >= 1; right -= 2) {
        if (right == 6)
            right = 5;
        const bool upward = ((right + 1) & 2) == 0;
        for (int vert = 0; vert < n; ++vert) {
            const int y = upward ? n - 1 - vert : vert;
            for (int j = 0; j < 2; ++j) {
                const int x = right - j;
                if (m.isFunction(x, y))
                    continue;
                if (i < totalBits) {
                    if ((cw[i >> 3] >> (7 - (i & 7))) & 1)
                        m.at(x, y) = 1;
                    ++i;
                }
            }
        }
    }
}

// Final 0/1 matrix for one mask.
void applyMask(const Matrix& base, int mask, int level, std::vector<uint8_t>& out)
{
    Matrix m = base;
    drawFormat(m, formatBits(level, mask));
    const int n = m.size;
    out.resize(std::size_t(n) * n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const uint8_t c = m.cells[std::size_t(y) * n + x];
            uint8_t dark = c & 1;
            if (!(c & 2) && maskBit(mask, y, x))
                dark ^= 1;
            out[std::size_t(y) * n + x] = dark;
        }
}

// One line of modules as bits (bit i = module i, 1 = dark), wide enough for the largest symbol (177)
// with the four light modules rule 3 looks at beyond each end.
struct Bits {
    uint64_t w[3] = {0, 0, 0};
    void set(int i) { w[i >> 6] |= uint64_t(1) << (i & 63); }
};
constexpr int kMaxSide = 177;

inline Bits operator&(const Bits& a, const Bits& b) { return {{a.w[0] & b.w[0], a.w[1] & b.w[1], a.w[2] & b.w[2]}}; }
inline Bits operator|(const Bits& a, const Bits& b) { return {{a.w[0] | b.w[0], a.w[1] | b.w[1], a.w[2] | b.w[2]}}; }
inline Bits operator^(const Bits& a, const Bits& b) { return {{a.w[0] ^ b.w[0], a.w[1] ^ b.w[1], a.w[2] ^ b.w[2]}}; }
inline Bits operator~(const Bits& a) { return {{~a.w[0], ~a.w[1], ~a.w[2]}}; }
// Bit i of the result is bit i + k of a (0 < k < 64).
inline Bits down(const Bits& a, int k)
{
    return {{(a.w[0] >> k) | (a.w[1] << (64 - k)), (a.w[1] >> k) | (a.w[2] << (64 - k)), a.w[2] >> k}};
}
// Bit i of the result is bit i - k of a (0 < k < 64).
inline Bits up(const Bits& a, int k)
{
    return {{a.w[0] << k, (a.w[1] << k) | (a.w[0] >> (64 - k)), (a.w[2] << k) | (a.w[1] >> (64 - k))}};
}
inline int count(const Bits& a)
{
    return __builtin_popcountll(a.w[0]) + __builtin_popcountll(a.w[1]) + __builtin_popcountll(a.w[2]);
}
// Bits 0 .. n-1 set.
Bits firstBits(int n)
{
    Bits b;
    for (int i = 0; i < n; ++i)
        b.set(i);
    return b;
}

// Rules 1 and 3 over one line of n modules; `pairs` (bits 0..n-2) gets bit i set where modules i and
// i+1 are alike, for rule 2.
int linePenalty(const Bits& line, const Bits& inner, Bits& pairs)
{
    // Rule 1: a run of r >= 5 alike modules costs r - 2. W marks each start of five alike modules:
    // a run of r holds r - 4 of them, and the first one of each run adds the remaining 2.
    pairs = ~(line ^ down(line, 1)) & inner;
    const Bits w = pairs & down(pairs, 1) & down(pairs, 2) & down(pairs, 3);
    int p = count(w) + 2 * count(w & ~up(w, 1));
    // Rule 3: dark, light, dark x3, light, dark with a light module each side and four light modules
    // on at least one side; beyond the line counts as light. Shifted by four so that those fit.
    const Bits q = up(line, 4), l = ~q;
    const Bits core = q & down(l, 1) & down(q, 2) & down(q, 3) & down(q, 4) & down(l, 5) & down(q, 6) &
                      up(l, 1) & down(l, 7);
    if (core.w[0] | core.w[1] | core.w[2]) {
        const Bits before = up(l, 2) & up(l, 3) & up(l, 4);
        const Bits after = down(l, 8) & down(l, 9) & down(l, 10);
        p += 40 * count(core & (before | after));
    }
    return p;
}

// The four rules over a symbol given as rows and as columns (n <= kMaxSide).
int penalty(const Bits* rows, const Bits* cols, int n)
{
    const Bits inner = firstBits(n - 1);
    int p = 0, dark = 0;
    Bits prev, pairs, unused;
    for (int i = 0; i < n; ++i) {
        p += linePenalty(rows[i], inner, pairs);
        p += linePenalty(cols[i], inner, unused);
        dark += count(rows[i]);
        // Rule 2: 2 x 2 blocks of one colour, 3 each.
        if (i > 0)
            p += 3 * count(prev & pairs & ~(rows[i] ^ rows[i - 1]));
        prev = pairs;
    }
    const int total = n * n;
    const int light = total - dark;
    p += 10 * (std::abs(50 - 100 * light / total) / 5);
    return p;
}

// Mask patterns repeat every 12 rows and every 12 columns: per mask, the rows y = 0..11 over all x and
// the columns x = 0..11 over all y.
struct MaskPatterns {
    Bits rows[8][12];
    Bits cols[8][12];
    MaskPatterns()
    {
        for (int k = 0; k < 8; ++k)
            for (int r = 0; r < 12; ++r)
                for (int i = 0; i < 192; ++i) {
                    if (maskBit(k, r, i))
                        rows[k][r].set(i);
                    if (maskBit(k, i, r))
                        cols[k][r].set(i);
                }
    }
};
const MaskPatterns& maskPatterns()
{
    static const MaskPatterns m;
    return m;
}

// The mask of lowest penalty (the first of equals) for a matrix holding function patterns and data.
int bestMask(const Matrix& base, int level)
{
    const int n = base.size;
    Bits dark[kMaxSide], data[kMaxSide], darkCols[kMaxSide], dataCols[kMaxSide];
    for (int y = 0; y < n; ++y) {
        const uint8_t* c = base.cells.data() + std::size_t(y) * n;
        for (int x = 0; x < n; ++x) {
            if (c[x] & 1) {
                dark[y].set(x);
                darkCols[x].set(y);
            }
            if (!(c[x] & 2)) {
                data[y].set(x);
                dataCols[x].set(y);
            }
        }
    }
    const MaskPatterns& mp = maskPatterns();
    Bits rows[kMaxSide], cols[kMaxSide];
    int best = -1, bestK = 0;
    for (int k = 0; k < 8; ++k) {
        for (int i = 0; i < n; ++i) {
            rows[i] = dark[i] ^ (data[i] & mp.rows[k][i % 12]);
            cols[i] = darkCols[i] ^ (dataCols[i] & mp.cols[k][i % 12]);
        }
        const int f = formatBits(level, k);
        forEachFormatModule(n, [&](int x, int y, int b) {
            if (b >= 0 && ((f >> b) & 1)) {
                rows[y].set(x);
                cols[x].set(y);
            }
        });
        const int p = penalty(rows, cols, n);
        if (best < 0 || p < best) {
            best = p;
            bestK = k;
        }
    }
    return bestK;
}

} // namespace

int totalCodewords(int version)
{
    // Data modules of the symbol, in whole codewords.
    int r = (16 * version + 128) * version + 64;
    if (version >= 2) {
        const int na = version / 7 + 2;
        r -= (25 * na - 10) * na - 55;
        if (version >= 7)
            r -= 36;
    }
    return r / 8;
}

int ecCodewordsPerBlock(int version, int level) { return kEcPerBlock[level][version]; }
int blockCount(int version, int level) { return kBlocks[level][version]; }
int dataCodewords(int version, int level)
{
    return totalCodewords(version) - kEcPerBlock[level][version] * kBlocks[level][version];
}

std::vector<int> alignmentCoordinates(int version)
{
    if (version == 1)
        return {};
    const int na = version / 7 + 2;
    const int step = version == 32 ? 26 : (version * 4 + na * 2 + 1) / (na * 2 - 2) * 2;
    std::vector<int> r(static_cast<std::size_t>(na));
    r[0] = 6;
    for (int i = na - 1, pos = version * 4 + 17 - 7; i >= 1; --i, pos -= step)
        r[std::size_t(i)] = pos;
    return r;
}

int versionGroup(int version) { return version < 10 ? 0 : version < 27 ? 1 : 2; }

int segmentBits(int mode, int n, int g)
{
    const int head = 4 + kIndicatorLen[mode][g];
    switch (mode) {
    case Numeric: return head + 10 * (n / 3) + (n % 3 == 1 ? 4 : n % 3 == 2 ? 7 : 0);
    case Alphanumeric: return head + 11 * (n / 2) + 6 * (n % 2);
    case Byte: return head + 8 * n;
    default: return head + 13 * (n / 2);
    }
}

bool isNumeric(uint8_t c) { return c >= '0' && c <= '9'; }
int alphanumericValue(uint8_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    switch (c) {
    case ' ': return 36;
    case '$': return 37;
    case '%': return 38;
    case '*': return 39;
    case '+': return 40;
    case '-': return 41;
    case '.': return 42;
    case '/': return 43;
    case ':': return 44;
    default: return -1;
    }
}
bool isAlphanumeric(uint8_t c) { return alphanumericValue(c) >= 0; }
bool isKanjiPair(uint8_t c1, uint8_t c2)
{
    if (c2 < 0x40 || c2 == 0x7F || c2 > 0xFC)
        return false;
    if (c1 >= 0x81 && c1 <= 0x9F)
        return true;
    if (c1 >= 0xE0 && c1 <= 0xEA)
        return true;
    return c1 == 0xEB && c2 <= 0xBF;
}
int kanjiValue(uint8_t c1, uint8_t c2)
{
    const int w = c1 * 256 + c2;
    const int d = w <= 0x9FFC ? w - 0x8140 : w - 0xC140;
    return (d >> 8) * 0xC0 + (d & 0xFF);
}

std::vector<uint8_t> reedSolomon(const uint8_t* data, int dataLen, int ecCount)
{
    const Gf256& g = gf();
    const std::vector<uint8_t>& gen = generator(ecCount);
    std::vector<uint8_t> r(std::size_t(ecCount), 0);
    for (int i = 0; i < dataLen; ++i) {
        const uint8_t factor = data[i] ^ r[0];
        std::move(r.begin() + 1, r.end(), r.begin());
        r.back() = 0;
        if (factor) {
            const int lf = g.log[factor];
            for (int j = 0; j < ecCount; ++j)
                if (gen[std::size_t(j)])
                    r[std::size_t(j)] ^= g.exp[g.log[gen[std::size_t(j)]] + lf];
        }
    }
    return r;
}

} // namespace qr

using namespace qr;

int CQR_Encode::Get_Encoding_Mode(const uint8_t* d, std::size_t len, bool allowKanji)
{
    if (len == 0)
        return Byte;
    bool any[4] = {false, false, false, false};
    for (std::size_t i = 0; i < len;) {
        const int c = classOf(d, i, len, allowKanji);
        any[c] = true;
        i += c == Kanji ? 2 : 1;
    }
    if (any[Byte] || (any[Kanji] && (any[Numeric] || any[Alphanumeric])))
        return Byte;
    if (any[Kanji])
        return Kanji;
    return any[Alphanumeric] ? Alphanumeric : Numeric;
}

int CQR_Encode::capacity(int version, int level, int mode)
{
    if (version < 1 || version > 40 || level < 0 || level > 3 || mode < 0 || mode > 3)
        return 0;
    const int g = versionGroup(version);
    const int avail = dataCodewords(version, level) * 8 - 4 - kIndicatorLen[mode][g];
    if (avail < 0)
        return 0;
    int n;
    switch (mode) {
    case Numeric: n = avail / 10 * 3 + (avail % 10 >= 7 ? 2 : avail % 10 >= 4 ? 1 : 0); break;
    case Alphanumeric: n = avail / 11 * 2 + (avail % 11 >= 6 ? 1 : 0); break;
    case Byte: n = avail / 8; break;
    default: n = avail / 13; break;
    }
    const int maxCount = (1 << kIndicatorLen[mode][g]) - 1;
    return std::min(n, maxCount);
}

bool CQR_Encode::EncodeData(int nLevel, int nVersion, bool bAutoExtent, int nMaskingNo, const uint8_t* src,
                            std::size_t len, bool allowKanji, int eci)
{
    if (nLevel < 0 || nLevel > 3 || nVersion < 0 || nVersion > 40 || nMaskingNo < -1 || nMaskingNo > 7 ||
        eci < 0 || eci > 999999 || src == nullptr || len == 0 || len > std::size_t(kMaxDataBits))
        return false;

    // Version: per indicator-length group, the smallest version whose data codewords hold the stream.
    std::vector<uint8_t> stream;
    std::vector<Segment> seg;
    int found = 0, streamBits = 0;
    for (int g = versionGroup(std::max(nVersion, 1)); g <= 2 && found == 0; ++g) {
        seg = segmentText(src, len, g, allowKanji);
        BitWriter w(stream);
        streamBits = writeStream(w, src, seg, g, eci);
        if (streamBits < 0)
            continue;
        const int need = (streamBits + 7) / 8;
        const int lo = g == 0 ? 1 : g == 1 ? 10 : 27, hi = g == 0 ? 9 : g == 1 ? 26 : 40;
        for (int v = lo; v <= hi; ++v)
            if (dataCodewords(v, nLevel) >= need) {
                found = v;
                break;
            }
    }
    if (found == 0)
        return false;
    int version = found;
    if (nVersion != 0) {
        if (found > nVersion && !bAutoExtent)
            return false;
        version = std::max(found, nVersion);
    }
    // The character count fields must hold the segment lengths.
    const int g = versionGroup(version);
    for (const Segment& s : seg)
        if ((s.mode == Kanji ? s.length / 2 : s.length) >= (1 << kIndicatorLen[s.mode][g]))
            return false;

    // Terminator, byte alignment and pad codewords.
    const int nData = dataCodewords(version, nLevel);
    const int capBits = nData * 8;
    {
        BitWriter w(stream);
        writeStream(w, src, seg, g, eci);
        const int term = std::min(4, capBits - w.count);
        if (term > 0)
            w.put(0, term);
        if (w.count % 8)
            w.put(0, 8 - w.count % 8);
    }
    for (uint8_t pad = 0xEC; int(stream.size()) < nData; pad ^= 0xEC ^ 0x11)
        stream.push_back(pad);

    // Blocks, error correction and interleaving.
    const int nBlocks = kBlocks[nLevel][version];
    const int ecLen = kEcPerBlock[nLevel][version];
    const int total = totalCodewords(version);
    const int shortData = nData / nBlocks;
    const int nLong = nData % nBlocks;
    const int nShort = nBlocks - nLong;
    std::vector<uint8_t> all(std::size_t(total), 0);
    std::vector<std::vector<uint8_t>> ec(static_cast<std::size_t>(nBlocks));
    int offset = 0;
    for (int b = 0; b < nBlocks; ++b) {
        const int dl = shortData + (b >= nShort ? 1 : 0);
        ec[std::size_t(b)] = reedSolomon(stream.data() + offset, dl, ecLen);
        for (int j = 0; j < dl; ++j) {
            const int pos = j < shortData ? b + j * nBlocks : nBlocks * shortData + (b - nShort);
            all[std::size_t(pos)] = stream[std::size_t(offset + j)];
        }
        offset += dl;
    }
    for (int b = 0; b < nBlocks; ++b)
        for (int j = 0; j < ecLen; ++j)
            all[std::size_t(nData + b + j * nBlocks)] = ec[std::size_t(b)][std::size_t(j)];

    // Matrix.
    const int n = version * 4 + 17;
    Matrix base(n);
    drawFunctionPatterns(base, version);
    placeCodewords(base, all);

    const int mask = nMaskingNo < 0 ? bestMask(base, nLevel) : nMaskingNo;
    std::vector<uint8_t> out;
    applyMask(base, mask, nLevel, out);

    m_nLevel = nLevel;
    m_nVersion = version;
    m_nMaskingNo = mask;
    m_nSymbleSize = n;
    m_byModuleData = std::move(out);
    m_segments = std::move(seg);
    m_ncDataCodeWordBit = streamBits;
    return true;
}

int CQR_Encode::CountPenalty(const uint8_t* m, int n)
{
    if (n < 1 || n > kMaxSide)
        return -1;
    Bits rows[kMaxSide], cols[kMaxSide];
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            if (m[std::size_t(y) * n + x]) {
                rows[y].set(x);
                cols[x].set(y);
            }
    return penalty(rows, cols, n);
}
