#include "barcode/twod/DataMatrixEncoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>

namespace datamatrix {

namespace {

constexpr SymbolInfo kSymbols[kSymbolCount] = {
    {10, 10, 8, 8, 3, 5, 1},          {12, 12, 10, 10, 5, 7, 1},        {14, 14, 12, 12, 8, 10, 1},
    {16, 16, 14, 14, 12, 12, 1},      {18, 18, 16, 16, 18, 14, 1},      {20, 20, 18, 18, 22, 18, 1},
    {22, 22, 20, 20, 30, 20, 1},      {24, 24, 22, 22, 36, 24, 1},      {26, 26, 24, 24, 44, 28, 1},
    {32, 32, 14, 14, 62, 36, 1},      {36, 36, 16, 16, 86, 42, 1},      {40, 40, 18, 18, 114, 48, 1},
    {44, 44, 20, 20, 144, 56, 1},     {48, 48, 22, 22, 174, 68, 1},     {52, 52, 24, 24, 204, 84, 2},
    {64, 64, 14, 14, 280, 112, 2},    {72, 72, 16, 16, 368, 144, 4},    {80, 80, 18, 18, 456, 192, 4},
    {88, 88, 20, 20, 576, 224, 4},    {96, 96, 22, 22, 696, 272, 4},    {104, 104, 24, 24, 816, 336, 6},
    {120, 120, 18, 18, 1050, 408, 6}, {132, 132, 20, 20, 1304, 496, 8}, {144, 144, 22, 22, 1558, 620, 10},
    {8, 18, 6, 16, 5, 7, 1},          {8, 32, 6, 14, 10, 11, 1},        {12, 26, 10, 24, 16, 14, 1},
    {12, 36, 10, 16, 22, 18, 1},      {16, 36, 14, 16, 32, 24, 1},      {16, 48, 14, 22, 49, 28, 1},
};

// All sizes by capacity; a square before a rectangle of the same capacity.
constexpr int kByCapacity[kSymbolCount] = {0, 1,  24, 2,  25, 3,  26, 4,  5,  27, 6,  28, 7,  8,  29,
                                           9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23};

constexpr int kLargest = 23;
constexpr int kMaxDataWords = 1558;
// No size holds more characters than this (two digits a codeword).
constexpr std::size_t kMaxInput = 2 * kMaxDataWords;

enum Mode { Ascii, C40, Text, X12, Edifact, Base256 };

enum : uint8_t {
    kDigit = 1,
    kC40Native = 2,
    kTextNative = 4,
    kX12Native = 8,
    kEdifactNative = 16,
    kExtended = 32
};

constexpr std::array<uint8_t, 256> makeClasses() {
    std::array<uint8_t, 256> t{};
    for (int c = 0; c < 256; ++c) {
        const bool digit = c >= '0' && c <= '9', upper = c >= 'A' && c <= 'Z', lower = c >= 'a' && c <= 'z';
        uint8_t f = 0;
        if (digit)
            f |= kDigit;
        if (c == ' ' || digit || upper)
            f |= kC40Native;
        if (c == ' ' || digit || lower)
            f |= kTextNative;
        if (c == 13 || c == '*' || c == '>' || c == ' ' || digit || upper)
            f |= kX12Native;
        if (c >= 32 && c <= 94)
            f |= kEdifactNative;
        if (c >= 128)
            f |= kExtended;
        t[std::size_t(c)] = f;
    }
    return t;
}
constexpr std::array<uint8_t, 256> kClass = makeClasses();

// What a character adds to the look-ahead's C40, Text, X12 and EDIFACT counts, in twelfths.
struct Costs {
    uint8_t c40, text, x12, edf;
};

constexpr std::array<Costs, 256> makeCosts() {
    std::array<Costs, 256> t{};
    for (int c = 0; c < 256; ++c) {
        const uint8_t f = kClass[std::size_t(c)];
        const bool ext = f & kExtended;
        t[std::size_t(c)] = {uint8_t((f & kC40Native) ? 8
                                     : ext            ? 32
                                                      : 16),
                             uint8_t((f & kTextNative) ? 8
                                     : ext             ? 32
                                                       : 16),
                             uint8_t((f & kX12Native) ? 8
                                     : ext            ? 52
                                                      : 40),
                             uint8_t((f & kEdifactNative) ? 9
                                     : ext                ? 51
                                                          : 39)};
    }
    return t;
}
constexpr std::array<Costs, 256> kCosts = makeCosts();

// C40 and Text values of the characters 0..127: the shift set (0 basic, 1..3) and the value in it.
struct CtValue {
    uint8_t shift;
    uint8_t value;
};

constexpr std::array<CtValue, 128> makeCtTable(bool text) {
    std::array<CtValue, 128> t{};
    for (int c = 0; c < 128; ++c) {
        CtValue v{};
        if (c < 32)
            v = {1, uint8_t(c)};
        else if (c == ' ')
            v = {0, 3};
        else if (c >= '0' && c <= '9')
            v = {0, uint8_t(c - '0' + 4)};
        else if (!text && c >= 'A' && c <= 'Z')
            v = {0, uint8_t(c - 'A' + 14)};
        else if (text && c >= 'a' && c <= 'z')
            v = {0, uint8_t(c - 'a' + 14)};
        else if (c >= 33 && c <= 47)
            v = {2, uint8_t(c - 33)};
        else if (c >= 58 && c <= 64)
            v = {2, uint8_t(c - 58 + 15)};
        else if (c >= 91 && c <= 95)
            v = {2, uint8_t(c - 91 + 22)};
        else if (text && c >= 'A' && c <= 'Z')
            v = {3, uint8_t(c - 'A' + 1)};
        else
            v = {3, uint8_t(c - 96)}; // ` a..z { | } ~ DEL in C40, ` { | } ~ DEL in Text
        t[std::size_t(c)] = v;
    }
    return t;
}
constexpr std::array<CtValue, 128> kC40Table = makeCtTable(false);
constexpr std::array<CtValue, 128> kTextTable = makeCtTable(true);

int x12Value(uint8_t c) {
    switch (c) {
    case 13:
        return 0;
    case '*':
        return 1;
    case '>':
        return 2;
    case ' ':
        return 3;
    default:
        return c <= '9' ? c - '0' + 4 : c - 'A' + 14;
    }
}

int ceil12(int v) {
    return (v + 11) / 12 * 12;
}

// Encodation of one value into data codewords, following the standard's look-ahead when the scheme is Auto.
// Counts are kept in twelfths so that the look-ahead's thirds, quarters and halves stay exact.
class Encodation {
public:
    Encodation(const uint8_t* src, int len, Scheme scheme, int sizeChoice)
        : src(src), len(len), automatic(scheme == Scheme::Auto), sizeChoice(sizeChoice) {}

