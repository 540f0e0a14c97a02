#include "barcode/twod/pdf417lib.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pdf417 {
namespace {

constexpr int kAlpha = 1, kLower = 2, kMixed = 4, kPunct = 8;
constexpr int kByteShift = 913;
constexpr int kMaxText = 5420;
constexpr char MIXED_SET[] = "0123456789&\r\t,:#-.$/+%*=^";
constexpr char PUNCTUATION_SET[] = ";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'";

bool isDigit(uint8_t c) { return c >= '0' && c <= '9'; }

struct CharClass {
    uint8_t modes; // text sub-modes holding the character, 0 for none
    uint8_t value; // its value there (the byte itself for none)
};

constexpr int indexIn(const char* set, uint8_t c)
{
    for (int i = 0; set[i]; ++i)
        if (uint8_t(set[i]) == c)
            return i;
    return -1;
}

constexpr std::array<CharClass, 256> makeCharClasses()
{
    std::array<CharClass, 256> t{};
    for (int c = 0; c < 256; ++c) {
        CharClass& k = t[std::size_t(c)];
        const int m = c ? indexIn(MIXED_SET, uint8_t(c)) : -1;
        const int q = c ? indexIn(PUNCTUATION_SET, uint8_t(c)) : -1;
        if (c >= 'A' && c <= 'Z')
            k = {uint8_t(kAlpha), uint8_t(c - 'A')};
        else if (c >= 'a' && c <= 'z')
            k = {uint8_t(kLower), uint8_t(c - 'a')};
        else if (c == ' ')
            k = {uint8_t(kAlpha | kLower | kMixed), 26};
        else if (m >= 0 && m == q)
            k = {uint8_t(kMixed | kPunct), uint8_t(m)};
        else if (m >= 0)
            k = {uint8_t(kMixed), uint8_t(m)};
        else if (q >= 0)
            k = {uint8_t(kPunct), uint8_t(q)};
        else
            k = {0, uint8_t(c)};
    }
    return t;
}
constexpr std::array<CharClass, 256> kCharClasses = makeCharClasses();
bool isText(uint8_t c) { return (c >= 32 && c <= 126) || c == 13 || c == 10 || c == 9; }

struct Encoder {
    pdf417param& p;
    const std::vector<Element>& list;
    int pos = 1; // codeword 0 holds the length descriptor

    const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(p.text.data()); }

    void put(int cw) { p.codewords[std::size_t(pos++)] = cw; }

    // Sub-modes and value of a character; sub-modes 0 means a byte shift.
    static int typeAndValue(uint8_t c, int& value)
    {
        const CharClass k = kCharClasses[c];
        value = k.value;
        return k.modes;
    }

    int typeAt(int i, int end) const
    {
        if (i >= end)
            return 0;
        int v;
        return typeAndValue(bytes()[i], v);
    }

    void textCompaction(int start, int end)
    {
        std::vector<int> dest;
        dest.reserve(std::size_t(end - start) * 2 + 2);
        int mode = kAlpha;
        int shifts = 0;
        for (int k = start; k < end; ++k) {
            int v;
            const int ss = typeAndValue(bytes()[k], v);
            if (ss & mode) {
                dest.push_back(v);
                continue;
            }
            if (ss == 0) {
                if (dest.size() & 1) {
                    dest.push_back(29);
                    if (mode == kPunct)
                        mode = kAlpha;
                }
                dest.push_back(kByteShift);
                dest.push_back(v);
                ++shifts;
                continue;
            }
            const bool punctAhead = (typeAt(k + 1, end) & kPunct) && (typeAt(k + 2, end) & kPunct);
            switch (mode) {
            case kAlpha:
                if (ss & kLower) {
                    dest.push_back(27);
                    mode = kLower;
                } else if (ss & kMixed) {
                    dest.push_back(28);
                    mode = kMixed;
                } else if (punctAhead) {
                    dest.push_back(28);
                    dest.push_back(25);
                    mode = kPunct;
                } else {
                    dest.push_back(29);
                }
                break;
            case kLower:
                if (ss & kAlpha) {
                    if ((typeAt(k + 1, end) & kAlpha) && (typeAt(k + 2, end) & kAlpha)) {
                        dest.push_back(28);
                        dest.push_back(28);
                        mode = kAlpha;
                    } else {
                        dest.push_back(27);
                    }
                } else if (ss & kMixed) {
                    dest.push_back(28);
                    mode = kMixed;
                } else if (punctAhead) {
                    dest.push_back(28);
                    dest.push_back(25);
                    mode = kPunct;
                } else {
                    dest.push_back(29);
                }
                break;
            case kMixed:
                if (ss & kAlpha) {
                    dest.push_back(28);
                    mode = kAlpha;
                } else if (ss & kLower) {
                    dest.push_back(27);
                    mode = kLower;
                } else if (punctAhead) {
                    dest.push_back(25);
                    mode = kPunct;
                } else {
                    dest.push_back(29);
                }
                break;
            default: // punctuation: back to alpha, then the same character again
                dest.push_back(29);
                mode = kAlpha;
                --k;
                continue;
            }
            dest.push_back(v);
        }
        if (dest.size() & 1)
            dest.push_back(29);
        const int needed = int(dest.size() + 2 * std::size_t(shifts)) / 2;
        if (needed + pos >= 927) {
            p.error = PDF417_ERROR_TEXT_TOO_BIG;
            return;
        }
        for (std::size_t i = 0; i < dest.size();) {
            if (dest[i] == kByteShift) {
                put(kByteShift);
                put(dest[i + 1]);
                i += 2;
            } else {
                put(dest[i] * 30 + dest[i + 1]);
                i += 2;
            }
        }
    }

