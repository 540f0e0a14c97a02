#include "barcode/NKDCode128Barcode.h"

#include "barcode/ModuleWriter.h"

#include <array>

#include <QList>

namespace {

// Symbol values 0..106 (106 is the stop without its final bar).
constexpr const char* kPatterns[107] = {
    "11011001100", "11001101100", "11001100110", "10010011000", "10010001100", "10001001100", "10011001000",
    "10011000100", "10001100100", "11001001000", "11001000100", "11000100100", "10110011100", "10011011100",
    "10011001110", "10111001100", "10011101100", "10011100110", "11001110010", "11001011100", "11001001110",
    "11011100100", "11001110100", "11101101110", "11101001100", "11100101100", "11100100110", "11101100100",
    "11100110100", "11100110010", "11011011000", "11011000110", "11000110110", "10100011000", "10001011000",
    "10001000110", "10110001000", "10001101000", "10001100010", "11010001000", "11000101000", "11000100010",
    "10110111000", "10110001110", "10001101110", "10111011000", "10111000110", "10001110110", "11101110110",
    "11010001110", "11000101110", "11011101000", "11011100010", "11011101110", "11101011000", "11101000110",
    "11100010110", "11101101000", "11101100010", "11100011010", "11101111010", "11001000010", "11110001010",
    "10100110000", "10100001100", "10010110000", "10010000110", "10000101100", "10000100110", "10110010000",
    "10110000100", "10011010000", "10011000010", "10000110100", "10000110010", "11000010010", "11001010000",
    "11110111010", "11000010100", "10001111010", "10100111100", "10010111100", "10010011110", "10111100100",
    "10011110100", "10011110010", "11110100100", "11110010100", "11110010010", "11011011110", "11011110110",
    "11110110110", "10101111000", "10100011110", "10001011110", "10111101000", "10111100010", "11110101000",
    "11110100010", "10111011110", "10111101110", "11101011110", "11110101110", "11010000100", "11010010000",
    "11010011100", "11000111010"};

constexpr int kShift = 98;
constexpr int kCodeB = 100; // in sets A and C
constexpr int kCodeA = 101; // in set B

bool isDigit(ushort c) {
    return c >= '0' && c <= '9';
}

using Symbol = ModuleWriter::Pattern<11>;

struct SymbolTable {
    Symbol symbol[107];
};

constexpr SymbolTable makeSymbols() {
    SymbolTable t;
    for (int v = 0; v < 107; ++v)
        t.symbol[v] = ModuleWriter::pattern<11>(kPatterns[v]);
    return t;
}

constexpr SymbolTable kSymbols = makeSymbols();

// The value of an ASCII character in set A (0) or B (1); -1 when that set cannot hold it.
int valueIn(ushort c, int set) {
    if (set == 0) {
        if (c < 32)
            return c + 64;
        if (c < 96)
            return c - 32;
        return -1;
    }
    if (set == 1)
        return (c >= 32 && c <= 127) ? c - 32 : -1;
    return -1;
}

// Hands each symbol value between start and check to `f`, for content that `set` can encode.
template <typename F> void forEachValue(const QString& content, int set, F&& f) {
    const QChar* c = content.constData();
    const qsizetype n = content.size();
    if (set == 2) {
        qsizetype i = 0;
        for (; i + 1 < n; i += 2)
            f((c[i].unicode() - '0') * 10 + (c[i + 1].unicode() - '0'));
        if (i < n) {
            f(kCodeB);
            f(valueIn(c[i].unicode(), 1));
        }
        return;
    }
    const int other = 1 - set;
    for (qsizetype i = 0; i < n; ++i) {
        const ushort u = c[i].unicode();
        const int v = valueIn(u, set);
        if (v >= 0) {
            f(v);
        } else {
            f(kShift);
            f(valueIn(u, other));
        }
    }
}

} // namespace

int NKDCode128Barcode::valueInSet(ushort c, int set) {
    return valueIn(c, set);
}

QString NKDCode128Barcode::patternForValue(int value) {
    // Made once from the symbol table: handing one out is a reference.
    static const std::array<QString, 106> patterns = [] {
        std::array<QString, 106> all;
        for (int v = 0; v < 106; ++v)
            all[std::size_t(v)] = QString::fromLatin1(kPatterns[v]);
        return all;
    }();
    return value >= 0 && value <= 105 ? patterns[std::size_t(value)] : QString();
}

int NKDCode128Barcode::moduleCount() const {
    if (!isContentValid())
        return int(initiator().size() + terminator().size());
    // Start, the symbols, the check symbol and the stop.
    return int(11 * (symbolCount() + 2) + 13);
}