    Status run(bool eci, Scheme scheme) {
        if (eci) {
            put(241);
            put(27); // ECI 26 + 1
        }
        switch (scheme) {
        case Scheme::C40:
            latch(C40);
            break;
        case Scheme::Text:
            latch(Text);
            break;
        case Scheme::X12:
            latch(X12);
            break;
        case Scheme::Edifact:
            latch(Edifact);
            break;
        case Scheme::Base256:
            latch(Base256);
            break;
        default:
            break;
        }
        while (sp < len) {
            if (n > kMaxDataWords)
                return Status::TooLong;
            bool ok = true;
            switch (mode) {
            case Ascii:
                asciiStep();
                break;
            case C40:
            case Text:
                ctStep();
                break;
            case X12:
                ok = x12Step();
                break;
            case Edifact:
                ok = edifactStep();
                break;
            case Base256:
                base256Step();
                break;
            }
            if (!ok)
                return Status::NotEncodable;
        }
        if (mode == Ascii || sizeChoice >= 0) {
            finish();
            return n > kMaxDataWords ? Status::TooLong : Status::Ok;
        }
        // How the data ends depends on the room left in the symbol: try the sizes from the smallest that
        // holds what is written so far, and keep the first that the ending fits.
        const Encodation saved = *this;
        for (int i = 0; i < kSymbolCount; ++i) {
            const int s = sizeChoice == kSmallestSquare ? i : kByCapacity[i];
            if (s >= kSquareCount && sizeChoice == kSmallestSquare)
                break;
            if (kSymbols[s].dataWords < saved.n)
                continue;
            *this = saved;
            endSymbol = s;
            finish();
            if (n <= kSymbols[s].dataWords)
                return Status::Ok;
        }
        *this = saved;
        finish();
        return Status::TooLong;
    }