    void numberCompaction(int start, int end)
    {
        const int digits = end - start;
        const int needed = 15 * (digits / 44) + (digits % 44 ? (digits % 44) / 3 + 1 : 0);
        if (needed + pos >= 927) {
            p.error = PDF417_ERROR_TEXT_TOO_BIG;
            return;
        }
        for (int g = start; g < end; g += 44) {
            const int n = std::min(44, end - g);
            // "1" followed by the digits, as a base-900 number.
            std::vector<int> dec(std::size_t(n) + 1);
            dec[0] = 1;
            for (int i = 0; i < n; ++i)
                dec[std::size_t(i) + 1] = bytes()[g + i] - '0';
            const int count = n / 3 + 1;
            std::vector<int> out(std::size_t(count), 0);
            for (int c = count - 1; c >= 0; --c) {
                int rem = 0;
                for (int& d : dec) {
                    const int cur = rem * 10 + d;
                    d = cur / 900;
                    rem = cur % 900;
                }
                out[std::size_t(c)] = rem;
            }
            for (int v : out)
                put(v);
        }
    }

    void byteCompaction(int start, int end)
    {
        const int n = end - start;
        const int needed = 5 * (n / 6) + n % 6;
        if (needed + pos >= 927) {
            p.error = PDF417_ERROR_TEXT_TOO_BIG;
            return;
        }
        int k = start;
        for (; k + 6 <= end; k += 6) {
            uint64_t v = 0;
            for (int i = 0; i < 6; ++i)
                v = (v << 8) | bytes()[k + i];
            int out[5];
            for (int i = 4; i >= 0; --i) {
                out[i] = int(v % 900);
                v /= 900;
            }
            for (int c : out)
                put(c);
        }
        for (; k < end; ++k)
            put(bytes()[k]);
    }

    void assemble()
    {
        if (p.eci > 0) {
            put(927);
            put(p.eci);
        }
        for (std::size_t i = 0; i < list.size() && p.error == 0; ++i) {
            const Element& e = list[i];
            const int len = e.end - e.start;
            switch (e.type) {
            case 'B':
                put(len % 6 == 0 ? 924 : 901);
                byteCompaction(e.start, e.end);
                break;
            case 'N':
                put(902);
                numberCompaction(e.start, e.end);
                break;
            default:
                if (i != 0 || p.eci > 0)
                    put(900);
                textCompaction(e.start, e.end);
                break;
            }
        }
    }
};

void cutStretch(std::vector<Element>& list, const std::string& t, int start, int end)
{
    for (int k = start; k < end; ++k) {
        const char type = isText(uint8_t(t[std::size_t(k)])) ? 'T' : 'B';
        if (k == start || list.back().type != type)
            list.push_back({type, k, k + 1});
        else
            list.back().end = k + 1;
    }
}

int length(const Element& e) { return e.end - e.start; }

void calculateErrorCorrection(pdf417param& p, int dest)
{
    const int level = p.errorLevel < 0 || p.errorLevel > 8 ? 0 : p.errorLevel;
    const uint16_t* a = ERROR_LEVEL(level);
    const int e = 2 << level;
    // Remainder of the data over the generator, kept as sums reduced only where a term leaves: each
    // register takes at most e products below 929 * 929 before it is read, which stays below 2^32.
    uint32_t neg[512], E[512];
    for (int j = 0; j < e; ++j) {
        neg[j] = (929 - a[e - 1 - j]) % 929;
        E[j] = 0;
    }
    for (int i = 0; i < dest; ++i) {
        const uint32_t t = (uint32_t(p.codewords[std::size_t(i)]) + E[0]) % 929;
        for (int j = 0; j + 1 < e; ++j)
            E[j] = E[j + 1] + t * neg[j];
        E[e - 1] = t * neg[e - 1];
    }
    for (int j = 0; j < e; ++j)
        p.codewords[std::size_t(dest + j)] = int((929 - E[j] % 929) % 929);
}