qsizetype NKDCode128Barcode::symbolCount() const {
    const qsizetype n = m_content.size();
    if (m_codeSet == 2)
        return n / 2 + (n % 2) * 2; // an odd last digit: CODE B and the digit
    qsizetype shifts = 0;
    for (QChar ch : m_content)
        shifts += valueInSet(ch.unicode(), m_codeSet) < 0;
    return n + shifts;
}

bool NKDCode128Barcode::isContentValid() const {
    const QChar* c = m_content.constData();
    const qsizetype n = m_content.size();
    if (m_codeSet < 0 || m_codeSet > 2)
        return false;
    if (m_codeSet == 2) {
        for (qsizetype i = 0; i < n; ++i)
            if (!isDigit(c[i].unicode()))
                return false;
        return true;
    }
    for (qsizetype i = 0; i < n; ++i)
        if (c[i].unicode() > 127)
            return false;
    return true;
}

void NKDCode128Barcode::initWithContent(const QString& content, bool printsCaption) {
    NKDBarcode::initWithContent(content, printsCaption);
    if (m_codeSet == 3)
        m_codeSet = _bestCodeSetForContent();
    generateChecksum();
    calculateWidth();
}

int NKDCode128Barcode::_bestCodeSetForContent() const {
    if (!isAscii(m_content))
        return 1;
    int control = 0;
    int lower = 0;
    bool digitsOnly = true;
    for (QChar ch : m_content) {
        const ushort c = ch.unicode();
        if (isDigit(c))
            continue;
        digitsOnly = false;
        if (c < 32 || c == 127)
            ++control;
        else if (c >= 'a' && c <= 'z')
            ++lower;
    }
    // Set C for digits, except one or three digits, which set B writes in as few symbols.
    if (digitsOnly && !m_content.isEmpty() && m_content.size() != 1 && m_content.size() != 3)
        return 2;
    return control > lower ? 0 : 1;
}

QList<int> NKDCode128Barcode::symbolValues() const {
    QList<int> values;
    if (!isContentValid())
        return values;
    values.reserve(symbolCount());
    forEachValue(m_content, m_codeSet, [&values](int v) { values << v; });
    return values;
}

void NKDCode128Barcode::generateChecksum() {
    if (m_codeSet < 0 || m_codeSet > 2) {
        m_checkDigit = -1;
        return;
    }
    int sum = 103 + m_codeSet;
    int position = 1;
    if (isContentValid())
        forEachValue(m_content, m_codeSet, [&](int v) { sum = (sum + v * position++) % 103; });
    m_checkDigit = sum;
}

QString NKDCode128Barcode::initiator() const {
    if (m_codeSet < 0 || m_codeSet > 2)
        return QString();
    return patternForValue(103 + m_codeSet);
}

QString NKDCode128Barcode::_encodeChar(QChar c, int set) {
    return patternForValue(valueInSet(c.unicode(), set));
}

QString NKDCode128Barcode::_encodeChar(QChar c) const {
    if (m_codeSet == 2)
        return QString(); // set C writes digit pairs, never single characters
    return _encodeChar(c, m_codeSet);
}

QString NKDCode128Barcode::barcode() const {
    QString out;
    NKDCode128Barcode::appendBarcode(out);
    return out;
}

void NKDCode128Barcode::appendBarcode(QString& out) const {
    if (!isContentValid())
        return;
    char16_t* w = ModuleWriter::grow(out, 11 * (symbolCount() + 1));
    forEachValue(m_content, m_codeSet, [&w](int v) { w = ModuleWriter::put(w, kSymbols.symbol[v]); });
    if (m_checkDigit >= 0 && m_checkDigit < 107)
        w = ModuleWriter::put(w, kSymbols.symbol[m_checkDigit]);
    ModuleWriter::finish(out, w);
}

QString NKDCode128Barcode::invalidReason() const {
    for (qsizetype i = 0; i < m_content.size(); ++i)
        if (m_content.at(i).unicode() > 127)
            return QStringLiteral("Code 128 takes ASCII characters only; it cannot encode %1.")
                .arg(characterName(m_content, i));
    if (m_codeSet < 0 || m_codeSet > 2)
        return QStringLiteral("Unknown Code 128 code set.");
    if (m_codeSet == 2) {
        for (qsizetype i = 0; i < m_content.size(); ++i)
            if (!isDigit(m_content.at(i).unicode()))
                return QStringLiteral("Code 128 SET C takes digits only, not %1.")
                    .arg(characterName(m_content, i));
    }
    return QString();
}