    void finish() {
        switch (mode) {
        case Ascii:
            break;
        case C40:
        case Text:
        case X12:
            ctEnd();
            break;
        case Edifact:
            edifactEnd();
            break;
        case Base256:
            base256End();
            break;
        }
    }

    // The size the codewords take, -1 when none of the allowed sizes holds them.
    int symbolFor(int count) const {
        if (endSymbol >= 0)
            return count <= kSymbols[endSymbol].dataWords ? endSymbol : -1;
        if (sizeChoice >= 0)
            return count <= kSymbols[sizeChoice].dataWords ? sizeChoice : -1;
        if (sizeChoice == kSmallestSquare) {
            for (int i = 0; i < kSquareCount; ++i)
                if (kSymbols[i].dataWords >= count)
                    return i;
            return -1;
        }
        for (int i : kByCapacity)
            if (kSymbols[i].dataWords >= count)
                return i;
        return -1;
    }

    int count() const { return n; }
    const uint8_t* words() const { return out.data(); }

    void pad(int capacity) {
        if (n < capacity)
            put(129);
        while (n < capacity) {
            int v = 129 + (149 * (n + 1)) % 253 + 1;
            if (v > 254)
                v -= 254;
            put(v);
        }
    }

private:
    void put(int v) {
        if (n < int(out.size()))
            out[std::size_t(n)] = uint8_t(v);
        ++n;
    }

    // Capacity of the size the codewords would take; 0 when no size holds them.
    int capacityFor(int count) const {
        const int s = symbolFor(count);
        return s < 0 ? 0 : kSymbols[s].dataWords;
    }

    void latch(Mode m) {
        static constexpr int kLatch[] = {0, 230, 239, 238, 240, 231};
        put(kLatch[m]);
        mode = m;
        notFirst = false;
        pending = 0;
        alignedSp = sp;
        alignedN = n;
        latchEnd = n;
        segmentStart = sp;
    }

    void asciiChar(uint8_t c) {
        if (c >= 128) {
            put(235); // upper shift
            put(c - 127);
        } else {
            put(c + 1);
        }
    }

    // X12 and EDIFACT are entered only with a character they hold.
    static bool enterable(Mode m, uint8_t c) {
        return (m != X12 || (kClass[c] & kX12Native)) && (m != Edifact || (kClass[c] & kEdifactNative));
    }

    bool digitPairAt(int p) const {
        return p + 1 < len && (kClass[src[p]] & kDigit) && (kClass[src[p + 1]] & kDigit);
    }

    void asciiStep() {
        const uint8_t c = src[sp];
        if (digitPairAt(sp)) {
            put(130 + (c - '0') * 10 + (src[sp + 1] - '0'));
            sp += 2;
            return;
        }
        if (automatic && sp >= asciiUntil) {
            const Mode m = lookAhead(Ascii);
            if (m != Ascii && enterable(m, c)) {
                latch(m);
                return;
            }
        }
        asciiChar(c);
        ++sp;
    }

    void ctPush(int v) {
        values[pending++] = uint8_t(v);
        if (pending == 3) {
            const int w = 1600 * values[0] + 40 * values[1] + values[2] + 1;
            put(w >> 8);
            put(w & 255);
            pending = 0;
        }
    }

    void unlatchToAscii() {
        put(254);
        mode = Ascii;
    }

    void ctStep() {
        if (automatic && pending == 0 && notFirst && lookAhead(mode) != mode) {
            unlatchToAscii();
            return;
        }
        int c = src[sp];
        if (c >= 128) {
            ctPush(1);  // shift 2
            ctPush(30); // upper shift
            c -= 128;
        }
        const CtValue v = (mode == C40 ? kC40Table : kTextTable)[std::size_t(c)];
        if (v.shift)
            ctPush(v.shift - 1);
        ctPush(v.value);
        ++sp;
        notFirst = true;
        if (pending == 0) {
            alignedSp = sp;
            alignedN = n;
        }
    }