void getMaxSquare(pdf417param& p)
{
    if (p.codeColumns < 22) {
        p.codeColumns = 16;
        p.codeRows = 58;
    } else {
        p.codeColumns = 29;
        p.codeRows = 32;
    }
}

void outPaintCode(pdf417param& p)
{
    p.bitColumns = 17 * (p.codeColumns + 3) + 18;
    const int bpr = (p.bitColumns - 1) / 8 + 1;
    p.lenBits = bpr * p.codeRows;
    p.outBits.assign(std::size_t(p.lenBits), 0);
    int cw = 0;
    for (int r = 0; r < p.codeRows; ++r) {
        // Patterns go into a bit accumulator, whole bytes out as they fill.
        uint8_t* row = p.outBits.data() + std::size_t(r) * bpr;
        uint64_t acc = 0;
        int held = 0;
        auto out = [&](uint32_t pattern, int n) {
            acc = (acc << n) | pattern;
            held += n;
            while (held >= 8) {
                held -= 8;
                *row++ = uint8_t(acc >> held);
            }
        };
        const int cluster = r % 3;
        const uint32_t* table = CLUSTERS[cluster];
        const int base = 30 * (r / 3);
        const int rowsPart = (p.codeRows - 1) / 3;
        const int levelPart = 3 * p.errorLevel + (p.codeRows - 1) % 3;
        const int colsPart = p.codeColumns - 1;
        int left, right;
        if (cluster == 0) {
            left = base + rowsPart;
            right = base + colsPart;
        } else if (cluster == 1) {
            left = base + levelPart;
            right = base + rowsPart;
        } else {
            left = base + colsPart;
            right = base + levelPart;
        }
        out(START_PATTERN, 17);
        out(table[left], 17);
        for (int c = 0; c < p.codeColumns; ++c)
            out(table[p.codewords[std::size_t(cw++)]], 17);
        out(table[right], 17);
        out(STOP_PATTERN, 18);
        if (held > 0)
            *row = uint8_t(acc << (8 - held));
    }
    if (p.options & PDF417_INVERT_BITMAP)
        for (uint8_t& b : p.outBits)
            b = uint8_t(~b);
}

} // namespace

int maxPossibleErrorLevel(int n)
{
    for (int level = 8; level > 0; --level)
        if ((2 << level) <= n)
            return level;
    return 0;
}

std::vector<Element> breakString(const std::string& t)
{
    std::vector<Element> list;
    const int len = int(t.size());
    int nd = 0, lastTxt = 0;
    for (int k = 0; k < len; ++k) {
        if (isDigit(uint8_t(t[std::size_t(k)]))) {
            ++nd;
            continue;
        }
        if (nd >= 13) {
            cutStretch(list, t, lastTxt, k - nd);
            list.push_back({'N', k - nd, k});
            lastTxt = k;
        }
        nd = 0;
    }
    if (nd >= 13) {
        cutStretch(list, t, lastTxt, len - nd);
        list.push_back({'N', len - nd, len});
    } else {
        cutStretch(list, t, lastTxt, len);
    }

    auto mergeInto = [&list](std::size_t into, std::size_t from) {
        list[into].start = std::min(list[into].start, list[from].start);
        list[into].end = std::max(list[into].end, list[from].end);
        list.erase(list.begin() + std::ptrdiff_t(from));
    };

    // A single byte between two texts joins them.
    for (std::size_t k = 1; k + 1 < list.size();) {
        if (list[k].type == 'B' && length(list[k]) == 1 && list[k - 1].type == 'T' && list[k + 1].type == 'T' &&
            length(list[k - 1]) + length(list[k + 1]) >= 3) {
            list[k - 1].end = list[k + 1].end;
            list.erase(list.begin() + std::ptrdiff_t(k), list.begin() + std::ptrdiff_t(k) + 2);
            k = 1;
            continue;
        }
        ++k;
    }
    // Long texts take in short neighbours.
    for (std::size_t k = 0; k < list.size();) {
        bool merged = false;
        if (list[k].type == 'T' && length(list[k]) >= 5) {
            auto absorbable = [&](std::size_t i) {
                return list[i].type == 'T' || (list[i].type == 'B' && length(list[i]) == 1);
            };
            if (k > 0 && absorbable(k - 1)) {
                mergeInto(k, k - 1);
                --k;
                merged = true;
            }
            if (k + 1 < list.size() && absorbable(k + 1)) {
                mergeInto(k, k + 1);
                merged = true;
            }
        }
        k = merged ? 0 : k + 1;
    }
    // Bytes take in short texts and other bytes.
    for (std::size_t k = 0; k < list.size();) {
        bool merged = false;
        if (list[k].type == 'B') {
            auto absorbable = [&](std::size_t i) {
                return list[i].type == 'B' || (list[i].type == 'T' && length(list[i]) < 5);
            };
            if (k > 0 && absorbable(k - 1)) {
                mergeInto(k, k - 1);
                --k;
                merged = true;
            }
            if (k + 1 < list.size() && absorbable(k + 1)) {
                mergeInto(k, k + 1);
                merged = true;
            }
        }
        k = merged ? 0 : k + 1;
    }
    if (list.size() == 1 && list[0].type == 'T' && length(list[0]) >= 8 &&
        std::all_of(t.begin() + list[0].start, t.begin() + list[0].end,
                    [](char c) { return isDigit(uint8_t(c)); }))
        list[0].type = 'N';
    return list;
}