    bool x12Step() {
        const uint8_t c = src[sp];
        if (!(kClass[c] & kX12Native)) {
            if (!automatic)
                return false;
            // The characters of the unfinished triple are encoded again, in ASCII without a new look-ahead
            // (which could choose X12 for them again).
            asciiUntil = sp;
            sp = alignedSp;
            pending = 0;
            unlatchToAscii();
            return true;
        }
        if (automatic && pending == 0 && notFirst && lookAhead(X12) != X12) {
            unlatchToAscii();
            return true;
        }
        ctPush(x12Value(c));
        ++sp;
        notFirst = true;
        if (pending == 0) {
            alignedSp = sp;
            alignedN = n;
        }
        return true;
    }

    // End of data in C40, Text or X12.
    void ctEnd() {
        const int t = n;
        if (pending == 0) {
            if (capacityFor(t) > t)
                put(254);
            return;
        }
        // Two values and exactly two codewords left: a shift 1 completes the triple, no unlatch.
        if (pending == 2 && mode != X12 && capacityFor(t + 2) - t == 2) {
            ctPush(0);
            return;
        }
        // One ASCII codeword's worth of data after the last whole triple and one codeword left: the reader
        // takes that codeword as ASCII without an unlatch.
        const int rest = len - alignedSp;
        const bool oneWord = (rest == 1 && src[alignedSp] < 128) || (rest == 2 && digitPairAt(alignedSp));
        if (oneWord && capacityFor(alignedN + 1) - alignedN == 1) {
            n = alignedN;
            pending = 0;
            if (rest == 2)
                put(130 + (src[alignedSp] - '0') * 10 + (src[alignedSp + 1] - '0'));
            else
                asciiChar(src[alignedSp]);
            return;
        }
        // Otherwise the characters after the last whole triple go in ASCII; a latch that encoded nothing
        // is taken back.
        n = alignedN;
        sp = alignedSp;
        pending = 0;
        if (n == latchEnd)
            --n;
        else
            put(254);
        mode = Ascii;
        while (sp < len) {
            if (digitPairAt(sp)) {
                put(130 + (src[sp] - '0') * 10 + (src[sp + 1] - '0'));
                sp += 2;
            } else {
                asciiChar(src[sp++]);
            }
        }
    }

    void edifactFlush(int count) {
        const uint32_t bits = uint32_t(values[0]) << 18 | uint32_t(values[1]) << 12 |
                              uint32_t(values[2]) << 6 | uint32_t(values[3]);
        put(int(bits >> 16) & 255);
        if (count > 1)
            put(int(bits >> 8) & 255);
        if (count > 2)
            put(int(bits) & 255);
        std::memset(values, 0, sizeof values);
        pending = 0;
    }

    void edifactUnlatch() {
        values[pending++] = 31;
        edifactFlush(pending);
        mode = Ascii;
    }

    bool edifactStep() {
        const uint8_t c = src[sp];
        if (!(kClass[c] & kEdifactNative)) {
            if (!automatic)
                return false;
            edifactUnlatch();
            return true;
        }
        if (automatic && notFirst && pending == kEdifactCheck && lookAhead(Edifact) != Edifact) {
            edifactUnlatch();
            return true;
        }
        values[pending++] = uint8_t(c & 63);
        if (pending == 4)
            edifactFlush(4);
        ++sp;
        notFirst = true;
        return true;
    }

    void edifactEnd() {
        // With at most two codewords left after the last whole group the reader is back in ASCII by itself.
        const int t = n, rest = pending;
        if (capacityFor(t + rest) - t <= 2) {
            pending = 0;
            for (int p = len - rest; p < len; ++p)
                asciiChar(src[p]);
            return;
        }
        edifactUnlatch();
    }

    void base256Step() {
        if (automatic && notFirst) {
            const Mode m = lookAhead(Base256);
            if (m != Base256) {
                // The segment's length closes it; the next mode follows without an unlatch.
                base256Write();
                mode = Ascii;
                if (m != Ascii && enterable(m, src[sp]))
                    latch(m);
                return;
            }
        }
        ++sp;
        notFirst = true;
    }

    // 255-state randomising of Base 256 codewords by their position.
    void putRandomised(int v) {
        const int r = (149 * (n + 1)) % 255 + 1;
        put((v + r) & 255);
    }

    // atEnd: the segment closes the data; when it fills the symbol exactly its length is written as 0.
    void base256Write(bool atEnd = false) {
        const int length = sp - segmentStart;
        if (atEnd && capacityFor(n + 1 + length) == n + 1 + length) {
            putRandomised(0);
        } else if (length <= 249) {
            putRandomised(length);
        } else {
            putRandomised(249 + length / 250);
            putRandomised(length % 250);
        }
        for (int p = segmentStart; p < sp; ++p)
            putRandomised(src[p]);
    }

    void base256End() { base256Write(true); }

    // The standard's look-ahead test from the current position: the mode that should encode what follows.
    Mode lookAhead(Mode current) const {
        int a, c40, text, x12, edf, b256;
        if (current == Base256) {
            // Leaving Base 256 costs no unlatch; ties stay in Base 256.
            a = 0;
            c40 = text = x12 = edf = 12;
            b256 = -1;
        } else if (current == Ascii) {
            a = 0;
            c40 = text = x12 = edf = 12;
            b256 = 18;
        } else {
            a = 12;
            c40 = text = x12 = edf = 24;
            b256 = 27;
            switch (current) {
            case C40:
                c40 = 0;
                break;
            case Text:
                text = 0;
                break;
            case X12:
                x12 = 0;
                break;
            case Edifact:
                edf = 0;
                break;
            default:
                break;
            }
        }
        for (int p = sp; p < len; ++p) {
            const uint8_t f = kClass[src[p]];
            if (f & kDigit)
                a += 6;
            else
                a = ceil12(a) + ((f & kExtended) ? 24 : 12);
            const Costs& k = kCosts[src[p]];
            c40 += k.c40;
            text += k.text;
            x12 += k.x12;
            edf += k.edf;
            b256 += 12;
            if (p - sp < 3)
                continue;
            if (a + 12 <= std::min({c40, text, x12, edf, b256}))
                return Ascii;
            const int b = ceil12(b256);
            if (b + 12 <= ceil12(a) ||
                b + 12 < std::min({ceil12(c40), ceil12(text), ceil12(x12), ceil12(edf)}))
                return Base256;
            if (edf + 12 < std::min({a, c40, text, x12, b256}))
                return Edifact;
            if (text + 12 < std::min({a, c40, x12, edf, b256}))
                return Text;
            if (x12 + 12 < std::min({a, c40, text, edf, b256}))
                return X12;
            if (c40 + 12 < std::min({a, text, edf, b256})) {
                if (c40 < x12)
                    return C40;
                if (c40 == x12) {
                    // An X12 terminator before any character X12 lacks decides for X12.
                    for (int q = p + 1; q < len && (kClass[src[q]] & kX12Native); ++q)
                        if (src[q] == 13 || src[q] == '*' || src[q] == '>')
                            return X12;
                    return C40;
                }
            }
        }
        a = ceil12(a);
        c40 = ceil12(c40);
        text = ceil12(text);
        x12 = ceil12(x12);
        edf = ceil12(edf);
        b256 = ceil12(b256);
        if (a <= std::min({c40, text, x12, edf, b256}))
            return Ascii;
        if (b256 < std::min({a, c40, text, x12, edf}))
            return Base256;
        if (edf < std::min({a, c40, text, b256}) && edf <= x12)
            return Edifact;
        if (text < std::min({a, c40, x12, edf, b256}))
            return Text;
        if (x12 < std::min({a, c40, text, edf, b256}))
            return X12;
        return C40;
    }

    // EDIFACT looks ahead before the last value of each group, so that an unlatch completes the group.
    static constexpr int kEdifactCheck = 3;