void pdf417init(pdf417param& p)
{
    p = pdf417param{};
}

void pdf417free(pdf417param& p)
{
    p.outBits.clear();
    p.outBits.shrink_to_fit();
    p.lenBits = 0;
}

void paintCode(pdf417param& p)
{
    p.error = PDF417_ERROR_SUCCESS;
    p.outBits.clear();
    p.lenBits = 0;
    p.codewords.resize(928, 0);
    if (p.options & PDF417_USE_RAW_CODEWORDS) {
        if (p.lenCodewords < 1 || p.lenCodewords > 926 || p.codewords[0] != p.lenCodewords) {
            p.error = PDF417_ERROR_INVALID_PARAMS;
            return;
        }
    } else {
        if (p.text.empty()) {
            p.error = PDF417_ERROR_EMPTY_TEXT;
            return;
        }
        if (p.text.size() > std::size_t(kMaxText)) {
            p.error = PDF417_ERROR_TEXT_TOO_BIG;
            return;
        }
        std::fill(p.codewords.begin(), p.codewords.end(), 0);
        const std::vector<Element> list = breakString(p.text);
        Encoder enc{p, list};
        enc.assemble();
        if (p.error)
            return;
        p.lenCodewords = enc.pos;
        p.codewords[0] = enc.pos;
    }

    if (!(p.options & PDF417_USE_ERROR_LEVEL)) {
        const int n = p.lenCodewords;
        p.errorLevel = n < 41 ? 2 : n < 161 ? 3 : n < 321 ? 4 : 5;
    }
    p.requestedErrorLevel = p.errorLevel;
    if (p.errorLevel < 0)
        p.errorLevel = 0;
    const int maxLevel = maxPossibleErrorLevel(928 - p.lenCodewords);
    if (p.errorLevel > maxLevel)
        p.errorLevel = maxLevel;

    p.codeColumns = std::clamp(p.codeColumns, 1, 30);
    p.codeRows = std::clamp(p.codeRows, 3, 90);
    int tot = p.lenCodewords + (2 << p.errorLevel);
    bool derive = true;
    if (p.options & PDF417_FIXED_RECTANGLE) {
        tot = p.codeColumns * p.codeRows;
        if (tot > 928) {
            getMaxSquare(p);
            tot = 928;
        }
        if (tot < p.lenCodewords + (2 << p.errorLevel))
            tot = p.lenCodewords + (2 << p.errorLevel);
        else
            derive = false;
    } else if (!(p.options & (PDF417_FIXED_COLUMNS | PDF417_FIXED_ROWS))) {
        p.aspectRatio = std::clamp(p.aspectRatio, 0.001f, 1000.0f);
        const double ar = p.aspectRatio;
        const double b = 73.0 * ar - 4.0;
        const double k = (-b + std::sqrt(b * b + 68.0 * ar * tot * p.yHeight)) / (34.0 * ar);
        p.codeColumns = std::clamp(int(k + 0.5), 1, 30);
    }
    if (derive) {
        if (!(p.options & PDF417_FIXED_ROWS)) {
            p.codeRows = (tot - 1) / p.codeColumns + 1;
            if (p.codeRows < 3)
                p.codeRows = 3;
            else if (p.codeRows > 90) {
                p.codeRows = 90;
                p.codeColumns = (tot - 1) / 90 + 1;
            }
        } else {
            p.codeColumns = (tot - 1) / p.codeRows + 1;
            if (p.codeColumns > 30) {
                p.codeColumns = 30;
                p.codeRows = (tot - 1) / 30 + 1;
            }
        }
        tot = p.codeRows * p.codeColumns;
    }
    if (tot > 928) {
        getMaxSquare(p);
        tot = 928;
    }
    p.errorLevel = maxPossibleErrorLevel(tot - p.lenCodewords);
    const int e = 2 << p.errorLevel;
    const int dest = tot - e;
    for (int i = p.lenCodewords; i < dest; ++i)
        p.codewords[std::size_t(i)] = 900;
    p.lenCodewords = dest;
    p.codewords[0] = dest;
    calculateErrorCorrection(p, dest);
    p.lenCodewords = tot;
    outPaintCode(p);
}

} // namespace pdf417