    const uint8_t* src;
    int len;
    bool automatic;
    int sizeChoice;
    std::array<uint8_t, kMaxDataWords + 16> out;
    int n = 0;
    int sp = 0;
    Mode mode = Ascii;
    bool notFirst = false;
    uint8_t values[4] = {0, 0, 0, 0};
    int pending = 0;
    int alignedSp = 0, alignedN = 0; // after the last character that completed a triple
    int asciiUntil = 0;              // no look-ahead before this position
    int endSymbol = -1;              // the size the ending was made for
    int latchEnd = -1;               // codewords written up to and with the last latch
    int segmentStart = 0;
};

// GF(256) with the polynomial 301.
struct Field {
    uint8_t exp[512];
    uint8_t log[256];
};

constexpr Field makeField() {
    Field f{};
    int x = 1;
    for (int i = 0; i < 255; ++i) {
        f.exp[i] = uint8_t(x);
        f.log[x] = uint8_t(i);
        x <<= 1;
        if (x & 256)
            x ^= 301;
    }
    for (int i = 255; i < 512; ++i)
        f.exp[i] = f.exp[i - 255];
    return f;
}
constexpr Field kField = makeField();

// For each block length of error correction k, the products of every byte with the coefficients of the
// generator polynomial (x - a)(x - a^2)...(x - a^k), from x^(k-1) down to x^0: row f holds f * g.
class Generators {
public:
    Generators() {
        for (const SymbolInfo& s : kSymbols) {
            const int k = s.eccWords / s.blocks;
            if (!products[k].empty())
                continue;
            int poly[71] = {1}; // poly[i]: coefficient of x^i
            for (int r = 1; r <= k; ++r) {
                const int root = kField.exp[r];
                for (int i = r; i >= 0; --i) {
                    int v = i > 0 ? poly[i - 1] : 0;
                    if (poly[i])
                        v ^= kField.exp[kField.log[poly[i]] + kField.log[root]];
                    poly[i] = v;
                }
            }
            std::vector<uint8_t>& t = products[k];
            t.assign(std::size_t(256 * k), 0);
            for (int f = 1; f < 256; ++f)
                for (int j = 0; j < k; ++j) {
                    const int coef = poly[k - 1 - j];
                    t[std::size_t(f * k + j)] = coef ? kField.exp[kField.log[f] + kField.log[coef]] : 0;
                }
        }
    }
    const uint8_t* row(int k, int f) const { return products[k].data() + std::size_t(f) * k; }

private:
    std::vector<uint8_t> products[70];
};

const Generators& generators() {
    static const Generators g;
    return g;
}

// Remainder of one block's data (every stride-th codeword from data) times x^k by the generator.
void blockEcc(const uint8_t* data, int stride, int count, int k, uint8_t* ecc) {
    const Generators& g = generators();
    std::memset(ecc, 0, std::size_t(k));
    for (int i = 0; i < count; ++i) {
        const uint8_t* p = g.row(k, data[i * stride] ^ ecc[0]); // all zero for a zero feedback
        for (int j = 0; j < k - 1; ++j)
            ecc[j] = uint8_t(ecc[j + 1] ^ p[j]);
        ecc[k - 1] = p[k - 1];
    }
}

// Where each codeword bit lands in the symbol, and the modules that are fixed.
struct Layout {
    std::vector<uint8_t> base;    // finder and clock patterns and the fixed corner, row-major
    std::vector<uint32_t> bitPos; // codeword k, bit b (0 = most significant) at bitPos[8k + b]
};

class Placement {
public:
    Placement(int nrow, int ncol) : nrow(nrow), ncol(ncol), cell(std::size_t(nrow) * ncol, -1) {
        int k = 0, row = 4, col = 0;
        do {
            if (row == nrow && col == 0)
                corner({{nrow - 1, 0},
                        {nrow - 1, 1},
                        {nrow - 1, 2},
                        {0, ncol - 2},
                        {0, ncol - 1},
                        {1, ncol - 1},
                        {2, ncol - 1},
                        {3, ncol - 1}},
                       k++);
            if (row == nrow - 2 && col == 0 && ncol % 4)
                corner({{nrow - 3, 0},
                        {nrow - 2, 0},
                        {nrow - 1, 0},
                        {0, ncol - 4},
                        {0, ncol - 3},
                        {0, ncol - 2},
                        {0, ncol - 1},
                        {1, ncol - 1}},
                       k++);
            if (row == nrow - 2 && col == 0 && ncol % 8 == 4)
                corner({{nrow - 3, 0},
                        {nrow - 2, 0},
                        {nrow - 1, 0},
                        {0, ncol - 2},
                        {0, ncol - 1},
                        {1, ncol - 1},
                        {2, ncol - 1},
                        {3, ncol - 1}},
                       k++);
            if (row == nrow + 4 && col == 2 && !(ncol % 8))
                corner({{nrow - 1, 0},
                        {nrow - 1, ncol - 1},
                        {0, ncol - 3},
                        {0, ncol - 2},
                        {0, ncol - 1},
                        {1, ncol - 3},
                        {1, ncol - 2},
                        {1, ncol - 1}},
                       k++);
            do { // up and to the right
                if (row < nrow && col >= 0 && at(row, col) < 0)
                    utah(row, col, k++);
                row -= 2;
                col += 2;
            } while (row >= 0 && col < ncol);
            row += 1;
            col += 3;
            do { // down and to the left
                if (row >= 0 && col < ncol && at(row, col) < 0)
                    utah(row, col, k++);
                row += 2;
                col -= 2;
            } while (row < nrow && col >= 0);
            row += 3;
            col += 1;
        } while (row < nrow || col < ncol);
        placed = k;
    }

    int nrow, ncol;
    std::vector<int> cell; // 8k + bit, or -1 where no codeword lands
    int placed = 0;

    int& at(int row, int col) { return cell[std::size_t(row) * ncol + col]; }

private:
    void module(int row, int col, int k, int bit) {
        if (row < 0) {
            row += nrow;
            col += 4 - ((nrow + 4) % 8);
        }
        if (col < 0) {
            col += ncol;
            row += 4 - ((ncol + 4) % 8);
        }
        at(row, col) = 8 * k + bit;
    }
    void utah(int row, int col, int k) {
        module(row - 2, col - 2, k, 0);
        module(row - 2, col - 1, k, 1);
        module(row - 1, col - 2, k, 2);
        module(row - 1, col - 1, k, 3);
        module(row - 1, col, k, 4);
        module(row, col - 2, k, 5);
        module(row, col - 1, k, 6);
        module(row, col, k, 7);
    }
    void corner(const int (&rc)[8][2], int k) {
        for (int b = 0; b < 8; ++b)
            module(rc[b][0], rc[b][1], k, b);
    }
};

Layout makeLayout(int index) {
    const SymbolInfo& s = kSymbols[index];
    const int rr = s.regionRows, rc = s.regionColumns;
    const int nrow = s.rows / (rr + 2) * rr, ncol = s.columns / (rc + 2) * rc;
    Placement p(nrow, ncol);
    Layout l;
    l.base.assign(std::size_t(s.rows) * s.columns, 0);
    for (int y = 0; y < s.rows; ++y)
        for (int x = 0; x < s.columns; ++x) {
            const int ry = y % (rr + 2), rx = x % (rc + 2);
            bool dark = false;
            if (rx == 0 || ry == rr + 1)
                dark = true; // solid left and bottom edges of each region
            else if (ry == 0)
                dark = rx % 2 == 0;
            else if (rx == rc + 1)
                dark = ry % 2 == 1;
            l.base[std::size_t(y) * s.columns + x] = dark;
        }
    auto symbolPos = [&](int row, int col) {
        const int y = row / rr * (rr + 2) + 1 + row % rr, x = col / rc * (rc + 2) + 1 + col % rc;
        return uint32_t(y * s.columns + x);
    };
    // Where no codeword reaches the lower right corner, its 2 x 2 modules are fixed.
    if (p.at(nrow - 1, ncol - 1) < 0) {
        l.base[symbolPos(nrow - 1, ncol - 1)] = 1;
        l.base[symbolPos(nrow - 2, ncol - 2)] = 1;
    }
    l.bitPos.assign(std::size_t(p.placed) * 8, 0);
    for (int row = 0; row < nrow; ++row)
        for (int col = 0; col < ncol; ++col)
            if (const int c = p.at(row, col); c >= 0)
                l.bitPos[std::size_t(c)] = symbolPos(row, col);
    return l;
}

const Layout& layout(int index) {
    static Layout layouts[kSymbolCount];
    static std::once_flag once[kSymbolCount];
    std::call_once(once[index], [index] { layouts[index] = makeLayout(index); });
    return layouts[index];
}

bool validSizeChoice(int sizeChoice) {
    return sizeChoice == kSmallestSquare || sizeChoice == kSmallestAny ||
           (sizeChoice >= 0 && sizeChoice < kSymbolCount);
}

} // namespace

const SymbolInfo& symbolInfo(int index) {
    return kSymbols[std::clamp(index, 0, kSymbolCount - 1)];
}

int symbolIndex(int rows, int columns) {
    for (int i = 0; i < kSymbolCount; ++i)
        if (kSymbols[i].rows == rows && kSymbols[i].columns == columns)
            return i;
    return -1;
}

Result encodeCodewords(const uint8_t* data, std::size_t size, Scheme scheme, int sizeChoice, bool eci,
                       std::vector<uint8_t>* codewords) {
    Result r;
    if (!validSizeChoice(sizeChoice) || (data == nullptr && size > 0))
        return r;
    if (size == 0) {
        r.status = Status::Empty;
        return r;
    }
    if (size > kMaxInput) {
        r.status = Status::TooLong;
        return r;
    }
    Encodation e(data, int(size), scheme, sizeChoice);
    r.status = e.run(eci, scheme);
    if (r.status != Status::Ok) {
        if (r.status == Status::TooLong && e.count() <= kMaxDataWords)
            r.dataWords = e.count();
        return r;
    }
    r.dataWords = e.count();
    r.symbol = e.symbolFor(e.count());
    if (r.symbol < 0) {
        r.status = Status::TooLong;
        return r;
    }
    if (codewords) {
        const SymbolInfo& s = kSymbols[r.symbol];
        e.pad(s.dataWords);
        codewords->assign(e.words(), e.words() + s.dataWords);
    }
    return r;
}

void addErrorCorrection(int symbol, std::vector<uint8_t>& codewords) {
    if (symbol < 0 || symbol >= kSymbolCount)
        return;
    const SymbolInfo& s = kSymbols[symbol];
    const int blocks = s.blocks, k = s.eccWords / blocks;
    codewords.resize(std::size_t(s.dataWords + s.eccWords));
    uint8_t ecc[70];
    for (int b = 0; b < blocks; ++b) {
        const int count = (s.dataWords - b + blocks - 1) / blocks;
        blockEcc(codewords.data() + b, blocks, count, k, ecc);
        // The largest size puts its two shorter blocks first in the error-correction part.
        const int slot = symbol == kLargest ? (b < 8 ? b + 2 : b - 8) : b;
        for (int j = 0; j < k; ++j)
            codewords[std::size_t(s.dataWords + j * blocks + slot)] = ecc[j];
    }
}

void placeModules(int symbol, const std::vector<uint8_t>& codewords, std::vector<uint8_t>& modules) {
    if (symbol < 0 || symbol >= kSymbolCount) {
        modules.clear();
        return;
    }
    const Layout& l = layout(symbol);
    modules = l.base;
    const std::size_t words = std::min(codewords.size(), l.bitPos.size() / 8);
    const uint32_t* pos = l.bitPos.data();
    uint8_t* out = modules.data();
    for (std::size_t k = 0; k < words; ++k, pos += 8) {
        const unsigned c = codewords[k];
        for (int b = 0; b < 8; ++b)
            out[pos[b]] |= uint8_t((c >> (7 - b)) & 1);
    }
}

Result encode(const uint8_t* data, std::size_t size, Scheme scheme, int sizeChoice, bool eci,
              std::vector<uint8_t>* modules) {
    std::vector<uint8_t> words;
    words.reserve(kMaxDataWords + 620);
    const Result r = encodeCodewords(data, size, scheme, sizeChoice, eci, &words);
    if (r.status != Status::Ok || modules == nullptr)
        return r;
    addErrorCorrection(r.symbol, words);
    placeModules(r.symbol, words, *modules);
    return r;
}

} // namespace datamatrix
